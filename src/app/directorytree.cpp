#include "app/directorytree.h"

#include <QDir>
#include <QEvent>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTimer>

namespace morvane {
namespace {

bool HasHiddenPart(const QString& folder) {
    for (const QString& part : folder.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part.startsWith(QLatin1Char('.'))) return true;
    }
    return false;
}

}  // namespace

TDirectoryTree::TDirectoryTree(QWidget* parent)
    : QTreeView(parent), FModel(new QFileSystemModel(this)) {
    FModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    FModel->setReadOnly(true);
    FModel->setRootPath(QStringLiteral("/"));
    setModel(FModel);
    for (int column = 1; column < FModel->columnCount(); ++column) hideColumn(column);
    setHeaderHidden(true);
    setSortingEnabled(true);
    sortByColumn(0, Qt::AscendingOrder);
    setIndentation(12);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(FModel, &QFileSystemModel::directoryLoaded, this, &TDirectoryTree::FolderLoaded);
    connect(FModel, &QAbstractItemModel::layoutChanged, this, &TDirectoryTree::KeepCurrentInView);
    connect(FModel, &QAbstractItemModel::rowsInserted, this, &TDirectoryTree::KeepCurrentInView);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (FPlacing || !current.isValid()) return;
                SetDirectory(FModel->filePath(current));
            });
}

// Folders load in the background: the path down to the current folder opens out as they arrive.
void TDirectoryTree::FolderLoaded(const QString& folder) {
    if (folder == QLatin1String("/") || FDirectory == folder ||
        FDirectory.startsWith(folder + QLatin1Char('/')))
        ShowCurrent();
}

// Keeps the current folder in view while folders load and sort around it, until the user takes
// the tree in hand; before its first showing the tree has no height to scroll in.
void TDirectoryTree::KeepCurrentInView() {
    if (FKeepInView && currentIndex().isValid()) scrollTo(currentIndex());
}

void TDirectoryTree::showEvent(QShowEvent* event) {
    QTreeView::showEvent(event);
    QTimer::singleShot(0, this, &TDirectoryTree::KeepCurrentInView);
}

bool TDirectoryTree::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::Wheel)
        FKeepInView = false;
    return QTreeView::viewportEvent(event);
}

void TDirectoryTree::keyPressEvent(QKeyEvent* event) {
    FKeepInView = false;
    QTreeView::keyPressEvent(event);
}

void TDirectoryTree::SetDirectory(const QString& folder) {
    FDirectory = QDir::cleanPath(folder);
    FKeepInView = true;
    // A hidden folder opened on purpose shows, and so do its hidden neighbours from then on.
    if (HasHiddenPart(FDirectory) && !(FModel->filter() & QDir::Hidden))
        FModel->setFilter(FModel->filter() | QDir::Hidden);
    ShowCurrent();
    emit DirectoryChanged(FDirectory);
}

void TDirectoryTree::ShowCurrent() {
    const QModelIndex current = FModel->index(FDirectory);
    if (!current.isValid()) return;
    FPlacing = true;
    for (QModelIndex up = current; up.isValid(); up = up.parent()) expand(up);
    setCurrentIndex(current);
    scrollTo(current);
    FPlacing = false;
}

}  // namespace morvane
