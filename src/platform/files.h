#pragma once

#include <stdexcept>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

/// What a write does with a symbolic link at its path.
enum class TLinks {
    /// Writes the file it leads to, as a user saving over a link means.
    Follow,
    /// Replaces the link itself, so a link planted there cannot lead the write elsewhere.
    Replace,
};

/// The file a symbolic link at path leads to, or path itself when it is no link or leads
/// nowhere.
std::string LinkTarget(const std::string& path);

/// Writes bytes to path so that the file is either there whole or as it was: the bytes go to a
/// file without a name (or, where the file system has none, a hidden ".NAME.morvane-XXXXXX"
/// beside it), which is then put in place. An existing file keeps its mode. Hidden files that
/// killed writers left beside path go first. Throws EFileError naming path.
void WriteFileAtomic(const std::string& path, std::string_view bytes,
                     TLinks links = TLinks::Follow);

class TPendingFile;

/// Writes a file piece by piece as WriteFileAtomic writes it whole: nothing appears under the
/// name until Commit, and a writer destroyed before it leaves nothing behind. Throws EFileError.
class TFileWriter {
public:
    explicit TFileWriter(const std::string& path);
    ~TFileWriter();
    TFileWriter(const TFileWriter&) = delete;
    TFileWriter& operator=(const TFileWriter&) = delete;

    void Write(std::string_view bytes);
    void Commit();

private:
    std::unique_ptr<TPendingFile> FFile;
};

/// A file to write: its path and its bytes.
using TFileWrite = std::pair<std::string, std::string_view>;

/// Writes several files of one folder and one stem (a colour pair) all or nothing: every file is
/// written in full and flushed to the disk before any is put in place, under a record that says
/// how to put the old files back. A failure while they are put in place restores them at once; a
/// run killed then is undone by the next run that reads or writes them
/// (TidyAfterKilledWriters). Throws EFileError naming the file that failed, and
/// std::invalid_argument for files of different folders or stems.
void WriteFilesAtomic(const std::vector<TFileWrite>& files);

/// A scratch file without a name, in folder (empty: the working folder): nothing is left behind
/// however the program ends. Throws EFileError naming nameForMessages.
class TScratchFile {
public:
    TScratchFile(const std::string& folder, const std::string& nameForMessages);
    ~TScratchFile();
    TScratchFile(const TScratchFile&) = delete;
    TScratchFile& operator=(const TScratchFile&) = delete;

    /// Empties the file.
    void Truncate();
    /// Appends bytes; throws EFileError.
    void Append(std::string_view bytes);
    /// Everything written so far; throws EFileError.
    std::string ReadAll() const;

private:
    std::string FName;
    int FFd = -1;
};

/// The existing file in path's folder whose name equals path's name but for ASCII letter case:
/// the exact name first. Empty when there is none.
std::string FindFileIgnoringCase(const std::string& path);

/// The folder part of path with its trailing '/', or empty when path has none.
std::string FolderOf(const std::string& path);

/// The name part of path, after its last '/'.
std::string NameOf(const std::string& path);

/// The extension of path's name from its last dot, dot included; empty when the name has none.
std::string ExtensionOf(const std::string& path);

}  // namespace morvane
