#include "document/converter.h"

#include <strings.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "document/abc.h"
#include "document/textlines.h"
#include "platform/files.h"
#include "platform/gbcodec.h"

namespace morvane {
namespace {

const char kUsage[] =
    "usage: morvane-convert --to txt|clo|htm|gif|bmp|png [-o OUT | --out-dir DIR] "
    "[--encoding auto|gb|big5|utf-8] [--] FILE...";

bool IsPictureFormat(const std::string& format) {
    return format == "gif" || format == "bmp" || format == "png";
}

class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A name or message as the terminal gets it: a control byte in a file name must neither drive the
// terminal nor split the line.
std::string Printable(const std::string& text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte == '\\') {
            out += "\\\\";
        } else if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += ch;
        }
    }
    return out;
}

// The core's messages are GB2312 text; the terminal reads UTF-8.
std::string MessageLine(const std::string& file, const std::string& gbText) {
    std::string text = Gb18030ToUtf8(gbText);
    for (char& ch : text)
        if (ch == '\r' || ch == '\n') ch = ' ';
    return "morvane-convert: " + Printable(file) + ": " + Printable(text);
}

class TLineSink : public TMessageSink {
public:
    TLineSink(const std::function<void(const std::string&)>& err, const std::string& file)
        : FErr(err), FFile(file) {}
    void ShowMessage(const std::string& text) override {
        FErr(MessageLine(FFile, text));
        Told = true;
    }
    void ShowNotice(const std::string& text) override {
        FErr(MessageLine(FFile, "warning: " + text));
    }

    /// A message has said what went wrong with the file.
    bool Told = false;

private:
    const std::function<void(const std::string&)>& FErr;
    const std::string& FFile;
};

struct TStat {
    dev_t Device = 0;
    ino_t Inode = 0;
};

std::optional<TStat> StatOf(const std::string& path) {
    struct stat st {};
    if (path.empty() || stat(path.c_str(), &st) != 0) return std::nullopt;
    return TStat{st.st_dev, st.st_ino};
}

// The path with its folder resolved, so that two spellings of one output compare equal even
// before the file exists.
std::string Canonical(const std::string& path) {
    const std::string folder = FolderOf(path);
    std::unique_ptr<char, decltype(&std::free)> real(realpath(folder.empty() ? "." : folder.c_str(),
                                                              nullptr),
                                                     &std::free);
    return real ? std::string(real.get()) + "/" + NameOf(path) : path;
}

bool SameFile(const std::string& a, const std::string& b) {
    const std::optional<TStat> sa = StatOf(a);
    const std::optional<TStat> sb = StatOf(b);
    if (sa && sb) return sa->Device == sb->Device && sa->Inode == sb->Inode;
    return !sa && !sb && Canonical(a) == Canonical(b);
}

bool HasExtension(const std::string& path, const char* ext) {
    const size_t n = std::strlen(ext);
    return path.size() >= n && strcasecmp(path.c_str() + path.size() - n, ext) == 0;
}

// A file of the batch: where it comes from, what it is read with, and what is written for it.
struct TJob {
    std::string Input;
    std::vector<std::string> Reads;
    std::vector<std::string> Writes;
    std::string Refusal;
};

// The output path of input in format: OUT as given, or input's name in DIR or beside input, with
// its extension replaced.
std::string OutputPath(const std::string& input, const std::string& format,
                       const std::string& output, const std::string& outDir) {
    if (!output.empty()) return output;
    std::string name = NameOf(input);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
    name += "." + format;
    if (outDir.empty()) return FolderOf(input) + name;
    return outDir.back() == '/' ? outDir + name : outDir + "/" + name;
}

TJob PlanJob(const std::string& input, const std::string& format, const std::string& out) {
    TJob job;
    job.Input = input;
    job.Reads.push_back(input);
    // A colour document is read from both of its files.
    if (HasExtension(input, ".txt") || HasExtension(input, ".clo")) {
        for (const char* ext : {"txt", "clo"}) {
            const std::string companion = CompanionPath(input, ext);
            if (!companion.empty()) job.Reads.push_back(companion);
        }
    }
    job.Writes.push_back(out);
    // The text part is named after the colour part, so the colour part needs its extension.
    if (format == "clo") {
        if (!HasExtension(out, ".clo")) {
            job.Refusal = "the colour file \"" + out + "\" must end in .clo";
            return job;
        }
        job.Writes.push_back(out.substr(0, out.size() - 3) + "txt");
    }
    return job;
}

