#pragma once

#include <string>

namespace morvane {

/// Moves the file (file-system bytes) to the desktop's trash, where the user can get it back.
/// False, and the file where it was, when there is no trash that can take it.
bool MoveToTrash(const std::string& path);

}  // namespace morvane
