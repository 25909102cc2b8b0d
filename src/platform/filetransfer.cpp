#include "platform/filetransfer.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/files.h"
#include "platform/hiddenfiles.h"
#include "platform/undorecord.h"

namespace morvane {
namespace {

std::string Failure(const char* verb, const std::string& path, int err) {
    return std::string("cannot ") + verb + " \"" + path + "\": " + std::strerror(err);
}

enum class TRenamed { Done, Exists, CrossDevice };

TRenamed Renamed(int result, const std::string& to) {
    if (result == 0) return TRenamed::Done;
    if (errno == EEXIST) return TRenamed::Exists;
    if (errno == EXDEV) return TRenamed::CrossDevice;
    throw EFileError(Failure("write", to, errno));
}

// The check for an existing destination and the rename in one step, where the file system can;
// a hard link where it cannot; a look and a rename where it has no hard links either.
TRenamed RenameUnlessExists(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return TRenamed::Done;
    if (errno != EINVAL && errno != ENOSYS) return Renamed(-1, to);
    if (link(from.c_str(), to.c_str()) == 0) {
        unlink(from.c_str());
        return TRenamed::Done;
    }
    if (errno != EPERM && errno != EOPNOTSUPP) return Renamed(-1, to);
    if (IdentityOf(to).Exists) return TRenamed::Exists;
    return Renamed(rename(from.c_str(), to.c_str()), to);
}

// Replaces to only while it is the file the user agreed to lose.
TRenamed RenameOver(const std::string& from, const std::string& to, const TFileIdentity& expected) {
    if (!expected.Exists) return RenameUnlessExists(from, to);
    if (IdentityOf(to) != expected) return TRenamed::Exists;
    return Renamed(rename(from.c_str(), to.c_str()), to);
}

bool WriteAll(int fd, const char* bytes, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

struct TFd {
    int Fd = -1;
    ~TFd() {
        if (Fd >= 0) close(Fd);
    }
};

std::uint64_t DeviceOf(const std::string& folder) {
    struct stat st {};
    return stat(folder.empty() ? "." : folder.c_str(), &st) == 0 ? st.st_dev : 0;
}

}  // namespace

bool TFileIdentity::operator==(const TFileIdentity& other) const {
    return Exists == other.Exists && IsFolder == other.IsFolder && Device == other.Device &&
           Inode == other.Inode && Size == other.Size && ModifiedNs == other.ModifiedNs;
}

TFileIdentity IdentityOf(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return {};
    TFileIdentity identity;
    identity.Exists = true;
    identity.IsFolder = S_ISDIR(st.st_mode);
    identity.Device = st.st_dev;
    identity.Inode = st.st_ino;
    identity.Size = st.st_size;
    identity.ModifiedNs =
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return identity;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

bool RenameNoReplace(const std::string& from, const std::string& to) {
    switch (RenameUnlessExists(from, to)) {
        case TRenamed::Done:
            return true;
        case TRenamed::Exists:
            return false;
        case TRenamed::CrossDevice:
            break;
    }
    throw EFileError(Failure("write", to, EXDEV));
}

void RemoveFile(const std::string& path) {
    if (unlink(path.c_str()) != 0) throw EFileError(Failure("remove", path, errno));
}

TStagedCopy::TStagedCopy(const std::string& source, const std::string& destination)
    : FDestination(destination) {
    TFd in{open(source.c_str(), O_RDONLY | O_CLOEXEC)};
    struct stat st {};
    if (in.Fd < 0 || fstat(in.Fd, &st) != 0) throw EFileError(Failure("read", source, errno));
    if (!S_ISREG(st.st_mode)) throw EFileError(Failure("read", source, EISDIR));

    TidyAfterKilledWriters(destination);
    // Without a name, a copy cut short by a crash leaves nothing behind; a hidden one is locked
    // while this run lives, so only a later run removes it.
    FTemp.Fd = OpenUnnamedFile(FolderOf(destination), O_WRONLY);
    if (FTemp.Fd >= 0) {
        flock(FTemp.Fd, LOCK_EX);
    } else {
        FTemp.Fd = CreateHiddenFile(destination, FTemp.Path);
        if (FTemp.Fd < 0) throw EFileError(Failure("write", destination, errno));
    }

    char buffer[65536];
    for (;;) {
        const ssize_t n = read(in.Fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            throw EFileError(Failure("read", source, errno));
        }
        if (!WriteAll(FTemp.Fd, buffer, static_cast<size_t>(n)))
            throw EFileError(Failure("write", destination, errno));
    }
    fchmod(FTemp.Fd, st.st_mode & 0777);
    const timespec times[2] = {st.st_atim, st.st_mtim};
    futimens(FTemp.Fd, times);
    // A move removes its source next: the copy must be on the disk first.
    if (fsync(FTemp.Fd) != 0) throw EFileError(Failure("write", destination, errno));
}

TStagedCopy::TTemp::~TTemp() {
    if (Fd >= 0) close(Fd);
    if (!Path.empty()) unlink(Path.c_str());
}

TStagedCopy::~TStagedCopy() = default;

void TStagedCopy::NameTemp() {
    if (!NameHiddenFile(FTemp.Fd, FDestination, FTemp.Path))
        throw EFileError(Failure("write", FDestination, errno));
}

bool TStagedCopy::Place(const TFileIdentity& expected) {
    if (FTemp.Path.empty() && !expected.Exists) {
        // A file without a name takes its name only where none is taken, in one step.
        if (LinkUnnamedFile(FTemp.Fd, FDestination)) {
            FPlaced = IdentityOf(FDestination);
            close(FTemp.Fd);
            FTemp.Fd = -1;
            return true;
        }
        if (errno == EEXIST) return false;
    }
    if (FTemp.Path.empty()) NameTemp();
    const TRenamed result = RenameOver(FTemp.Path, FDestination, expected);
    if (result == TRenamed::CrossDevice) throw EFileError(Failure("write", FDestination, EXDEV));
    if (result == TRenamed::Exists) return false;
    FTemp.Path.clear();
    FPlaced = IdentityOf(FDestination);
    return true;
}

namespace {

struct TPart {
    const TTransferItem* Item = nullptr;
    TFileIdentity Agreed;
    std::unique_ptr<TStagedCopy> Copy;
    bool Renamed = false;
    bool Placed = false;
};

// Undoes what has been placed, so the unit stays whole: renamed files go back, copies that
// replaced nothing go. A file the user agreed to replace is gone already; the source remains.
void Rollback(std::vector<TPart>& parts) {
    for (auto part = parts.rbegin(); part != parts.rend(); ++part) {
        if (!part->Placed) continue;
        const TTransferItem& item = *part->Item;
        if (part->Renamed) {
            try {
                RenameNoReplace(item.Destination, item.Source);
            } catch (const EFileError&) {
                // Then the file stays where it arrived: moved, not lost.
            }
        } else if (!part->Agreed.Exists &&
                   IdentityOf(item.Destination) == part->Copy->PlacedIdentity()) {
            unlink(item.Destination.c_str());
        }
        part->Placed = false;
    }
}

std::optional<std::string> CheckItem(const TTransferItem& item, bool isMove) {
    struct stat st {};
    if (stat(item.Source.c_str(), &st) != 0) return Failure("read", item.Source, errno);
    if (!S_ISREG(st.st_mode)) return Failure("read", item.Source, EISDIR);
    const char* verb = isMove ? "move" : "copy";
    if (SameFile(item.Source, item.Destination))
        return std::string("cannot ") + verb + " \"" + item.Source + "\" onto itself";
    if (IdentityOf(item.Destination).IsFolder)
        return "cannot replace the folder \"" + item.Destination + "\"";
    const std::string sourceFolder = FolderOf(item.Source);
    if (isMove && access(sourceFolder.empty() ? "." : sourceFolder.c_str(), W_OK) != 0)
        return Failure("move", item.Source, errno);
    return std::nullopt;
}

// Places one part; false when the user declined to replace a destination that appeared or
// changed since the question.
bool Place(TPart& part, const TAskReplace& askReplace) {
    const TTransferItem& item = *part.Item;
    for (;;) {
        bool placed = false;
        if (part.Copy) {
            placed = part.Copy->Place(part.Agreed);
        } else {
            const TRenamed result = RenameOver(item.Source, item.Destination, part.Agreed);
            if (result == TRenamed::CrossDevice) {
                part.Copy = std::make_unique<TStagedCopy>(item.Source, item.Destination);
                continue;
            }
            placed = result == TRenamed::Done;
            part.Renamed = placed;
        }
        if (placed) {
            part.Placed = true;
            return true;
        }
        part.Agreed = IdentityOf(item.Destination);
        if (part.Agreed.Exists && !askReplace(item.Destination)) return false;
    }
}

}  // namespace

std::optional<TTransferFailure> TransferFiles(const std::vector<TTransferItem>& items, bool isMove,
                                              const TAskReplace& askReplace) {
    std::vector<TPart> parts(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        parts[i].Item = &items[i];
        if (std::optional<std::string> reason = CheckItem(items[i], isMove))
            return TTransferFailure{items[i].Destination, *reason};
    }
    for (TPart& part : parts) {
        part.Agreed = IdentityOf(part.Item->Destination);
        if (part.Agreed.Exists && !askReplace(part.Item->Destination))
            return TTransferFailure{part.Item->Destination, ""};
    }
    TPart* current = nullptr;
    bool removedAny = false;
    try {
        for (TPart& part : parts) {
            current = &part;
            const TTransferItem& item = *part.Item;
            if (!isMove || DeviceOf(FolderOf(item.Source)) != DeviceOf(FolderOf(item.Destination)))
                part.Copy = std::make_unique<TStagedCopy>(item.Source, item.Destination);
        }
        for (TPart& part : parts) {
            current = &part;
            if (!Place(part, askReplace)) {
                Rollback(parts);
                return TTransferFailure{part.Item->Destination, ""};
            }
        }
        for (TPart& part : parts) {
            current = &part;
            if (!isMove || part.Renamed) continue;
            RemoveFile(part.Item->Source);
            removedAny = true;
        }
    } catch (const EFileError& error) {
        // Once a source is gone its copy must stay; until then the unit goes back.
        if (!removedAny) Rollback(parts);
        return TTransferFailure{current->Item->Destination, error.what()};
    }
    return std::nullopt;
}

std::optional<TTransferFailure> RenameFiles(const std::vector<TTransferItem>& items) {
    size_t done = 0;
    std::optional<TTransferFailure> failure;
    for (; done < items.size() && !failure; ++done) {
        const TTransferItem& item = items[done];
        try {
            if (FolderOf(item.Destination) != FolderOf(item.Source)) {
                failure = TTransferFailure{item.Destination, "a file name cannot hold \"/\""};
            } else if (!RenameNoReplace(item.Source, item.Destination)) {
                failure = TTransferFailure{item.Destination,
                                           "\"" + item.Destination + "\" exists already"};
            }
        } catch (const EFileError& error) {
            failure = TTransferFailure{item.Destination, error.what()};
        }
    }
    if (failure) {
        // The one that failed was not renamed; those before it go back.
        for (size_t i = done - 1; i-- > 0;) {
            try {
                RenameNoReplace(items[i].Destination, items[i].Source);
            } catch (const EFileError&) {
                // Then it keeps its new name: renamed, not lost.
            }
        }
    }
    return failure;
}

}  // namespace morvane
