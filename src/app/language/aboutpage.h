#pragma once

#include <string>

namespace morvane {

/// The about page's texts, GB bytes, put into the page as they are, without escaping.
struct TAboutPageTexts {
    std::string Heading;
    std::string Paragraph1;
    std::string Paragraph2;
    std::string Signature;
    std::string Closing;
};

/// The about page "README.HTM": eight lines, each ended by CR LF.
std::string AboutPageText(const TAboutPageTexts& texts);

}  // namespace morvane
