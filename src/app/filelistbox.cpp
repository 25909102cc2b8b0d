#include "app/filelistbox.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <cerrno>
#include <cstring>

namespace morvane {

TFileListBox::TFileListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(&FWatcher, &QFileSystemWatcher::directoryChanged, this, &TFileListBox::Refresh);
}

void TFileListBox::SetMask(const QString& mask) {
    FMasks = mask.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    SetDirectory(FDirectory);
}

void TFileListBox::SetDirectory(const QString& folder) {
    if (!FWatcher.directories().isEmpty()) FWatcher.removePaths(FWatcher.directories());
    FDirectory = folder;
    clear();
    if (folder.isEmpty()) return;
    QDir dir(folder);
    // An empty list would look like a folder without art.
    if (!dir.exists() || !dir.isReadable()) {
        const QByteArray bytes = QFile::encodeName(folder);
        const int error = access(bytes.constData(), R_OK | X_OK) != 0 ? errno : EACCES;
        emit Unreadable(tr("The folder \"%1\" cannot be read: %2")
                            .arg(folder, QString::fromLocal8Bit(std::strerror(error))));
        return;
    }
    FWatcher.addPath(folder);
    addItems(Names());
}

QStringList TFileListBox::Names() const {
    return QDir(FDirectory)
        .entryList(FMasks, QDir::Files | QDir::Hidden | QDir::System,
                   QDir::Name | QDir::IgnoreCase);
}

// Lists the folder again in place: the selected file and the scroll position stay where they
// can, and nothing is shown or loaded.
void TFileListBox::Refresh() {
    if (FDirectory.isEmpty()) return;
    if (!QDir(FDirectory).exists()) {
        SetDirectory(FDirectory);
        return;
    }
    const QStringList names = Names();
    if (FWatcher.directories().isEmpty()) FWatcher.addPath(FDirectory);
    QStringList shown;
    for (int i = 0; i < count(); ++i) shown.append(item(i)->text());
    if (names == shown) return;
    const QListWidgetItem* selected =
        currentItem() && currentItem()->isSelected() ? currentItem() : nullptr;
    const QString keep = selected ? selected->text() : QString();
    const int scroll = verticalScrollBar()->value();
    clear();
    addItems(names);
    const int row = keep.isEmpty() ? -1 : static_cast<int>(names.indexOf(keep));
    if (row >= 0) setCurrentRow(row);
    verticalScrollBar()->setValue(scroll);
    emit Refreshed();
}

void TFileListBox::SelectName(const QString& name) {
    const QList<QListWidgetItem*> found = findItems(name, Qt::MatchExactly);
    if (found.isEmpty()) {
        clearSelection();
        return;
    }
    setCurrentItem(found.first());
    scrollToItem(found.first());
}

void TFileListBox::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    emit MouseDown();
}

// The list moves its selection first, so an arrow key shows the file it moved to.
void TFileListBox::keyPressEvent(QKeyEvent* event) {
    QListWidget::keyPressEvent(event);
    emit KeyDown();
}

}  // namespace morvane
