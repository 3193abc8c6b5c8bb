// Whole-file reads and writes for the worker's templates, request, reply and error files.
// Paths are UTF-16 texts; on this platform they go to the file system as UTF-8.
#pragma once

#include <string>

namespace vorlabws {

// The file's bytes; raises FileError naming the file when it cannot be read.
std::string ReadFileBytes(const std::u16string& path);

// Creates or overwrites the file with exactly these bytes; raises FileError when it cannot. Through
// a symbolic link, the file it leads to is written (created when missing) and the link stays.
void WriteFileBytes(const std::u16string& path, const std::string& bytes);

// Writes the bytes to a new file beside `path`, then renames it to `path`, so that a reader finds
// either the complete new file or none (or the old one); the new file is removed when that fails.
// When `path` is a symbolic link, the file it leads to is replaced and the link stays.
void WriteFileReplacing(const std::u16string& path, const std::string& bytes);

// Removes the file when it exists; raises FileError when it exists and cannot be removed.
void RemoveFileIfExists(const std::u16string& path);

bool FileExists(const std::u16string& path);

// Whether this process's user may read, write or run the file or folder at `path`.
enum class FileAccess { kRead, kWrite, kExecute };
bool CanAccess(const std::u16string& path, FileAccess access);

}  // namespace vorlabws
