#include <QApplication>

#include "app/ansi2html.h"
#include "platform/webengine.h"

int main(int argc, char* argv[]) {
    morvane::PrepareWebEngineProcess();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvane"));
    morvane::Tansi2html ansi2html;
    ansi2html.PreparePages();
    ansi2html.show();
    // morvane [FILE|FOLDER]; Qt has taken its own options out of argv.
    if (argc > 1) ansi2html.OpenArgument(argv[1]);
    return QApplication::exec();
}
