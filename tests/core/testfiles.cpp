#include "testfiles.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/files.h"

namespace morvane::test {

TTempFolder::TTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "morvane-test.XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    FPath = pattern + "/";
}

TTempFolder::~TTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
}

std::string TTempFolder::Write(const std::string& name, const std::string& bytes) const {
    const std::string path = FPath + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string TTempFolder::Read(const std::string& name) const { return ReadWholeFile(FPath + name); }

std::string CrLf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

}  // namespace morvane::test
