#include "document/folderindex.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <unordered_set>

#include "platform/files.h"

namespace morvane {
namespace {

// ASCII letters only, as strcasecmp compares them.
std::string Lowered(std::string name) {
    for (char& ch : name)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return name;
}

struct TDirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

// The regular files of one folder (links followed), by exact name and by lower-case name; of
// several names that differ only in case, the first the folder lists.
struct TFolderIndex::TListing {
    std::vector<TFolderEntry> Entries;
    std::unordered_map<std::string, bool> Exact;
    std::unordered_map<std::string, std::string> Folded;
    // Every name in lower case, whatever it names.
    std::unordered_set<std::string> AllFolded;
};

TFolderIndex::TFolderIndex() = default;
TFolderIndex::~TFolderIndex() = default;

const TFolderIndex::TListing& TFolderIndex::ListingOf(const std::string& folder) {
    std::unique_ptr<TListing>& listing = FListings[folder];
    if (listing) return *listing;
    listing = std::make_unique<TListing>();
    std::unique_ptr<DIR, TDirCloser> dir(opendir(folder.empty() ? "." : folder.c_str()));
    if (!dir) return *listing;
    while (const dirent* entry = readdir(dir.get())) {
        TFolderEntry item;
        item.Name = entry->d_name;
        if (item.Name == "." || item.Name == "..") continue;
        if (entry->d_type == DT_REG) {
            item.Type = TFolderEntry::File;
        } else if (entry->d_type == DT_DIR) {
            item.Type = TFolderEntry::Folder;
        } else if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            const std::string path = folder + item.Name;
            struct stat st {};
            item.Link =
                entry->d_type == DT_LNK || (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode));
            if (stat(path.c_str(), &st) == 0) {
                item.Type = S_ISREG(st.st_mode)   ? TFolderEntry::File
                            : S_ISDIR(st.st_mode) ? TFolderEntry::Folder
                                                  : TFolderEntry::Other;
            }
        }
        const bool regular = item.Type == TFolderEntry::File;
        listing->Exact.emplace(item.Name, regular);
        listing->AllFolded.insert(Lowered(item.Name));
        if (regular) listing->Folded.emplace(Lowered(item.Name), item.Name);
        listing->Entries.push_back(std::move(item));
    }
    return *listing;
}

std::string TFolderIndex::FindFileIgnoringCase(const std::string& path) {
    const std::string folder = FolderOf(path);
    const std::string name = NameOf(path);
    std::lock_guard<std::mutex> lock(FMutex);
    const TListing& listing = ListingOf(folder);
    const auto exact = listing.Exact.find(name);
    if (exact != listing.Exact.end() && exact->second) return path;
    const auto folded = listing.Folded.find(Lowered(name));
    return folded == listing.Folded.end() ? std::string() : folder + folded->second;
}

std::vector<TFolderEntry> TFolderIndex::Entries(const std::string& folder) {
    std::lock_guard<std::mutex> lock(FMutex);
    std::vector<TFolderEntry> entries = ListingOf(folder).Entries;
    std::sort(entries.begin(), entries.end(),
              [](const TFolderEntry& a, const TFolderEntry& b) { return a.Name < b.Name; });
    return entries;
}

bool TFolderIndex::MayHold(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = path.substr(folder.size());
    std::lock_guard<std::mutex> lock(FMutex);
    const TListing& listing = ListingOf(folder);
    return listing.Exact.count(name) > 0 || listing.AllFolded.count(Lowered(name)) > 0;
}

size_t TFolderIndex::FoldersRead() const {
    std::lock_guard<std::mutex> lock(FMutex);
    return FListings.size();
}

}  // namespace morvane
