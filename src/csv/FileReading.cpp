#include "csv/FileReading.h"

#include "csv/FileMapping.h"
#include "text/RunAlongside.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <string_view>
#include <sys/mman.h>
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

// Opens a regular file for reading; -1 for a missing or unreadable one, a
// folder or another kind of file (a pipe would block the program).
int openRegularFile(const std::string& path, struct stat& info) {
    // Non-blocking only so that opening a pipe does not wait for a writer;
    // regular files read the same either way.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) return fd;
    ::close(fd);
    return -1;
}

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

// What one pass over a file's bytes tells: where its text ends (a NUL ends
// it), whether that is valid UTF-8 and, if so, whether it holds raw-byte
// code points literally.
struct Scan {
    std::size_t length;
    bool valid;
    bool rawLiteral;
};

Scan scanText(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    const Utf8State state = ScanUtf8(bytes);
    return {bytes.size(), state != Utf8State::Invalid, state == Utf8State::HasRawLiteral};
}

// The same for a large file in two halves at once: the first touch of every
// page of the file costs as much as the scan itself, and both share out
// over two cores.
Scan scanTextInHalves(std::string_view bytes) {
    constexpr std::size_t kHalvesFrom = std::size_t{1} << 20;
    if (bytes.size() < kHalvesFrom) return scanText(bytes);
    // Split in front of a character, so that no half cuts one; four bytes
    // that all continue a character make the text invalid anyway.
    std::size_t mid = bytes.size() / 2;
    for (int i = 0; i < 4 && (static_cast<unsigned char>(bytes[mid]) & 0xC0) == 0x80; ++i)
        ++mid;
    if ((static_cast<unsigned char>(bytes[mid]) & 0xC0) == 0x80) return scanText(bytes);
    Scan halves[2];
    RunAlongside(2, [&](std::size_t k) {
        halves[k] = scanText(k == 0 ? bytes.substr(0, mid) : bytes.substr(mid));
    });
    const Scan& first = halves[0];
    const Scan& second = halves[1];
    if (first.length < mid) return first; // a NUL in the first half
    return {mid + second.length, first.valid && second.valid,
            first.rawLiteral || second.rawLiteral};
}

// The text of a file's bytes, which `owner` keeps alive. UTF-8 that decoding
// would not change is used in place: one scan tells the encoding and that,
// where detecting and decoding would scan twice.
TextFile textOf(std::shared_ptr<const void> owner, std::string_view bytes,
                std::optional<TextEncoding> forced, const std::atomic<bool>* damage = nullptr) {
    // UTF-16 is full of NUL bytes: it is decoded whole, then ends at a NUL
    // character.
    std::optional<TextEncoding> utf16 = Utf16ByBom(bytes);
    if (forced && !IsUtf16(*forced)) utf16.reset();
    if (forced && IsUtf16(*forced) && !utf16) utf16 = forced;
    if (utf16) {
        std::string copy(bytes);
        owner.reset();
        std::string text = DecodeText(std::move(copy), *utf16);
        const std::size_t nul = text.find('\0');
        if (nul != std::string::npos) text.resize(nul);
        TextFile file(std::move(text), *utf16);
        file.setEndedAtNul(nul != std::string::npos);
        return file;
    }
    const Scan scan = scanTextInHalves(bytes);
    const bool endedAtNul = scan.length < bytes.size();
    bytes = bytes.substr(0, scan.length);
    const std::string_view bomBytes = ByteOrderMark(TextEncoding::Utf8Bom);
    const bool bom = bytes.starts_with(bomBytes);
    // Detection takes invalid UTF-8 without a BOM for CP932; a UTF-8 text,
    // forced or detected, follows the file's BOM.
    TextEncoding encoding = bom ? TextEncoding::Utf8Bom : TextEncoding::Utf8;
    if (forced == TextEncoding::ShiftJis || (!forced && !bom && !scan.valid))
        encoding = TextEncoding::ShiftJis;
    if (encoding != TextEncoding::ShiftJis && scan.valid && !scan.rawLiteral) {
        if (bom) bytes.remove_prefix(bomBytes.size());
        TextFile file(std::move(owner), bytes, encoding, damage);
        file.setEndedAtNul(endedAtNul);
        return file;
    }
    if (encoding == TextEncoding::ShiftJis) {
        // Straight from the file's bytes into the text: no copy of them.
        OwnedText decoded = DecodeCp932(bytes);
        owner.reset();
        TextFile file(std::move(decoded.owner), decoded.text, encoding);
        file.setEndedAtNul(endedAtNul);
        file.setPagesMayGo();
        return file;
    }
    std::string copy(bytes);
    owner.reset(); // before decoding, which builds another copy
    TextFile file(DecodeText(std::move(copy), encoding), encoding);
    file.setEndedAtNul(endedAtNul);
    return file;
}

} // namespace

TextFile::TextFile(std::string text, TextEncoding encoding) : encoding_(encoding) {
    auto owned = std::make_shared<const std::string>(std::move(text));
    text_ = *owned;
    owner_ = std::move(owned);
}

TextFile::TextFile(std::shared_ptr<const void> owner, std::string_view text, TextEncoding encoding,
                   const std::atomic<bool>* damage)
    : owner_(std::move(owner)), text_(text), encoding_(encoding), damage_(damage),
      pagesMayGo_(damage != nullptr) {} // only a mapped file has a damage mark

void TextFile::letGo(std::string_view part) const {
    if (!pagesMayGo_ || part.empty()) return;
    const std::uintptr_t page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(part.data());
    const std::uintptr_t first = (begin + page - 1) & ~(page - 1);
    const std::uintptr_t last = (begin + part.size()) & ~(page - 1);
    if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    struct stat info {};
    const FileDescriptor file(openRegularFile(path, info));
    if (file.get() < 0) return std::nullopt;
    std::string bytes;
    // The size is a hint only: some files (under /proc) report 0.
    if (!readAll(file.get(), bytes, static_cast<std::size_t>(info.st_size))) return std::nullopt;
    return bytes;
}

bool CanReadFile(const std::string& path) {
    struct stat info {};
    const FileDescriptor file(openRegularFile(path, info));
    char byte;
    return file.get() >= 0 && ::pread(file.get(), &byte, 1, 0) >= 0;
}

std::optional<TextFile> ReadTextFile(const std::string& path, std::optional<TextEncoding> forced) {
    struct stat info {};
    const FileDescriptor file(openRegularFile(path, info));
    if (file.get() < 0) return std::nullopt;
    const auto size = static_cast<std::size_t>(info.st_size);
    if (std::shared_ptr<const FileMapping> mapping = FileMapping::map(file.get(), size)) {
        TextFile text = textOf(mapping, mapping->bytes(), forced, &mapping->damageMark());
        // Cut short by another program while it was read: what it was is lost.
        if (mapping->damaged()) return std::nullopt;
        return text;
    }
    std::string bytes;
    if (!readAll(file.get(), bytes, size)) return std::nullopt;
    return TextOfFileBytes(std::move(bytes), forced);
}

TextFile TextOfFileBytes(std::string bytes, std::optional<TextEncoding> forced) {
    auto owned = std::make_shared<const std::string>(std::move(bytes));
    const std::string_view view = *owned;
    return textOf(std::move(owned), view, forced);
}

} // namespace tabulix
