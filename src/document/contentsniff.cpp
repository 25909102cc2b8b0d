#include "document/contentsniff.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace morvane {
namespace {

// Formats whose first bytes may hold no NUL, so that the NUL test alone would let them by.
constexpr std::string_view kBinarySignatures[] = {
    "\x89PNG",
    "GIF87a",
    "GIF89a",
    "\xFF\xD8\xFF",
    "%PDF-",
    "PK\x03\x04",
    "\x1F\x8B",
    "BZh",
    "\xFD"
    "7zXZ",
    "7z\xBC\xAF",
    "\x28\xB5\x2F\xFD",
    "\x7F"
    "ELF",
    "RIFF",
    "OggS",
    "ID3",
    "fLaC",
    "Rar!\x1A\x07",
    "\xD0\xCF\x11\xE0",
    "wOFF",
    "wOF2",
};

}  // namespace

bool LooksLikeText(std::string_view head) {
    if (head.size() > kSniffBytes) head = head.substr(0, kSniffBytes);
    for (std::string_view signature : kBinarySignatures)
        if (head.substr(0, signature.size()) == signature) return false;
    return head.find('\0') == std::string_view::npos;
}

bool FileLooksLikeText(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    char head[kSniffBytes];
    size_t got = 0;
    while (got < sizeof head) {
        const ssize_t n = read(fd, head + got, sizeof head - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    close(fd);
    return LooksLikeText(std::string_view(head, got));
}

}  // namespace morvane
