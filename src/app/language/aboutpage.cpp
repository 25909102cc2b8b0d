#include "app/language/aboutpage.h"

namespace morvane {

std::string AboutPageText(const TAboutPageTexts& texts) {
    const std::string lines[] = {
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">",
        "<style type=\"text/css\"><!--p {  font-size: 10pt; text-indent: 12pt}-->",
        "</style></head><body bgcolor=\"#FFFFFF\" background=\"bk.gif\">",
        "<h4 align=\"center\"><font color=\"#FF3366\">" + texts.Heading + "</font></h4>",
        "<p>" + texts.Paragraph1 + "</p>",
        "<p>" + texts.Paragraph2 + "</p>",
        "<p align=\"right\">" + texts.Signature + "</p>",
        "<p align=\"right\">" + texts.Closing + "</p></body></html>",
    };
    std::string page;
    for (const std::string& line : lines) page += line + "\r\n";
    return page;
}

}  // namespace morvane
