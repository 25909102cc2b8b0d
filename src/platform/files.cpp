#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <thread>

namespace morvane {
namespace {

std::string Failure(const char* verb, const std::string& path, int err) {
    return std::string("cannot ") + verb + " \"" + path + "\": " + std::strerror(err);
}

// Writes of a symbolic link go to the file it points at, so the link survives the rename.
std::string ResolveLink(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : path;
}

struct TDirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string ReadWholeFile(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw EFileError(Failure("read", path, errno));
    std::string bytes;
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        close(fd);
        throw EFileError(Failure("read", path, EISDIR));
    }
    if (st.st_size > 0) bytes.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            close(fd);
            throw EFileError(Failure("read", path, err));
        }
        bytes.append(buf, static_cast<size_t>(n));
    }
    close(fd);
    return bytes;
}

namespace {

bool WriteAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// A hidden name beside target that says what it belongs to and is not taken yet.
std::string HiddenName(const std::string& target) {
    // Not secret, only unlikely to be taken: O_EXCL and link() refuse a name that is. One
    // generator a thread, as the converter writes from several.
    thread_local std::minstd_rand random(
        static_cast<unsigned>(getpid()) * 2654435761u ^
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        static_cast<unsigned>(std::hash<std::thread::id>()(std::this_thread::get_id())));
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = FolderOf(target) + "." + NameOf(target) + ".";
    for (int i = 0; i < 6; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
    return name;
}

bool ProcFdUsable() {
    static const bool usable = access("/proc/self/fd", X_OK) == 0;
    return usable;
}

std::string ProcFdPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

}  // namespace

// One file of a write: its bytes wait in a file without a name (or a hidden one) until Commit
// puts them in place. Destroyed uncommitted, it leaves nothing behind.
class TPendingFile {
public:
    explicit TPendingFile(std::string path) : FPath(std::move(path)) {
        FTarget = ResolveLink(FPath);
        struct stat st {};
        if (stat(FTarget.c_str(), &st) == 0) {
            if (S_ISDIR(st.st_mode)) throw EFileError(Failure("write", FPath, EISDIR));
            FExisted = true;
            FMode = st.st_mode & 07777;
        }
        const std::string folder = FolderOf(FTarget);
        if (ProcFdUsable()) {
            FFd = open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC,
                       0666);
        }
        if (FFd < 0) OpenNamed();
        if (FExisted) fchmod(FFd, FMode);
    }

    TPendingFile(std::string path, std::string_view bytes) : TPendingFile(std::move(path)) {
        Write(bytes);
    }

    void Write(std::string_view bytes) {
        if (!WriteAll(FFd, bytes)) Fail(errno);
    }

    ~TPendingFile() {
        if (FFd >= 0) close(FFd);
        if (!FTempName.empty()) unlink(FTempName.c_str());
        if (!FBackup.empty()) unlink(FBackup.c_str());
    }

    TPendingFile(const TPendingFile&) = delete;
    TPendingFile& operator=(const TPendingFile&) = delete;

    /// Keeps a second name for the file being replaced, so that Undo can put it back.
    void KeepOld() {
        if (!FExisted) return;
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string backup = HiddenName(FTarget);
            if (link(FTarget.c_str(), backup.c_str()) == 0) {
                FBackup = std::move(backup);
                return;
            }
            if (errno != EEXIST) return;
        }
    }

    void Commit() {
        // A new file appears whole under its name in one step.
        if (FTempName.empty() && !FExisted &&
            linkat(AT_FDCWD, ProcFdPath(FFd).c_str(), AT_FDCWD, FTarget.c_str(),
                   AT_SYMLINK_FOLLOW) == 0) {
            FCommitted = true;
            return;
        }
        if (FTempName.empty()) NameAnonymous();
        if (rename(FTempName.c_str(), FTarget.c_str()) != 0) Fail(errno);
        FTempName.clear();
        FCommitted = true;
    }

    /// Puts back what was there before Commit.
    void Undo() {
        if (!FCommitted) return;
        if (!FBackup.empty()) {
            if (rename(FBackup.c_str(), FTarget.c_str()) == 0) FBackup.clear();
        } else if (!FExisted) {
            unlink(FTarget.c_str());
        }
    }

