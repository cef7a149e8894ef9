#include "csv/FileWriting.h"

#include "csv/FileReading.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tabulix {

namespace {

thread_local WriteSession* currentSession = nullptr;

std::function<int(WriteStep)>& stepHook() {
    static std::function<int(WriteStep)> hook;
    return hook;
}

// False, with errno set, where a test makes the step fail.
bool stepAllowed(WriteStep step) {
    const std::function<int(WriteStep)>& hook = stepHook();
    if (!hook) return true;
    const int error = hook(step);
    if (error == 0) return true;
    errno = error;
    return false;
}

// Files are written in pieces of at most this size.
constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

std::error_code lastError() {
    return {errno, std::generic_category()};
}

std::error_code errorOf(int code) {
    return {code, std::generic_category()};
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

// The start of the names of our own files for `target`: short enough that the
// name stays valid beside a long file name.
std::string namePart(const std::string& target) {
    return nameOf(target).substr(0, 200) + ".";
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

// Writes the bytes at the end of what was written so far, adding to `done`
// what reached the file also when it fails.
bool writeAll(int fd, std::string_view bytes, WriteStep step, std::size_t& done) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (!stepAllowed(step)) return false;
        const std::size_t length = std::min(bytes.size() - at, kPieceBytes);
        const ssize_t wrote = ::write(fd, bytes.data() + at, length);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote == 0) errno = EIO;
        if (wrote <= 0) return false;
        at += static_cast<std::size_t>(wrote);
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

bool writeAll(int fd, std::string_view bytes, WriteStep step) {
    std::size_t done = 0;
    return writeAll(fd, bytes, step, done);
}

// Closes fd and reports the first error seen, `error` or one of the close; a
// close error counts, as some file systems report a failed write only there.
std::error_code finish(int fd, std::error_code error) {
    const bool closed = ::close(fd) == 0;
    if (error) return error;
    return closed ? std::error_code() : lastError();
}

// What a source's refusal to go on is reported as.
std::error_code abandoned() {
    return std::make_error_code(std::errc::operation_canceled);
}

// Streams the source into fd; the error of a failed write, or abandoned().
std::error_code writeFrom(int fd, const ByteSource& source) {
    std::error_code error;
    const bool done = source([&](std::string_view piece) {
        if (writeAll(fd, piece, WriteStep::Write)) return true;
        error = lastError();
        return false;
    });
    if (done) return {};
    return error ? error : abandoned();
}

// Creates a new file `stem` + number + `suffix` of our own.
int createUnique(const std::string& stem, const char* suffix, mode_t mode, std::string& path) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = stem + std::to_string(counter++) + suffix;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// The temporary file of a save: hidden, beside the target, named after it
// and after our process, so that leftovers can be told apart.
int createTemporary(const std::string& target, std::string& tempPath) {
    return createUnique(parentOf(target) + "/." + namePart(target) + std::to_string(::getpid()) +
                            "-",
                        ".tmp", 0666, tempPath);
}

// Whether `text` is a number as std::to_string writes it.
bool isNumber(std::string_view text) {
    return !text.empty() && text.size() <= 10 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
           (text.size() == 1 || text[0] != '0');
}

// Removes the temporary files that saves of `target` left behind when their
// process ended part way: only regular files of exactly our naming for this
// very target whose process is gone.
void removeLeftovers(const std::string& target) {
    const std::string prefix = "." + namePart(target);
    DIR* const folder = ::opendir(parentOf(target).c_str());
    if (folder == nullptr) return;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(prefix) || !name.ends_with(".tmp")) continue;
        const std::string_view middle = name.substr(prefix.size(), name.size() - prefix.size() - 4);
        const std::size_t dash = middle.find('-');
        if (dash == std::string_view::npos || !isNumber(middle.substr(0, dash)) ||
            !isNumber(middle.substr(dash + 1)))
            continue;
        const long pid = std::strtol(std::string(middle.substr(0, dash)).c_str(), nullptr, 10);
        if (pid <= 0 || pid > INT_MAX || pid == ::getpid()) continue;
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue; // still running
        struct stat info {};
        if (::fstatat(::dirfd(folder), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(info.st_mode))
            continue;
        ::unlinkat(::dirfd(folder), entry->d_name, 0);
    }
    ::closedir(folder);
}

// Gives the temporary file the old file's owner and group, or its group alone
// (a member may give a file its group, only the superuser its owner); false
// when either cannot be kept.
bool keepOwnerAndGroup(int fd, const struct stat& info) {
    struct stat made {};
    if (::fstat(fd, &made) != 0) return false;
    if (made.st_uid == info.st_uid && made.st_gid == info.st_gid) return true;
    if (::fchown(fd, info.st_uid, info.st_gid) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), info.st_gid) != 0)
        return false;
    return ::fstat(fd, &made) == 0 && made.st_uid == info.st_uid && made.st_gid == info.st_gid;
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd); // the rename is done; this only hastens it to the disk
    ::close(fd);
}

