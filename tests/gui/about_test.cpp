// The about window: its page in the chosen language, where the page goes, the history buttons,
// typed addresses and the hand-over to an external browser.
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QToolButton>

#include "about/aboutform.h"
#include "app/language/languagepack.h"
#include "display/browserpage.h"
#include "guitest.h"
#include "platform/gbtext.h"

using namespace morvane;

namespace {

constexpr int kEngineTimeoutMs = 60000;

std::string Bytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QByteArray CrLf(const std::vector<std::string>& lines) {
    QByteArray text;
    for (const std::string& line : lines) text += QByteArray::fromStdString(line) + "\r\n";
    return text;
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

// A stand-in for a browser that records its arguments, one a line after their count.
void WriteFakeBrowser(const QString& folder, const QString& name) {
    WriteFile(folder, name,
              "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > \"$0.part\" && /bin/mv \"$0.part\" "
              "\"$0.args\"\n");
    QFile::setPermissions(folder + "/" + name,
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Sets PATH while it lives.
class TPathSetting {
  public:
    explicit TPathSetting(const QByteArray& path) : FOld(qgetenv("PATH")) { qputenv("PATH", path); }
    ~TPathSetting() { qputenv("PATH", FOld); }

  private:
    QByteArray FOld;
};

}  // namespace

class AboutTest : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<QTemporaryDir> FApp;
    std::unique_ptr<QTemporaryDir> FTemp;
    std::string FLanguage;

    TAboutHost Host() const {
        return {Bytes(FApp->path() + "/"), Bytes(FTemp->path() + "/"), "Morvane", &FLanguage};
    }

    std::map<int, std::string> PackTexts(const QString& language) const {
        return ReadLanguagePack(Bytes(FApp->path() + "/Language/" + language + "_about.lng"),
                                kAboutPackTextBytes)
            .Texts;
    }

    // Types an address into the box, presses Enter and waits for the page.
    bool Visit(Taboutform& form, const QUrl& url) {
        QSignalSpy completed(&form, &Taboutform::NavigateCompleted);
        form.Edit_input->clear();
        QTest::keyClicks(form.Edit_input, url.toString());
        QTest::keyClick(form.Edit_input, Qt::Key_Return);
        return completed.wait(kEngineTimeoutMs);
    }

    bool WaitForPage(Taboutform& form) {
        QSignalSpy completed(&form, &Taboutform::NavigateCompleted);
        return completed.wait(kEngineTimeoutMs);
    }

  private slots:
    void init() {
        FApp = std::make_unique<QTemporaryDir>();
        FTemp = std::make_unique<QTemporaryDir>();
        FLanguage = "GB2312";
        const QString shipped = QCoreApplication::applicationDirPath();
        QVERIFY(QDir(FApp->path()).mkdir("Language"));
        for (const char* pack : {"GB2312_about.lng", "English_about.lng"}) {
            QVERIFY(QFile::copy(shipped + "/Language/" + pack, FApp->path() + "/Language/" + pack));
        }
        QVERIFY(QFile::copy(shipped + "/bk.gif", FApp->path() + "/bk.gif"));
    }

    void writesThePageInTheLanguageAndShowsIt() {
        Taboutform form(Host());
        const std::map<int, std::string> texts = PackTexts("GB2312");
        QCOMPARE(ReadAll(FApp->path() + "/README.HTM"),
                 CrLf({"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                       "charset=gb2312\">",
                       "<style type=\"text/css\"><!--p {  font-size: 10pt; text-indent: 12pt}-->",
                       "</style></head><body bgcolor=\"#FFFFFF\" background=\"bk.gif\">",
                       "<h4 align=\"center\"><font color=\"#FF3366\">" + texts.at(35) +
                           "Morvane</font></h4>",
                       "<p>" + texts.at(31) + "</p>", "<p>" + texts.at(32) + "</p>",
                       "<p align=\"right\">[Morvane] " + texts.at(33) + "</p>",
                       "<p align=\"right\">" + texts.at(34) + "</p></body></html>"}));
        QCOMPARE(form.windowTitle(), DecodeGb(texts.at(15)));
        QCOMPARE(form.note->text(), DecodeGb(texts.at(13)));
        QCOMPARE(form.bsSkinButton1->text(), DecodeGb(texts.at(2)));
        QCOMPARE(form.bsSkinSB_home->toolTip(), DecodeGb(texts.at(6)));
        QCOMPARE(form.bsSkinSpeedButton1->toolTip(), DecodeGb(texts.at(10)));
        QVERIFY(!QFile::exists(FTemp->path() + "/README.HTM"));

        form.show();
        QVERIFY(WaitForPage(form));
        const QUrl page = QUrl::fromLocalFile(FApp->path() + "/README.HTM");
        QCOMPARE(form.Edit_input->text(), page.toString());
        QCOMPARE(form.windowTitle(), page.toString());
    }

    void missingPackGivesAnEmptyPage() {
        FLanguage = "Klingon";
        Taboutform form(Host());
        QCOMPARE(ReadAll(FApp->path() + "/README.HTM").split('\n').at(3),
                 QByteArray("<h4 align=\"center\"><font color=\"#FF3366\"></font></h4>\r"));
        QCOMPARE(ReadAll(FApp->path() + "/README.HTM").split('\n').at(6),
                 QByteArray("<p align=\"right\"></p>\r"));
        QCOMPARE(form.note->text(), QString());
        QCOMPARE(form.windowTitle(), QString());
        QCOMPARE(form.bsSkinSB_backword->toolTip(), QStringLiteral("后退"));
    }

    void showingAfterALanguageChangeRewritesThePage() {
        Taboutform form(Host());
        form.show();
        QVERIFY(WaitForPage(form));
        form.hide();
        FLanguage = "English";
        form.show();
        const std::map<int, std::string> texts = PackTexts("English");
        QVERIFY(ReadAll(FApp->path() + "/README.HTM")
                    .contains(QByteArray::fromStdString("<p>" + texts.at(31) + "</p>")));
        QCOMPARE(form.note->text(), DecodeGb(texts.at(1)));
        QCOMPARE(form.bsSkinSB_backword->toolTip(), DecodeGb(texts.at(3)));
        QVERIFY(WaitForPage(form));

        form.hide();
        QVERIFY(QFile::remove(FApp->path() + "/README.HTM"));
        form.show();
        QVERIFY2(!QFile::exists(FApp->path() + "/README.HTM"), "no change, no new page");
    }

    void backAndForwardFollowTheHistory() {
        WriteFile(FTemp->path(), "second.htm", "<html><body>second</body></html>");
        const QUrl first = QUrl::fromLocalFile(FApp->path() + "/README.HTM");
        const QUrl second = QUrl::fromLocalFile(FTemp->path() + "/second.htm");
        Taboutform form(Host());
        form.show();
        QVERIFY(WaitForPage(form));
        QVERIFY(form.bsSkinSB_backword->isEnabled());
        QVERIFY(!form.bsSkinSB_forward->isEnabled());

        QTest::mouseClick(form.bsSkinSB_backword, Qt::LeftButton);
        QVERIFY2(!form.bsSkinSB_backword->isEnabled(), "nothing before the first page");
        QVERIFY(!form.bsSkinSB_forward->isEnabled());

        QVERIFY(Visit(form, second));
        QVERIFY2(form.bsSkinSB_backword->isEnabled(), "a new location enables back");
        QCOMPARE(form.Edit_input->text(), second.toString());

        QSignalSpy completed(&form, &Taboutform::NavigateCompleted);
        QTest::mouseClick(form.bsSkinSB_backword, Qt::LeftButton);
        QVERIFY(form.bsSkinSB_forward->isEnabled());
        QVERIFY(completed.wait(kEngineTimeoutMs));
        QCOMPARE(form.Edit_input->text(), first.toString());

        QTest::mouseClick(form.bsSkinSB_forward, Qt::LeftButton);
        QVERIFY(completed.wait(kEngineTimeoutMs));
        QCOMPARE(form.Edit_input->text(), second.toString());
        QVERIFY(form.bsSkinSB_forward->isEnabled());
        QTest::mouseClick(form.bsSkinSB_forward, Qt::LeftButton);
        QVERIFY2(!form.bsSkinSB_forward->isEnabled(), "nothing after the last page");
        QVERIFY(form.bsSkinSB_backword->isEnabled());
    }

    void typedAddressIsShownAsTheBrowserReportsIt() {
        WriteFile(FTemp->path(), "a page.htm", "<html><body>typed</body></html>");
        Taboutform form(Host());
        form.show();
        QVERIFY(WaitForPage(form));
        const QUrl typed = QUrl::fromLocalFile(FTemp->path() + "/a page.htm");
        QVERIFY(Visit(form, typed));
        QCOMPARE(form.WebBrowser->Url(), typed);
        QCOMPARE(form.Edit_input->text(), typed.toString());
        QCOMPARE(form.windowTitle(), typed.toString());
    }

    void exportStartsAnExternalBrowserWithTheLocation() {
        QTemporaryDir bin;
        WriteFakeBrowser(bin.path(), "firefox");
        Taboutform form(Host());
        form.show();
        QVERIFY(WaitForPage(form));
        {
            TPathSetting path(QFile::encodeName(bin.path()));
            QTest::mouseClick(form.bsSkinSpeedButton1, Qt::LeftButton);
        }
        const QString args = bin.path() + "/firefox.args";
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(args), 20000);
        const QUrl page = QUrl::fromLocalFile(FApp->path() + "/README.HTM");
        QCOMPARE(ReadAll(args), "1\n" + page.toEncoded() + "\n");
    }

    void exportWithoutABrowserAndMailGoToTheDesktop() {
        QTemporaryDir bin;
        Taboutform form(Host());
        form.show();
        QVERIFY(WaitForPage(form));
        TUrlCatcher catcher({"file", "mailto"});
        {
            TPathSetting path(QFile::encodeName(bin.path()));
            QTest::mouseClick(form.bsSkinSpeedButton1, Qt::LeftButton);
        }
        QTest::mouseClick(form.bsSkinSB_email, Qt::LeftButton);
        QCOMPARE(catcher.Urls, (QList<QUrl>{QUrl::fromLocalFile(FApp->path() + "/README.HTM"),
                                            QUrl("mailto:morvane@example.org")}));
    }

    void pageGoesToTheScratchFolderWhenTheProgramFolderTakesNone_data() {
        QTest::addColumn<bool>("folderIsAFile");
        QTest::newRow("program folder not writable") << true;
        QTest::newRow("page cannot be written there") << false;
    }

    void pageGoesToTheScratchFolderWhenTheProgramFolderTakesNone() {
        QFETCH(bool, folderIsAFile);
        TAboutHost host = Host();
        if (folderIsAFile) {
            WriteFile(FApp->path(), "file", "not a folder");
            host.AppDir = Bytes(FApp->path() + "/file/");
        } else {
            QVERIFY(QDir(FApp->path()).mkdir("README.HTM"));
        }
        TModalWatcher watcher;
        Taboutform form(host);
        QCOMPARE(watcher.Texts, QStringList());
        QCOMPARE(form.PageFolder(), host.TempDir);
        QVERIFY(ReadAll(FTemp->path() + "/README.HTM").startsWith("<html>"));
        QCOMPARE(QFile::exists(FTemp->path() + "/bk.gif"), !folderIsAFile);
        form.show();
        QVERIFY(WaitForPage(form));
        QCOMPARE(form.Edit_input->text(),
                 QUrl::fromLocalFile(FTemp->path() + "/README.HTM").toString());
    }

    void unwritablePageIsReportedOnceAndTheWindowStillOpens() {
        QVERIFY(QDir(FApp->path()).mkdir("README.HTM"));
        WriteFile(FTemp->path(), "file", "not a folder");
        TAboutHost host = Host();
        host.TempDir = Bytes(FTemp->path() + "/file/");
        TModalWatcher watcher;
        Taboutform form(host);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(watcher.Texts.size(), 1);
        QVERIFY2(watcher.Texts.first().contains("README.HTM"), qPrintable(watcher.Texts.first()));
    }

    // The pack texts are HTML, written into the page as they are; scripts among them never run
    // and nothing on the page reaches out, while the user may still browse the web.
    void packTextsRunNoScriptAndReachNothing() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        int connections = 0;
        // Answers each request, once read whole, with a page whose script would retitle it.
        connect(&server, &QTcpServer::newConnection, [&]() {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                ++connections;
                connect(socket, &QTcpSocket::readyRead, socket, [socket]() {
                    if (!socket->peek(65536).contains("\r\n\r\n")) return;
                    const QByteArray page =
                        "<html><head><title>web</title></head>"
                        "<body><script>document.title = 'ran';</script></body></html>";
                    socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                                  QByteArray::number(page.size()) + "\r\n\r\n" + page);
                    socket->disconnectFromHost();
                });
            }
        });
        const std::string port = std::to_string(server.serverPort());
        WriteFile(FApp->path() + "/Language", "Hostile_about.lng",
                  "31=<script>document.title = 'ran'; new WebSocket('ws://127.0.0.1:" + port +
                      "/');</script>\n"
                      "32=<img src=\"none.png\" onerror=\"document.title = 'ran'\">"
                      "<img src=\"http://127.0.0.1:" +
                      port +
                      "/picture.png\">\n"
                      "33=<a id=\"out\" href=\"http://127.0.0.1:" +
                      port + "/page\">web</a>\n");
        FLanguage = "Hostile";
        Taboutform form(Host());
        form.show();
        QVERIFY(WaitForPage(form));
        QVERIFY(ReadAll(FApp->path() + "/README.HTM").contains("<script>"));
        QVERIFY(form.WebBrowser->Title() != QStringLiteral("ran"));
        QCOMPARE(form.WebBrowser->Url(), QUrl::fromLocalFile(FApp->path() + "/README.HTM"));
        // Once another page is shown, whatever the about page started has had its turn.
        WriteFile(FTemp->path(), "second.htm", "<html><body>second</body></html>");
        const QUrl second = QUrl::fromLocalFile(FTemp->path() + "/second.htm");
        QVERIFY(Visit(form, second));
        QCOMPARE(connections, 0);

        // The user may follow the page's links, and type addresses, to the web.
        QTest::mouseClick(form.bsSkinSB_about, Qt::LeftButton);
        QVERIFY(WaitForPage(form));
        const QVariantList link = Evaluate(*form.WebBrowser,
                                           "var r = document.getElementById('out')"
                                           ".getBoundingClientRect();"
                                           "[r.left + r.width / 2, r.top + r.height / 2]")
                                      .toList();
        QCOMPARE(link.size(), 2);
        QTest::mouseClick(form.WebBrowser->Widget()->focusProxy(), Qt::LeftButton, {},
                          QPoint(link[0].toInt(), link[1].toInt()));
        QTRY_COMPARE_WITH_TIMEOUT(form.WebBrowser->Title(), QStringLiteral("web"),
                                  kEngineTimeoutMs);
        QVERIFY(connections > 0);
        QVERIFY(Visit(form, second));
        QVERIFY(Visit(form, QUrl(QString::fromStdString("http://127.0.0.1:" + port + "/typed"))));
        QCOMPARE(form.WebBrowser->Title(), QStringLiteral("web"));
    }

    void aboutButtonMakesTheWindowOnFirstUse() {
        Tansi2html window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!window.aboutform);
        QTest::mouseClick(window.bsSkinSpeedButton_About, Qt::LeftButton);
        QVERIFY(window.aboutform);
        Taboutform* form = window.aboutform.get();
        QVERIFY(form->isVisible());
        QVERIFY(form->WebBrowser);
        QVERIFY(WaitForPage(*form));
        form->hide();
        QTest::mouseClick(window.bsSkinSpeedButton_About, Qt::LeftButton);
        QCOMPARE(window.aboutform.get(), form);
        QVERIFY(form->isVisible());
    }
};

MORVANE_GUI_TEST_MAIN(AboutTest)
#include "about_test.moc"
