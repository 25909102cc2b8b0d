#include "app/directorytree.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>

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
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (FPlacing || !current.isValid()) return;
                SetDirectory(FModel->filePath(current));
            });
}

void TDirectoryTree::SetDirectory(const QString& folder) {
    FDirectory = QDir::cleanPath(folder);
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
