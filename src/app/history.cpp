#include <QAction>
#include <QFile>
#include <algorithm>

#include "app/ansi2html.h"
#include "app/settings/recentlist.h"
#include "platform/files.h"

namespace morvane {
namespace {

// A menu would take "&" for an accelerator; the folder's name shows as it is.
QString MenuText(const std::string& caption) {
    return QFile::decodeName(QByteArray::fromStdString(caption))
        .replace(QLatin1Char('&'), QStringLiteral("&&"));
}

template <size_t N>
void ShowCaptions(const std::array<QAction*, N>& items, const std::vector<std::string>& captions) {
    for (size_t i = 0; i < N && i < captions.size(); ++i) items[i]->setText(MenuText(captions[i]));
}

}  // namespace

void Tansi2html::AddPopMenu(const std::string& path) {
    if (AddRecent(FHistory, FolderOf(path))) ShowRecentCaptions();
}

void Tansi2html::Popm_1Click(QAction* item) {
    const auto slot = std::find(HistoryItems.begin(), HistoryItems.end(), item);
    if (slot == HistoryItems.end()) return;
    const std::string& caption = FHistory[static_cast<size_t>(slot - HistoryItems.begin())];
    // The explorer takes a file's path: a name after the folder points it at the folder.
    if (IsRecentFolder(caption)) SetExplorer(caption + (caption.back() == '/' ? "" : "/"));
}

void Tansi2html::ShowRecentCaptions() {
    ShowCaptions(HistoryItems, FHistory);
    ShowCaptions(MenuItem_copyto, FCopyto);
    ShowCaptions(MenuItem_Moveto, FMoveto);
}

}  // namespace morvane
