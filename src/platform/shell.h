#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <string>

namespace morvane {

/// The file URL of a path given as file-system bytes; "#", "%" and blanks in names survive.
QUrl LocalFileUrl(const std::string& path);

/// Hands a file, folder, web address ("scheme://...") or mail address ("mailto:...") to the
/// desktop for its default action; false when the desktop could not take it.
bool ShellOpen(const QString& target);

/// Hands ShellOpen's addresses to opener instead of the desktop while set; an empty one gives
/// the desktop back. Lets a test stand for a desktop that opens nothing.
void SetShellOpener(std::function<bool(const QUrl&)> opener);

/// Starts program with args, detached, without a shell; false when it could not be started.
bool StartProgram(const QString& program, const QStringList& args);

}  // namespace morvane
