// A settings file from any bytes (the input is split at its first 0xFF: the file, then a value to
// write): reading keeps every byte, and a write changes the key written and no other.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/settings/inifile.h"

namespace {

using morvane::TIniFile;

struct TKey {
    const char* Section;
    const char* Name;
};

// No two of them name the same key in any letter case.
constexpr TKey kKeys[] = {{"display", "window_width"}, {"display", "language"},
                          {"display", "LaunchFile"},   {"history", "n1"},
                          {"History", "N0"},           {"odd section", "c9"}};
constexpr size_t kKeyCount = sizeof kKeys / sizeof kKeys[0];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\xFF');
    const std::string_view file = input.substr(0, split);
    const std::string_view value =
        split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

    TIniFile ini(file);
    if (ini.Bytes() != file || ini.Modified()) std::abort();
    std::string before[kKeyCount];
    for (size_t i = 0; i < kKeyCount; ++i) {
        before[i] = ini.ReadString(kKeys[i].Section, kKeys[i].Name, "\n");
        ini.ReadInteger(kKeys[i].Section, kKeys[i].Name, 0);
    }

    const size_t target = value.size() % kKeyCount;
    const bool onOneLine = value.find_first_of("\r\n") == std::string_view::npos;
    if (ini.WriteString(kKeys[target].Section, kKeys[target].Name, value) != onOneLine)
        std::abort();
    const TIniFile again(ini.Bytes());
    for (size_t i = 0; i < kKeyCount; ++i) {
        const std::string now = again.ReadString(kKeys[i].Section, kKeys[i].Name, "\n");
        if (now != (i == target && onOneLine ? std::string(value) : before[i])) std::abort();
    }
    return 0;
}
