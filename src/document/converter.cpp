#include "document/converter.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "document/abc.h"
#include "document/conversionplan.h"
#include "document/convertoptions.h"
#include "document/folderindex.h"
#include "document/textlines.h"
#include "platform/files.h"
#include "platform/gbcodec.h"

namespace morvane {
namespace {

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

std::string ErrorLine(const std::string& file, const std::string& text) {
    return "morvane-convert: " + Printable(file) + ": " + Printable(text);
}

// The core's messages are GB2312 text; the terminal reads UTF-8.
std::string MessageLine(const std::string& file, const std::string& gbText) {
    std::string text = Gb18030ToUtf8(gbText);
    for (char& ch : text)
        if (ch == '\r' || ch == '\n') ch = ' ';
    return ErrorLine(file, text);
}

class TLineSink : public TMessageSink {
  public:
    TLineSink(std::vector<std::string>& lines, const std::string& file)
        : FLines(lines), FFile(file) {}
    void ShowMessage(const std::string& text) override {
        FLines.push_back(MessageLine(FFile, text));
        Told = true;
    }
    void ShowNotice(const std::string& text) override {
        FLines.push_back(MessageLine(FFile, "warning: " + text));
    }

    /// A message has said what went wrong with the file.
    bool Told = false;

  private:
    std::vector<std::string>& FLines;
    const std::string& FFile;
};

void Load(Tabc& doc, const std::string& input, const TLineSink& sink) {
    doc.Reset();
    if (doc.LoadFile(input)) return;
    struct stat st {};
    if (lstat(input.c_str(), &st) != 0 && errno == ENOENT) throw EConvertError("no such file");
    throw EConvertError(sink.Told ? "not converted" : Gb18030ToUtf8(doc.FLoadError));
}

// Makes folder and the folders it lies in; throws EFileError naming the first that cannot be
// made.
void MakeFolders(const std::string& folder) {
    struct stat st {};
    if (folder.empty() || stat(folder.c_str(), &st) == 0) return;
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            throw EFileError("cannot create \"" + part + "\": " + std::strerror(errno));
        if (slash == std::string::npos || slash + 1 == folder.size()) return;
    }
}

// What became of one file: its lines for the terminal, in order.
struct TJobResult {
    std::vector<std::string> Lines;
    bool Failed = false;
    bool Ready = false;
};

// Converts the planned jobs, several at once, and prints what became of each in their order.
class TBatch {
  public:
    TBatch(const std::vector<TConvertJob>& jobs, const TConvertOptions& options,
           const TConverterIo& io, TFolderIndex& index)
        : FJobs(jobs), FOptions(options), FIo(io), FIndex(index), FResults(jobs.size()) {}

    int Run() {
        FStart = std::chrono::steady_clock::now();
        size_t workers = FOptions.Jobs ? FOptions.Jobs : std::thread::hardware_concurrency();
        workers = std::min(std::max<size_t>(workers, 1), FJobs.size());
        if (workers <= 1) {
            Work(true);
        } else {
            std::vector<std::thread> threads;
            for (size_t i = 0; i < workers; ++i) threads.emplace_back([this] { Work(false); });
            std::unique_lock<std::mutex> lock(FMutex);
            while (FPrinted < FJobs.size()) {
                FChanged.wait_for(lock, kProgressEvery, [this] { return ResultWaiting(); });
                Report(lock);
            }
            lock.unlock();
            for (std::thread& thread : threads) thread.join();
        }
        if (FShown) FIo.Progress("");
        return FFailed ? 1 : 0;
    }

  private:
    static constexpr std::chrono::milliseconds kProgressEvery{100};

    bool ResultWaiting() const { return FPrinted < FJobs.size() && FResults[FPrinted].Ready; }

    void Work(bool alone) {
        Tabc doc;
        doc.SetTempDir(FIo.TempDir);
        doc.SetEncodingChoice(FOptions.Encoding);
        doc.SetFolderIndex(&FIndex);
        for (size_t i; (i = FNext.fetch_add(1)) < FJobs.size();) {
            {
                std::lock_guard<std::mutex> lock(FMutex);
                FInHand = FJobs[i].Input;
            }
            TJobResult result = Convert(doc, FJobs[i]);
            std::unique_lock<std::mutex> lock(FMutex);
            result.Ready = true;
            FResults[i] = std::move(result);
            ++FDone;
            if (alone) {
                Report(lock);
            } else if (i == FPrinted) {
                FChanged.notify_one();
            }
        }
    }

    TJobResult Convert(Tabc& doc, const TConvertJob& job) const {
        TJobResult result;
        if (job.UpToDate) return result;
        try {
            if (!job.Refusal.empty()) throw EConvertError(job.Refusal);
            ConvertJob(doc, job, FOptions.Format, FIo.WritePicture, result.Lines);
        } catch (const std::exception& e) {
            result.Lines.push_back(ErrorLine(job.Input, e.what()));
            result.Failed = true;
        }
        return result;
    }

