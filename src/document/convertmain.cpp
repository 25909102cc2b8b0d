#include <cstdio>
#include <cstdlib>

#include "display/raster/documentpicture.h"
#include "document/converter.h"

int main(int argc, char** argv) {
    // A page that spills does so into a file without a name here, so nothing is left behind.
    const char* base = std::getenv("TMPDIR");
    const std::string tempDir = std::string(base && *base ? base : "/tmp") + "/";
    // stdio, not iostreams: a batch tool should not pay for stream and locale set-up on each start.
    auto err = [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); };
    auto writePicture = [](const morvane::Tabc& doc, const std::string& format,
                           const std::string& path) {
        morvane::SaveDocumentPicture(doc, path, *morvane::PictureFormatNamed(format));
    };
    return morvane::RunConverter({argv + 1, argv + argc}, err, tempDir, writePicture);
}
