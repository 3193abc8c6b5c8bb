#include "platform/program_folder.h"

#include <unistd.h>

#include <climits>

#include "platform/code_page.h"
#include "platform/failure.h"

namespace vorlabws {
namespace {

std::u16string ExecutablePath() {
  char buffer[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) throw FileError("Cannot read the path of the running executable");
  return Utf8ToUtf16(std::string_view(buffer, static_cast<size_t>(length)));
}

}  // namespace

std::u16string ProgramFolder() {
  const std::u16string path = ExecutablePath();
  std::u16string folder = path.substr(0, path.find_last_of(u'/') + 1);
  if (!folder.ends_with(u'/')) folder += u'/';
  return folder;
}

std::u16string ProgramFileName() {
  const std::u16string path = ExecutablePath();
  return path.substr(path.find_last_of(u'/') + 1);
}

}  // namespace vorlabws
