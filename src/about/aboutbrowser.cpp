#include <QLineEdit>
#include <QStandardPaths>
#include <QToolButton>

#include "about/aboutform.h"
#include "app/makersite.h"
#include "display/browserpage.h"
#include "platform/shell.h"

namespace morvane {
namespace {

// Browsers looked for in PATH, in this order; the desktop's default takes over when none is there.
const char* const kExternalBrowsers[] = {
    "firefox",  "firefox-esr",      "chromium", "chromium-browser", "google-chrome",
    "epiphany", "epiphany-browser", "falkon",   "konqueror",
};

QString FindExternalBrowser() {
    for (const char* name : kExternalBrowsers) {
        const QString program = QStandardPaths::findExecutable(QLatin1String(name));
        if (!program.isEmpty()) return program;
    }
    return {};
}

}  // namespace

void Taboutform::Navigate(const QUrl& url) {
    if (WebBrowser) WebBrowser->Navigate(url);
}

void Taboutform::bsSkinButton1Click() { Navigate(QUrl(Edit_input->text())); }

void Taboutform::Edit_inputKeyDown(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) bsSkinButton1Click();
}

void Taboutform::bsSkinSB_backwordClick() {
    if (WebBrowser && WebBrowser->GoBack())
        bsSkinSB_forward->setEnabled(true);
    else
        bsSkinSB_backword->setEnabled(false);
}

void Taboutform::bsSkinSB_forwardClick() {
    if (!WebBrowser || !WebBrowser->GoForward()) bsSkinSB_forward->setEnabled(false);
}

void Taboutform::bsSkinSB_homeClick() { Navigate(QUrl(QLatin1String(kQuilletPage))); }

void Taboutform::bsSkinSB_bbsClick() { Navigate(QUrl(QLatin1String(kGuestBookPage))); }

void Taboutform::bsSkinSB_emailClick() { ShellOpen(QLatin1String(kMakerMail)); }

void Taboutform::bsSkinSpeedButton1Click() {
    if (!WebBrowser) return;
    const QUrl location = WebBrowser->Url();
    // Only an address goes out: a bare word could pass for one of the browser's options.
    if (location.isEmpty() || location.isRelative()) return;
    const QString address = location.toString(QUrl::FullyEncoded);
    const QString browser = FindExternalBrowser();
    if (browser.isEmpty())
        ShellOpen(address);
    else
        StartProgram(browser, {address});
}

void Taboutform::WebBrowserNavigateComplete2() {
    const QString location = WebBrowser->Url().toString();
    if (location != LastLocation) {
        LastLocation = location;
        bsSkinSB_backword->setEnabled(true);
    }
    Edit_input->setText(location);
    setWindowTitle(Edit_input->text());
    WebBrowser->Widget()->setCursor(Qt::ArrowCursor);
    emit NavigateCompleted();
}

void Taboutform::WebBrowserDownloadBegin() { WebBrowser->Widget()->setCursor(Qt::BusyCursor); }

}  // namespace morvane
