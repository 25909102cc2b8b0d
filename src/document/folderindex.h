#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace morvane {

/// An entry of a folder: its name and what it is, a link taken as what it leads to.
struct TFolderEntry {
    enum TType { File, Folder, Other };
    std::string Name;
    TType Type = Other;
    bool Link = false;
};

/// The names in folders, each folder read once and kept, so that a batch over thousands of files
/// finds every file's companion without reading its folder again. Safe for several threads.
/// What a folder gains or loses after it was read is not seen.
class TFolderIndex {
  public:
    TFolderIndex();
    ~TFolderIndex();
    TFolderIndex(const TFolderIndex&) = delete;
    TFolderIndex& operator=(const TFolderIndex&) = delete;

    /// As FindFileIgnoringCase: the regular file in path's folder whose name equals path's name
    /// but for ASCII letter case, the exact name first; empty when there is none.
    std::string FindFileIgnoringCase(const std::string& path);

    /// The entries of folder (ending in '/', or empty for the working folder), sorted by name,
    /// without "." and "..". Empty when the folder cannot be read.
    std::vector<TFolderEntry> Entries(const std::string& folder);

    /// False when path's folder holds nothing of path's name in any letter case (or cannot be
    /// read), so that there is no file to look at.
    bool MayHold(const std::string& path);

    /// How many folders have been read.
    size_t FoldersRead() const;

  private:
    struct TListing;
    const TListing& ListingOf(const std::string& folder);

    mutable std::mutex FMutex;
    std::unordered_map<std::string, std::unique_ptr<TListing>> FListings;
};

}  // namespace morvane
