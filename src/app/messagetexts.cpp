#include "app/ansi2html.h"

namespace morvane {

// What every message says until a language pack replaces it, so no box is ever empty. Each text
// is followed by what the message appends (a path, or nothing).
void Tansi2html::SetBuiltInMessages() {
    MsgNoTemplate = "The submission template \"add.htm\" is missing beside the program.";
    MsgSettingsMade =
        "No settings file was found, so a new one was made with the usual settings:\n";
    MsgNoSettings = "The settings file is gone, so the settings of this session were not saved:\n";
    MsgOverwrite = "This file exists already. Replace it?\n";
    MsgDeleteConfirm = "Delete \"";
    MsgRenameCaption = "Rename";
    MsgRenamePrompt = "New name (the extension stays):";
    MsgRenameConfirm = "Rename the file?";
    MsgRenameFailed = "The file could not be renamed to ";
    MsgMoveFailed = "The file could not be moved to ";
    MsgCopied = "Done: ";
    MsgCopyFailed = "The file could not be copied to ";
    MsgDeleteForGood =
        "There is no trash for this file: it will be deleted for good and cannot be got back.\n"
        "Delete \"";
    MsgTrashFailed = "The file could not be moved to the trash, so it was left where it is:\n";
}

}  // namespace morvane