// Before anything is written: no output may replace a file that the batch reads, or one that
// another file of the batch writes, or the art would be lost before it is converted.
void RefuseClashes(std::vector<TJob>& jobs) {
    for (size_t i = 0; i < jobs.size(); ++i) {
        TJob& job = jobs[i];
        for (const std::string& target : job.Writes) {
            for (size_t k = 0; k < jobs.size() && job.Refusal.empty(); ++k) {
                for (const std::string& source : jobs[k].Reads) {
                    if (!SameFile(target, source)) continue;
                    job.Refusal = k == i ? "\"" + target + "\" is the file being converted"
                                         : "\"" + target + "\" is also being converted (" +
                                               jobs[k].Input + ")";
                    break;
                }
            }
            for (size_t k = 0; k < i && job.Refusal.empty(); ++k) {
                if (!jobs[k].Refusal.empty()) continue;
                for (const std::string& other : jobs[k].Writes) {
                    if (SameFile(target, other))
                        job.Refusal = "\"" + target + "\" is written for " + jobs[k].Input;
                }
            }
        }
    }
}

void Load(Tabc& doc, const std::string& input, const TLineSink& sink) {
    doc.Reset();
    if (doc.LoadFile(input)) return;
    struct stat st {};
    if (lstat(input.c_str(), &st) != 0 && errno == ENOENT) throw EConvertError("no such file");
    throw EConvertError(sink.Told ? "not converted" : Gb18030ToUtf8(doc.FLoadError));
}

void Convert(Tabc& doc, const TJob& job, const std::string& format, const TLineSink& sink,
             const TPictureWriter& writePicture) {
    Load(doc, job.Input, sink);
    const std::string& out = job.Writes.front();
    if (format == "htm") {
        doc.SaveHtml(out);
        return;
    }
    if (doc.FKind == dkHtml) {
        throw EConvertError(IsPictureFormat(format)
                                ? "an HTML page needs the viewer to become a picture"
                                : "an HTML page converts only to htm");
    }
    if (IsPictureFormat(format)) {
        if (!writePicture) throw EConvertError("this program cannot draw pictures");
        writePicture(doc, format, out);
        return;
    }
    if (format == "txt")
        WriteFileAtomic(out, JoinCrLf(doc.FLines));
    else
        doc.SaveColorFile(out);
}

}  // namespace

int RunConverter(const std::vector<std::string>& args,
                 const std::function<void(const std::string& line)>& err,
                 const std::string& tempDir, const TPictureWriter& writePicture) {
    std::string format, output, outDir, problem, encoding = "auto";
    std::vector<std::string> inputs;
    bool options = true;
    for (size_t i = 0; i < args.size() && problem.empty(); ++i) {
        const std::string& arg = args[i];
        if (!options || arg.empty() || arg[0] != '-' || arg == "-") {
            inputs.push_back(arg);
        } else if (arg == "--") {
            options = false;
        } else if (arg == "-h" || arg == "--help") {
            err(kUsage);
            return 0;
        } else if (arg != "--to" && arg != "-o" && arg != "--out-dir" && arg != "--encoding") {
            problem = "unknown option " + Printable(arg) + " (a FILE starting with - goes after --)";
        } else if (i + 1 >= args.size()) {
            problem = arg + " needs a value";
        } else {
            (arg == "--to" ? format : arg == "-o" ? output : arg == "--out-dir" ? outDir : encoding) =
                args[++i];
        }
    }
    if (!problem.empty()) {
    } else if (format != "txt" && format != "clo" && format != "htm" && !IsPictureFormat(format)) {
        problem = "--to must be txt, clo, htm, gif, bmp or png";
    } else if (encoding != "auto" && encoding != "gb" && encoding != "big5" &&
               encoding != "utf-8") {
        problem = "--encoding must be auto, gb, big5 or utf-8";
    } else if (inputs.empty()) {
        problem = "no FILE to convert";
    } else if (!output.empty() && !outDir.empty()) {
        problem = "-o and --out-dir exclude each other";
    } else if (!output.empty() && inputs.size() > 1) {
        problem = "-o takes one FILE; use --out-dir for several";
    }
    if (!problem.empty()) {
        err("morvane-convert: " + problem);
        err(kUsage);
        return 2;
    }

    if (!outDir.empty() && mkdir(outDir.c_str(), 0777) != 0 && errno != EEXIST) {
        err("morvane-convert: cannot create \"" + Printable(outDir) + "\": " + std::strerror(errno));
        return 2;
    }

    std::vector<TJob> jobs;
    for (const std::string& input : inputs)
        jobs.push_back(PlanJob(input, format, OutputPath(input, format, output, outDir)));
    RefuseClashes(jobs);

    int status = 0;
    Tabc doc;
    doc.SetTempDir(tempDir);
    if (encoding != "auto") {
        doc.SetEncodingChoice(encoding == "gb"     ? TEncoding::Gb
                              : encoding == "big5" ? TEncoding::Big5
                                                   : TEncoding::Utf8);
    }
    for (const TJob& job : jobs) {
        TLineSink sink(err, job.Input);
        doc.SetMessageSink(&sink);
        try {
            if (!job.Refusal.empty()) throw EConvertError(job.Refusal);
            Convert(doc, job, format, sink, writePicture);
        } catch (const std::exception& e) {
            err("morvane-convert: " + Printable(job.Input) + ": " + Printable(e.what()));
            status = 1;
        }
        doc.SetMessageSink(nullptr);
    }
    return status;
}

}  // namespace morvane
