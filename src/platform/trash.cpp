#include "platform/trash.h"

#include <QFile>

namespace morvane {

bool MoveToTrash(const std::string& path) {
    return QFile::moveToTrash(QFile::decodeName(QByteArray::fromStdString(path)));
}

}  // namespace morvane
