#pragma once

#include <string>

namespace morvane {

/// The folder of the running program's executable, ending in '/'; empty when it cannot be told.
std::string ExecutableFolder();

}  // namespace morvane
