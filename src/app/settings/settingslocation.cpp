#include "app/settings/settingslocation.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/files.h"

namespace morvane {
namespace {

const char kFileName[] = "morvane.ini";

// Folders made for the settings are the user's alone, as configuration folders should be.
void MakeFolders(const std::string& folder) {
    for (size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            throw EFileError("cannot create the folder \"" + part + "\": " + std::strerror(errno));
        }
    }
}

}  // namespace

std::string SettingsFileLocation(const std::string& appDir, const char* xdgConfigHome,
                                 const char* home) {
    if (!appDir.empty() && FileExists(appDir + kFileName)) return appDir + kFileName;
    std::string config;
    if (xdgConfigHome && xdgConfigHome[0] == '/') {
        config = xdgConfigHome;
    } else {
        config = std::string(home ? home : "") + "/.config";
    }
    if (config.size() > 1 && config.back() == '/') config.pop_back();
    return config + "/morvane/" + kFileName;
}

void CreateSettingsFile(const std::string& path) {
    MakeFolders(FolderOf(path));
    if (FileExists(path)) return;
    WriteFileAtomic(path, "\r\n");
}

}  // namespace morvane
