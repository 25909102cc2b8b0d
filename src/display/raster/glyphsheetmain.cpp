// Writes the glyph sheet of the default fonts: run by the build, beside the executables.
#include <cstdio>
#include <exception>

#include "display/raster/cellfont.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: morvane-glyphsheet SHEET\n");
        return 2;
    }
    try {
        morvane::TCellFont().WriteSheet(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "morvane-glyphsheet: %s\n", error.what());
        return 1;
    }
    return 0;
}
