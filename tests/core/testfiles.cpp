#include "testfiles.h"

#include <sched.h>
#include <sys/mount.h>

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

namespace {

bool PrivateMounts() {
    static const bool ready = unshare(CLONE_NEWNS) == 0 &&
                              mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return ready;
}

}  // namespace

TTmpfs::TTmpfs(const std::string& folder, unsigned long flags) : FFolder(folder) {
    FMounted =
        PrivateMounts() && mount("tmpfs", folder.c_str(), "tmpfs", flags, "size=1m,mode=0777") == 0;
}

TTmpfs::~TTmpfs() {
    if (FMounted) umount2(FFolder.c_str(), MNT_DETACH);
}

std::string CrLf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

}  // namespace morvane::test
