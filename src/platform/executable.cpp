#include "platform/executable.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "platform/files.h"

namespace morvane {
namespace {

bool IsFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// "a/b/bin/" with "../share/morvane" gives "a/b/share/morvane/".
std::string Beside(const std::string& folder, std::string relative) {
    std::string base = folder;
    while (relative.compare(0, 3, "../") == 0 && base.size() > 1) {
        base.pop_back();
        base = FolderOf(base);
        relative.erase(0, 3);
    }
    return base + relative + "/";
}

}  // namespace

std::string ExecutableFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || length == static_cast<ssize_t>(sizeof path)) return {};
    return FolderOf(std::string(path, static_cast<std::size_t>(length)));
}

TProgramFolders ProgramFoldersOf(const std::string& exeFolder) {
    TProgramFolders folders{exeFolder, exeFolder, false};
    if (exeFolder.empty() || IsFolder(exeFolder + "Favorites")) return folders;
    const std::string data = Beside(exeFolder, MORVANE_DATA_FROM_BIN);
    if (!IsFolder(data)) return folders;
    return {data, Beside(exeFolder, MORVANE_MODULES_FROM_BIN), true};
}

const TProgramFolders& ProgramFolders() {
    static const TProgramFolders folders = ProgramFoldersOf(ExecutableFolder());
    return folders;
}

}  // namespace morvane
