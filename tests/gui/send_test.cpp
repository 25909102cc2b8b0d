// The send button: the submission page filled from the template beside the program, shown in a
// browser with the picture in colour, and nothing opened when the template or page fails.
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QToolButton>

#include "display/browserpage.h"
#include "display/showpanel.h"
#include "guitest.h"
#include "platform/gbtext.h"
#include "platform/shell.h"

using namespace morvane;

namespace {

constexpr int kEngineTimeoutMs = 60000;

// Bright red "Red" on blue, then plain text, in a file of the picture's own.
const std::string kArt = "\x1b[1;31;44mRed\x1b[m plain\r\nsecond row\r\n";

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString SendPage(const Tansi2html& window) {
    return QFile::decodeName(QByteArray::fromStdString(window.TempDir + "send.htm"));
}

// Loads url in a page of its own and returns what each script gives, in order.
QVariantList Evaluate(const QUrl& url, const QStringList& scripts) {
    QWidget host;
    host.resize(800, 600);
    IBrowserPage* page = CreateBrowserPage(&host);
    page->Widget()->resize(800, 600);
    QEventLoop loop;
    page->OnLoadFinished([&loop](bool) { loop.quit(); });
    QTimer::singleShot(kEngineTimeoutMs, &loop, &QEventLoop::quit);
    page->Navigate(url);
    loop.exec();
    QVariantList values;
    for (const QString& script : scripts) {
        QEventLoop answer;
        page->RunJavaScript(script, [&](const QVariant& value) {
            values.append(value);
            answer.quit();
        });
        QTimer::singleShot(kEngineTimeoutMs, &answer, &QEventLoop::quit);
        answer.exec();
    }
    return values;
}

}  // namespace

class SendTest : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir FFolder;
    std::unique_ptr<Tansi2html> FWindow;

  private slots:
    void init() {
        QVERIFY(FFolder.isValid());
        WriteFile(FFolder.path(), "art.txt", kArt);
        FWindow = OpenWindow(FFolder.path());
        QVERIFY(FWindow);
        QVERIFY(ClickFile(*FWindow, "art.txt"));
        QVERIFY(FWindow->bsSkinSpeedButton_Send->isEnabled());
    }

    void cleanup() { FWindow.reset(); }

    void sendWritesThePageAndOpensItShowingThePictureInColour() {
        TUrlCatcher catcher({"file"});
        TModalWatcher watcher;
        QTest::mouseClick(FWindow->bsSkinSpeedButton_Send, Qt::LeftButton);
        QCOMPARE(watcher.Texts, QStringList());
        QCOMPARE(catcher.Urls, QList<QUrl>{QUrl::fromLocalFile(SendPage(*FWindow))});

        const QByteArray page = ReadAll(SendPage(*FWindow));
        QVERIFY(page.startsWith("<html><head>\r\n"));
        QVERIFY2(!page.contains("\r\ne\r\n"), "the template's notes stay out");
        QVERIFY(page.contains("<tr id=\"pic01\" bgcolor=\"#000000\">\r\n"));

        const QString red =
            "[...document.querySelectorAll('#pic02 font')].find(f => f.textContent == 'Red')";
        // The program's scripts see the page's elements, not the names pages' scripts use.
        const QString field = "document.querySelector('form[name=gallery] [name=";
        const QVariantList values = Evaluate(
            catcher.Urls.first(),
            {"getComputedStyle(" + red + ").color", "getComputedStyle(" + red + ").backgroundColor",
             red + ".parentElement.textContent.includes('plain')",
             "getComputedStyle(document.querySelector('#pic02')).color",
             field + "picture]').value.indexOf('>Red</font>') >= 0", field + "user]').value",
             field + "rows]').value", field + "wide]').value"});
        QCOMPARE(values.size(), 8);
        QCOMPARE(values[0].toString(), QStringLiteral("rgb(255, 0, 0)"));
        QCOMPARE(values[1].toString(), QStringLiteral("rgb(0, 0, 128)"));
        QCOMPARE(values[2].toBool(), true);
        QCOMPARE(values[3].toString(), QStringLiteral("rgb(255, 255, 255)"));
        QCOMPARE(values[4].toBool(), true);
        QCOMPARE(values[5].toString(), QString::fromStdString(FWindow->UserId));
        QCOMPARE(values[6].toString(), QStringLiteral("2"));
        QCOMPARE(values[7].toString(), QStringLiteral("false"));
    }

    void textViewGivesAWhitePage() {
        QTest::mouseClick(FWindow->bsSkinSpeedButton_ViewSource, Qt::LeftButton);
        QCOMPARE(int(FWindow->ShowPanel->FViewMode), int(vmText));
        TUrlCatcher catcher({"file"});
        QTest::mouseClick(FWindow->bsSkinSpeedButton_Send, Qt::LeftButton);
        const QByteArray page = ReadAll(SendPage(*FWindow));
        QVERIFY(page.contains("<tr id=\"pic01\" bgcolor=\"#FFFFFF\">\r\n<td id=\"pic02\">\r\n"));
        QVERIFY(page.contains("<input value=\"#FFFFFF\" type=\"hidden\" name=\"bgcolor\">"));
    }

    void missingTemplateShowsItsMessageAloneAndOpensNothing_data() {
        QTest::addColumn<bool>("builtIn");
        QTest::newRow("language pack") << false;
        QTest::newRow("before any pack") << true;
    }

    void missingTemplateShowsItsMessageAloneAndOpensNothing() {
        QFETCH(bool, builtIn);
        if (builtIn) FWindow->SetBuiltInMessages();
        QTemporaryDir app;
        FWindow->AppDir = QFile::encodeName(app.path() + "/").toStdString();
        TUrlCatcher catcher({"file"});
        TModalWatcher watcher;
        QTest::mouseClick(FWindow->bsSkinSpeedButton_Send, Qt::LeftButton);
        QVERIFY(!FWindow->MsgNoTemplate.empty());
        QCOMPARE(watcher.Texts, QStringList{DecodeGb(FWindow->MsgNoTemplate)});
        QVERIFY(catcher.Urls.isEmpty());
        QVERIFY(!QFile::exists(SendPage(*FWindow)));
    }

    void pageThatCannotBeWrittenShowsTheErrorAndOpensNothing() {
        WriteFile(FFolder.path(), "file", "not a folder");
        FWindow->TempDir = QFile::encodeName(FFolder.path() + "/file/").toStdString();
        TUrlCatcher catcher({"file"});
        TModalWatcher watcher;
        QTest::mouseClick(FWindow->bsSkinSpeedButton_Send, Qt::LeftButton);
        QCOMPARE(watcher.Texts.size(), 1);
        QVERIFY2(watcher.Texts.first().contains("send.htm"), qPrintable(watcher.Texts.first()));
        QVERIFY(catcher.Urls.isEmpty());
    }
};

MORVANE_GUI_TEST_MAIN(SendTest)
#include "send_test.moc"
