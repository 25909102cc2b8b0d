// Run from an installed tree (see installtree_test.sh, which copies it into the tree's bin
// folder): the window finds its data and modules there and writes nothing into the tree.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

#include "app/filelistbox.h"
#include "display/showpanel.h"
#include "guitest.h"
#include "platform/executable.h"

using namespace morvane;

namespace {

QString Name(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

// The install tree's folder, ending in '/'.
QString Prefix() {
    return QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/..")).canonicalPath() +
           QLatin1Char('/');
}

}  // namespace

class InstalledTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QVERIFY2(ProgramFolders().Installed, "runs only from an installed tree's bin folder");
    }

    // A first start makes its settings in the user's configuration folder, not in the tree.
    void startsWithTheTreesDataAndTheUsersSettings() {
        TModalWatcher watcher;
        Tansi2html window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QVERIFY(window.Installed);
        QCOMPARE(Name(window.AppDir), Prefix() + QStringLiteral("share/morvane/"));
        QCOMPARE(window.FileListBox1->Directory(),
                 Prefix() + QStringLiteral("share/morvane/Favorites"));
        QVERIFY(window.FileListBox1->count() >= 5);
        QVERIFY(window.CbSelect->count() >= 2);
        const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        QCOMPARE(Name(window.SettingsFile), config + QStringLiteral("/morvane/morvane.ini"));
        QCOMPARE(watcher.Texts.size(), 1);
        QVERIFY(watcher.Texts.first().contains(config));
        QVERIFY(!Name(window.TempDir).startsWith(Prefix()));
        QVERIFY(Name(window.TempDir).startsWith(QDir::tempPath() + QLatin1Char('/')));
        QVERIFY(QFile::exists(Name(window.TempDir + "bk.gif")));
    }

    // The picture draws with the tree's glyphs, the page comes up in the tree's browser module,
    // and the about page goes to the scratch folder.
    void showsASampleAPageAndTheAboutPage() {
        TModalWatcher watcher;
        Tansi2html window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QVERIFY(ClickFile(window, QStringLiteral("lotus.clo")));
        QCOMPARE(window.ShowPanel->FViewMode, vmPicture);
        QCOMPARE(Name(window.CurrentFile),
                 Prefix() + QStringLiteral("share/morvane/Favorites/lotus.clo"));

        QSignalSpy completed(window.ShowPanel.get(), &TShowPanel::PageCompleted);
        QVERIFY(ClickFile(window, QStringLiteral("gallery.htm")));
        QVERIFY(completed.wait(60000));
        QCOMPARE(window.ShowPanel->FViewMode, vmBrowser);

        window.bsSkinSpeedButton_AboutClick();
        QVERIFY(QFile::exists(Name(window.TempDir + "README.HTM")));
        QVERIFY(watcher.Texts.isEmpty());
    }
};

int main(int argc, char* argv[]) {
    PrepareWebEngineProcess();
    QApplication app(argc, argv);
    TStuckBoxCloser closer;
    InstalledTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "installed_test.moc"
