#pragma once

namespace morvane {

// The maker's site, mail and gallery. example.org is reserved for examples, so these addresses
// never lead to someone else's; the gallery form in "add.htm" posts under the same domain.
constexpr char kMakerSite[] = "https://www.example.org";
constexpr char kQuilletPage[] = "https://www.example.org/quillet/quillet.htm";
constexpr char kGuestBookPage[] =
    "https://www.example.org/bbs/diary/guestbook/default.asp?user=software&page=1";
constexpr char kMakerMail[] = "mailto:morvane@example.org";

}  // namespace morvane
