#include "app/caption.h"

#include <cmath>

namespace morvane {
namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::string ShortCaption(const std::string& path, int outerWidth) {
    // Rounded to the nearest, a half to the even neighbour (the default rounding mode).
    const long budget = std::lrint(outerWidth / 8.0) - 10;
    if (static_cast<long>(path.size()) <= budget) return path;

    const std::string head = path.substr(0, 1) + "...";
    long room = budget - static_cast<long>(head.size());
    if (room <= 0) return head;
    size_t start = path.size() - static_cast<size_t>(room);
    while (start < path.size() && IsContinuationByte(path[start])) ++start;
    return head + path.substr(start);
}

}  // namespace morvane
