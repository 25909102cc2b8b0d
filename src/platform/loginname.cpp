#include "platform/loginname.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace morvane {

std::string LoginName() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_name) {
        return found->pw_name;
    }
    // A container's user may have no entry in the password file.
    const char* user = std::getenv("USER");
    return user ? user : "";
}

}  // namespace morvane