WriteResult failure(std::error_code error, OldFile oldFile = OldFile::None) {
    WriteResult result;
    result.error = error;
    result.oldFile = oldFile;
    return result;
}

bool isFolderPermissionError(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

// Signals that end the program by default; while a file is overwritten in
// place they are noted and delivered once it is whole again. SIGXFSZ, sent
// by a write beyond the file-size limit, is ignored meanwhile, so that the
// write fails instead.
constexpr std::array<int, 4> kEndingSignals = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};
volatile std::sig_atomic_t noted[kEndingSignals.size()] = {};

void noteSignal(int signal) {
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i)
        if (kEndingSignals[i] == signal) noted[i] = 1;
}

class HeldSignals {
public:
    explicit HeldSignals(bool holdEnding) {
        hold(fileSize_, SIGXFSZ, SIG_IGN);
        if (!holdEnding) return;
        for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
            noted[i] = 0;
            hold(ending_[i], kEndingSignals[i], noteSignal);
        }
    }
    ~HeldSignals() {
        release(fileSize_, SIGXFSZ);
        for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
            release(ending_[i], kEndingSignals[i]);
            if (ending_[i].held && noted[i]) ::raise(kEndingSignals[i]);
        }
    }
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;

private:
    struct Held {
        bool held = false;
        struct sigaction previous {};
    };

    // Only a signal left at its default is taken over; a program's own
    // handler knows what it does.
    static void hold(Held& held, int signal, void (*handler)(int)) {
        struct sigaction action {};
        action.sa_handler = handler;
        sigemptyset(&action.sa_mask);
        if (::sigaction(signal, nullptr, &held.previous) != 0) return;
        if ((held.previous.sa_flags & SA_SIGINFO) != 0 || held.previous.sa_handler != SIG_DFL)
            return;
        held.held = ::sigaction(signal, &action, nullptr) == 0;
    }
    static void release(Held& held, int signal) {
        if (held.held) ::sigaction(signal, &held.previous, nullptr);
    }

    Held fileSize_;
    std::array<Held, kEndingSignals.size()> ending_;
};

// The old content of a file written in place, kept until the write is done.
struct KeptCopy {
    std::string path; // empty when no copy could be made
    off_t size = 0;
};

// Creates the folders of `path` that are missing, for the user alone.
bool makeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

KeptCopy keepCopy(const std::string& target) {
    const std::string folder = UserCacheFolder();
    if (folder.empty() || !makeFolders(folder)) return {};
    const int in = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return {};
    KeptCopy copy;
    const int out = createUnique(folder + "/" + namePart(target) + std::to_string(::getpid()) + "-",
                                 ".bak", 0600, copy.path);
    if (out < 0) {
        ::close(in);
        return {};
    }
    std::vector<char> buffer(kPieceBytes);
    bool ok = true;
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        if (!writeAll(out, {buffer.data(), static_cast<std::size_t>(got)}, WriteStep::Copy)) {
            ok = false;
            break;
        }
        copy.size += got;
    }
    ::close(in);
    ok = ::fsync(out) == 0 && ok;
    ok = ::close(out) == 0 && ok;
    if (ok) return copy;
    ::unlink(copy.path.c_str());
    return {};
}

