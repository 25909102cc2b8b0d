#include "platform/hiddenfiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "platform/files.h"

namespace morvane {
namespace {

constexpr char kMarker[] = ".morvane-";
constexpr size_t kMarkerSize = sizeof kMarker - 1;
constexpr size_t kTagSize = 6;

bool IsTagCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

std::string ProcFdPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

struct TDirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

std::string NewHiddenTag() {
    // Not secret, only unlikely to be taken: O_EXCL and link() refuse a name that is. One a
    // thread, as the thumbnails are drawn on threads of their own.
    thread_local std::minstd_rand random(
        static_cast<unsigned>(getpid()) * 2654435761u ^
        static_cast<unsigned>(std::hash<std::thread::id>()(std::this_thread::get_id())) ^
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string tag;
    for (size_t i = 0; i < kTagSize; ++i) tag += kLetters[random() % (sizeof kLetters - 1)];
    return tag;
}

bool IsHiddenTag(const std::string& tag) {
    if (tag.size() != kTagSize) return false;
    for (const char c : tag) {
        if (!IsTagCharacter(c)) return false;
    }
    return true;
}

std::string HiddenNameFor(const std::string& target, const std::string& tag) {
    return FolderOf(target) + "." + NameOf(target) + kMarker + tag;
}

std::string HiddenNameFor(const std::string& target) {
    return HiddenNameFor(target, NewHiddenTag());
}

std::string StemOf(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool IsHiddenFileOf(const std::string& name, const std::string& stem) {
    // "." NAME ".morvane-" TAG, where NAME's stem is stem.
    if (name.size() < 1 + kMarkerSize + kTagSize || name[0] != '.') return false;
    const size_t marker = name.size() - kMarkerSize - kTagSize;
    if (name.compare(marker, kMarkerSize, kMarker) != 0) return false;
    if (!IsHiddenTag(name.substr(marker + kMarkerSize))) return false;
    const std::string target = name.substr(1, marker - 1);
    return !target.empty() && StemOf(target) == stem;
}

int OpenUnnamedFile(const std::string& folder, int flags) {
    // Naming one later goes through /proc.
    static const bool nameable = access("/proc/self/fd", X_OK) == 0;
    if (!nameable) return -1;
    return open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_CLOEXEC | flags, 0666);
}

bool LinkUnnamedFile(int fd, const std::string& path) {
    return linkat(AT_FDCWD, ProcFdPath(fd).c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

int CreateHiddenFile(const std::string& target, std::string& path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = HiddenNameFor(target);
        const int fd = open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            flock(fd, LOCK_EX);
            path = std::move(name);
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

bool NameHiddenFile(int fd, const std::string& target, std::string& path) {
    // Locked before it has a name, so no other run ever sees it unlocked while this one lives.
    flock(fd, LOCK_EX);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = HiddenNameFor(target);
        if (LinkUnnamedFile(fd, name)) {
            path = std::move(name);
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

void RemoveDeadHiddenFiles(const std::string& folder, const std::string& stem) {
    std::vector<std::string> found;
    {
        std::unique_ptr<DIR, TDirCloser> dir(opendir(folder.empty() ? "." : folder.c_str()));
        if (!dir) return;
        while (const dirent* entry = readdir(dir.get())) {
            if (IsHiddenFileOf(entry->d_name, stem)) found.push_back(folder + entry->d_name);
        }
    }
    for (const std::string& path : found) {
        const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        // A writer at work holds its lock; one that is gone holds none.
        struct stat held {};
        struct stat named {};
        if (flock(fd, LOCK_EX | LOCK_NB) == 0 && fstat(fd, &held) == 0 &&
            lstat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino && S_ISREG(named.st_mode)) {
            unlink(path.c_str());
        }
        close(fd);
    }
}

}  // namespace morvane
