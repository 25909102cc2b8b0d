#include "display/raster/thumbnail.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "display/raster/documentpicture.h"
#include "platform/files.h"

namespace morvane {
namespace {

// The other file of a colour pair may be a link only within the pair's folder: a thumbnail of a
// folder shows nothing from elsewhere, such as a private file that a planted link leads to.
bool CompanionsStayInFolder(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> folder(
        realpath(FolderOf(path).empty() ? "." : FolderOf(path).c_str(), nullptr), &std::free);
    if (!folder) return false;
    const std::string inFolder =
        std::string(folder.get()) == "/" ? "/" : folder.get() + std::string("/");
    for (const char* ext : {"txt", "clo"}) {
        const std::string companion = CompanionPath(path, ext);
        struct stat st {};
        if (companion.empty() || companion == path || lstat(companion.c_str(), &st) != 0 ||
            !S_ISLNK(st.st_mode)) {
            continue;
        }
        std::unique_ptr<char, decltype(&std::free)> real(realpath(companion.c_str(), nullptr),
                                                         &std::free);
        if (!real || FolderOf(real.get()) != inFolder) return false;
    }
    return true;
}

}  // namespace

TPixelBuffer ScaleToFit(const TPixelBuffer& picture, int size) {
    const int larger = std::max(picture.Width, picture.Height);
    if (larger <= size) return picture;
    TPixelBuffer out;
    out.Width = std::max(1, static_cast<int>(std::int64_t(picture.Width) * size / larger));
    out.Height = std::max(1, static_cast<int>(std::int64_t(picture.Height) * size / larger));
    out.Pixels.resize(static_cast<std::size_t>(out.Width) * out.Height);
    for (int y = 0; y < out.Height; ++y) {
        const int top = static_cast<int>(std::int64_t(y) * picture.Height / out.Height);
        const int bottom =
            std::max(top + 1, static_cast<int>(std::int64_t(y + 1) * picture.Height / out.Height));
        for (int x = 0; x < out.Width; ++x) {
            const int left = static_cast<int>(std::int64_t(x) * picture.Width / out.Width);
            const int right = std::max(
                left + 1, static_cast<int>(std::int64_t(x + 1) * picture.Width / out.Width));
            std::uint64_t red = 0, green = 0, blue = 0;
            for (int sy = top; sy < bottom; ++sy) {
                const std::uint32_t* row =
                    picture.Pixels.data() + static_cast<std::size_t>(sy) * picture.Width;
                for (int sx = left; sx < right; ++sx) {
                    red += row[sx] >> 16 & 0xFF;
                    green += row[sx] >> 8 & 0xFF;
                    blue += row[sx] & 0xFF;
                }
            }
            const std::uint64_t count = std::uint64_t(bottom - top) * (right - left);
            out.Pixels[static_cast<std::size_t>(y) * out.Width + x] =
                0xFF000000u | std::uint32_t((red + count / 2) / count) << 16 |
                std::uint32_t((green + count / 2) / count) << 8 |
                std::uint32_t((blue + count / 2) / count);
        }
    }
    return out;
}

TPixelBuffer ScaleToSize(const TPixelBuffer& picture, int size) {
    const int larger = std::max(picture.Width, picture.Height);
    if (larger >= size || larger == 0) return ScaleToFit(picture, size);
    TPixelBuffer out;
    out.Width = std::max(1, static_cast<int>(std::int64_t(picture.Width) * size / larger));
    out.Height = std::max(1, static_cast<int>(std::int64_t(picture.Height) * size / larger));
    out.Pixels.resize(static_cast<std::size_t>(out.Width) * out.Height);
    for (int y = 0; y < out.Height; ++y) {
        const std::uint32_t* row =
            picture.Pixels.data() +
            static_cast<std::size_t>(std::int64_t(y) * picture.Height / out.Height) * picture.Width;
        for (int x = 0; x < out.Width; ++x) {
            out.Pixels[static_cast<std::size_t>(y) * out.Width + x] =
                row[std::int64_t(x) * picture.Width / out.Width];
        }
    }
    return out;
}

bool RenderThumbnail(const std::string& path, int size, TCellFont& font, TPixelBuffer& thumbnail) {
    thumbnail = TPixelBuffer();
    if (!CompanionsStayInFolder(path)) return false;
    Tabc doc;
    try {
        if (!doc.LoadFile(path) && !(doc.DetectKind(path) == dkColor && doc.LoadTextPart()))
            return false;
    } catch (const EFileError&) {
        // A colour file that cannot be read; its text may still be there.
        if (doc.FTextPath.empty() || !doc.LoadTextPart()) return false;
    }
    TPixelBuffer picture;
    RenderDocumentPicture(doc, font, picture);
    if (picture.Width <= 0 || picture.Height <= 0) return false;
    thumbnail = ScaleToFit(picture, size);
    return true;
}

}  // namespace morvane
