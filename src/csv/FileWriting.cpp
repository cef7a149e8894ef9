#include "csv/FileWriting.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tabulix {

namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a path finally names: symbolic links are followed, a dangling one
// to the file a save creates. A path that cannot be examined is kept as it is;
// writing it reports the problem.
std::optional<std::string> resolveLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        std::vector<char> buffer(PATH_MAX);
        const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (length < 0) return std::nullopt;
        std::string target(buffer.data(), static_cast<std::size_t>(length));
        path = target.starts_with('/') ? target : parentOf(path) + "/" + target;
    }
    errno = ELOOP;
    return std::nullopt;
}

// Writes the bytes at the end of what was written so far.
bool writeAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote == 0) errno = EIO;
        if (wrote <= 0) return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

// Closes fd and reports the first error seen, `error` or one of the close; a
// close error counts, as some file systems report a failed write only there.
WriteResult finish(int fd, std::error_code error) {
    const bool closed = ::close(fd) == 0;
    if (error) return {error};
    return {closed ? std::error_code() : lastError()};
}

// The same after work that reported success or failure, errno telling why.
WriteResult finish(int fd, bool ok) {
    return finish(fd, ok ? std::error_code() : lastError());
}

WriteResult writeInPlace(const std::string& target, std::string_view bytes) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return {lastError()};
    const off_t size = static_cast<off_t>(bytes.size());
    if (size > 0 && ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) != 0 && errno != EOPNOTSUPP &&
        errno != ENOSYS)
        return finish(fd, false);
    return finish(fd, writeAll(fd, bytes) && ::ftruncate(fd, size) == 0 && ::fsync(fd) == 0);
}

// What a source's refusal to go on is reported as.
std::error_code abandoned() {
    return std::make_error_code(std::errc::operation_canceled);
}

WriteResult writeInPlace(const std::string& target, const ByteSource& source) {
    std::string bytes; // the size is reserved before the file is touched
    if (!source([&](std::string_view piece) {
            bytes.append(piece);
            return true;
        }))
        return {abandoned()};
    return writeInPlace(target, bytes);
}

// Streams the source into fd; the error of a failed write, or abandoned().
std::error_code writeFrom(int fd, const ByteSource& source) {
    std::error_code error;
    const bool done = source([&](std::string_view piece) {
        if (writeAll(fd, piece)) return true;
        error = lastError();
        return false;
    });
    if (done) return {};
    return error ? error : abandoned();
}

int createTemporary(const std::string& target, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    // Short enough that the name stays valid beside a long file name.
    const std::string stem = parentOf(target) + "/." + nameOf(target).substr(0, 200) + "." +
                             std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = stem + std::to_string(counter++) + ".tmp";
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Owner first: changing it may clear set-id bits that the mode then restores.
bool takeOwnerAndMode(int fd, const struct stat& info) {
    if (info.st_uid != ::geteuid() || info.st_gid != ::getegid()) {
        if (::fchown(fd, info.st_uid, info.st_gid) != 0) {
            // Only the superuser may give a file away; ours is fine then.
        }
    }
    return ::fchmod(fd, info.st_mode & 07777) == 0;
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd); // the rename is done; this only hastens it to the disk
    ::close(fd);
}

bool isFolderPermissionError(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

} // namespace

WriteResult WriteFileAtomically(const std::string& path, std::string_view bytes) {
    return WriteFileAtomically(path, [bytes](const ByteSink& sink) { return sink(bytes); });
}

WriteResult WriteFileAtomically(const std::string& path, const ByteSource& source) {
    const std::optional<std::string> resolved = resolveLinks(path);
    if (!resolved) return {lastError()};
    const std::string& target = *resolved;
    struct stat info {};
    const bool exists = ::stat(target.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) return {lastError()};
    if (exists && !S_ISREG(info.st_mode))
        return {std::make_error_code(S_ISDIR(info.st_mode) ? std::errc::is_a_directory
                                                           : std::errc::invalid_argument)};
    // A file we may not write is refused, as overwriting it would be.
    if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        return {lastError()};

    std::string tempPath;
    const int fd = createTemporary(target, tempPath);
    if (fd < 0) {
        if (exists && isFolderPermissionError(errno)) return writeInPlace(target, source);
        return {lastError()};
    }
    std::error_code error;
    if (exists && !takeOwnerAndMode(fd, info)) error = lastError();
    if (!error) error = writeFrom(fd, source);
    if (!error && ::fsync(fd) != 0) error = lastError();
    WriteResult result = finish(fd, error);
    if (result.ok() && ::rename(tempPath.c_str(), target.c_str()) != 0) result = {lastError()};
    if (!result.ok()) {
        ::unlink(tempPath.c_str());
        return result;
    }
    syncFolder(parentOf(target));
    return result;
}

} // namespace tabulix