// Puts the copy back over the first `end` bytes of the target, where the
// write changed it, and gives the target its old size.
bool restore(const KeptCopy& copy, const std::string& target, off_t end) {
    const int in = ::open(copy.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    const int out = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (out < 0) {
        ::close(in);
        return false;
    }
    std::vector<char> buffer(kPieceBytes);
    bool ok = true;
    for (off_t at = 0; ok && at < end;) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<off_t>(end - at, static_cast<off_t>(buffer.size())));
        const ssize_t got = ::read(in, buffer.data(), want);
        if (got < 0 && errno == EINTR) continue;
        ok = got > 0 &&
             writeAll(out, {buffer.data(), static_cast<std::size_t>(got)}, WriteStep::Restore);
        at += got;
    }
    struct stat info {};
    ok = ok && ::fstat(out, &info) == 0 &&
         (info.st_size == copy.size || ::ftruncate(out, copy.size) == 0) && ::fsync(out) == 0;
    ::close(in);
    return ::close(out) == 0 && ok;
}

// The source's bytes at once: an in-place write reserves their size before
// the file is touched.
std::optional<std::string> collect(const ByteSource& source) {
    std::string bytes;
    if (!source([&](std::string_view piece) {
            bytes.append(piece);
            return true;
        }))
        return std::nullopt;
    return bytes;
}

bool mayGoOn(const InPlaceConsent* consent, const std::string& target) {
    return consent != nullptr && *consent && (*consent)(target);
}

// Overwrites the file itself with a copy of its old content kept meanwhile,
// so that any failure can put it back.
WriteResult writeInPlace(const std::string& target, std::string_view bytes,
                         const InPlaceConsent* consent) {
    const auto unchanged = [](std::error_code error) { return failure(error, OldFile::Unchanged); };
    const off_t size = static_cast<off_t>(bytes.size());
    // A file-size limit would stop the write part way.
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        bytes.size() > limit.rlim_cur)
        return unchanged(errorOf(EFBIG));
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return unchanged(lastError());
    const KeptCopy copy = keepCopy(target);
    if (copy.path.empty() && !mayGoOn(consent, target)) {
        ::close(fd);
        WriteResult declined = unchanged(abandoned());
        declined.declined = true;
        return declined;
    }
    const HeldSignals held(true);
    if (size > 0 &&
        (!stepAllowed(WriteStep::Reserve) || ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) != 0) &&
        errno != EOPNOTSUPP && errno != ENOSYS) {
        const std::error_code error = finish(fd, lastError());
        if (!copy.path.empty()) ::unlink(copy.path.c_str());
        return unchanged(error);
    }
    std::size_t written = 0;
    bool truncated = false;
    const bool ok = writeAll(fd, bytes, WriteStep::Write, written) &&
                    stepAllowed(WriteStep::Truncate) && (truncated = ::ftruncate(fd, size) == 0) &&
                    ::fsync(fd) == 0;
    const std::error_code error = finish(fd, ok ? std::error_code() : lastError());
    if (!error) {
        if (!copy.path.empty()) ::unlink(copy.path.c_str());
        return {};
    }
    if (written == 0 && !truncated) { // nothing reached the file
        if (!copy.path.empty()) ::unlink(copy.path.c_str());
        return unchanged(error);
    }
    WriteResult damaged = failure(error, OldFile::NotRestored);
    if (copy.path.empty()) return damaged;
    // What changed: the bytes written, or all of it once the size was cut.
    const off_t end = truncated ? copy.size : std::min(static_cast<off_t>(written), copy.size);
    if (!restore(copy, target, end)) {
        damaged.copy = copy.path;
        return damaged;
    }
    ::unlink(copy.path.c_str());
    return failure(error, OldFile::Restored);
}

WriteResult writeInPlace(const std::string& target, const ByteSource& source,
                         const InPlaceConsent* consent) {
    const std::optional<std::string> bytes = collect(source);
    if (!bytes) return failure(abandoned(), OldFile::Unchanged);
    return writeInPlace(target, *bytes, consent);
}

// Whether replacing the file by a new one would break what it shares: other
// names of it (hard links).
bool mustStayTheSameFile(const struct stat& info) {
    return info.st_nlink > 1;
}

