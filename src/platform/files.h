#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace morvane {

/// An I/O failure, with a message that names the file and the reason.
class EFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// True when path names an existing regular file (a folder does not count).
bool FileExists(const std::string& path);

/// Reads the whole file; throws EFileError naming the file when it cannot be read.
std::string ReadWholeFile(const std::string& path);

/// Writes bytes to path so that an existing file is either replaced whole or left as it was: over
/// an existing file through a temporary file beside it, renamed into place. A new file is written
/// directly and removed again when the write fails. Throws EFileError naming path.
void WriteFileAtomic(const std::string& path, std::string_view bytes);

/// The existing file in path's folder whose name equals path's name but for ASCII letter case:
/// the exact name first. Empty when there is none.
std::string FindFileIgnoringCase(const std::string& path);

/// The folder part of path with its trailing '/', or empty when path has none.
std::string FolderOf(const std::string& path);

/// The name part of path, after its last '/'.
std::string NameOf(const std::string& path);

}  // namespace morvane
