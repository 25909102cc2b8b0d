#include "document/convertoptions.h"

#include <cstdlib>

namespace morvane {
namespace {

struct TEncodingName {
    const char* Name;
    std::optional<TEncoding> Encoding;
};

// Every value of --encoding; usage and messages are made from this table.
const TEncodingName kEncodings[] = {
    {"auto", std::nullopt},
    {"gb", TEncoding::Gb},
    {"big5", TEncoding::Big5},
    {"utf-8", TEncoding::Utf8},
};

const char* const kFormats[] = {"txt", "clo", "htm", "gif", "bmp", "png"};

// "a|b|c" or "a, b or c".
std::string Choices(const std::vector<std::string>& names, bool prose) {
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += !prose ? "|" : i + 1 == names.size() ? " or " : ", ";
        text += names[i];
    }
    return text;
}

std::vector<std::string> EncodingNames() {
    std::vector<std::string> names;
    for (const TEncodingName& e : kEncodings) names.push_back(e.Name);
    return names;
}

std::vector<std::string> FormatNames() { return {std::begin(kFormats), std::end(kFormats)}; }

// A control byte in an argument must neither drive the terminal nor split the message.
std::string Shown(const std::string& arg) {
    std::string out;
    for (char ch : arg) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x20 || byte == 0x7F) {
            static const char kHex[] = "0123456789abcdef";
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += ch;
        }
    }
    return out;
}

bool TakesValue(const std::string& option) {
    return option == "--to" || option == "-o" || option == "--out-dir" || option == "--encoding" ||
           option == "--files-from" || option == "-j";
}

std::string SetValue(const std::string& option, const std::string& value,
                     TConvertOptions& options) {
    if (option == "--to") {
        options.Format = value;
    } else if (option == "-o") {
        options.Output = value;
    } else if (option == "--out-dir") {
        options.OutDir = value;
    } else if (option == "--files-from") {
        options.FilesFrom = value;
    } else if (option == "--encoding") {
        for (const TEncodingName& e : kEncodings) {
            if (value == e.Name) {
                options.Encoding = e.Encoding;
                return {};
            }
        }
        return "--encoding must be " + Choices(EncodingNames(), true);
    } else if (option == "-j") {
        char* end = nullptr;
        const long jobs = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || jobs < 1 || jobs > 1024)
            return "-j takes a number of conversions at once, 1 to 1024";
        options.Jobs = static_cast<unsigned>(jobs);
    }
    return {};
}

}  // namespace

bool IsPictureFormat(const std::string& format) {
    return format == "gif" || format == "bmp" || format == "png";
}

std::string ConvertUsage() {
    return "usage: morvane-convert --to " + Choices(FormatNames(), false) +
           " [-o OUT | --out-dir DIR] [-r] [--files-from LIST [-0]] [-j N] [--update] "
           "[--encoding " +
           Choices(EncodingNames(), false) + "] [--] FILE...";
}

std::string ConvertHelp() {
    return ConvertUsage() +
           "\n"
           "Converts text-art files as the Morvane viewer saves them.\n"
           "  --to FORMAT        txt, clo (a .clo colour file and its .txt), htm, gif, bmp or png\n"
           "  -o OUT             the output file, for one FILE\n"
           "  --out-dir DIR      write the outputs into DIR (made when missing)\n"
           "  -r                 convert folders with everything below them, the tree mirrored\n"
           "                     below --out-dir\n"
           "  --files-from LIST  also convert the files named in LIST, one a line (- reads\n"
           "                     standard input)\n"
           "  -0                 the names in LIST end in NUL bytes, as find -print0 writes them\n"
           "  -j N               convert N files at once (default: one per processor core)\n"
           "  --update           leave a file whose outputs are newer than the file itself\n"
           "  --encoding ENC     read double-byte text as " +
           Choices(EncodingNames(), true) +
           " (auto: found from the text)\n"
           "  --                 the names that follow are files, even when they start with -\n"
           "  -h, --help         show this help\n"
           "  --version          show the version\n"
           "Exit status: 0 when every file was converted, 1 when any failed, 2 for bad "
           "arguments.";
}

std::string ParseConvertOptions(const std::vector<std::string>& args, TConvertOptions& options) {
    bool more = true;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!more || arg.empty() || arg[0] != '-' || arg == "-") {
            options.Files.push_back(arg);
        } else if (arg == "--") {
            more = false;
        } else if (arg == "-h" || arg == "--help") {
            options.Help = true;
        } else if (arg == "--version") {
            options.Version = true;
        } else if (arg == "-r" || arg == "--recursive") {
            options.Recursive = true;
        } else if (arg == "-0" || arg == "--null") {
            options.NulSeparated = true;
        } else if (arg == "--update") {
            options.Update = true;
        } else if (arg.size() > 2 && arg.compare(0, 2, "-j") == 0) {
            if (std::string problem = SetValue("-j", arg.substr(2), options); !problem.empty())
                return problem;
        } else if (!TakesValue(arg)) {
            return "unknown option " + Shown(arg) + " (a FILE starting with - goes after --)";
        } else if (i + 1 >= args.size()) {
            return arg + " needs a value";
        } else if (std::string problem = SetValue(arg, args[++i], options); !problem.empty()) {
            return problem;
        }
    }
    if (options.Help || options.Version) return {};
    bool known = false;
    for (const char* format : kFormats) known = known || options.Format == format;
    if (!known) return "--to must be " + Choices(FormatNames(), true);
    if (options.Files.empty() && options.FilesFrom.empty()) return "no FILE to convert";
    if (!options.Output.empty() && !options.OutDir.empty())
        return "-o and --out-dir exclude each other";
    if (!options.Output.empty() &&
        (options.Files.size() > 1 || options.Recursive || !options.FilesFrom.empty()))
        return "-o takes one FILE; use --out-dir for several";
    if (options.NulSeparated && options.FilesFrom.empty()) return "-0 goes with --files-from";
    return {};
}

}  // namespace morvane