WriteResult writeFile(const std::string& path, const ByteSource& source,
                      const InPlaceConsent* consent) {
    const std::optional<std::string> resolved = resolveLinks(path);
    if (!resolved) return failure(lastError());
    const std::string& target = *resolved;
    struct stat info {};
    const bool exists = ::stat(target.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) return failure(lastError());
    if (exists && !S_ISREG(info.st_mode))
        return failure(std::make_error_code(S_ISDIR(info.st_mode) ? std::errc::is_a_directory
                                                                  : std::errc::invalid_argument),
                       OldFile::Unchanged);
    // A file we may not write is refused, as overwriting it would be.
    if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        return failure(lastError(), OldFile::Unchanged);
    const OldFile untouched = exists ? OldFile::Unchanged : OldFile::None;
    if (exists && mustStayTheSameFile(info)) return writeInPlace(target, source, consent);

    removeLeftovers(target);
    std::string tempPath;
    const int fd = createTemporary(target, tempPath);
    if (fd < 0) {
        if (exists && isFolderPermissionError(errno)) return writeInPlace(target, source, consent);
        return failure(lastError(), untouched);
    }
    if (exists && !keepOwnerAndGroup(fd, info)) {
        ::close(fd);
        ::unlink(tempPath.c_str());
        return writeInPlace(target, source, consent);
    }
    // The mode after the owner: changing the owner may clear set-id bits.
    std::error_code error;
    if (exists && ::fchmod(fd, info.st_mode & 07777) != 0) error = lastError();
    if (!error) error = writeFrom(fd, source);
    if (!error && ::fsync(fd) != 0) error = lastError();
    error = finish(fd, error);
    if (!error &&
        (!stepAllowed(WriteStep::Rename) || ::rename(tempPath.c_str(), target.c_str()) != 0)) {
        error = lastError();
        // A sticky folder refuses to replace another user's file: the bytes
        // written go into the file itself.
        if (exists && isFolderPermissionError(error.value())) {
            const std::optional<std::string> bytes = ReadFileBytes(tempPath);
            ::unlink(tempPath.c_str());
            if (!bytes) return failure(error, untouched);
            return writeInPlace(target, *bytes, consent);
        }
    }
    if (error) {
        ::unlink(tempPath.c_str());
        return failure(error, untouched);
    }
    syncFolder(parentOf(target));
    return {};
}

} // namespace

WriteSession::WriteSession(InPlaceConsent consent)
    : consent_(std::move(consent)), outer_(currentSession) {
    currentSession = this;
}

WriteSession::~WriteSession() {
    currentSession = outer_;
}

std::string UserCacheFolder() {
    const char* const cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && cache[0] == '/') return std::string(cache) + "/tabulix";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        const passwd* const user = ::getpwuid(::geteuid());
        home = user != nullptr ? user->pw_dir : nullptr;
    }
    if (home == nullptr || home[0] != '/') return {};
    return std::string(home) + "/.cache/tabulix";
}

std::string ProgramOrCacheFile(const std::string& programFolder, const std::string& name,
                               const std::string& cacheFolder) {
    if (!programFolder.empty() && ::access(programFolder.c_str(), W_OK) == 0)
        return programFolder + "/" + name;
    if (cacheFolder.empty()) return {};
    std::error_code error;
    std::filesystem::create_directories(cacheFolder, error);
    if (::access(cacheFolder.c_str(), W_OK) != 0) return {};
    return cacheFolder + "/" + name;
}

void SetWriteStepHookForTesting(std::function<int(WriteStep)> hook) {
    stepHook() = std::move(hook);
}

WriteResult WriteFileAtomically(const std::string& path, std::string_view bytes) {
    return WriteFileAtomically(path, [bytes](const ByteSink& sink) { return sink(bytes); });
}

WriteResult WriteFileAtomically(const std::string& path, const ByteSource& source) {
    WriteSession* const session = currentSession;
    WriteResult result;
    {
        const HeldSignals held(false);
        result = writeFile(path, source, session != nullptr ? &session->consent_ : nullptr);
    }
    if (session != nullptr) session->last_ = result;
    return result;
}

} // namespace tabulix
