#include "app/settings/recentlist.h"

#include <algorithm>

namespace morvane {

bool AddRecent(std::vector<std::string>& captions, const std::string& entry) {
    if (captions.empty() || std::find(captions.begin(), captions.end(), entry) != captions.end())
        return false;
    std::rotate(captions.begin(), captions.end() - 1, captions.end());
    captions.front() = entry;
    return true;
}

bool IsRecentFolder(const std::string& caption) { return !caption.empty() && caption[0] == '/'; }

}  // namespace morvane
