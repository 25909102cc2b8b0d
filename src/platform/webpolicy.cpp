#include "platform/webpolicy.h"

#include <unistd.h>

#include <QWebEngineSettings>
#include <QtGlobal>

namespace morvane {

void PrepareWebEngineProcess() {
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
}

void ApplyLocalPagePolicy(QWebEngineSettings* settings) {
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
}

}  // namespace morvane
