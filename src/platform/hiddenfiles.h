#pragma once

#include <string>

namespace morvane {

/// A writer's hidden file beside target: ".NAME.morvane-" and six letters or digits. A writer
/// holds a lock on each of its own while it runs, so a later run can tell those of a writer that
/// is gone, and remove them, from those of one still at work.
std::string HiddenNameFor(const std::string& target);

/// The hidden name beside target with the six-character tag given.
std::string HiddenNameFor(const std::string& target, const std::string& tag);

/// A new six-character tag for a hidden name.
std::string NewHiddenTag();

/// True for a tag a hidden name may carry: six ASCII letters or digits.
bool IsHiddenTag(const std::string& tag);

/// The name without its extension: what the files of one document (a colour pair) share.
std::string StemOf(const std::string& name);

/// True when name, a name in a folder, is a writer's hidden file for a file whose stem is stem.
bool IsHiddenFileOf(const std::string& name, const std::string& stem);

/// Opens a new hidden file beside target for writing, locked while the descriptor is open, and
/// sets path to it. -1, with errno, when none can be made.
int CreateHiddenFile(const std::string& target, std::string& path);

/// Opens a new file without a name in folder (ending in '/', or empty for the working folder),
/// with flags added to O_TMPFILE: nothing is left of it however the program ends. -1 where the
/// file system cannot make one, or it could not be named later.
int OpenUnnamedFile(const std::string& folder, int flags);

/// Gives the file without a name open on fd the name path, where none is taken. False, with
/// errno, when it cannot.
bool LinkUnnamedFile(int fd, const std::string& path);

/// Gives the file open on fd (one without a name, opened with O_TMPFILE) a hidden name beside
/// target, locking it first. False, with errno, when it cannot.
bool NameHiddenFile(int fd, const std::string& target, std::string& path);

/// Removes the hidden files in folder (ending in '/', or empty for the working folder) of files
/// whose stem is stem, where no writer holds them any more. Failures are ignored: what cannot be
/// removed now is removed by a later run.
void RemoveDeadHiddenFiles(const std::string& folder, const std::string& stem);

}  // namespace morvane
