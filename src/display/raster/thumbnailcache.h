#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "display/raster/gridpicture.h"

namespace morvane {

/// What tells a file's versions apart: its size and modification time (nanoseconds); both zero
/// for a file that is not there.
struct TFileStamp {
    std::uintmax_t Size = 0;
    std::int64_t Modified = 0;
    bool operator==(const TFileStamp& other) const {
        return Size == other.Size && Modified == other.Modified;
    }
    bool operator!=(const TFileStamp& other) const { return !(*this == other); }
};

/// The stamps of the files an art file's picture is drawn from: the file, and for one of a
/// colour pair (.clo and .txt) the other file of the pair.
struct TArtStamp {
    TFileStamp File;
    TFileStamp Text;
    bool operator==(const TArtStamp& other) const {
        return File == other.File && Text == other.Text;
    }
    bool operator!=(const TArtStamp& other) const { return !(*this == other); }
};

/// The stamp of the art file at path (bytes) as it is now.
TArtStamp ArtStampOf(const std::string& path);

/// Thumbnails by path and size, each valid for the stamp its files had when it was drawn, so a
/// file changed since (in size or time) is drawn again and an unchanged one is not.
class TThumbnailCache {
public:
    /// The thumbnail of path at size drawn from files with this stamp; null when there is none.
    const TPixelBuffer* Find(const std::string& path, int size, const TArtStamp& stamp) const;
    void Store(const std::string& path, int size, const TArtStamp& stamp, TPixelBuffer thumbnail);
    std::size_t Count() const { return FEntries.size(); }

private:
    struct TEntry {
        TArtStamp Stamp;
        TPixelBuffer Thumbnail;
    };
    std::map<std::pair<std::string, int>, TEntry> FEntries;
};

}  // namespace morvane
