#pragma once

#include <cstdint>
#include <string>

#include "document/abc.h"

namespace morvane {

/// n / d rounded to the nearest integer, a value exactly halfway going to the even neighbour;
/// n >= 0, d > 0. Integer arithmetic, so a decimal product like 10 x 6.85 is exactly 68.5.
std::int64_t RoundHalfEven(std::int64_t n, std::int64_t d);

/// The page colours: white behind the default text colour while the text view is on screen,
/// white text on black otherwise, as the picture and page views show it.
struct TSendColors {
    /// "#FFFFFF" or "#000000".
    std::string Background;
    /// " bgcolor=\"" + Background + "\"", beginning with a blank.
    std::string BackgroundAttr;
    /// Empty for the text view, otherwise " style=\"color:#FFFFFF\"".
    std::string TextColorAttr;
};

TSendColors SendColors(bool textViewShown);

/// What the submission template's lines receive, from the document and the view shown.
struct TSendValues {
    std::string WideFlag;
    std::int64_t CellsPerRow = 0;
    std::int64_t WidthEstimate = 0;
    std::int64_t SecondWidth = 0;
    std::int64_t Height = 0;
    std::int64_t Rows = 0;
    TSendColors Colors;
    std::string UserId;
};

TSendValues ComputeSendValues(const Tabc& doc, bool textViewShown, std::string userId);

/// The user identification: loginName cut to at most 11 bytes, never inside a UTF-8 character.
std::string UserIdentification(const std::string& loginName);

}  // namespace morvane
