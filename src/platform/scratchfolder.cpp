#include "platform/scratchfolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "platform/files.h"

namespace morvane {
namespace {

const char kLockName[] = ".lock";
// A folder whose lock file is not there yet may be one that another start is making right now.
constexpr std::time_t kUnlockedGraceSeconds = 60;

void RemoveAll(const std::string& folder) {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

bool Abandoned(const std::string& folder) {
    const std::string lock = folder + "/" + kLockName;
    const int fd = open(lock.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        struct stat st {};
        return lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
               std::time(nullptr) - st.st_mtime > kUnlockedGraceSeconds;
    }
    const bool free = flock(fd, LOCK_EX | LOCK_NB) == 0;
    close(fd);
    return free;
}

}  // namespace

TScratchFolder::TScratchFolder(const std::string& base, const std::string& prefix) {
    std::string name = base + prefix + "XXXXXX";
    if (!mkdtemp(name.data()))
        throw EFileError("cannot create a folder in \"" + base + "\": " + std::strerror(errno));
    FPath = name + "/";
    FLockFd = open((FPath + kLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (FLockFd >= 0) flock(FLockFd, LOCK_EX | LOCK_NB);
}

TScratchFolder::~TScratchFolder() {
    RemoveAll(FPath);
    if (FLockFd >= 0) close(FLockFd);
}

void TScratchFolder::SweepAbandoned(const std::string& base, const std::string& prefix) {
    struct TDirCloser {
        void operator()(DIR* dir) const { closedir(dir); }
    };
    std::unique_ptr<DIR, TDirCloser> dir(opendir(base.empty() ? "." : base.c_str()));
    if (!dir) return;
    std::vector<std::string> abandoned;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0 || name.size() == prefix.size()) continue;
        const std::string folder = base + name;
        if (Abandoned(folder)) abandoned.push_back(folder);
    }
    for (const std::string& folder : abandoned) RemoveAll(folder);
}

}  // namespace morvane
