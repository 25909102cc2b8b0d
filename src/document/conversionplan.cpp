#include "document/conversionplan.h"

#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "document/abc.h"
#include "document/contentsniff.h"
#include "document/folderindex.h"
#include "platform/files.h"

namespace morvane {
namespace {

bool HasExtension(const std::string& path, const char* ext) {
    return strcasecmp(ExtensionOf(path).c_str(), ext) == 0;
}

bool IsArtExtension(const std::string& path) {
    for (const char* ext : {".txt", ".ans", ".clo", ".htm", ".html"})
        if (HasExtension(path, ext)) return true;
    return false;
}

// The folder joined with a name, without doubling a '/'.
std::string Joined(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// The folder part of a relative name for its place below --out-dir, "." steps left out; empty
// when the name leaves its folder ("..") or is absolute.
std::string MirroredFolder(const std::string& path) {
    if (path.empty() || path[0] == '/') return {};
    std::string below;
    size_t start = 0;
    for (size_t slash; (slash = path.find('/', start)) != std::string::npos; start = slash + 1) {
        const std::string part = path.substr(start, slash - start);
        if (part == "..") return {};
        if (!part.empty() && part != ".") below += part + "/";
    }
    return below;
}

struct TWalk {
    TFolderIndex& Index;
    const TConvertOptions& Options;
    std::optional<std::pair<dev_t, ino_t>> OutDir;
    std::vector<TBatchInput>& Found;

    bool IsOutDir(const std::string& folder) const {
        struct stat st {};
        return OutDir && stat(folder.c_str(), &st) == 0 && st.st_dev == OutDir->first &&
               st.st_ino == OutDir->second;
    }

    // A colour pair is converted through its text part, so its colour part is passed over; a
    // page becomes nothing but a page here.
    bool Takes(const std::string& folder, const std::string& name) const {
        const std::string path = folder + name;
        if (HasExtension(name, ".htm") || HasExtension(name, ".html"))
            return Options.Format == "htm";
        if (HasExtension(name, ".clo")) return CompanionPath(path, "txt", &Index).empty();
        if (IsArtExtension(name)) return true;
        return ExtensionOf(name).empty() && FileLooksLikeText(path);
    }

    // folder ends in '/'; below is its place under the walk's root.
    void Folder(const std::string& folder, const std::string& below) {
        for (const TFolderEntry& entry : Index.Entries(folder)) {
            if (entry.Name[0] == '.') continue;
            if (entry.Type == TFolderEntry::Folder && !entry.Link) {
                const std::string sub = folder + entry.Name + "/";
                if (!IsOutDir(sub)) Folder(sub, below + entry.Name + "/");
            } else if (entry.Type == TFolderEntry::File && Takes(folder, entry.Name)) {
                Found.push_back({folder + entry.Name, below, true});
            }
        }
    }
};

// What a path is on disk, found once: its file identity, or where it would be when it is not
// there yet, and its time of change.
struct TPathInfo {
    std::string Key;
    bool Exists = false;
    timespec Changed{};
};

bool Later(const timespec& a, const timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

class TResolver {
  public:
    const TPathInfo& Info(const std::string& path) {
        auto [it, added] = FInfos.try_emplace(path);
        if (!added) return it->second;
        TPathInfo& info = it->second;
        struct stat st {};
        if (!path.empty() && stat(path.c_str(), &st) == 0) {
            info.Exists = true;
            info.Changed = st.st_mtim;
            info.Key = "i" + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
        } else {
            // Two spellings of a file not yet there meet in their resolved folder.
            info.Key = "n" + Folder(FolderOf(path)) + NameOf(path);
        }
        return info;
    }

  private:
    // The folder with links and "." and ".." resolved, ending in '/'; a part that is not there
    // yet is taken as written.
    std::string Folder(const std::string& folder) {
        auto [it, added] = FFolders.try_emplace(folder);
        if (!added) return it->second;
        std::string resolved;
        std::unique_ptr<char, decltype(&std::free)> real(
            realpath(folder.empty() ? "." : folder.c_str(), nullptr), &std::free);
        if (real) {
            resolved = real.get();
            if (resolved.back() != '/') resolved += '/';
        } else {
            std::string trimmed = folder;
            while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
            const std::string last = NameOf(trimmed);
            resolved = Folder(FolderOf(trimmed));
            if (last == "..") {
                if (resolved.size() > 1) {
                    resolved.pop_back();
                    resolved.resize(resolved.rfind('/') + 1);
                }
            } else if (last != "." && !last.empty()) {
                resolved += last + "/";
            }
        }
        it = FFolders.find(folder);
        it->second = resolved;
        return resolved;
    }

    std::unordered_map<std::string, TPathInfo> FInfos;
    std::unordered_map<std::string, std::string> FFolders;
};

// The output path of input in format: OUT as given, or input's name in DIR (below it where the
// tree is mirrored) or beside input, with its extension replaced.
std::string OutputPath(const TBatchInput& input, const TConvertOptions& options) {
    if (!options.Output.empty()) return options.Output;
    std::string name = NameOf(input.Path);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
    name += "." + options.Format;
    if (options.OutDir.empty()) return FolderOf(input.Path) + name;
    return Joined(Joined(options.OutDir, input.Below), name);
}

TConvertJob PlanJob(const TBatchInput& input, const TConvertOptions& options, TFolderIndex& index) {
    TConvertJob job;
    job.Input = input.Path;
    job.Reads.push_back(input.Path);
    // A colour document is read from both of its files.
    if (HasExtension(input.Path, ".txt") || HasExtension(input.Path, ".clo")) {
        for (const char* ext : {"txt", "clo"}) {
            const std::string companion = CompanionPath(input.Path, ext, &index);
            if (!companion.empty() && companion != input.Path) job.Reads.push_back(companion);
        }
    }
    const std::string out = OutputPath(input, options);
    job.Writes.push_back(out);
    // The text part is named after the colour part, so the colour part needs its extension.
    if (options.Format == "clo") {
        if (!HasExtension(out, ".clo")) {
            job.Refusal = "the colour file \"" + out + "\" must end in .clo";
            return job;
        }
        job.Writes.push_back(out.substr(0, out.size() - 3) + "txt");
    }
    return job;
}

std::string SortedKeys(const std::vector<std::string>& paths, TResolver& resolver) {
    std::vector<std::string> keys;
    for (const std::string& path : paths) keys.push_back(resolver.Info(path).Key);
    std::sort(keys.begin(), keys.end());
    std::string joined;
    for (const std::string& key : keys) joined += key + '\0';
    return joined;
}

// Before anything is written: no output may replace a file that the batch reads, or one that
// another file of the batch writes, or the art would be lost before it is converted.
void RefuseClashes(std::vector<TConvertJob>& jobs, TResolver& resolver) {
    std::unordered_map<std::string, size_t> reader;
    for (size_t i = 0; i < jobs.size(); ++i)
        for (const std::string& source : jobs[i].Reads)
            reader.try_emplace(resolver.Info(source).Key, i);
    std::unordered_map<std::string, size_t> writer;
    for (size_t i = 0; i < jobs.size(); ++i) {
        TConvertJob& job = jobs[i];
        if (!job.Refusal.empty()) continue;
        for (const std::string& target : job.Writes) {
            const std::string& key = resolver.Info(target).Key;
            if (const auto read = reader.find(key); read != reader.end()) {
                job.Refusal = read->second == i ? "\"" + target + "\" is the file being converted"
                                                : "\"" + target + "\" is also being converted (" +
                                                      jobs[read->second].Input + ")";
                break;
            }
            if (const auto written = writer.find(key); written != writer.end()) {
                job.Refusal = "\"" + target + "\" is written for " + jobs[written->second].Input;
                break;
            }
        }
        if (job.Refusal.empty())
            for (const std::string& target : job.Writes)
                writer.try_emplace(resolver.Info(target).Key, i);
    }
}

bool IsUpToDate(const TConvertJob& job, TResolver& resolver) {
    std::optional<timespec> newestRead;
    for (const std::string& source : job.Reads) {
        const TPathInfo& info = resolver.Info(source);
        if (!info.Exists) return false;
        if (!newestRead || Later(info.Changed, *newestRead)) newestRead = info.Changed;
    }
    for (const std::string& target : job.Writes) {
        const TPathInfo& info = resolver.Info(target);
        if (!info.Exists || !Later(info.Changed, *newestRead)) return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> SplitFileList(const std::string& bytes, bool nulSeparated) {
    const char end = nulSeparated ? '\0' : '\n';
    std::vector<std::string> names;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t stop = bytes.find(end, start);
        if (stop == std::string::npos) stop = bytes.size();
        if (stop > start) names.push_back(bytes.substr(start, stop - start));
        start = stop + 1;
    }
    return names;
}

std::vector<TBatchInput> GatherInputs(const std::vector<std::string>& names,
                                      const TConvertOptions& options, TFolderIndex& index) {
    std::vector<TBatchInput> inputs;
    TWalk walk{index, options, std::nullopt, inputs};
    struct stat st {};
    if (!options.OutDir.empty() && stat(options.OutDir.c_str(), &st) == 0)
        walk.OutDir = std::make_pair(st.st_dev, st.st_ino);
    for (const std::string& name : names) {
        if (options.Recursive && stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            walk.Folder(name.back() == '/' ? name : name + "/", {});
        } else {
            inputs.push_back({name, options.Recursive ? MirroredFolder(name) : std::string()});
        }
    }
    return inputs;
}

std::vector<TConvertJob> PlanConversions(const std::vector<TBatchInput>& inputs,
                                         const TConvertOptions& options, TFolderIndex& index) {
    TResolver resolver;
    std::vector<TConvertJob> jobs;
    jobs.reserve(inputs.size());
    std::unordered_set<std::string> planned;
    for (const TBatchInput& input : inputs) {
        TConvertJob job = PlanJob(input, options, index);
        // A page converted to a page, or a text to text, beside itself: nothing to do.
        if (input.Walked && job.Refusal.empty() &&
            resolver.Info(job.Writes.front()).Key == resolver.Info(input.Path).Key)
            continue;
        // The same document named twice, as its two files or two spellings, is converted once.
        const std::string work =
            SortedKeys(job.Reads, resolver) + '\n' + SortedKeys(job.Writes, resolver);
        if (!planned.insert(work).second) continue;
        jobs.push_back(std::move(job));
    }
    RefuseClashes(jobs, resolver);
    if (options.Update) {
        for (TConvertJob& job : jobs)
            job.UpToDate = job.Refusal.empty() && IsUpToDate(job, resolver);
    }
    return jobs;
}

}  // namespace morvane
