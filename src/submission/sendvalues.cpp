#include "submission/sendvalues.h"

namespace morvane {
namespace {

constexpr size_t kUserIdBytes = 11;

bool IsUtf8Continuation(char ch) { return (static_cast<unsigned char>(ch) & 0xC0) == 0x80; }

}  // namespace

std::int64_t RoundHalfEven(std::int64_t n, std::int64_t d) {
    const std::int64_t quotient = n / d;
    const std::int64_t twiceRest = 2 * (n % d);
    if (twiceRest > d || (twiceRest == d && quotient % 2 != 0)) return quotient + 1;
    return quotient;
}

TSendColors SendColors(bool textViewShown) {
    TSendColors colors;
    colors.Background = textViewShown ? "#FFFFFF" : "#000000";
    colors.BackgroundAttr = " bgcolor=\"" + colors.Background + "\"";
    if (!textViewShown) colors.TextColorAttr = " style=\"color:#FFFFFF\"";
    return colors;
}

TSendValues ComputeSendValues(const Tabc& doc, bool textViewShown, std::string userId) {
    TSendValues values;
    const std::int64_t columns = doc.FColCount;
    values.WideFlag = doc.FWideCells ? "true" : "false";
    // Cell widths in hundredths of a pixel: 12.32 for a wide cell, 6.85 for a narrow one.
    values.CellsPerRow = doc.FWideCells ? RoundHalfEven(columns, 2) : columns;
    values.WidthEstimate = RoundHalfEven((columns + 1) * (doc.FWideCells ? 1232 : 685), 100);
    values.SecondWidth = RoundHalfEven((columns + 1) * 826, 100);
    values.Height = (std::int64_t{doc.FRowCount} + 1) * 16;
    values.Rows = doc.FRowCount;
    values.Colors = SendColors(textViewShown);
    values.UserId = std::move(userId);
    return values;
}

std::string UserIdentification(const std::string& loginName) {
    if (loginName.size() <= kUserIdBytes) return loginName;
    size_t end = kUserIdBytes;
    while (end > 0 && IsUtf8Continuation(loginName[end])) --end;
    return loginName.substr(0, end);
}

}  // namespace morvane
