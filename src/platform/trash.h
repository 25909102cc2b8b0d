#pragma once

#include <optional>
#include <string>

namespace morvane {

/// A trash of the desktop's layout: a folder holding files/ and info/.
struct TTrash {
    /// The trash folder, without a trailing '/'.
    std::string Folder;
    /// The volume's top folder that the info files' paths are relative to; empty for the home
    /// trash, whose info files hold absolute paths.
    std::string Topdir;
};

/// The home trash, $XDG_DATA_HOME/Trash (by default ~/.local/share/Trash), made with its
/// folders (mode 0700) where missing. None when it cannot be made.
std::optional<TTrash> HomeTrash();

/// The trash of the volume whose top folder is topdir: topdir/.Trash/UID when an administrator
/// made topdir/.Trash (a sticky folder, not a link), else topdir/.Trash-UID; made where missing
/// (mode 0700). None when neither can be used.
std::optional<TTrash> VolumeTrash(const std::string& topdir);

/// The trash that takes the file at path (file-system bytes): the home trash for a file on its
/// file system, its volume's trash for one on another. Made where missing; none when no trash
/// can take the file.
std::optional<TTrash> TrashFor(const std::string& path);

/// Moves the file (a link itself, not what it points at) into trash with an info file saying
/// where it came from and when, so the desktop can put it back. False, and the file where it
/// was, when it cannot be moved there.
bool MoveToTrash(const std::string& path, const TTrash& trash);

/// MoveToTrash into TrashFor(path); false when there is none.
bool MoveToTrash(const std::string& path);

}  // namespace morvane