    // Prints the results that are next in order, and the progress line when it is due.
    void Report(std::unique_lock<std::mutex>&) {
        bool cleared = false;
        for (; ResultWaiting(); ++FPrinted) {
            TJobResult& result = FResults[FPrinted];
            FFailed = FFailed || result.Failed;
            if (!result.Lines.empty() && FShown && !cleared) {
                FIo.Progress("");
                cleared = true;
            }
            for (const std::string& line : result.Lines) FIo.Err(line);
            result = TJobResult{};
            result.Ready = true;
        }
        if (!FIo.Progress || FPrinted == FJobs.size()) return;
        const auto now = std::chrono::steady_clock::now();
        if (!cleared && FShown && now - FLastShown < kProgressEvery) return;
        const double seconds = std::chrono::duration<double>(now - FStart).count();
        char rate[32];
        std::snprintf(rate, sizeof rate, "%.0f", seconds > 0 ? FDone / seconds : 0.0);
        FIo.Progress(std::to_string(FDone) + "/" + std::to_string(FJobs.size()) + " files, " +
                     rate + " files/s: " + Printable(FInHand));
        FShown = true;
        FLastShown = now;
    }

    const std::vector<TConvertJob>& FJobs;
    const TConvertOptions& FOptions;
    const TConverterIo& FIo;
    TFolderIndex& FIndex;
    std::atomic<size_t> FNext{0};
    std::mutex FMutex;
    std::condition_variable FChanged;
    std::vector<TJobResult> FResults;
    size_t FPrinted = 0;
    size_t FDone = 0;
    bool FFailed = false;
    std::string FInHand;
    bool FShown = false;
    std::chrono::steady_clock::time_point FStart;
    std::chrono::steady_clock::time_point FLastShown;
};

std::string ReadStandardInput() {
    std::string bytes;
    char buffer[65536];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;)
        bytes.append(buffer, got);
    return bytes;
}

}  // namespace

void ConvertJob(Tabc& doc, const TConvertJob& job, const std::string& format,
                const TPictureWriter& writePicture, std::vector<std::string>& lines) {
    TLineSink sink(lines, job.Input);
    doc.SetMessageSink(&sink);
    struct TSinkDone {
        Tabc& Doc;
        ~TSinkDone() { Doc.SetMessageSink(nullptr); }
    } sinkDone{doc};
    Load(doc, job.Input, sink);
    const std::string& out = job.Writes.front();
    if (doc.FKind == dkHtml && format != "htm") {
        throw EConvertError(IsPictureFormat(format)
                                ? "an HTML page needs the viewer to become a picture"
                                : "an HTML page converts only to htm");
    }
    MakeFolders(FolderOf(out));
    if (format == "htm") {
        doc.SaveHtml(out);
    } else if (IsPictureFormat(format)) {
        if (!writePicture) throw EConvertError("this program cannot draw pictures");
        writePicture(doc, format, out);
    } else if (format == "txt") {
        WriteFileAtomic(out, JoinCrLf(doc.FLines));
    } else {
        doc.SaveColorFile(out);
    }
}

int RunConverter(const std::vector<std::string>& args, const TConverterIo& io) {
    TConvertOptions options;
    const std::string problem = ParseConvertOptions(args, options);
    const auto& out = io.Out ? io.Out : io.Err;
    if (problem.empty() && options.Help) {
        out(ConvertHelp());
        return 0;
    }
    if (problem.empty() && options.Version) {
        out(std::string("morvane-convert ") + MORVANE_VERSION);
        return 0;
    }
    if (!problem.empty()) {
        io.Err("morvane-convert: " + problem);
        io.Err(ConvertUsage());
        return 2;
    }

    try {
        MakeFolders(options.OutDir.empty() || options.OutDir.back() == '/' ? options.OutDir
                                                                           : options.OutDir + "/");
    } catch (const std::exception& e) {
        io.Err("morvane-convert: " + Printable(e.what()));
        return 2;
    }
    std::vector<std::string> names = options.Files;
    if (!options.FilesFrom.empty()) {
        std::string list;
        try {
            list = options.FilesFrom == "-" ? (io.ReadInput ? io.ReadInput() : ReadStandardInput())
                                            : ReadWholeFile(options.FilesFrom);
        } catch (const std::exception& e) {
            io.Err("morvane-convert: " + Printable(e.what()));
            return 2;
        }
        for (std::string& name : SplitFileList(list, options.NulSeparated))
            names.push_back(std::move(name));
    }

    TFolderIndex index;
    const std::vector<TConvertJob> jobs =
        PlanConversions(GatherInputs(names, options, index), options, index);
    return TBatch(jobs, options, io, index).Run();
}

int RunConverter(const std::vector<std::string>& args,
                 const std::function<void(const std::string& line)>& err,
                 const std::string& tempDir, const TPictureWriter& writePicture) {
    TConverterIo io;
    io.Err = err;
    io.TempDir = tempDir;
    io.WritePicture = writePicture;
    return RunConverter(args, io);
}

}  // namespace morvane
