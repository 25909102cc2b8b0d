// An undo record from any bytes, as a hostile folder could hold one beside a colour pair: what
// parses names only files of the pair's stem under writers' hidden names, gives the same entries
// once written out again, and acting on it touches nothing but the pair and its hidden files.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/hiddenfiles.h"
#include "platform/undorecord.h"

namespace {

using morvane::TUndoEntry;

bool Same(const TUndoEntry& a, const TUndoEntry& b) {
    return a.Name == b.Name && a.Existed == b.Existed && a.StagedTag == b.StagedTag &&
           a.BackupTag == b.BackupTag && a.Device == b.Device && a.Inode == b.Inode;
}

// A folder of the run's own, removed when it ends.
class TFolder {
  public:
    TFolder() {
        std::string pattern = "/tmp/morvane-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) std::abort();
        FPath = pattern + "/";
    }
    ~TFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }
    const std::string& Path() const { return FPath; }

  private:
    std::string FPath;
};

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<TUndoEntry> entries;
    if (morvane::ParseUndoRecord(bytes, "out", entries)) {
        for (const TUndoEntry& entry : entries) {
            if (entry.Name.find('/') != std::string::npos || morvane::StemOf(entry.Name) != "out" ||
                !morvane::IsHiddenTag(entry.StagedTag) || !morvane::IsHiddenTag(entry.BackupTag)) {
                std::abort();
            }
        }
        std::vector<TUndoEntry> again;
        if (!morvane::ParseUndoRecord(morvane::FormatUndoRecord(entries), "out", again) ||
            again.size() != entries.size()) {
            std::abort();
        }
        for (size_t i = 0; i < entries.size(); ++i) {
            if (!Same(again[i], entries[i])) std::abort();
        }
    } else if (!entries.empty()) {
        std::abort();
    }

    // Acted on beside a pair, with files of others around it.
    static const TFolder folder;
    const std::string dir = folder.Path();
    std::filesystem::remove_all(dir + "sub");
    std::filesystem::create_directory(dir + "sub");
    Write(dir + "sub/out.txt", "sub");
    Write(dir + "victim.txt", "victim");
    Write(dir + ".victim.txt.morvane-abcdef", "planted");
    Write(dir + "out.txt", "text");
    Write(dir + ".out.txt.morvane-abcdef", "old text");
    Write(dir + ".out.morvane-undo", bytes);
    morvane::TidyAfterKilledWriters(dir + "out.txt");
    if (Read(dir + "victim.txt") != "victim" || Read(dir + "sub/out.txt") != "sub" ||
        Read(dir + ".victim.txt.morvane-abcdef") != "planted") {
        std::abort();
    }
    // The record is gone whatever it held, and so are the hidden files of the pair.
    struct stat st {};
    if (lstat((dir + ".out.morvane-undo").c_str(), &st) == 0) std::abort();
    if (lstat((dir + ".out.txt.morvane-abcdef").c_str(), &st) == 0) std::abort();
    return 0;
}
