#include "document/converter.h"

#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "document/abc.h"
#include "document/textlines.h"
#include "platform/files.h"
#include "platform/gbcodec.h"

namespace morvane {
namespace {

const char kUsage[] =
    "usage: morvane-convert --to txt|clo|htm|gif|bmp|png FILE... [-o OUT | --out-dir DIR]";

bool IsPictureFormat(const std::string& format) {
    return format == "gif" || format == "bmp" || format == "png";
}

class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Colour-file messages go to stderr beside the file's name, readable on a UTF-8 terminal.
class TLineSink : public TMessageSink {
public:
    TLineSink(const std::function<void(const std::string&)>& err, const std::string& file)
        : FErr(err), FFile(file) {}
    void ShowMessage(const std::string& text) override {
        std::string oneLine = Gb18030ToUtf8(text);
        for (char& ch : oneLine)
            if (ch == '\r' || ch == '\n') ch = ' ';
        FErr("morvane-convert: " + FFile + ": " + oneLine);
    }

private:
    const std::function<void(const std::string&)>& FErr;
    const std::string& FFile;
};

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    return !a.empty() && !b.empty() && stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

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

void Load(Tabc& doc, const std::string& input) {
    if (!FileExists(input)) throw EConvertError("no such file");
    if (!doc.DetectKind(input))
        throw EConvertError("not a text-art file (.txt, .ans, .clo, .htm or .html)");
    doc.Reset();
    if (!doc.LoadFile(input)) throw EConvertError("cannot be read as a text-art file");
}

void Convert(Tabc& doc, const std::string& input, const std::string& format,
             const std::string& out, const TPictureWriter& writePicture) {
    // The text part is named after the colour part, so the colour part needs its extension.
    if (format == "clo" && (out.size() < 4 || strcasecmp(out.c_str() + out.size() - 4, ".clo") != 0))
        throw EConvertError("the colour file \"" + out + "\" must end in .clo");
    Load(doc, input);
    // Writing over the input would replace the art with what was read of it.
    std::vector<std::string> targets{out};
    if (format == "clo") targets.push_back(out.substr(0, out.size() - 3) + "txt");
    for (const std::string& target : targets) {
        for (const std::string& source : {doc.FSourcePath, doc.FTextPath, doc.FColorPath}) {
            if (SameFile(target, source))
                throw EConvertError("\"" + target + "\" is the file being converted");
        }
    }
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
    std::string format, output, outDir;
    std::vector<std::string> inputs;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if ((arg == "--to" || arg == "-o" || arg == "--out-dir") && !hasValue) {
            err("morvane-convert: " + arg + " needs a value");
            err(kUsage);
            return 2;
        }
        if (arg == "--to")
            format = args[++i];
        else if (arg == "-o")
            output = args[++i];
        else if (arg == "--out-dir")
            outDir = args[++i];
        else if (arg == "-h" || arg == "--help") {
            err(kUsage);
            return 0;
        } else
            inputs.push_back(arg);
    }
    std::string problem;
    if (format != "txt" && format != "clo" && format != "htm" && !IsPictureFormat(format))
        problem = "--to must be txt, clo, htm, gif, bmp or png";
    else if (inputs.empty())
        problem = "no FILE to convert";
    else if (!output.empty() && !outDir.empty())
        problem = "-o and --out-dir exclude each other";
    else if (!output.empty() && inputs.size() > 1)
        problem = "-o takes one FILE; use --out-dir for several";
    if (!problem.empty()) {
        err("morvane-convert: " + problem);
        err(kUsage);
        return 2;
    }

    if (!outDir.empty() && mkdir(outDir.c_str(), 0777) != 0 && errno != EEXIST) {
        err("morvane-convert: cannot create \"" + outDir + "\": " + std::strerror(errno));
        return 2;
    }

    int status = 0;
    Tabc doc;
    doc.SetTempDir(tempDir);
    for (const std::string& input : inputs) {
        TLineSink sink(err, input);
        doc.SetMessageSink(&sink);
        try {
            Convert(doc, input, format, OutputPath(input, format, output, outDir), writePicture);
        } catch (const std::exception& e) {
            err("morvane-convert: " + input + ": " + e.what());
            status = 1;
        }
        doc.SetMessageSink(nullptr);
    }
    if (!doc.FSpillPath.empty()) {
        unlink(doc.FSpillPath.c_str());
        rmdir(tempDir.c_str());
    }
    return status;
}

}  // namespace morvane
