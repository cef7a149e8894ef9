#include "table/FileReading.h"

#include <cerrno>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tabulix {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Reads straight into `out` up to its expected size, then on in pieces for
// files that report no size or grow while being read.
bool readAll(int fd, std::string& out, std::size_t expected) {
    out.resize(expected);
    std::size_t filled = 0;
    while (filled < expected) {
        const ssize_t got = ::read(fd, out.data() + filled, expected - filled);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        filled += static_cast<std::size_t>(got);
    }
    out.resize(filled);
    if (filled < expected) return true;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        out.append(buffer, static_cast<std::size_t>(got));
    }
}

} // namespace

std::optional<std::string> ReadFileBytes(const std::string& path) {
    // Non-blocking only so that opening a pipe does not wait for a writer;
    // regular files read the same either way.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    std::string bytes;
    // The size is a hint only: some files (under /proc) report 0.
    if (!readAll(file.get(), bytes, static_cast<std::size_t>(info.st_size))) return std::nullopt;
    return bytes;
}

std::optional<TextFile> ReadTextFile(const std::string& path, std::optional<TextEncoding> forced) {
    std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) return std::nullopt;
    const std::size_t nul = bytes->find('\0');
    if (nul != std::string::npos) bytes->resize(nul);
    TextEncoding encoding = forced ? *forced : DetectEncoding(*bytes);
    if (encoding != TextEncoding::ShiftJis)
        encoding = bytes->starts_with("\xEF\xBB\xBF") ? TextEncoding::Utf8Bom : TextEncoding::Utf8;
    return TextFile{DecodeText(std::move(*bytes), encoding), encoding};
}

} // namespace tabulix
