#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morvane {

/// One file of a commit of several files that share a folder and a stem (a colour pair).
struct TUndoEntry {
    /// The file's name in the folder (a link is followed to the file it leads to).
    std::string Name;
    /// A file stood there before: its old version is kept under the hidden name BackupTag.
    bool Existed = false;
    /// The tags of the hidden names of the new file before it is put in place, and of the old
    /// file while the commit lasts.
    std::string StagedTag;
    std::string BackupTag;
    /// The new file, to tell it from one that took its place later.
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
};

/// The hidden record ".STEM.morvane-undo" that says how to put back a commit in folder (ending
/// in '/', or empty for the working folder) of the files whose stem is stem.
std::string UndoRecordPath(const std::string& folder, const std::string& stem);

std::string FormatUndoRecord(const std::vector<TUndoEntry>& entries);

/// The entries of a record for stem; false for bytes that are no such record (then nothing in
/// it may be acted on).
bool ParseUndoRecord(const std::string& bytes, const std::string& stem,
                     std::vector<TUndoEntry>& entries);

/// The record of a commit at work: made, on the disk and locked before the first file changes,
/// and removed once the last is in place. Until then, a run killed half-way is undone by the
/// next run that reads or writes these files; a failure is undone at once by RollBack.
class TUndoRecord {
  public:
    /// Waits for a commit of the same files at work, undoes one that was killed, then writes the
    /// record. Throws EFileError naming nameForMessages.
    TUndoRecord(const std::string& folder, const std::string& stem,
                const std::vector<TUndoEntry>& entries, const std::string& nameForMessages);
    ~TUndoRecord();
    TUndoRecord(const TUndoRecord&) = delete;
    TUndoRecord& operator=(const TUndoRecord&) = delete;

    /// Every file is in place: removes the record, from when the new files stand.
    void Commit();
    /// Puts back the old files and removes the record; where that fails, the record stays for a
    /// later run.
    void RollBack();

  private:
    std::string FFolder;
    std::string FPath;
    std::vector<TUndoEntry> FEntries;
    int FFd = -1;
    bool FDone = false;
};

/// Before a file is read or written: undoes the commit of the files sharing its stem that a
/// killed run left beside it, and removes the hidden files of writers that are gone. A commit
/// or writer still at work is left alone; what cannot be done now is left for a later run.
void TidyAfterKilledWriters(const std::string& path);

/// Called before each step of a write that puts files in place. Tests stop the process there;
/// null (the default) calls nothing.
void SetCommitStepHook(void (*hook)());

/// Calls the commit step hook, if any.
void CommitStep();

}  // namespace morvane
