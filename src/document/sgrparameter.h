#pragma once

#include <string_view>

namespace morvane {

/// A parameter of an escape sequence as a number: empty means 0; anything but digits, or a number
/// too long to matter, is -1 and has no effect.
inline int SgrParameterCode(std::string_view param) {
    if (param.empty()) return 0;
    int value = 0;
    for (char ch : param) {
        if (ch < '0' || ch > '9') return -1;
        value = value * 10 + (ch - '0');
        if (value > 9999) return -1;
    }
    return value;
}

}  // namespace morvane
