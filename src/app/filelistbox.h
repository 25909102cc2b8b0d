#pragma once

#include <QListWidget>

namespace morvane {

/// The file list: the files of one folder that match the mask, sorted by name, one selected at
/// most. Reports mouse and key presses after the list has acted on them.
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

signals:
    /// The folder set cannot be listed; reason names it.
    void Unreadable(const QString& reason);
    void MouseDown();
    void KeyDown();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QStringList FMasks;
    QString FDirectory;
};

}  // namespace morvane
