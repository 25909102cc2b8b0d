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
    return QApplication::exec();
}
