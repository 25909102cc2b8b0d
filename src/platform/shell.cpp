#include "platform/shell.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>

namespace morvane {

QUrl LocalFileUrl(const std::string& path) {
    return QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path)));
}

void ShellOpen(const QString& target) {
    QUrl url = target.contains(QLatin1String("://")) ? QUrl(target) : QUrl::fromLocalFile(target);
    QDesktopServices::openUrl(url);
}

bool StartProgram(const QString& program, const QStringList& args) {
    return QProcess::startDetached(program, args);
}

}  // namespace morvane
