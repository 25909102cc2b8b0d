#pragma once

#include <string>
#include <vector>

#include "document/abc.h"

namespace morvane {

/// The document's lines with their colours, underline and blink written in the "*[" notation that
/// BBS editors take when art is pasted: a sequence wherever the look changes, and a reset at the
/// end of a coloured line. Read back, they give the same look (a marked cell in the default
/// colours reads back unmarked). Lines past the grid are plain text. With wholeCharacters, colours change
/// only between the document's characters, never between the two bytes of one, so that the text
/// survives decoding (as the clipboard does); a half-coloured character then takes the colours of
/// its first half.
std::vector<std::string> BbsTextLines(const Tabc& doc, bool wholeCharacters = false);

}  // namespace morvane
