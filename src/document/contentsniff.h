#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace morvane {

/// How much of a file the content rule reads.
constexpr size_t kSniffBytes = 4096;

/// True when the start of a file reads as text: no NUL byte and no signature of a known binary
/// format (pictures, archives, programs, documents).
bool LooksLikeText(std::string_view head);

/// LooksLikeText on the first kSniffBytes of the file; false when it cannot be read.
bool FileLooksLikeText(const std::string& path);

}  // namespace morvane
