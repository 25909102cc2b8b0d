#pragma once

#include <QImage>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QVariant>

namespace morvane {

/// Plays the user's part in a save: answers each file dialog and message box that comes up with
/// the next scripted answer, and records what they showed. Anything unscripted is cancelled (a
/// dialog) or answered OK (a box) and recorded in Unexpected.
class TSaveScript : public QObject {
    Q_OBJECT
public:
    TSaveScript();

    /// The next file dialog: name typed and accepted, or the dialog cancelled when name is empty.
    TSaveScript& Dialog(const QString& name);
    /// The next message box: button pressed.
    TSaveScript& Box(QMessageBox::StandardButton button);

    struct TDialogSeen {
        QString Directory;
        QStringList Selected;
        QStringList Filters;
    };
    QList<TDialogSeen> Dialogs;
    QStringList Boxes;
    QStringList Unexpected;

private:
    void Check();
    QTimer FTimer;
    QList<QVariant> FAnswers;
};

/// Records the files handed to the desktop to open, instead of opening them.
class TLaunchRecorder : public QObject {
    Q_OBJECT
public:
    TLaunchRecorder();
    ~TLaunchRecorder() override;
    QList<QUrl> Opened;

public slots:
    void Open(const QUrl& url);
};

/// A GIF file as giflib, an independent reader, decodes it; null when it cannot.
QImage ReadGifWithGiflib(const QString& path);

}  // namespace morvane
