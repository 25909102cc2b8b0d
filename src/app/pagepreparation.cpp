#include <QAbstractItemModel>
#include <QListWidgetItem>
#include <QTimer>

#include "app/ansi2html.h"
#include "app/filelistbox.h"
#include "display/showpanel.h"
#include "platform/webengine.h"

namespace morvane {

void Tansi2html::PreparePages() {
    ComposeWithOpenGL(this);
    FPreparePages = true;
    // A folder listed later may hold the first page.
    connect(FileListBox1->model(), &QAbstractItemModel::rowsInserted, this, [this]() {
        if (FFontsRequested)
            QTimer::singleShot(0, this, [this]() { PrepareBrowserForListedPages(); });
    });
}

// The web engine costs some 110 MB while it waits, so it waits only where a page may be clicked.
void Tansi2html::PrepareBrowserForListedPages() {
    if (ShowPanel->BrowserMade()) return;
    for (int row = 0; row < FileListBox1->count(); ++row) {
        const QString name = FileListBox1->item(row)->text();
        if (name.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive) ||
            name.endsWith(QLatin1String(".html"), Qt::CaseInsensitive)) {
            ShowPanel->PrepareBrowser();
            return;
        }
    }
}

}  // namespace morvane
