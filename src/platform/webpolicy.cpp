#include "platform/webpolicy.h"

#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

namespace morvane {
namespace {

bool IsWebAddress(const QUrl& url) {
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

// What a local page may load: its own file, and the local pictures, style sheets and fonts it
// shows. Nothing else, neither another file that a script could read, nor any address.
class TLocalPageInterceptor : public QWebEngineUrlRequestInterceptor {
  public:
    TLocalPageInterceptor(const TGuardedPage* page, QObject* parent)
        : QWebEngineUrlRequestInterceptor(parent), FPage(page) {}

    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QUrl& request = info.requestUrl();
        const bool browsing = FPage->Reach() == TPageReach::UserBrowsing;
        // A page of its own: the navigation to it has been let through already.
        if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame) {
            info.block(!request.isLocalFile() && !(browsing && IsWebAddress(request)));
            return;
        }
        if (browsing && !info.firstPartyUrl().isLocalFile()) {
            // A web page in the browser: anything but local files.
            info.block(request.isLocalFile());
            return;
        }
        bool allowed = false;
        if (request.isLocalFile() || request.scheme() == QLatin1String("data")) {
            switch (info.resourceType()) {
                case QWebEngineUrlRequestInfo::ResourceTypeImage:
                case QWebEngineUrlRequestInfo::ResourceTypeStylesheet:
                case QWebEngineUrlRequestInfo::ResourceTypeFontResource:
                case QWebEngineUrlRequestInfo::ResourceTypeFavicon:
                    allowed = true;
                    break;
                default:
                    break;
            }
        }
        info.block(!allowed);
    }

  private:
    const TGuardedPage* FPage;
};

}  // namespace

TGuardedPage::TGuardedPage(QObject* parent) : QWebEnginePage(parent) {
    QWebEngineSettings* s = settings();
    // Text art needs no script; a page's own scripts are what would read and send.
    s->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
    s->setAttribute(QWebEngineSettings::LocalStorageEnabled, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    // The engine's switch for local files would also stop a page's own pictures; what a local
    // page loads is decided by the interceptor instead.
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    s->setAttribute(QWebEngineSettings::HyperlinkAuditingEnabled, false);
    s->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    s->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    s->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    setUrlRequestInterceptor(new TLocalPageInterceptor(this, this));
}

bool TGuardedPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    // The program's own: the file shown, an address typed, its history.
    if (isMainFrame && (type == NavigationTypeTyped || type == NavigationTypeBackForward ||
                        type == NavigationTypeReload)) {
        return true;
    }
    const QUrl shown = this->url();
    if (isMainFrame && url.adjusted(QUrl::RemoveFragment) == shown.adjusted(QUrl::RemoveFragment))
        return true;
    const bool browsing = FReach == TPageReach::UserBrowsing;
    if (shown.isLocalFile() || url.isLocalFile()) {
        // A local page goes nowhere by itself; in the browser the user may follow its links.
        return browsing && isMainFrame && type == NavigationTypeLinkClicked && IsWebAddress(url);
    }
    return browsing;
}

}  // namespace morvane
