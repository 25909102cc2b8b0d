// Pages in the browser view: shown from awkward file names, their text taken into the text
// view, and kept from running scripts, reading their neighbours or reaching out.
#include <QImage>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QToolButton>

#include "app/filelistbox.h"
#include "display/pictureview.h"
#include "display/showpanel.h"
#include "guitest.h"

using namespace morvane;

namespace {

constexpr int kEngineTimeoutMs = 60000;

const std::string kParagraphs =
    "<html><body><p>First paragraph</p>\n\n<p>   </p><div>Second \xd6\xd0\xce\xc4</div>"
    "</body></html>";

// A page that tries every way to read neighbour and to reach the server at port.
std::string ProbePage(const QString& neighbour, quint16 port) {
    QFile page(QStringLiteral(MORVANE_TEST_DATA "/localprobe.htm"));
    if (!page.open(QIODevice::ReadOnly)) return {};
    return page.readAll()
        .replace("NEIGHBOUR", neighbour.toUtf8())
        .replace("PORT", QByteArray::number(port))
        .toStdString();
}

// What the program's script code gives on page; invalid when it gives nothing in time.
QVariant Evaluate(IBrowserPage& page, const QString& code) {
    struct TAnswer {
        bool Arrived = false;
        QVariant Value;
        QEventLoop* Loop = nullptr;
    };
    auto answer = std::make_shared<TAnswer>();
    QEventLoop loop;
    answer->Loop = &loop;
    page.RunJavaScript(code, [answer](const QVariant& value) {
        answer->Arrived = true;
        answer->Value = value;
        if (answer->Loop) answer->Loop->quit();
    });
    QTimer::singleShot(kEngineTimeoutMs, &loop, &QEventLoop::quit);
    if (!answer->Arrived) loop.exec();
    answer->Loop = nullptr;
    return answer->Value;
}

}  // namespace

class BrowserTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir FFolder;
    std::unique_ptr<Tansi2html> FWindow;

    bool ShowPage(const QString& name) {
        QSignalSpy completed(FWindow->ShowPanel.get(), &TShowPanel::PageCompleted);
        return ClickFile(*FWindow, name) && completed.wait(kEngineTimeoutMs);
    }

