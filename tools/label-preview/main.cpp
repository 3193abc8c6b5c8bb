// label-preview DATABASE TESTATA RIGA [FOLDER]: PNG previews of the labels a job stored. Prints
// the path of each image written; one line on standard error for a label without a preview or a
// failure. Exit codes as in label_preview.h.
#include <charconv>
#include <iostream>
#include <optional>
#include <string_view>

#include "platform/code_page.h"
#include "platform/failure.h"
#include "platform/process.h"
#include "tools/label-preview/label_preview.h"

namespace {

std::optional<int> WholeNumber(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

int PreviewJob(int argc, char** argv) {
  using namespace vorlabws;
  if (argc < 4 || argc > 5) {
    std::cerr << "usage: label-preview DATABASE TESTATA RIGA [FOLDER]\n";
    return kPreviewFailed;
  }
  const std::optional<int> testata = WholeNumber(argv[2]);
  const std::optional<int> riga = WholeNumber(argv[3]);
  if (!testata || !riga) {
    std::cerr << "TESTATA and RIGA must be whole numbers, not \"" << argv[2] << "\" and \""
              << argv[3] << "\"\n";
    return kPreviewFailed;
  }
  const PreviewRequest request{Utf8ToUtf16(argv[1]), *testata, *riga, argc == 5 ? argv[4] : ""};
  try {
    return PreviewLabels(request, std::cout, std::cerr);
  } catch (const Failure& failure) {
    std::cout.flush();
    std::cerr << failure.what() << "\n";
    return kPreviewFailed;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int exit_code = PreviewJob(argc, argv);
  // The job's row is read, the connection detached and every image written: ending now spares
  // the client library's teardown, which sleeps 50 ms after a server connection.
  vorlabws::EndProcessNow(exit_code);
}
