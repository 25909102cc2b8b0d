#include "platform/trash.h"

#include <fcntl.h>
#include <pwd.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string_view>

#include "platform/files.h"

namespace morvane {
namespace {

constexpr char kInfoExtension[] = ".trashinfo";

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// The parent of an absolute folder; "/" is its own.
std::string ParentOf(const std::string& folder) {
    const size_t slash = folder.find_last_of('/');
    return slash == 0 || slash == std::string::npos ? "/" : folder.substr(0, slash);
}

// Where the user's data goes: $XDG_DATA_HOME, or ~/.local/share. A relative setting is no
// setting, so nothing lands below the working folder.
std::string DataHome() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return WithoutTrailingSlashes(data);
    std::string home;
    if (const char* variable = std::getenv("HOME"); variable && variable[0] == '/') {
        home = variable;
    } else if (const passwd* user = getpwuid(getuid());
               user && user->pw_dir && user->pw_dir[0] == '/') {
        home = user->pw_dir;
    }
    if (home.empty()) return {};
    home = WithoutTrailingSlashes(home);
    return (home == "/" ? "" : home) + "/.local/share";
}

// A folder the trash may use. In a volume's trash, which anybody with the volume could have
// prepared, it must be the user's own and no link.
bool IsUsableFolder(const std::string& folder, bool strict) {
    struct stat st {};
    if ((strict ? lstat(folder.c_str(), &st) : stat(folder.c_str(), &st)) != 0) return false;
    return S_ISDIR(st.st_mode) && (!strict || st.st_uid == getuid());
}

bool MakeFolder(const std::string& folder, bool strict) {
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
    return IsUsableFolder(folder, strict);
}

// Makes folder and those above it that are missing, each private to the user.
bool MakeFolders(const std::string& folder) {
    struct stat st {};
    if (stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    if (errno != ENOENT || folder == "/") return false;
    return MakeFolders(ParentOf(folder)) && MakeFolder(folder, false);
}

bool MakeTrash(const std::string& folder, bool strict) {
    return MakeFolder(folder, strict) && MakeFolder(folder + "/files", strict) &&
           MakeFolder(folder + "/info", strict);
}

// The device a path is or would be made on: that of its nearest existing ancestor.
std::optional<dev_t> FutureDeviceOf(std::string path) {
    for (;;) {
        struct stat st {};
        if (stat(path.c_str(), &st) == 0) return st.st_dev;
        if ((errno != ENOENT && errno != ENOTDIR) || path == "/") return std::nullopt;
        path = ParentOf(path);
    }
}

std::string RealFolder(const std::string& folder) {
    std::unique_ptr<char, decltype(&std::free)> real(
        realpath(folder.empty() ? "." : folder.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : std::string();
}

// The absolute path of the entry itself: its folder resolved, its name (a link too) kept.
std::string AbsolutePath(const std::string& path) {
    const std::string folder = RealFolder(FolderOf(path));
    if (folder.empty() || NameOf(path).empty()) return {};
    return (folder == "/" ? "" : folder) + "/" + NameOf(path);
}

// The top folder of the volume that holds the absolute folder: the last one upwards on its
// device.
std::string TopdirOf(std::string folder) {
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0) return {};
    const dev_t device = st.st_dev;
    while (folder != "/") {
        const std::string parent = ParentOf(folder);
        if (stat(parent.c_str(), &st) != 0 || st.st_dev != device) break;
        folder = parent;
    }
    return folder;
}

// A path as an info file holds it: every byte but letters, digits, "-._~" and "/" as %XX.
std::string EscapePath(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~' ||
                           c == '/';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// The n-th name to try in the trash for name: "a.txt", then "a.2.txt", "a.3.txt" and so on,
// short enough for its info file's name.
std::string TrashName(std::string name, int n) {
    const size_t room = NAME_MAX - (sizeof kInfoExtension - 1) - 12;
    if (name.size() > room) name.resize(room);
    if (n == 1) return name;
    const size_t dot = name.rfind('.');
    const std::string number = "." + std::to_string(n);
    if (dot == std::string::npos || dot == 0) return name + number;
    return name.substr(0, dot) + number + name.substr(dot);
}

bool WriteWhole(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Renames from to to unless to exists; the errno of a failure.
int RenameUnlessTaken(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    struct stat st {};
    if (lstat(to.c_str(), &st) == 0) return EEXIST;
    return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

std::optional<TTrash> HomeTrash() {
    const std::string data = DataHome();
    if (data.empty() || !MakeFolders(data)) return std::nullopt;
    const std::string trash = data + "/Trash";
    if (!MakeTrash(trash, false)) return std::nullopt;
    return TTrash{trash, ""};
}

std::optional<TTrash> VolumeTrash(const std::string& topdir) {
    const std::string top = WithoutTrailingSlashes(topdir);
    const std::string base = top == "/" ? "" : top;
    const std::string uid = std::to_string(getuid());
    // A trash the administrator shares: sticky, so users cannot take each other's folders.
    const std::string shared = base + "/.Trash";
    struct stat st {};
    if (lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) &&
        MakeTrash(shared + "/" + uid, true)) {
        return TTrash{shared + "/" + uid, top};
    }
    const std::string own = base + "/.Trash-" + uid;
    if (MakeTrash(own, true)) return TTrash{own, top};
    return std::nullopt;
}

std::optional<TTrash> TrashFor(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return std::nullopt;
    const std::string data = DataHome();
    if (!data.empty() && FutureDeviceOf(data + "/Trash") == st.st_dev) return HomeTrash();
    const std::string absolute = AbsolutePath(path);
    if (absolute.empty()) return std::nullopt;
    const std::string topdir = TopdirOf(ParentOf(absolute));
    if (topdir.empty()) return std::nullopt;
    // A file is never copied into the home trash from another volume: no trash, then.
    return VolumeTrash(topdir);
}

bool MoveToTrash(const std::string& path, const TTrash& trash) {
    const std::string absolute = AbsolutePath(path);
    if (absolute.empty()) return false;
    std::string shown = absolute;
    if (!trash.Topdir.empty()) {
        const std::string prefix = trash.Topdir == "/" ? "/" : trash.Topdir + "/";
        if (absolute.compare(0, prefix.size(), prefix) == 0) shown = absolute.substr(prefix.size());
    }
    const std::string info =
        "[Trash Info]\nPath=" + EscapePath(shown) + "\nDeletionDate=" + LocalTimeNow() + "\n";
    for (int n = 1; n < 10000; ++n) {
        const std::string name = TrashName(NameOf(absolute), n);
        // The info file comes first and claims the name: no other trashing takes it meanwhile.
        const std::string infoPath = trash.Folder + "/info/" + name + kInfoExtension;
        const int fd =
            open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        const bool written = WriteWhole(fd, info) && fsync(fd) == 0;
        close(fd);
        const int error = written ? RenameUnlessTaken(path, trash.Folder + "/files/" + name) : EIO;
        if (error == 0) return true;
        unlink(infoPath.c_str());
        if (error != EEXIST) return false;
    }
    return false;
}

bool MoveToTrash(const std::string& path) {
    const std::optional<TTrash> trash = TrashFor(path);
    return trash && MoveToTrash(path, *trash);
}

}  // namespace morvane
