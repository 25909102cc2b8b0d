// The batch converter: morvane-convert --to FORMAT ... FILE... (see --help).
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "display/raster/convertedpicture.h"
#include "document/converter.h"

namespace {

// The progress line cut to the terminal's width, so that it stays one line that \r can redraw;
// never inside a UTF-8 character.
std::string FittedToTerminal(std::string text) {
    winsize size{};
    const size_t width =
        ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1 ? size.ws_col - 1 : 79;
    if (text.size() <= width) return text;
    size_t cut = width;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.resize(cut);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    morvane::TConverterIo io;
    // A page that spills does so into a file without a name here, so nothing is left behind.
    const char* base = std::getenv("TMPDIR");
    io.TempDir = std::string(base && *base ? base : "/tmp") + "/";
    // stdio, not iostreams: a batch tool should not pay for stream and locale set-up on each start.
    io.Err = [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); };
    io.Out = [](const std::string& line) { std::fprintf(stdout, "%s\n", line.c_str()); };
    if (isatty(STDERR_FILENO)) {
        io.Progress = [](const std::string& status) {
            std::fprintf(stderr, "\r\x1b[K%s", FittedToTerminal(status).c_str());
            std::fflush(stderr);
        };
    }
    io.WritePicture = morvane::WriteConvertedPicture;
    return morvane::RunConverter({argv + 1, argv + argc}, io);
}
