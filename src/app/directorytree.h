#pragma once

#include <QTreeWidget>

namespace morvane {

/// The folder tree: the chain of folders from the root down to the current folder, and the
/// current folder's subfolders. Activating a folder makes it current.
class TDirectoryTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit TDirectoryTree(QWidget* parent);

    /// Makes folder current, whether it exists or not, and reports it.
    void SetDirectory(const QString& folder);
    const QString& Directory() const { return FDirectory; }

signals:
    void DirectoryChanged(const QString& folder);

private:
    QString FDirectory;
};

}  // namespace morvane
