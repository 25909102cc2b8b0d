#pragma once

#include <string>

namespace morvane {

/// The login name of the user running the program, as the system's bytes; empty when the
/// system knows none.
std::string LoginName();

}  // namespace morvane
