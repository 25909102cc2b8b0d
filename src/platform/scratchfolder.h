#pragma once

#include <string>

namespace morvane {

/// A folder of this process's own inside a temporary folder, for scratch files and pages that
/// must not meet another running copy's. It holds a lock for the process's whole life, so a
/// later start can tell a folder left behind by a process that died, and removes it.
class TScratchFolder {
public:
    /// Makes base + prefix + "XXXXXX/" (base ends in '/'); throws EFileError.
    TScratchFolder(const std::string& base, const std::string& prefix);
    /// Removes the folder with everything in it.
    ~TScratchFolder();
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;

    /// The folder, ending in '/'.
    const std::string& Path() const { return FPath; }

    /// Removes the folders base + prefix + "*" whose owner has ended without removing them.
    static void SweepAbandoned(const std::string& base, const std::string& prefix);

private:
    std::string FPath;
    int FLockFd = -1;
};

}  // namespace morvane
