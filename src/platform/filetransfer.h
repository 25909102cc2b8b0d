#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace morvane {

/// What a directory entry is, so that a later look can tell whether it is still the same file.
struct TFileIdentity {
    bool Exists = false;
    bool IsFolder = false;
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::int64_t Size = 0;
    std::int64_t ModifiedNs = 0;

    bool operator==(const TFileIdentity& other) const;
    bool operator!=(const TFileIdentity& other) const { return !(*this == other); }
};

/// The entry at path itself: a symbolic link is not followed.
TFileIdentity IdentityOf(const std::string& path);

/// True when both paths reach one existing file, through symbolic or hard links too.
bool SameFile(const std::string& a, const std::string& b);

/// folder + "/" + name, with one '/' between them however folder ends.
std::string JoinPath(const std::string& folder, const std::string& name);

/// Renames from to to unless to exists (checked and renamed in one step where the file system
/// can). False, and nothing changed, when to exists. Throws EFileError naming to.
bool RenameNoReplace(const std::string& from, const std::string& to);

/// Removes the file (a symbolic link itself, not what it points at). Throws EFileError.
void RemoveFile(const std::string& path);

/// A complete copy of a file in its destination's folder, without a name (or, where the file
/// system has none, under a hidden ".NAME.morvane-XXXXXX"), with the source's permissions and
/// modification time, flushed to the disk. Nothing of it stays unless it is placed.
class TStagedCopy {
public:
    /// Throws EFileError naming source when it cannot be read, destination when the copy cannot
    /// be written; then nothing is left behind.
    TStagedCopy(const std::string& source, const std::string& destination);
    ~TStagedCopy();
    TStagedCopy(const TStagedCopy&) = delete;
    TStagedCopy& operator=(const TStagedCopy&) = delete;

    /// Renames the copy to the destination when the destination still is expected (absent, or
    /// the file the user agreed to replace). False, and the copy kept, when it is not. Throws
    /// EFileError naming the destination.
    bool Place(const TFileIdentity& expected);
    /// The placed file, to tell it from one that took its place later.
    const TFileIdentity& PlacedIdentity() const { return FPlaced; }

private:
    // The copy's descriptor and temporary name, released also when the constructor stops
    // half-way.
    struct TTemp {
        int Fd = -1;
        std::string Path;
        ~TTemp();
    };

    void NameTemp();

    std::string FDestination;
    TTemp FTemp;
    TFileIdentity FPlaced;
};

/// One file of a copy or move.
struct TTransferItem {
    std::string Source;
    std::string Destination;
};

/// Why a copy or move did not happen: the destination that failed, and the reason (empty when
/// the user declined to replace it).
struct TTransferFailure {
    std::string Destination;
    std::string Reason;
};

/// Asked before an existing destination is replaced; true to replace it.
using TAskReplace = std::function<bool(const std::string& destination)>;

/// Copies, or moves when isMove, the files as a unit: each to its destination, or none of them.
/// A source that is its own destination (the same folder, or a link to it) is refused. An
/// existing destination is replaced only when askReplace agreed, and only if it is still the file
/// asked about when the new one takes its place. A copy goes to a temporary file beside its
/// destination and takes its place only once complete; a move is a rename within one file
/// system, and across two a copy whose source is removed once every file has arrived. Returns
/// the failure, if any; after one, the sources and any destination the user did not agree to
/// lose are as they were.
std::optional<TTransferFailure> TransferFiles(const std::vector<TTransferItem>& items, bool isMove,
                                              const TAskReplace& askReplace);

/// Renames each file to its destination in its own folder, as a unit: none of them when one
/// cannot be, as when a destination exists already (it is never replaced) or lies in another
/// folder. Returns the failure.
std::optional<TTransferFailure> RenameFiles(const std::vector<TTransferItem>& items);

}  // namespace morvane
