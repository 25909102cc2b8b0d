// Writes the glyph sheet of the default fonts beside the executables, unless the sheet there
// already holds the fonts now installed: the build runs it every time.
#include <cstdio>
#include <exception>

#include "display/raster/cellfont.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: morvane-glyphsheet SHEET\n");
        return 2;
    }
    try {
        if (morvane::TCellFont::FromSheet(argv[1])) return 0;
        morvane::TCellFont().WriteSheet(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "morvane-glyphsheet: %s\n", error.what());
        return 1;
    }
    return 0;
}
