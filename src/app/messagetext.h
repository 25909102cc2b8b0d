#pragma once

#include <QFile>
#include <QString>
#include <string>

#include "platform/gbtext.h"

namespace morvane {

/// A message text (GB2312 bytes, as a language pack gives it) followed by the path it names
/// (file-system bytes), ready for the message box.
inline QString MessageText(const std::string& text, const std::string& path = {}) {
    return DecodeGb(text) + QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace morvane
