#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "platform/hiddenfiles.h"
#include "platform/undorecord.h"

namespace morvane {
namespace {

std::string Failure(const char* verb, const std::string& path, int err) {
    return std::string("cannot ") + verb + " \"" + path + "\": " + std::strerror(err);
}

struct TDirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string ReadWholeFile(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw EFileError(Failure("read", path, errno));
    std::string bytes;
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        close(fd);
        throw EFileError(Failure("read", path, EISDIR));
    }
    if (st.st_size > 0) bytes.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            close(fd);
            throw EFileError(Failure("read", path, err));
        }
        bytes.append(buf, static_cast<size_t>(n));
    }
    close(fd);
    return bytes;
}

namespace {

bool WriteAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::string LinkTarget(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : path;
}

// One file of a write: its bytes wait in a file without a name (or a hidden one) until Commit
// puts them in place. Destroyed uncommitted, it leaves nothing behind.
class TPendingFile {
public:
    TPendingFile(std::string path, TLinks links) : FPath(std::move(path)) {
        // Writes through a link go to the file it leads to, so the link survives the rename.
        FTarget = links == TLinks::Follow ? LinkTarget(FPath) : FPath;
        TidyAfterKilledWriters(FPath);
        if (FTarget != FPath) TidyAfterKilledWriters(FTarget);
        struct stat st {};
        if (lstat(FTarget.c_str(), &st) == 0) {
            if (S_ISDIR(st.st_mode)) throw EFileError(Failure("write", FPath, EISDIR));
            FExisted = true;
            // A link replaced takes nothing of it: a new file has the usual mode.
            FKeepMode = !S_ISLNK(st.st_mode);
            FMode = st.st_mode & 07777;
        }
        FFd = OpenUnnamedFile(FolderOf(FTarget), O_WRONLY);
        if (FFd >= 0) {
            flock(FFd, LOCK_EX);
        } else {
            FFd = CreateHiddenFile(FTarget, FTempName);
            if (FFd < 0) Fail(errno);
        }
        if (FKeepMode) fchmod(FFd, FMode);
    }

    void Write(std::string_view bytes) {
        if (!WriteAll(FFd, bytes)) Fail(errno);
    }

    ~TPendingFile() {
        if (FFd >= 0) close(FFd);
        if (!FTempName.empty()) unlink(FTempName.c_str());
    }

    TPendingFile(const TPendingFile&) = delete;
    TPendingFile& operator=(const TPendingFile&) = delete;

    const std::string& Target() const { return FTarget; }
    bool Existed() const { return FExisted; }

    /// Flushes the bytes to the disk and tells the new file's identity.
    void Sync(TUndoEntry& entry) {
        struct stat st {};
        if (fsync(FFd) != 0 || fstat(FFd, &st) != 0) Fail(errno);
        entry.Existed = FExisted;
        entry.Device = st.st_dev;
        entry.Inode = st.st_ino;
    }

    void Commit() {
        CommitStep();
        // A new file appears whole under its name in one step.
        if (FTempName.empty() && !FExisted && LinkUnnamedFile(FFd, FTarget)) return;
        if (FTempName.empty() && !NameHiddenFile(FFd, FTarget, FTempName)) Fail(errno);
        CommitStep();
        if (rename(FTempName.c_str(), FTarget.c_str()) != 0) Fail(errno);
        FTempName.clear();
    }

    /// Gives the new file its hidden name for a commit of several files.
    void Stage(const std::string& tag) {
        const std::string staged = HiddenNameFor(FTarget, tag);
        CommitStep();
        const bool named =
            FTempName.empty() ? LinkUnnamedFile(FFd, staged) : RenameNoReplace(FTempName, staged);
        if (!named) Fail(errno);
        FTempName = staged;
    }

    /// Keeps the file being replaced under the hidden name of tag, for as long as the commit of
    /// several files may still be undone.
    void KeepOld(const std::string& tag) {
        if (!FExisted) return;
        const std::string backup = HiddenNameFor(FTarget, tag);
        CommitStep();
        if (link(FTarget.c_str(), backup.c_str()) == 0) return;
        // Without hard links, the old file steps aside until the new one takes its place.
        if ((errno != EPERM && errno != EOPNOTSUPP && errno != EMLINK) ||
            !RenameNoReplace(FTarget, backup)) {
            Fail(errno);
        }
    }

    /// Puts the staged file in place; a file that appeared where none stood is not replaced.
    void Place() {
        CommitStep();
        const bool placed = FExisted ? rename(FTempName.c_str(), FTarget.c_str()) == 0
                                     : RenameNoReplace(FTempName, FTarget);
        if (!placed) Fail(errno ? errno : EEXIST);
        FTempName.clear();
    }

private:
    [[noreturn]] void Fail(int err) { throw EFileError(Failure("write", FPath, err)); }

