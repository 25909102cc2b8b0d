#pragma once

#include <string>

namespace morvane {

/// The folder of the running program's executable, ending in '/'; empty when it cannot be told.
std::string ExecutableFolder();

/// Where a program's own files lie; every folder ends in '/'.
struct TProgramFolders {
    /// The data files: Favorites, Language, the pages, pictures and the glyph sheet.
    std::string Data;
    /// The modules the program loads at run time.
    std::string Modules;
    /// An installed copy, whose tree is no place for settings, pages or scratch files.
    bool Installed = false;
};

/// The folders of a program whose executable lies in exeFolder: exeFolder itself when it holds
/// the "Favorites" folder (a portable copy, or the build tree); else, when the install tree's
/// data folder lies beside it, that tree's data and module folders; else exeFolder.
TProgramFolders ProgramFoldersOf(const std::string& exeFolder);

/// ProgramFoldersOf(ExecutableFolder()), worked out on first use.
const TProgramFolders& ProgramFolders();

}  // namespace morvane
