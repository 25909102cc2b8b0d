#pragma once

#include <string>
#include <vector>

#include "document/abc.h"

namespace morvane {

/// The document's lines with their colours written in the "*[" notation that BBS editors take
/// when art is pasted: a sequence wherever the colours change, and a reset at the end of a
/// coloured line. Read back, they give the same colours (a marked cell in the default colours
/// reads back unmarked). Lines past the grid are plain text.
std::vector<std::string> BbsTextLines(const Tabc& doc);

}  // namespace morvane
