// The desktop's thumbnailer for art files: morvane-thumbnailer -s SIZE INPUT OUTPUT.png writes
// the picture of INPUT, its larger side SIZE pixels, as a PNG file.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <limits>
#include <string>
#include <string_view>

#include "display/raster/cellfont.h"
#include "display/raster/pngfile.h"
#include "display/raster/thumbnail.h"
#include "platform/files.h"

namespace {

constexpr int kLargestSize = 4096;

constexpr char kUsage[] = "usage: morvane-thumbnailer -s SIZE INPUT OUTPUT.png\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "--help") {
        std::printf("%sDraws the picture of a text-art file INPUT as OUTPUT.png, its larger side "
                    "SIZE pixels (1 to %d).\n",
                    kUsage, kLargestSize);
        return 0;
    }
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::printf("morvane-thumbnailer %s\n", MORVANE_VERSION);
        return 0;
    }
    if (argc != 5 || std::string_view(argv[1]) != "-s") return Usage();
    char* end = nullptr;
    const long size = std::strtol(argv[2], &end, 10);
    if (end == argv[2] || *end != '\0' || size < 1 || size > kLargestSize) return Usage();
    const std::string input = argv[3];
    const std::string output = argv[4];
    try {
        auto font = morvane::TCellFont::LoadDefault();
        morvane::TPixelBuffer picture;
        // Drawn whole, then scaled once to the size asked for.
        if (!morvane::RenderThumbnail(input, std::numeric_limits<int>::max(), *font, picture)) {
            std::fprintf(stderr, "morvane-thumbnailer: %s has no picture\n", input.c_str());
            return 1;
        }
        const morvane::TLargeVector<char> png =
            morvane::EncodePng(morvane::ScaleToSize(picture, static_cast<int>(size)));
        // Written beside and renamed, so a failure leaves no half-written thumbnail; a link at
        // the output is replaced, never written through.
        morvane::WriteFileAtomic(output, std::string_view(png.data(), png.size()),
                                 morvane::TLinks::Replace);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "morvane-thumbnailer: %s\n", error.what());
        return 1;
    }
    return 0;
}
