#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace morvane {

/// The end of a main window pack's file name, and of an about window pack's.
constexpr std::string_view kMainPackSuffix = "_mo.lng";
constexpr std::string_view kAboutPackSuffix = "_about.lng";

/// The "Language" folder of appDir (which ends in '/'), its name matched ignoring letter case,
/// ending in '/'; empty when there is none.
std::string PackFolder(const std::string& appDir);

/// The names of the main window packs in the pack folder (file names ending in kMainPackSuffix,
/// ignoring letter case), in the order the folder lists them: each file name without its
/// extension and then without its last three characters ("english_MO.lng" gives "english").
/// Nothing is sorted or removed; no folder gives no names.
std::vector<std::string> ListPackNames(const std::string& appDir);

/// The pack file name + suffix in the pack folder, matched ignoring letter case (the exact name
/// first); empty when there is none.
std::string FindPackFile(const std::string& appDir, const std::string& name,
                         std::string_view suffix);

}  // namespace morvane
