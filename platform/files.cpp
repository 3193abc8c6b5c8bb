#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <string_view>

#include "platform/code_page.h"
#include "platform/failure.h"

namespace vorlabws {
namespace {

struct FdCloser {
  void operator()(const int* fd) const {
    ::close(*fd);
    delete fd;
  }
};
using UniqueFd = std::unique_ptr<int, FdCloser>;

[[noreturn]] void RaiseFileError(const char* what, const std::string& path) {
  throw FileError(std::string(what) + " " + path + ": " + std::strerror(errno));
}

UniqueFd OpenOrRaise(const std::string& path, int flags, const char* what) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0) RaiseFileError(what, path);
  return UniqueFd(new int(fd));
}

// The file a name stands for: the name itself, or the end of the chain of symbolic links it
// starts, existing or not. Writing there keeps the links; renaming onto a link would replace it.
std::string FileBehindLinks(std::string name) {
  for (int hops = 0; hops < 40; ++hops) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink(name.c_str(), target, sizeof target - 1);
    if (length < 0 && errno == EINVAL) return name;  // not a link
    if (length < 0 && errno == ENOENT) return name;  // nothing there yet
    if (length < 0) RaiseFileError("Cannot read the link", name);
    const std::string_view link(target, static_cast<size_t>(length));
    const size_t slash = name.find_last_of('/');
    name = link.starts_with('/') || slash == std::string::npos
               ? std::string(link)
               : name.substr(0, slash + 1) + std::string(link);
  }
  errno = ELOOP;
  RaiseFileError("Cannot follow the links of", name);
}

void WriteAll(int fd, const std::string& bytes, const std::string& name) {
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) RaiseFileError("Cannot write", name);
    done += static_cast<size_t>(put);
  }
}

}  // namespace

std::string ReadFileBytes(const std::u16string& path) {
  const std::string name = Utf16ToUtf8(path);
  const UniqueFd fd = OpenOrRaise(name, O_RDONLY, "Cannot open");
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(*fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) RaiseFileError("Cannot read", name);
    if (got == 0) return bytes;
    bytes.append(buffer, static_cast<size_t>(got));
  }
}

void WriteFileBytes(const std::u16string& path, const std::string& bytes) {
  const std::string name = Utf16ToUtf8(path);
  const UniqueFd fd = OpenOrRaise(name, O_WRONLY | O_CREAT | O_TRUNC, "Cannot create");
  WriteAll(*fd, bytes, name);
}

void WriteFileReplacing(const std::u16string& path, const std::string& bytes) {
  const std::string name = FileBehindLinks(Utf16ToUtf8(path));
  const size_t slash = name.find_last_of('/');
  const size_t base = slash == std::string::npos ? 0 : slash + 1;
  // A hidden name in the same folder, so the rename stays on one file system.
  std::string temporary = name.substr(0, base) + "." + name.substr(base) + ".XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) RaiseFileError("Cannot create a file beside", name);
  try {
    {
      const UniqueFd owned(new int(fd));
      // The permissions a plain create would give, not the private ones of a temporary file.
      const mode_t mask = ::umask(0);
      ::umask(mask);
      ::fchmod(*owned, 0666 & ~mask);
      WriteAll(*owned, bytes, temporary);
    }
    if (::rename(temporary.c_str(), name.c_str()) != 0) RaiseFileError("Cannot replace", name);
  } catch (const FileError&) {
    ::unlink(temporary.c_str());
    throw;
  }
}

void RemoveFileIfExists(const std::u16string& path) {
  const std::string name = Utf16ToUtf8(path);
  if (::unlink(name.c_str()) != 0 && errno != ENOENT) RaiseFileError("Cannot remove", name);
}

bool FileExists(const std::u16string& path) {
  struct stat info {};
  return ::stat(Utf16ToUtf8(path).c_str(), &info) == 0;
}

bool CanAccess(const std::u16string& path, FileAccess access) {
  const int mode = access == FileAccess::kRead ? R_OK : access == FileAccess::kWrite ? W_OK : X_OK;
  return ::access(Utf16ToUtf8(path).c_str(), mode) == 0;
}

}  // namespace vorlabws
