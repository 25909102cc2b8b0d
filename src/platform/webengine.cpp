#include "platform/webengine.h"

#include <unistd.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QSurfaceFormat>
#include <QtGlobal>
#include <memory>

// Qt's own hook behind Qt::AA_ShareOpenGLContexts, exported for the web engine's use.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace morvane {

void PrepareWebEngineProcess() {
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
}

// Qt makes this context with the application object when Qt::AA_ShareOpenGLContexts is set
// first, which costs every window some 40 ms and 55 MB for OpenGL, pages or not. No context is
// made before the engine's, so making it here shares the same; like Qt, it is set up even when
// there is no OpenGL, as the engine expects one.
void ShareOpenGLContexts() {
    if (QOpenGLContext::globalShareContext()) return;
    auto context = std::make_unique<QOpenGLContext>(QCoreApplication::instance());
    context->setFormat(QSurfaceFormat::defaultFormat());
    context->create();
    qt_gl_set_global_share_context(context.release());
}

void ComposeWithOpenGL(QWidget* window) {
    ShareOpenGLContexts();
    if (!QOpenGLContext::globalShareContext()->isValid()) return;
    // Any OpenGL-composed child makes Qt create the window for OpenGL composition; this one
    // stays hidden and never draws.
    auto* marker = new QOpenGLWidget(window);
    marker->setObjectName(QStringLiteral("OpenGLComposition"));
    marker->setGeometry(0, 0, 0, 0);
    marker->hide();
}

}  // namespace morvane
