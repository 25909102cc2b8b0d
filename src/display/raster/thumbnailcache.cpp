#include "display/raster/thumbnailcache.h"

#include <chrono>
#include <filesystem>
#include <system_error>

#include "document/abc.h"

namespace morvane {
namespace {

TFileStamp FileStampOf(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path file(path);
    const std::uintmax_t size = fs::file_size(file, error);
    if (error) return {};
    const fs::file_time_type modified = fs::last_write_time(file, error);
    if (error) return {};
    return {size, static_cast<std::int64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                                modified.time_since_epoch())
                                                .count())};
}

}  // namespace

TArtStamp ArtStampOf(const std::string& path) {
    TArtStamp stamp;
    stamp.File = FileStampOf(path);
    if (Tabc().DetectKind(path) == dkColor) {
        // The other half of the pair, whichever half path names.
        std::string other = CompanionPath(path, "txt");
        if (other == path) other = CompanionPath(path, "clo");
        if (!other.empty()) stamp.Text = FileStampOf(other);
    }
    return stamp;
}

const TPixelBuffer* TThumbnailCache::Find(const std::string& path, int size,
                                          const TArtStamp& stamp) const {
    const auto found = FEntries.find({path, size});
    return found != FEntries.end() && found->second.Stamp == stamp ? &found->second.Thumbnail
                                                                   : nullptr;
}

void TThumbnailCache::Store(const std::string& path, int size, const TArtStamp& stamp,
                            TPixelBuffer thumbnail) {
    FEntries[{path, size}] = TEntry{stamp, std::move(thumbnail)};
}

}  // namespace morvane
