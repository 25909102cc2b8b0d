#include <QEventLoop>
#include <QPlainTextEdit>
#include <QTimer>
#include <memory>

#include "display/showpanel.h"
#include "display/cellfonthighlighter.h"
#include "document/textlines.h"
#include "platform/files.h"
#include "platform/gbtext.h"
#include "platform/shell.h"

namespace morvane {
namespace {

// Long enough for a busy engine; the page has already completed when its text is asked for.
constexpr int kPageTextTimeoutMs = 10000;

bool IsBlank(const QString& line) {
    for (QChar c : line) {
        if (c.unicode() > 32) return false;
    }
    return true;
}

}  // namespace

IBrowserPage& TShowPanel::Browser() {
    if (!FBrowser) {
        FBrowserPage = CreateBrowserPage(FHost);
        FBrowser = FBrowserPage->Widget();
        FBrowser->setObjectName(QStringLiteral("FBrowser"));
        FBrowser->setGeometry(0, 0, 0, 0);
        FBrowser->show();
        FBrowserPage->OnLoadFinished([this](bool) { BrowserDocumentComplete(); });
    }
    return *FBrowserPage;
}

void TShowPanel::PrepareBrowser() {
    if (FBrowser) return;
    try {
        Browser();
    } catch (const EPageError&) {
        return;
    }
    // Nothing has been shown: the browser waits out of sight for the first page.
    FBrowserFills = false;
}

void TShowPanel::NavigateToFile(const Tabc& doc) {
    Browser().Navigate(LocalFileUrl(doc.FSourcePath));
    FPageLoaded = false;
}

void TShowPanel::BrowserDocumentComplete() {
    FPageLoaded = true;
    if (FViewMode == vmText) {
        try {
            LoadPageText();
        } catch (const EPageError& error) {
            qWarning("%s", error.what());
        }
    }
    emit PageCompleted();
}

void TShowPanel::LoadPageText() {
    FTextLines.clear();
    FTextEncoding = TEncoding::Gb;
    TCellFontHighlighter::SetEncoding(FTextView, FTextEncoding);
    FTextView->clear();
    IBrowserPage* page = BrowserPage();
    if (!page) throw EPageError("no page is loaded");

    // The answer comes through the event loop; the state outlives this call should it time out.
    struct TAnswer {
        bool Arrived = false;
        QVariant Value;
        QEventLoop* Loop = nullptr;
    };
    auto answer = std::make_shared<TAnswer>();
    QEventLoop loop;
    answer->Loop = &loop;
    page->RunJavaScript(
        QStringLiteral("document.body ? document.body.outerText : null"),
        [answer](const QVariant& value) {
            answer->Arrived = true;
            answer->Value = value;
            if (answer->Loop) answer->Loop->quit();
        });
    QTimer::singleShot(kPageTextTimeoutMs, &loop, &QEventLoop::quit);
    if (!answer->Arrived) loop.exec();
    answer->Loop = nullptr;
    if (!answer->Arrived) throw EPageError("the page did not give its text in time");
    if (answer->Value.typeId() != QMetaType::QString) throw EPageError("the page has no body");

    QStringList lines = answer->Value.toString().split(QLatin1Char('\n'));
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        if (IsBlank(lines[i])) lines.removeAt(i);
    }
    for (const QString& line : lines) {
        QString text = line.endsWith(QLatin1Char('\r')) ? line.chopped(1) : line;
        FTextLines.push_back(EncodeGb(text));
    }
    FTextView->setPlainText(lines.join(QLatin1Char('\n')));
}

void TShowPanel::SaveText(const std::string& fileName) {
    if (FViewMode == vmBrowser && FPageLoaded) LoadPageText();
    WriteFileAtomic(fileName, JoinCrLf(FTextLines));
}

}  // namespace morvane
