#pragma once

#include <string>
#include <vector>

#include "document/convertoptions.h"

namespace morvane {

class TFolderIndex;

/// One file a batch was given: as named, or found below a folder that was named.
struct TBatchInput {
    std::string Path;
    /// The folder below --out-dir that its output goes to, ending in '/'; empty for --out-dir
    /// itself.
    std::string Below;
    /// Found by walking a folder rather than named.
    bool Walked = false;
};

/// A file of the batch: where it comes from, what it is read from and what is written for it.
struct TConvertJob {
    std::string Input;
    std::vector<std::string> Reads;
    std::vector<std::string> Writes;
    /// Why it is not converted; empty when it is.
    std::string Refusal;
    /// --update: its outputs are newer than its inputs, so it is left as it is.
    bool UpToDate = false;
};

/// The names of a --files-from list: one a line (a CR before the line end is kept: it may be
/// part of a name), or each ended by a NUL byte; empty names are skipped.
std::vector<std::string> SplitFileList(const std::string& bytes, bool nulSeparated);

/// The batch's files in order: the named ones, and with options.Recursive, every file found
/// below a named folder (see README: our extensions, and files without one whose content is
/// text; names starting with "." and the output folder are passed over). Each folder is read
/// once, through index.
std::vector<TBatchInput> GatherInputs(const std::vector<std::string>& names,
                                      const TConvertOptions& options, TFolderIndex& index);

/// Plans the conversion of inputs: every job's input, companion and outputs, each path resolved
/// once. A job whose output would replace a file the batch reads, or another job's output, is
/// refused; the same document named twice is converted once; a walked file whose output would
/// be itself is left out; with options.Update, jobs whose outputs are newer are marked. Time
/// grows with the number of files, not its square.
std::vector<TConvertJob> PlanConversions(const std::vector<TBatchInput>& inputs,
                                         const TConvertOptions& options, TFolderIndex& index);

}  // namespace morvane