private:
    [[noreturn]] void Fail(int err) { throw EFileError(Failure("write", FPath, err)); }

    void OpenNamed() {
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = HiddenName(FTarget);
            FFd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (FFd >= 0) {
                FTempName = std::move(name);
                return;
            }
            if (errno != EEXIST) break;
        }
        Fail(errno);
    }

    void NameAnonymous() {
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = HiddenName(FTarget);
            if (linkat(AT_FDCWD, ProcFdPath(FFd).c_str(), AT_FDCWD, name.c_str(),
                       AT_SYMLINK_FOLLOW) == 0) {
                FTempName = std::move(name);
                return;
            }
            if (errno != EEXIST) break;
        }
        Fail(errno);
    }

    std::string FPath;
    std::string FTarget;
    bool FExisted = false;
    mode_t FMode = 0;
    int FFd = -1;
    std::string FTempName;
    std::string FBackup;
    bool FCommitted = false;
};

TFileWriter::TFileWriter(const std::string& path) : FFile(std::make_unique<TPendingFile>(path)) {}

TFileWriter::~TFileWriter() = default;

void TFileWriter::Write(std::string_view bytes) { FFile->Write(bytes); }

void TFileWriter::Commit() { FFile->Commit(); }

void WriteFileAtomic(const std::string& path, std::string_view bytes) {
    TPendingFile(path, bytes).Commit();
}

void WriteFilesAtomic(const std::vector<TFileWrite>& files) {
    std::vector<std::unique_ptr<TPendingFile>> pending;
    for (const auto& [path, bytes] : files) pending.push_back(std::make_unique<TPendingFile>(path, bytes));
    if (pending.size() > 1)
        for (auto& file : pending) file->KeepOld();
    size_t done = 0;
    try {
        for (; done < pending.size(); ++done) pending[done]->Commit();
    } catch (...) {
        while (done > 0) pending[--done]->Undo();
        throw;
    }
}

TScratchFile::TScratchFile(const std::string& folder, const std::string& nameForMessages)
    : FName(nameForMessages) {
    const char* dir = folder.empty() ? "." : folder.c_str();
    FFd = open(dir, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (FFd >= 0) return;
    // Without unnamed files, a named one is unlinked as soon as it is open.
    std::string name = (folder.empty() ? std::string("./") : folder) + ".scratch.XXXXXX";
    FFd = mkstemp(name.data());
    if (FFd < 0) throw EFileError(Failure("write", FName, errno));
    unlink(name.c_str());
}

TScratchFile::~TScratchFile() {
    if (FFd >= 0) close(FFd);
}

void TScratchFile::Truncate() {
    if (ftruncate(FFd, 0) != 0 || lseek(FFd, 0, SEEK_SET) != 0)
        throw EFileError(Failure("write", FName, errno));
}

void TScratchFile::Append(std::string_view bytes) {
    if (!WriteAll(FFd, bytes)) throw EFileError(Failure("write", FName, errno));
}

std::string TScratchFile::ReadAll() const {
    std::string bytes;
    char buf[65536];
    for (off_t at = 0;;) {
        const ssize_t n = pread(FFd, buf, sizeof buf, at);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            throw EFileError(Failure("read", FName, errno));
        }
        bytes.append(buf, static_cast<size_t>(n));
        at += n;
    }
    return bytes;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtensionOf(const std::string& path) {
    const std::string name = NameOf(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string FindFileIgnoringCase(const std::string& path) {
    if (FileExists(path)) return path;
    const std::string folder = FolderOf(path);
    const std::string name = NameOf(path);
    std::unique_ptr<DIR, TDirCloser> dir(opendir(folder.empty() ? "." : folder.c_str()));
    if (!dir) return {};
    while (const dirent* entry = readdir(dir.get())) {
        if (strcasecmp(entry->d_name, name.c_str()) == 0 && FileExists(folder + entry->d_name))
            return folder + entry->d_name;
    }
    return {};
}

}  // namespace morvane
