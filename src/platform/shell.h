#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <string>

namespace morvane {

/// The file URL of a path given as file-system bytes; "#", "%" and blanks in names survive.
QUrl LocalFileUrl(const std::string& path);

/// Hands a file, folder, web address ("scheme://...") or mail address ("mailto:...") to the
/// desktop for its default action.
/// Failures are not reported.
void ShellOpen(const QString& target);

/// Starts program with args, detached, without a shell; false when it could not be started.
bool StartProgram(const QString& program, const QStringList& args);

}  // namespace morvane
