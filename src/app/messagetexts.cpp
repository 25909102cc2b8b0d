#include "app/ansi2html.h"

namespace morvane {

// What every message says until a language pack replaces it, so no box is ever empty. Each text
// is followed by what the message appends (a path, or nothing).
void Tansi2html::SetBuiltInMessages() {
    MsgNoTemplate = "The submission template \"add.htm\" is missing beside the program.";
    MsgNoSettings = "The settings file \"morvane.ini\" was not found.";
    MsgOverwrite = "This file exists already. Replace it?\n";
    MsgDeleteConfirm = "Delete \"";
    MsgRenameCaption = "Rename";
    MsgRenamePrompt = "New name (the extension stays):";
    MsgRenameConfirm = "Rename the file?";
    MsgRenameFailed = "The file could not be renamed to ";
    MsgMoveFailed = "The file could not be moved to ";
    MsgCopied = "Done: ";
    MsgCopyFailed = "The file could not be copied to ";
}

}  // namespace morvane
