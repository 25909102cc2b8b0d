#include <cstdio>
#include <cstdlib>

#include "document/converter.h"

int main(int argc, char** argv) {
    // A page that spills does so into a file without a name here, so nothing is left behind.
    const char* base = std::getenv("TMPDIR");
    const std::string tempDir = std::string(base && *base ? base : "/tmp") + "/";
    // stdio, not iostreams: a batch tool should not pay for stream and locale set-up on each start.
    auto err = [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); };
    return morvane::RunConverter({argv + 1, argv + argc}, err, tempDir);
}
