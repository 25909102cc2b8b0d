#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

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

mode_t NewFileMode() {
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

class TTempFile {
public:
    explicit TTempFile(const std::string& target) : FName(target + ".XXXXXX") {
        FFd = mkstemp(FName.data());
        if (FFd < 0) throw EFileError(Failure("write", target, errno));
    }
    ~TTempFile() {
        if (FFd >= 0) close(FFd);
        if (!FCommitted) unlink(FName.c_str());
    }
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;

    int Fd() const { return FFd; }
    const std::string& Name() const { return FName; }
    void Committed() { FCommitted = true; }
    int Close() {
        int rc = close(FFd);
        FFd = -1;
        return rc;
    }

private:
    std::string FName;
    int FFd = -1;
    bool FCommitted = false;
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

// A file that does not exist yet puts nothing at risk: it is written in place, and removed again
// when the write fails. False when the name exists after all.
bool WriteNewFile(const std::string& path, std::string_view bytes) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EEXIST) return false;
        throw EFileError(Failure("write", path, errno));
    }
    const bool written = WriteAll(fd, bytes);
    const int err = errno;
    if (close(fd) != 0 || !written) {
        unlink(path.c_str());
        throw EFileError(Failure("write", path, written ? errno : err));
    }
    return true;
}

}  // namespace

void WriteFileAtomic(const std::string& path, std::string_view bytes) {
    const std::string target = ResolveLink(path);
    struct stat st {};
    if (lstat(target.c_str(), &st) != 0 && errno == ENOENT && WriteNewFile(target, bytes)) return;
    TTempFile temp(target);
    const mode_t mode = stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : NewFileMode();
    fchmod(temp.Fd(), mode);
    if (!WriteAll(temp.Fd(), bytes)) throw EFileError(Failure("write", path, errno));
    if (temp.Close() != 0) throw EFileError(Failure("write", path, errno));
    if (rename(temp.Name().c_str(), target.c_str()) != 0)
        throw EFileError(Failure("write", path, errno));
    temp.Committed();
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
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
