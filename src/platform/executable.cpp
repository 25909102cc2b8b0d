#include "platform/executable.h"

#include <unistd.h>

#include <climits>

#include "platform/files.h"

namespace morvane {

std::string ExecutableFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || length == static_cast<ssize_t>(sizeof path)) return {};
    return FolderOf(std::string(path, static_cast<std::size_t>(length)));
}

}  // namespace morvane
