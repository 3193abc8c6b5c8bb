#include "platform/trace.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

#include "platform/code_page.h"
#include "platform/environment.h"
#include "platform/failure.h"
#include "platform/files.h"

namespace vorlabws {
namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kLongestIdentifier = 18;
constexpr int kNameAttempts = 100;  // runs of one job within the same millisecond
constexpr char kDetailPrefix[] = "  | ";

struct FdCloser {
  void operator()(int* fd) const {
    ::close(*fd);
    delete fd;
  }
};
using TraceFd = std::unique_ptr<int, FdCloser>;

struct TraceFile {
  TraceFd fd;
  std::string folder;
  Clock::time_point start;
};

TraceFile& Current() {
  static TraceFile file;
  return file;
}

void GiveUp(const std::string& folder, int error) {
  const std::string line =
      "VORLABWS_TRACE: no trace can be written in " + folder + ": " + std::strerror(error) + "\n";
  [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, line.data(), line.size());
  Current().fd.reset();
}

// A job coordinate as it may stand in a file name: a decimal integer, else "invalid".
std::string NamePart(std::string_view identifier) {
  size_t i = (!identifier.empty() && (identifier[0] == '+' || identifier[0] == '-')) ? 1 : 0;
  const bool digits = i < identifier.size() && identifier.size() - i <= kLongestIdentifier &&
                      std::all_of(identifier.begin() + i, identifier.end(),
                                  [](char c) { return c >= '0' && c <= '9'; });
  return digits ? std::string(identifier) : "invalid";
}

// "20261211-150812.345", local time, as the host's clock shows the moment.
std::string Moment() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  ::localtime_r(&seconds, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  char stamp[40];
  std::snprintf(stamp, sizeof stamp, "%s.%03d", text, static_cast<int>(millis));
  return stamp;
}

std::string Milliseconds(Clock::duration elapsed) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f ms",
                std::chrono::duration<double, std::milli>(elapsed).count());
  return text;
}

// An entry's stamp, right-aligned so the titles line up.
std::string Stamp(Clock::duration elapsed) {
  const std::string text = Milliseconds(elapsed);
  return std::string(text.size() < 13 ? 13 - text.size() : 0, ' ') + text;
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put == 0) errno = ENOSPC;
    if (put <= 0) return false;
    done += static_cast<size_t>(put);
  }
  return true;
}

}  // namespace

void StartTrace(std::string_view testata, std::string_view riga) {
  const auto folder_text = EnvironmentValue("VORLABWS_TRACE");
  if (!folder_text) return;
  TraceFile& file = Current();
  file.start = Clock::now();
  file.folder = Utf16ToUtf8(*folder_text);
  std::string folder = file.folder;
  if (!folder.ends_with('/')) folder += '/';
  const std::string stem = folder + Moment() + "_" + NamePart(testata) + "_" + NamePart(riga);
  for (int attempt = 1; attempt <= kNameAttempts; ++attempt) {
    const std::string path = stem + (attempt == 1 ? "" : "-" + std::to_string(attempt)) + ".trace";
    // Readable by the owner only: the trace holds the shipments' addresses.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      file.fd.reset(new int(fd));
      return;
    }
    if (errno != EEXIST) break;
  }
  GiveUp(file.folder, errno);
}

bool TraceOn() { return Current().fd != nullptr; }

void Trace(std::string_view title, std::string_view details) {
  TraceFile& file = Current();
  if (!file.fd) return;
  std::string entry = Stamp(Clock::now() - file.start) + "  ";
  entry += title;
  entry += '\n';
  while (!details.empty()) {
    const size_t end = details.find('\n');
    entry += kDetailPrefix;
    entry += details.substr(0, end);
    entry += '\n';
    details.remove_prefix(end == std::string_view::npos ? details.size() : end + 1);
  }
  if (!WriteAll(*file.fd, entry)) GiveUp(file.folder, errno);
}

std::string TraceCommandLine(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& word : words) {
    if (!line.empty()) line += ' ';
    const bool plain = !word.empty() && word.find_first_of(" \t\n'\"\\$") == std::string::npos;
    if (plain) {
      line += word;
      continue;
    }
    line += '\'';
    for (const char c : word) line += c == '\'' ? std::string("'\\''") : std::string(1, c);
    line += '\'';
  }
  return line;
}

void TraceFileText(std::string_view title, const std::u16string& path) {
  if (!TraceOn()) return;
  const std::string heading = std::string(title) + " " + Utf16ToUtf8(path);
  if (!FileExists(path)) {
    Trace(heading + ": absent");
    return;
  }
  try {
    Trace(heading, TraceBody(Utf16ToUtf8(DecodeTextFile(ReadFileBytes(path)))));
  } catch (const FileError& error) {
    Trace(heading + ": " + error.what());
  }
}

std::string TraceBody(std::string_view bytes) {
  const bool cut = bytes.size() > kTraceBodyLimit;
  std::string_view shown = bytes.substr(0, kTraceBodyLimit);
  std::string text;
  if (IsValidUtf8(bytes)) {
    // Cut before a character's continuation bytes, so the kept part stays valid UTF-8.
    while (cut && !shown.empty() &&
           (static_cast<unsigned char>(bytes[shown.size()]) & 0xC0) == 0x80) {
      shown.remove_suffix(1);
    }
    text = shown;
  } else {
    text = Utf16ToUtf8(Cp1252ToUtf16(shown));
  }
  if (cut) {
    text += "\n(cut at " + std::to_string(shown.size()) + " of " + std::to_string(bytes.size()) +
            " bytes)";
  }
  return text;
}

std::string TraceStopwatch::Elapsed() const { return Milliseconds(Clock::now() - start_); }

}  // namespace vorlabws
