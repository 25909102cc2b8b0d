#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "document/converter.h"

// The scratch folder is private to this run, so parallel conversions never share a scratch file.
int main(int argc, char** argv) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/morvane-convert.XXXXXX";
    const char* tempDir = mkdtemp(pattern.data());
    const std::string temp = tempDir ? std::string(tempDir) + "/" : std::string();
    const int status = morvane::RunConverter({argv + 1, argv + argc}, std::cerr, temp);
    if (tempDir) {
        unlink((temp + "quillet.tmp").c_str());
        rmdir(tempDir);
    }
    return status;
}
