#pragma once

#include <string>

namespace morvane {

/// The window caption for path (bytes) in a window outerWidth pixels wide: the path itself when
/// it fits a budget of width / 8 - 10 bytes, else its root "/", "..." and as much of its end as
/// fits the budget without splitting a UTF-8 character.
std::string ShortCaption(const std::string& path, int outerWidth);

}  // namespace morvane
