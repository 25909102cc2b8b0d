#pragma once

#include <string>
#include <vector>

namespace morvane {

/// Puts entry first in a recent list, moving the others one place towards the end and dropping
/// the last. False, and nothing changed, when the list already holds entry (bytes and letter case
/// compared): an entry keeps its place.
bool AddRecent(std::vector<std::string>& captions, const std::string& entry);

/// Whether a caption of a recent list names a folder; the placeholders that mark empty slots
/// ("1" … "9", "0") and anything else not an absolute path do not.
bool IsRecentFolder(const std::string& caption);

}  // namespace morvane
