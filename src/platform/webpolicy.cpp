#include "platform/webpolicy.h"

#include <unistd.h>

#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QtGlobal>

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
                info.block(true);
                break;
            case QWebEngineUrlRequestInfo::ResourceTypeSubFrame:
                // A frame of a page is the page's; any other file in a frame could be read.
                info.block(!IsPage(info.requestUrl().path()));
                break;
            default:
                break;
        }
    }

private:
    static bool IsPage(const QString& path) {
        return path.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive) ||
               path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive);
    }
};

}  // namespace

void PrepareWebEngineProcess() {
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
}

void ApplyLocalPagePolicy(QWebEnginePage* page) {
    QWebEngineSettings* settings = page->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    page->setUrlRequestInterceptor(new TLocalPageInterceptor(page));
}

}  // namespace morvane
