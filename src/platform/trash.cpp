#include "platform/trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace morvane {
namespace {

// A trash of the freedesktop layout: $XDG_DATA_HOME/Trash, $topdir/.Trash/$uid or
// $topdir/.Trash-$uid, each holding files/ and info/.
bool IsTrashFolder(const QString& filesFolder) {
    const QFileInfo files(filesFolder);
    if (!files.isAbsolute() || files.fileName() != QLatin1String("files")) return false;
    const QFileInfo trash(files.absolutePath());
    const QString name = trash.fileName();
    return name == QLatin1String("Trash") || name.startsWith(QLatin1String(".Trash-")) ||
           QFileInfo(trash.absolutePath()).fileName() == QLatin1String(".Trash");
}

}  // namespace

bool MoveToTrash(const std::string& path) {
    const QString source = QFile::decodeName(QByteArray::fromStdString(path));
    QString inTrash;
    if (!QFile::moveToTrash(source, &inTrash)) return false;
    if (IsTrashFolder(QFileInfo(inTrash).path())) return true;
    // Where the user's trash cannot be made, Qt puts the file in files/ and info/ below the
    // working folder, where nobody would look for it: it goes back, and is not called trashed.
    const QFileInfo moved(inTrash);
    if (!QFile::rename(moved.absoluteFilePath(), source)) return true;
    QDir trash(moved.absolutePath());
    trash.cdUp();
    trash.remove(QStringLiteral("info/") + moved.fileName() + QStringLiteral(".trashinfo"));
    // Only emptied, as Qt made them.
    trash.rmdir(QStringLiteral("files"));
    trash.rmdir(QStringLiteral("info"));
    return false;
}

}  // namespace morvane
