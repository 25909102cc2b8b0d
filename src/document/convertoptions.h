#pragma once

#include <optional>
#include <string>
#include <vector>

#include "document/charsets.h"

namespace morvane {

/// What a command line of the batch converter asks for.
struct TConvertOptions {
    /// txt, clo, htm, gif, bmp or png.
    std::string Format;
    /// -o: the one output file.
    std::string Output;
    /// --out-dir: the folder outputs go to (else beside their inputs).
    std::string OutDir;
    /// --encoding: the text's character set, or none to find it from the text.
    std::optional<TEncoding> Encoding;
    /// The FILEs (and with Recursive, folders) named on the command line.
    std::vector<std::string> Files;
    /// --files-from: a file listing more names, "-" for standard input.
    std::string FilesFrom;
    /// -0: the list's names end in NUL bytes rather than line ends.
    bool NulSeparated = false;
    /// -r: folders are converted with everything below them.
    bool Recursive = false;
    /// --update: a file whose outputs are newer than its inputs is left as it is.
    bool Update = false;
    /// -j: conversions at once; 0 for as many as the machine has cores.
    unsigned Jobs = 0;
    bool Help = false;
    bool Version = false;
};

/// True for the formats written as pictures.
bool IsPictureFormat(const std::string& format);

/// Reads args (without the program name) into options; returns what is wrong with them, or empty.
std::string ParseConvertOptions(const std::vector<std::string>& args, TConvertOptions& options);

/// The one-line usage.
std::string ConvertUsage();

/// The --help text: the usage and every option, one line each.
std::string ConvertHelp();

}  // namespace morvane