    // Renames from to to unless to exists; errno says why not.
    static bool RenameNoReplace(const std::string& from, const std::string& to) {
        if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
            return true;
        if (errno != EINVAL && errno != ENOSYS) return false;
        if (link(from.c_str(), to.c_str()) != 0) return false;
        unlink(from.c_str());
        return true;
    }

    std::string FPath;
    std::string FTarget;
    bool FExisted = false;
    bool FKeepMode = false;
    mode_t FMode = 0;
    int FFd = -1;
    std::string FTempName;
};

TFileWriter::TFileWriter(const std::string& path)
    : FFile(std::make_unique<TPendingFile>(path, TLinks::Follow)) {}

TFileWriter::~TFileWriter() = default;

void TFileWriter::Write(std::string_view bytes) { FFile->Write(bytes); }

void TFileWriter::Commit() { FFile->Commit(); }

void WriteFileAtomic(const std::string& path, std::string_view bytes, TLinks links) {
    TPendingFile file(path, links);
    file.Write(bytes);
    file.Commit();
}

void WriteFilesAtomic(const std::vector<TFileWrite>& files) {
    if (files.size() == 1) return WriteFileAtomic(files[0].first, files[0].second);
    if (files.empty()) return;
    const std::string folder = FolderOf(files[0].first);
    const std::string stem = StemOf(NameOf(files[0].first));
    for (const auto& [path, bytes] : files) {
        if (FolderOf(path) != folder || StemOf(NameOf(path)) != stem)
            throw std::invalid_argument("files written together share a folder and a stem");
    }
    std::vector<std::unique_ptr<TPendingFile>> pending;
    std::vector<TUndoEntry> entries;
    for (const auto& [path, bytes] : files) {
        pending.push_back(std::make_unique<TPendingFile>(path, TLinks::Follow));
        pending.back()->Write(bytes);
        TUndoEntry entry;
        entry.Name = NameOf(path);
        entry.StagedTag = NewHiddenTag();
        entry.BackupTag = NewHiddenTag();
        pending.back()->Sync(entry);
        entries.push_back(entry);
    }
    // From here a kill at any step is undone by the next run that reads or writes these files;
    // a failure is undone at once.
    TUndoRecord record(folder, stem, entries, files[0].first);
    try {
        for (auto& file : pending) file->Stage(entries[&file - pending.data()].StagedTag);
        for (size_t i = 0; i < pending.size(); ++i) pending[i]->KeepOld(entries[i].BackupTag);
        for (auto& file : pending) file->Place();
        record.Commit();
    } catch (...) {
        record.RollBack();
        throw;
    }
    for (size_t i = 0; i < pending.size(); ++i) {
        if (pending[i]->Existed())
            unlink(HiddenNameFor(pending[i]->Target(), entries[i].BackupTag).c_str());
    }
}

TScratchFile::TScratchFile(const std::string& folder, const std::string& nameForMessages)
    : FName(nameForMessages) {
    const char* dir = folder.empty() ? "." : folder.c_str();
    FFd = open(dir, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (FFd >= 0) return;
    // Without unnamed files, a named one is unlinked as soon as it is open.
    std::string name = (folder.empty() ? std::string("./") : folder) + ".scratch.XXXXXX";
    FFd = mkstemp(name.data());
    if (FFd < 0) throw EFileError(Failure("write", FName, errno));
    unlink(name.c_str());
}

TScratchFile::~TScratchFile() {
    if (FFd >= 0) close(FFd);
}

void TScratchFile::Truncate() {
    if (ftruncate(FFd, 0) != 0 || lseek(FFd, 0, SEEK_SET) != 0)
        throw EFileError(Failure("write", FName, errno));
}

void TScratchFile::Append(std::string_view bytes) {
    if (!WriteAll(FFd, bytes)) throw EFileError(Failure("write", FName, errno));
}

std::string TScratchFile::ReadAll() const {
    std::string bytes;
    char buf[65536];
    for (off_t at = 0;;) {
        const ssize_t n = pread(FFd, buf, sizeof buf, at);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            throw EFileError(Failure("read", FName, errno));
        }
        bytes.append(buf, static_cast<size_t>(n));
        at += n;
    }
    return bytes;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtensionOf(const std::string& path) {
    const std::string name = NameOf(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string FindFileIgnoringCase(const std::string& path) {
    if (FileExists(path)) return path;
    const std::string folder = FolderOf(path);
    const std::string name = NameOf(path);
    std::unique_ptr<DIR, TDirCloser> dir(opendir(folder.empty() ? "." : folder.c_str()));
    if (!dir) return {};
    while (const dirent* entry = readdir(dir.get())) {
        if (strcasecmp(entry->d_name, name.c_str()) == 0 && FileExists(folder + entry->d_name))
            return folder + entry->d_name;
    }
    return {};
}

}  // namespace morvane
