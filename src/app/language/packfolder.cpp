#include "app/language/packfolder.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <memory>

#include "platform/files.h"

namespace morvane {
namespace {

constexpr char kFolderName[] = "Language";

struct TDirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

bool IsFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool EndsWithIgnoringCase(const std::string& name, std::string_view suffix) {
    return name.size() >= suffix.size() && strncasecmp(name.c_str() + name.size() - suffix.size(),
                                                       suffix.data(), suffix.size()) == 0;
}

}  // namespace

std::string PackFolder(const std::string& appDir) {
    if (IsFolder(appDir + kFolderName)) return appDir + kFolderName + "/";
    std::unique_ptr<DIR, TDirCloser> dir(opendir(appDir.empty() ? "." : appDir.c_str()));
    if (!dir) return {};
    while (const dirent* entry = readdir(dir.get())) {
        if (strcasecmp(entry->d_name, kFolderName) == 0 && IsFolder(appDir + entry->d_name))
            return appDir + entry->d_name + "/";
    }
    return {};
}

std::vector<std::string> ListPackNames(const std::string& appDir) {
    std::vector<std::string> names;
    const std::string folder = PackFolder(appDir);
    if (folder.empty()) return names;
    std::unique_ptr<DIR, TDirCloser> dir(opendir(folder.c_str()));
    if (!dir) return names;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string file = entry->d_name;
        if (!EndsWithIgnoringCase(file, kMainPackSuffix) || !FileExists(folder + file)) continue;
        const std::string stem = file.substr(0, file.rfind('.'));
        names.push_back(stem.substr(0, stem.size() - 3));
    }
    return names;
}

std::string FindPackFile(const std::string& appDir, const std::string& name,
                         std::string_view suffix) {
    const std::string folder = PackFolder(appDir);
    if (folder.empty()) return {};
    return FindFileIgnoringCase(folder + name + std::string(suffix));
}

}  // namespace morvane
