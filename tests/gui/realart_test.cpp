// Real bulletin-board files and our own samples: each one shows without a message.
#include <QCoreApplication>
#include <QDir>

#include "app/filelistbox.h"
#include "display/pictureview.h"
#include "display/showpanel.h"
#include "guitest.h"

using namespace morvane;

namespace {

void AddFolderRows(const QString& folder, const QStringList& masks) {
    for (const QString& name : QDir(folder).entryList(masks, QDir::Files, QDir::Name)) {
        QTest::newRow(qPrintable(name)) << QDir::cleanPath(folder) << name;
    }
}

}  // namespace

class RealArtTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Tansi2html> FWindow;

private slots:
    void init() {
        FWindow = std::make_unique<Tansi2html>();
        FWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
    }

    void cleanup() { FWindow.reset(); }

    void fileShowsWithoutMessage_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        const QString realart = QStringLiteral(MORVANE_REALART "/gb");
        if (!QDir(realart).exists())
            QSKIP(qPrintable(realart + " is not here (the shared folder beside the checkout)"));
        AddFolderRows(realart, {"*.txt"});
        AddFolderRows(QCoreApplication::applicationDirPath() + "/Favorites", {"*.txt", "*.clo"});
    }

    void fileShowsWithoutMessage() {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        FWindow->SetExplorer(QFile::encodeName(folder + "/" + name).toStdString());
        TModalWatcher boxes;

        QVERIFY(ClickFile(*FWindow, name));

        QCOMPARE(boxes.Texts, QStringList());
        QCOMPARE(FWindow->CurrentFile, QFile::encodeName(folder + "/" + name).toStdString());
        const Tabc& doc = FWindow->abc;
        const bool coloured = doc.FKind == dkColor || doc.FHasEscapes;
        QCOMPARE(int(FWindow->ShowPanel->FViewMode), int(coloured ? vmPicture : vmText));
        if (coloured) {
            const QImage picture = FWindow->ShowPanel->FPicture->grab().toImage();
            QCOMPARE(picture.size(), QSize(doc.FColCount * 8, doc.FRowCount * 16));
        }
    }
};

MORVANE_GUI_TEST_MAIN(RealArtTest)
#include "realart_test.moc"
