// The floor of a batch conversion: copy_bench LIST OUTDIR [THREADS] reads every file named in the
// NUL-separated LIST and writes its bytes to a new file of the same name in OUTDIR, THREADS files
// at once (default 2), in one process.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string ReadAll(int fd) {
    std::string bytes;
    char buffer[65536];
    for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, got);
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: copy_bench LIST OUTDIR [THREADS]\n");
        return 2;
    }
    const int listFd = open(argv[1], O_RDONLY);
    if (listFd < 0) return 1;
    const std::string list = ReadAll(listFd);
    close(listFd);
    std::vector<std::string> names;
    for (size_t start = 0, end; (end = list.find('\0', start)) != std::string::npos;
         start = end + 1)
        names.push_back(list.substr(start, end - start));
    const std::string outDir = std::string(argv[2]) + "/";
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    auto work = [&] {
        for (size_t i; (i = next++) < names.size();) {
            const int in = open(names[i].c_str(), O_RDONLY | O_CLOEXEC);
            const std::string bytes = in >= 0 ? ReadAll(in) : std::string();
            if (in >= 0) close(in);
            const std::string out = outDir + names[i].substr(names[i].rfind('/') + 1);
            const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
            if (in < 0 || fd < 0 || write(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size()))
                failed = true;
            if (fd >= 0) close(fd);
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < (argc > 3 ? std::atoi(argv[3]) : 2); ++t) threads.emplace_back(work);
    for (std::thread& thread : threads) thread.join();
    return failed ? 1 : 0;
}
