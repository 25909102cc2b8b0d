#include <QApplication>

#include <cstdio>
#include <string_view>

#include "app/ansi2html.h"
#include "platform/webengine.h"

int main(int argc, char* argv[]) {
    // Answered before Qt starts, so that they work without a display.
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::printf(
                "usage: morvane [FILE|FOLDER]\n"
                "Views, converts and sorts coloured bulletin-board text art: shows FILE selected "
                "in its folder,\nor lists FOLDER. Qt's own options (such as -platform) are "
                "understood too.\n"
                "  -h, --help   show this help\n"
                "  --version    show the version\n");
            return 0;
        }
        if (arg == "--version") {
            std::printf("morvane %s\n", MORVANE_VERSION);
            return 0;
        }
    }
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
