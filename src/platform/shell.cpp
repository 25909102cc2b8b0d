#include "platform/shell.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>

namespace morvane {

QUrl LocalFileUrl(const std::string& path) {
    return QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path)));
}

namespace {

std::function<bool(const QUrl&)>& Opener() {
    static std::function<bool(const QUrl&)> opener;
    return opener;
}

}  // namespace

void SetShellOpener(std::function<bool(const QUrl&)> opener) { Opener() = std::move(opener); }

bool ShellOpen(const QString& target) {
    const bool address = target.contains(QLatin1String("://")) ||
                         target.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive);
    QUrl url = address ? QUrl(target) : QUrl::fromLocalFile(target);
    if (Opener()) return Opener()(url);
    return QDesktopServices::openUrl(url);
}

bool StartProgram(const QString& program, const QStringList& args) {
    return QProcess::startDetached(program, args);
}

}  // namespace morvane
