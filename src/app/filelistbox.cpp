#include "app/filelistbox.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace morvane {

TFileListBox::TFileListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void TFileListBox::SetMask(const QString& mask) {
    FMasks = mask.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    SetDirectory(FDirectory);
}

void TFileListBox::SetDirectory(const QString& folder) {
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
    addItems(dir.entryList(FMasks, QDir::Files | QDir::Hidden | QDir::System,
                           QDir::Name | QDir::IgnoreCase));
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
