#include "app/directorytree.h"

#include <QDir>

namespace morvane {
namespace {

QTreeWidgetItem* AddFolder(QTreeWidget* tree, QTreeWidgetItem* parent, const QString& name,
                           const QString& path) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
    item->setText(0, name);
    item->setData(0, Qt::UserRole, path);
    return item;
}

}  // namespace

TDirectoryTree::TDirectoryTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setIndentation(8);
    connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        SetDirectory(item->data(0, Qt::UserRole).toString());
    });
}

void TDirectoryTree::SetDirectory(const QString& folder) {
    FDirectory = QDir::cleanPath(folder);
    clear();
    QTreeWidgetItem* current = AddFolder(this, nullptr, QStringLiteral("/"), QStringLiteral("/"));
    QString path;
    for (const QString& part : FDirectory.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        path += QLatin1Char('/') + part;
        current = AddFolder(this, current, part, path);
    }
    for (const QString& sub : QDir(FDirectory).entryList(QDir::Dirs | QDir::NoDotAndDotDot,
                                                          QDir::Name | QDir::IgnoreCase)) {
        AddFolder(this, current, sub, path + QLatin1Char('/') + sub);
    }
    expandAll();
    setCurrentItem(current);
    emit DirectoryChanged(FDirectory);
}

}  // namespace morvane
