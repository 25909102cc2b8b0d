#include "platform/undorecord.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

#include "platform/files.h"
#include "platform/hiddenfiles.h"

namespace morvane {
namespace {

constexpr char kHeader[] = "morvane-undo 1\n";
constexpr size_t kHeaderSize = sizeof kHeader - 1;
constexpr size_t kFieldsPerEntry = 6;
// Far more than a record of a colour pair takes; a larger file is none of ours.
constexpr size_t kLargestRecord = 65536;
// How often a commit waits for another of the same files before it gives up.
constexpr int kAttempts = 16;

void (*gCommitStepHook)() = nullptr;

std::string Failure(const std::string& path, const std::string& reason) {
    return "cannot write \"" + path + "\": " + reason;
}

struct TFd {
    int Fd = -1;
    ~TFd() {
        if (Fd >= 0) close(Fd);
    }
};

bool ParseNumber(const std::string& text, std::uint64_t& value) {
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && stop == end;
}

bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

void SyncFolder(const std::string& folder) {
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

// Puts back what a commit changed, last file first; false when some of it could not be.
bool PutBack(const std::string& folder, const std::vector<TUndoEntry>& entries) {
    bool whole = true;
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        const std::string named = folder + entry->Name;
        std::string target = named;
        if (entry->Existed) {
            target = LinkTarget(named);
            const std::string backup = HiddenNameFor(target, entry->BackupTag);
            if (Exists(backup)) {
                // Where the old file was never replaced, both are one file, and its second name
                // stays after the rename.
                if (rename(backup.c_str(), target.c_str()) == 0) {
                    unlink(backup.c_str());
                } else {
                    whole = false;
                }
            }
        } else {
            // Only the new file goes: one that took its place later is somebody else's.
            struct stat st {};
            if (lstat(named.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
                st.st_dev == entry->Device && st.st_ino == entry->Inode &&
                unlink(named.c_str()) != 0) {
                whole = false;
            }
        }
        unlink(HiddenNameFor(target, entry->StagedTag).c_str());
    }
    return whole;
}

// Undoes the commit of stem's files in folder that a killed run left, unless a run still at work
// holds its record (waiting for that run when wait). False when the record stays.
bool UndoKilledCommit(const std::string& folder, const std::string& stem, bool wait) {
    const std::string path = UndoRecordPath(folder, stem);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        TFd record{open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
        if (record.Fd < 0) return errno == ENOENT;
        if (flock(record.Fd, wait ? LOCK_EX : LOCK_EX | LOCK_NB) != 0) return false;
        // The run that held it may have finished and removed it meanwhile.
        struct stat held {};
        struct stat named {};
        if (fstat(record.Fd, &held) != 0 || lstat(path.c_str(), &named) != 0 ||
            held.st_dev != named.st_dev || held.st_ino != named.st_ino) {
            continue;
        }
        if (!S_ISREG(held.st_mode)) return false;
        std::string bytes(kLargestRecord + 1, '\0');
        const ssize_t size = pread(record.Fd, bytes.data(), bytes.size(), 0);
        if (size < 0) return false;
        bytes.resize(static_cast<size_t>(size));
        std::vector<TUndoEntry> entries;
        // A file that is no record of ours is not acted on; left, it would block every commit.
        if (ParseUndoRecord(bytes, stem, entries) && !PutBack(folder, entries)) return false;
        if (unlink(path.c_str()) != 0) return false;
        SyncFolder(folder);
    }
    return false;
}

}  // namespace

std::string UndoRecordPath(const std::string& folder, const std::string& stem) {
    return folder + "." + stem + ".morvane-undo";
}

std::string FormatUndoRecord(const std::vector<TUndoEntry>& entries) {
    std::string bytes = kHeader;
    for (const TUndoEntry& entry : entries) {
        for (const std::string& field :
             {entry.Name, std::string(entry.Existed ? "1" : "0"), entry.StagedTag, entry.BackupTag,
              std::to_string(entry.Device), std::to_string(entry.Inode)}) {
            bytes += field;
            bytes += '\0';
        }
    }
    return bytes;
}

bool ParseUndoRecord(const std::string& bytes, const std::string& stem,
                     std::vector<TUndoEntry>& entries) {
    entries.clear();
    if (bytes.compare(0, kHeaderSize, kHeader) != 0 || bytes.back() != '\0') return false;
    std::vector<std::string> fields;
    for (size_t at = kHeaderSize; at < bytes.size();) {
        const size_t end = bytes.find('\0', at);
        fields.push_back(bytes.substr(at, end - at));
        at = end + 1;
    }
    if (fields.empty() || fields.size() % kFieldsPerEntry != 0) return false;
    for (size_t i = 0; i < fields.size(); i += kFieldsPerEntry) {
        TUndoEntry entry;
        entry.Name = fields[i];
        const std::string& existed = fields[i + 1];
        entry.StagedTag = fields[i + 2];
        entry.BackupTag = fields[i + 3];
        // Only the files of this stem in this folder, under names only writers use.
        if (!IsPlainName(entry.Name) || StemOf(entry.Name) != stem ||
            (existed != "0" && existed != "1") || !IsHiddenTag(entry.StagedTag) ||
            !IsHiddenTag(entry.BackupTag) || !ParseNumber(fields[i + 4], entry.Device) ||
            !ParseNumber(fields[i + 5], entry.Inode)) {
            entries.clear();
            return false;
        }
        entry.Existed = existed == "1";
        entries.push_back(entry);
    }
    return true;
}

TUndoRecord::TUndoRecord(const std::string& folder, const std::string& stem,
                         const std::vector<TUndoEntry>& entries, const std::string& nameForMessages)
    : FFolder(folder), FPath(UndoRecordPath(folder, stem)), FEntries(entries) {
    const std::string bytes = FormatUndoRecord(entries);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (!UndoKilledCommit(folder, stem, true)) {
            throw EFileError(Failure(nameForMessages, "an earlier write of it cannot be undone"));
        }
        // Written whole and locked before it has its name, so nobody sees it half-made or
        // takes it for a killed run's.
        std::string temp;
        TFd record{OpenUnnamedFile(folder, O_RDWR)};
        if (record.Fd < 0) record.Fd = CreateHiddenFile(folder + stem + ".morvane-undo", temp);
        if (record.Fd < 0) throw EFileError(Failure(nameForMessages, std::strerror(errno)));
        flock(record.Fd, LOCK_EX);
        size_t written = 0;
        while (written < bytes.size()) {
            const ssize_t n = write(record.Fd, bytes.data() + written, bytes.size() - written);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            written += static_cast<size_t>(n);
        }
        int error = written == bytes.size() && fsync(record.Fd) == 0 ? 0 : errno;
        if (error == 0) {
            CommitStep();
            const bool linked = temp.empty() ? LinkUnnamedFile(record.Fd, FPath)
                                             : link(temp.c_str(), FPath.c_str()) == 0;
            error = linked ? 0 : errno;
        }
        if (!temp.empty()) unlink(temp.c_str());
        if (error == 0) {
            FFd = record.Fd;
            record.Fd = -1;
            SyncFolder(folder);
            return;
        }
        // Another run's record came first: wait for it, or undo it, and try again.
        if (error != EEXIST) throw EFileError(Failure(nameForMessages, std::strerror(error)));
    }
    throw EFileError(Failure(nameForMessages, "other runs keep writing it"));
}

TUndoRecord::~TUndoRecord() {
    if (!FDone) RollBack();
    if (FFd >= 0) close(FFd);
}

void TUndoRecord::Commit() {
    CommitStep();
    if (unlink(FPath.c_str()) != 0) {
        throw EFileError(Failure(FPath, std::strerror(errno)));
    }
    FDone = true;
    // On the disk before the old files' second names go, so no crash brings back a record whose
    // old files are gone.
    SyncFolder(FFolder);
}

void TUndoRecord::RollBack() {
    if (FDone) return;
    FDone = true;
    if (PutBack(FFolder, FEntries) && unlink(FPath.c_str()) == 0) SyncFolder(FFolder);
}

void TidyAfterKilledWriters(const std::string& path) {
    const std::string folder = FolderOf(path);
    const std::string stem = StemOf(NameOf(path));
    if (stem.empty()) return;
    // While a commit is at work, the hidden files of its stem are its own, locked or not.
    if (!UndoKilledCommit(folder, stem, false)) return;
    RemoveDeadHiddenFiles(folder, stem);
}

void SetCommitStepHook(void (*hook)()) { gCommitStepHook = hook; }

void CommitStep() {
    if (gCommitStepHook) gCommitStepHook();
}

}  // namespace morvane