private slots:
    void init() {
        QVERIFY(FFolder.isValid());
        WriteFile(FFolder.path(), "paragraphs.htm", kParagraphs);
        WriteFile(FFolder.path(), "art.txt", "\x1b[32mgreen\x1b[m\r\n");
        FWindow = OpenWindow(FFolder.path());
        QVERIFY(FWindow);
    }

    void cleanup() { FWindow.reset(); }

    // Made once the window is painted, the browser waits out of sight, loads nothing and tells
    // of no page; the first page then fills the panel.
    void preparedWindowMakesItsBrowserOutOfSight() {
        FWindow.reset();
        Tansi2html window;
        window.PreparePages();
        QSignalSpy completed(window.ShowPanel.get(), &TShowPanel::PageCompleted);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY_WITH_TIMEOUT(window.ShowPanel->FBrowser, kEngineTimeoutMs);

        const QSize panel = window.bsSkinPanel1->size();
        window.resize(window.size() + QSize(40, 30));
        QTRY_VERIFY(window.bsSkinPanel1->size() != panel);
        QCOMPARE(window.ShowPanel->FBrowser->size(), QSize(0, 0));
        QVERIFY(window.ShowPanel->BrowserPage()->Url().isEmpty());
        QVERIFY(!window.ShowPanel->FPageLoaded);
        QCOMPARE(completed.count(), 0);

        window.SetExplorer(QFile::encodeName(FFolder.path() + "/x").toStdString());
        QVERIFY(ClickFile(window, "paragraphs.htm"));
        QVERIFY(completed.wait(kEngineTimeoutMs));
        QCOMPARE(window.ShowPanel->FBrowser->geometry(), window.bsSkinPanel1->rect());
        QVERIFY(window.ShowPanel->FPageLoaded);
    }

    // The waiting engine costs memory: a folder of art alone does not make it, a page listed does.
    void preparedWindowWaitsForAListedPage() {
        FWindow.reset();
        QTemporaryDir artOnly;
        WriteFile(artOnly.path(), "art.txt", "\x1b[32mgreen\x1b[m\r\n");
        Tansi2html window;
        window.PreparePages();
        window.SetExplorer(QFile::encodeName(artOnly.path() + "/x").toStdString());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (int round = 0; round < 3; ++round) QCoreApplication::processEvents();
        QVERIFY(!window.ShowPanel->BrowserMade());

        window.SetExplorer(QFile::encodeName(FFolder.path() + "/x").toStdString());
        QTRY_VERIFY_WITH_TIMEOUT(window.ShowPanel->BrowserMade(), kEngineTimeoutMs);
        QCOMPARE(window.ShowPanel->FBrowser->size(), QSize(0, 0));
        // The engine is left settled, as a user would leave it, before the window goes.
        QSignalSpy completed(window.ShowPanel.get(), &TShowPanel::PageCompleted);
        QVERIFY(ClickFile(window, "paragraphs.htm"));
        QVERIFY(completed.wait(kEngineTimeoutMs));
    }

    void pageWithAwkwardNameShowsInBrowser_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "page.htm";
        QTest::newRow("hash, percent and blanks") << "a #1 100% done.html";
    }

    void pageWithAwkwardNameShowsInBrowser() {
        QFETCH(QString, name);
        WriteFile(FFolder.path(), name, "<html><head><title>shown</title></head></html>");
        FWindow->FileListBox1->SetDirectory(FFolder.path());

        QVERIFY(ShowPage(name));

        IBrowserPage* page = FWindow->ShowPanel->BrowserPage();
        QVERIFY(page);
        QCOMPARE(int(FWindow->ShowPanel->FViewMode), int(vmBrowser));
        QVERIFY(FWindow->ShowPanel->FPageLoaded);
        QCOMPARE(page->Widget()->geometry(), FWindow->bsSkinPanel1->rect());
        QVERIFY(!FWindow->ShowPanel->FPicture->isVisible());
        QVERIFY(!FWindow->ShowPanel->FTextView->isVisible());
        QCOMPARE(page->Url().toLocalFile(), FFolder.path() + QLatin1Char('/') + name);
        QCOMPARE(page->Title(), QStringLiteral("shown"));
        QVERIFY(!FWindow->bsSkinSpeedButton_Send->isEnabled());
    }

    void textViewGetsPageTextWithoutBlankLinesOnceLoaded() {
        QVERIFY(ClickFile(*FWindow, "art.txt"));
        QTest::mouseClick(FWindow->bsSkinSpeedButton_ViewSource, Qt::LeftButton);
        QSignalSpy completed(FWindow->ShowPanel.get(), &TShowPanel::PageCompleted);

        QVERIFY(ClickFile(*FWindow, "paragraphs.htm"));
        QCOMPARE(int(FWindow->ShowPanel->FViewMode), int(vmText));
        QCOMPARE(FWindow->ShowPanel->TextLines(), std::vector<std::string>{"green"});
        QVERIFY(completed.wait(kEngineTimeoutMs));

        const std::vector<std::string> expected{"First paragraph", "Second \xd6\xd0\xce\xc4"};
        QCOMPARE(FWindow->ShowPanel->TextLines(), expected);
        QCOMPARE(FWindow->ShowPanel->FTextView->toPlainText(),
                 QStringLiteral("First paragraph\nSecond 中文"));

        QTest::mouseClick(FWindow->bsSkinSpeedButton_ViewDefault, Qt::LeftButton);
        QCOMPARE(int(FWindow->ShowPanel->FViewMode), int(vmBrowser));
        QCOMPARE(FWindow->ShowPanel->FBrowser->geometry(), FWindow->bsSkinPanel1->rect());
    }

    void textViewButtonTakesTextOfPageOnScreen() {
        QVERIFY(ShowPage("paragraphs.htm"));
        QTest::mouseClick(FWindow->bsSkinSpeedButton_ViewSource, Qt::LeftButton);
        QCOMPARE(int(FWindow->ShowPanel->FViewMode), int(vmText));
        QCOMPARE(FWindow->ShowPanel->TextLines().size(), size_t(2));

        const QString saved = FFolder.path() + "/saved.txt";
        FWindow->ShowPanel->SaveText(QFile::encodeName(saved).toStdString());
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("First paragraph\r\nSecond \xd6\xd0\xce\xc4\r\n"));
    }

    void programScriptsStillReadThePage() {
        QVERIFY(ShowPage("paragraphs.htm"));
        IBrowserPage* page = FWindow->ShowPanel->BrowserPage();
        QVERIFY(page);
        QCOMPARE(Evaluate(*page, "document.querySelector('div').textContent").toString(),
                 QStringLiteral("Second 中文"));
    }

    void localPageReadsNoNeighbourAndReachesNothing_data() {
        QTest::addColumn<QString>("neighbour");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text file") << "secret.txt" << QByteArray("neighbour's secret");
        QTest::newRow("page, framed like its own")
            << "secret.htm" << QByteArray("<html><body>neighbour's secret</body></html>");
    }

    void localPageReadsNoNeighbourAndReachesNothing() {
        QFETCH(QString, neighbour);
        QFETCH(QByteArray, content);
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        int connections = 0;
        connect(&server, &QTcpServer::newConnection, [&]() {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                ++connections;
                socket->write("HTTP/1.0 200 OK\r\nAccess-Control-Allow-Origin: *\r\n\r\nremote");
                socket->disconnectFromHost();
            }
        });
        WriteFile(FFolder.path(), neighbour, content.toStdString());
        WriteFile(FFolder.path(), "neighbour.js", "document.title = 'ran neighbour.js';");
        WriteFile(FFolder.path(), "after.htm", "<html><head><title>after</title></head></html>");
        QImage picture(4, 3, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(FFolder.path() + "/pic.png"));
        const std::string probe = ProbePage(neighbour, server.serverPort());
        QVERIFY(!probe.empty());
        WriteFile(FFolder.path(), "probe.htm", probe);
        FWindow->FileListBox1->SetDirectory(FFolder.path());

        QVERIFY(ShowPage("probe.htm"));
        IBrowserPage* page = FWindow->ShowPanel->BrowserPage();
        QVERIFY(page);
        // What a reader of the page could do: send its form, follow its links.
        Evaluate(*page,
                 "document.getElementById('form').submit();"
                 "document.getElementById('away').click();"
                 "document.getElementById('passwd').click(); true");
        // It shows what it holds, its own picture too, and nothing else.
        QCOMPARE(Evaluate(*page, "document.getElementById('pic').naturalWidth").toInt(), 4);
        const QString shown =
            Evaluate(*page,
                     "document.body.innerText + [...document.querySelectorAll('iframe, object')]"
                     ".map(f => { try { return f.contentDocument.body.innerText; }"
                     "            catch (e) { return ''; } }).join()")
                .toString();
        QVERIFY2(!shown.contains("secret") && !shown.contains("root:"), qPrintable(shown));
        QCOMPARE(page->Title(), QStringLiteral("probe"));
        QCOMPARE(page->Url().toLocalFile(), FFolder.path() + "/probe.htm");
        // Once the panel has shown another page, whatever the probe started has had its turn.
        QVERIFY(ShowPage("after.htm"));
        QCOMPARE(page->Title(), QStringLiteral("after"));
        QCOMPARE(connections, 0);
    }
};

MORVANE_GUI_TEST_MAIN(BrowserTest)
#include "browser_test.moc"
