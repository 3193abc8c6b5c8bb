#include "platform/user_interface.h"

#include <cstdio>

#include "platform/code_page.h"
#include "platform/program_folder.h"

namespace vorlabws {
namespace {

void WriteBoxLine(const std::u16string& text) {
  std::string line = Utf16ToUtf8(text);
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace

void ShowErrorBox(const std::u16string& text) { WriteBoxLine(text); }

void ShowPlainBox(const std::u16string& text) { WriteBoxLine(text); }

std::u16string ProgramTitle() {
  std::u16string name = ProgramFileName();
  name = name.substr(0, name.find(u'.'));
  for (size_t i = 1; i < name.size(); ++i) {
    if (name[i] >= u'A' && name[i] <= u'Z') name[i] = name[i] - u'A' + u'a';
  }
  return name;
}

}  // namespace vorlabws
