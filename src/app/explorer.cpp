#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QStorageInfo>

#include "app/ansi2html.h"
#include "app/directorytree.h"

namespace morvane {
namespace {

// The mounted volumes and the home folder, as the drive box lists them.
QStringList Drives() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady()) roots.append(volume.rootPath());
    }
    // Every path lies under "/", even where the mount table does not show it (a chroot).
    roots.append(QStringLiteral("/"));
    roots.append(QDir::homePath());
    roots.removeDuplicates();
    roots.sort();
    return roots;
}

bool Holds(const QString& root, const QString& folder) {
    return root == QLatin1String("/") || folder == root ||
           folder.startsWith(root + QLatin1Char('/'));
}

}  // namespace

void Tansi2html::SetExplorer(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folderBytes = slash == std::string::npos || slash == 0
                                        ? std::string("/")
                                        : path.substr(0, slash);
    const QString folder = QFile::decodeName(QByteArray::fromStdString(folderBytes));

    if (DriveComboBox1->count() == 0) {
        for (const QString& root : Drives()) DriveComboBox1->addItem(root, root);
    }
    int best = -1;
    for (int i = 0; i < DriveComboBox1->count(); ++i) {
        const QString root = DriveComboBox1->itemData(i).toString();
        if (Holds(root, folder) &&
            (best < 0 || root.size() > DriveComboBox1->itemData(best).toString().size())) {
            best = i;
        }
    }
    DriveComboBox1->setCurrentIndex(best);
    DirectoryListBox1->SetDirectory(folder);
}

}  // namespace morvane
