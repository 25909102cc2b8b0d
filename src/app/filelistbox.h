#pragma once

#include <QFileSystemWatcher>
#include <QListWidget>

namespace morvane {

/// The file list: the files of one folder that match the mask, sorted by name, one selected at
/// most, following files added, removed and renamed in the folder. Reports mouse and key presses
/// after the list has acted on them.
class TFileListBox : public QListWidget {
    Q_OBJECT
  public:
    explicit TFileListBox(QWidget* parent);

    /// Masks separated by ";", as "*.txt;*.htm"; letter case is ignored.
    void SetMask(const QString& mask);
    /// Lists folder's matching files; an unreadable or missing folder lists nothing and is
    /// reported through Unreadable.
    void SetDirectory(const QString& folder);
    const QString& Directory() const { return FDirectory; }
    /// Lists the folder again, keeping the selected file selected where it is still there.
    void Refresh();
    /// Selects the entry named name, without showing it; no entry selects nothing.
    void SelectName(const QString& name);

  signals:
    /// The folder set cannot be listed; reason names it.
    void Unreadable(const QString& reason);
    void MouseDown();
    void KeyDown();
    /// The list changed to follow the folder.
    void Refreshed();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QStringList Names() const;

    QFileSystemWatcher FWatcher;
    QStringList FMasks;
    QString FDirectory;
};

}  // namespace morvane
