#include "platform/webengine.h"

#include <unistd.h>

#include <QByteArray>
#include <QtGlobal>

namespace morvane {

void PrepareWebEngineProcess() {
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
}

}  // namespace morvane
