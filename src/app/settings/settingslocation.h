#pragma once

#include <string>

namespace morvane {

/// The settings file: appDir + "morvane.ini" when that file is there (a portable copy, or the
/// build tree); otherwise "morvane/morvane.ini" in the user's configuration folder, which is
/// xdgConfigHome when that is an absolute path and home + "/.config" when not. appDir ends in
/// '/', or is empty for a program that keeps no settings beside it; xdgConfigHome and home may
/// be null.
std::string SettingsFileLocation(const std::string& appDir, const char* xdgConfigHome,
                                 const char* home);

/// Makes a settings file holding one empty line at path, with the folders it needs; an existing
/// file is left as it is. Throws EFileError naming what could not be made.
void CreateSettingsFile(const std::string& path);

}  // namespace morvane
