#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "display/raster/documentpicture.h"
#include "document/converter.h"

int main(int argc, char** argv) {
    // A scratch folder of this run's own, so parallel conversions never share a scratch file. It
    // is created only if a page needs it.
    const char* base = std::getenv("TMPDIR");
    const std::string tempDir = std::string(base && *base ? base : "/tmp") + "/morvane-convert." +
                                std::to_string(getpid()) + "." +
                                std::to_string(std::random_device()()) + "/";
    // stdio, not iostreams: a batch tool should not pay for stream and locale set-up on each start.
    auto err = [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); };
    auto writePicture = [](const morvane::Tabc& doc, const std::string& format,
                           const std::string& path) {
        morvane::SaveDocumentPicture(doc, path, *morvane::PictureFormatNamed(format));
    };
    return morvane::RunConverter({argv + 1, argv + argc}, err, tempDir, writePicture);
}
