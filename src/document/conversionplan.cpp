#include "document/conversionplan.h"

#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>
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

// "i" and the device and inode numbers in hexadecimal: one key a file, however it is named.
std::string IdentityKey(const struct stat& st) {
    static const char kHex[] = "0123456789abcdef";
    std::string key(1, 'i');
    for (std::uint64_t value :
         {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)}) {
        for (int shift = 60; shift >= 0; shift -= 4) key += kHex[(value >> shift) & 0xF];
    }
    return key;
}

bool Later(const timespec& a, const timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

class TResolver {
  public:
    explicit TResolver(TFolderIndex& index) : FIndex(index) {}

    /// Stays where it is for the resolver's life. An output is looked for in its folder's
    /// listing first, which spares a new batch a call per file.
    const TPathInfo* Info(const std::string& path, bool output = false) {
        auto [it, added] = FInfos.try_emplace(path);
        TPathInfo& info = it->second;
        if (!added) return &info;
        struct stat st {};
        if (!path.empty() && (!output || FIndex.MayHold(path)) && stat(path.c_str(), &st) == 0) {
            info.Exists = true;
            info.Changed = st.st_mtim;
            info.Key = IdentityKey(st);
        } else {
            // Two spellings of a file not yet there meet in their resolved folder.
            info.Key = "n" + Folder(FolderOf(path)) + NameOf(path);
        }
        return &info;
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

    TFolderIndex& FIndex;
    std::unordered_map<std::string, TPathInfo> FInfos;
    std::unordered_map<std::string, std::string> FFolders;
};

// A job with what its paths are on disk.
struct TPlannedJob {
    TConvertJob Job;
    std::vector<const TPathInfo*> Reads;
    std::vector<const TPathInfo*> Writes;
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
    const std::string ext = ExtensionOf(input.Path);
    const bool text = strcasecmp(ext.c_str(), ".txt") == 0;
    if (text || strcasecmp(ext.c_str(), ".clo") == 0) {
        const std::string companion = CompanionPath(input.Path, text ? "clo" : "txt", &index);
        if (!companion.empty()) job.Reads.push_back(companion);
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

// The same keys whatever their order.
std::string SortedKeys(const std::vector<const TPathInfo*>& infos) {
    std::vector<const std::string*> keys;
    for (const TPathInfo* info : infos) keys.push_back(&info->Key);
    std::sort(keys.begin(), keys.end(), [](auto* a, auto* b) { return *a < *b; });
    std::string joined;
    for (const std::string* key : keys) joined.append(*key).push_back('\0');
    return joined;
}

// Before anything is written: no output may replace a file that the batch reads, or one that
// another file of the batch writes, or the art would be lost before it is converted.
void RefuseClashes(std::vector<TPlannedJob>& jobs) {
    std::unordered_map<std::string_view, size_t> reader;
    for (size_t i = 0; i < jobs.size(); ++i)
        for (const TPathInfo* source : jobs[i].Reads) reader.try_emplace(source->Key, i);
    std::unordered_map<std::string_view, size_t> writer;
    for (size_t i = 0; i < jobs.size(); ++i) {
        TConvertJob& job = jobs[i].Job;
        if (!job.Refusal.empty()) continue;
        for (size_t w = 0; w < job.Writes.size(); ++w) {
            const std::string& target = job.Writes[w];
            const std::string_view key = jobs[i].Writes[w]->Key;
            if (const auto read = reader.find(key); read != reader.end()) {
                job.Refusal = read->second == i ? "\"" + target + "\" is the file being converted"
                                                : "\"" + target + "\" is also being converted (" +
                                                      jobs[read->second].Job.Input + ")";
                break;
            }
            if (const auto written = writer.find(key); written != writer.end()) {
                job.Refusal =
                    "\"" + target + "\" is written for " + jobs[written->second].Job.Input;
                break;
            }
        }
        if (job.Refusal.empty())
            for (const TPathInfo* target : jobs[i].Writes) writer.try_emplace(target->Key, i);
    }
}

bool IsUpToDate(const TPlannedJob& planned) {
    std::optional<timespec> newestRead;
    for (const TPathInfo* source : planned.Reads) {
        if (!source->Exists) return false;
        if (!newestRead || Later(source->Changed, *newestRead)) newestRead = source->Changed;
    }
    for (const TPathInfo* target : planned.Writes)
        if (!target->Exists || !Later(target->Changed, *newestRead)) return false;
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
    TResolver resolver(index);
    std::vector<TPlannedJob> planned;
    planned.reserve(inputs.size());
    std::unordered_set<std::string> work;
    for (const TBatchInput& input : inputs) {
        TPlannedJob next{PlanJob(input, options, index), {}, {}};
        for (const std::string& path : next.Job.Reads) next.Reads.push_back(resolver.Info(path));
        for (const std::string& path : next.Job.Writes)
            next.Writes.push_back(resolver.Info(path, true));
        // A page converted to a page, or a text to text, beside itself: nothing to do.
        if (input.Walked && next.Job.Refusal.empty() && next.Writes[0]->Key == next.Reads[0]->Key)
            continue;
        // The same document named twice, as its two files or two spellings, is converted once.
        if (!work.insert(SortedKeys(next.Reads) + '\n' + SortedKeys(next.Writes)).second) continue;
        planned.push_back(std::move(next));
    }
    RefuseClashes(planned);
    std::vector<TConvertJob> jobs;
    jobs.reserve(planned.size());
    for (TPlannedJob& job : planned) {
        job.Job.UpToDate = options.Update && job.Job.Refusal.empty() && IsUpToDate(job);
        jobs.push_back(std::move(job.Job));
    }
    return jobs;
}

}  // namespace morvane
