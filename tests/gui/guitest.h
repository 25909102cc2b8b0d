#pragma once

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QtTest>
#include <memory>
#include <string>

#include "app/ansi2html.h"
#include "document/abc.h"
#include "platform/webengine.h"

namespace morvane {

/// Closes every message box that comes up and keeps its text, so a test can check what the
/// user would have seen without a box blocking it.
class TModalWatcher : public QObject {
    Q_OBJECT
public:
    TModalWatcher();
    QStringList Texts;
    QStringList Titles;
    /// The button each box answers Enter with.
    QList<int> Defaults;
    /// The buttons that answer the boxes, first box first; a box past them is answered with OK.
    QList<int> Answers;

private:
    void Check();
    QTimer FTimer;
};

/// Closes a message box that nobody has answered for a second, with a warning naming its text,
/// so an unexpected box fails its test instead of blocking the run.
class TStuckBoxCloser : public QObject {
    Q_OBJECT
public:
    TStuckBoxCloser();

private:
    void Check();
    QTimer FTimer;
    QPointer<QWidget> FSeen;
};

/// A settings file of the test's own in a temporary folder, holding content, which the windows
/// made while it lives read and write; the usual one (the build tree's) is never touched.
class TTestSettings {
public:
    explicit TTestSettings(const std::string& content);
    ~TTestSettings();
    TTestSettings(const TTestSettings&) = delete;
    TTestSettings& operator=(const TTestSettings&) = delete;

    /// Bytes of the file path (file-system bytes).
    const std::string& Path() const { return FPath; }
    std::string Read() const;

private:
    QTemporaryDir FFolder;
    std::string FPath;
    std::string FPrevious;
};

/// Settings for tests that are not about them: the defaults, but saved files are not opened and
/// no language pack replaces the built-in English texts that those tests compare.
constexpr char kQuietSettings[] = "[display]\r\nLaunchFile=0\r\nlanguage=built-in\r\n";

/// Takes the addresses the program hands to the desktop (ShellOpen) for the schemes it is set
/// up for, instead of the desktop; the handlers go with it.
class TUrlCatcher : public QObject {
    Q_OBJECT
public:
    explicit TUrlCatcher(const QStringList& schemes);
    ~TUrlCatcher() override;
    QList<QUrl> Urls;

public slots:
    void Open(const QUrl& url) { Urls.append(url); }

private:
    QStringList FSchemes;
};

/// A shown main window pointed at folder.
std::unique_ptr<Tansi2html> OpenWindow(const QString& folder);

/// Clicks the file-list entry named name with the mouse; fails the test when there is none.
bool ClickFile(Tansi2html& window, const QString& name);

/// Writes bytes to folder/name, replacing it.
void WriteFile(const QString& folder, const QString& name, const std::string& bytes);

/// A document colour as Qt shows it.
QRgb Rgb(TColor colour);

}  // namespace morvane

/// Starts as the program does: the web engine's process settings before the application object.
#define MORVANE_GUI_TEST_MAIN(TestClass)                                 \
    int main(int argc, char* argv[]) {                                   \
        morvane::PrepareWebEngineProcess();                              \
        QApplication app(argc, argv);                                    \
        morvane::TStuckBoxCloser closer;                                 \
        morvane::TTestSettings settings(morvane::kQuietSettings);        \
        TestClass test;                                                  \
        return QTest::qExec(&test, argc, argv);                          \
    }
