#include "platform/webpolicy.h"

#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

namespace morvane {
namespace {

// The engine's own switch for local files would also stop a page's pictures, so files stay
// loadable and what a script could read them with is refused here.
class TLocalPageInterceptor : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        if (!info.firstPartyUrl().isLocalFile()) return;
        switch (info.resourceType()) {
            case QWebEngineUrlRequestInfo::ResourceTypeXhr:
            case QWebEngineUrlRequestInfo::ResourceTypePing:
            case QWebEngineUrlRequestInfo::ResourceTypeCspReport:
            case QWebEngineUrlRequestInfo::ResourceTypePluginResource:
            case QWebEngineUrlRequestInfo::ResourceTypeObject:
            // A framed file, even a page, is the page's own origin to its scripts, so they could
            // read it; text art has no frames.
            case QWebEngineUrlRequestInfo::ResourceTypeSubFrame:
                info.block(true);
                break;
            default:
                break;
        }
    }
};

}  // namespace

void ApplyLocalPagePolicy(QWebEnginePage* page) {
    QWebEngineSettings* settings = page->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    page->setUrlRequestInterceptor(new TLocalPageInterceptor(page));
}

}  // namespace morvane
