#include "display/browserpage.h"

#include <QFile>
#include <QLibrary>

#include "platform/executable.h"
#include "platform/webengine.h"

namespace morvane {
namespace {

using TFactory = decltype(&MorvaneCreateBrowserPage);

// Stays loaded for the program's life: its pages live until their parents go.
TFactory LoadFactory() {
    static TFactory factory = nullptr;
    if (factory) return factory;
    // The engine looks for the shared context as its library loads.
    ShareOpenGLContexts();
    QLibrary library(QFile::decodeName(ProgramFolders().Modules.c_str()) +
                     QStringLiteral(MORVANE_BROWSER_MODULE));
    factory = reinterpret_cast<TFactory>(library.resolve("MorvaneCreateBrowserPage"));
    if (!factory) {
        throw EPageError("cannot load the browser \"" + library.fileName().toStdString() +
                         "\": " + library.errorString().toStdString());
    }
    return factory;
}

}  // namespace

IBrowserPage* CreateBrowserPage(QWidget* parent) { return LoadFactory()(parent); }

}  // namespace morvane
