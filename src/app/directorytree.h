#pragma once

#include <QTreeView>

class QFileSystemModel;

namespace morvane {

/// The folder tree: every folder from the root down, expandable, with the current folder opened
/// out and selected. A click on a folder makes it current; the tree follows the disk.
class TDirectoryTree : public QTreeView {
    Q_OBJECT
  public:
    explicit TDirectoryTree(QWidget* parent);

    /// Makes folder current, whether it exists or not, and reports it.
    void SetDirectory(const QString& folder);
    const QString& Directory() const { return FDirectory; }
    QFileSystemModel* Model() const { return FModel; }

  signals:
    void DirectoryChanged(const QString& folder);

  protected:
    void showEvent(QShowEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void ShowCurrent();
    void FolderLoaded(const QString& folder);
    void KeepCurrentInView();

    QFileSystemModel* FModel;
    QString FDirectory;
    bool FPlacing = false;
    bool FKeepInView = false;
};

}  // namespace morvane
