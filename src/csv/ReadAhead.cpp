#include "csv/ReadAhead.h"

#include <sys/stat.h>
#include <system_error>

namespace tabulix {

namespace {

long long nanoseconds(const struct timespec& t) {
    return static_cast<long long>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

} // namespace

std::optional<ReadAhead::Stamp> ReadAhead::StampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return Stamp{static_cast<unsigned long long>(info.st_dev),
                 static_cast<unsigned long long>(info.st_ino),
                 static_cast<unsigned long long>(info.st_size), nanoseconds(info.st_mtim),
                 nanoseconds(info.st_ctim)};
}

void ReadAhead::start(const std::string& path, std::optional<TextEncoding> forced,
                      Separator sep) {
    drop();
    // Stamped before the read: a change during it shows at the take.
    stamp_ = StampOf(path);
    if (!stamp_) return;
    path_ = path;
    forced_ = forced;
    sep_ = sep;
    try {
        work_ = std::async(std::launch::async, [path, forced, sep]() -> std::optional<Read> {
            try {
                std::optional<TextFile> file = ReadTextFile(path, forced);
                if (!file) return std::nullopt;
                LoadPlan plan = PlanLoad(file->text(), sep);
                return Read{std::move(*file), std::move(plan)};
            } catch (const std::bad_alloc&) {
                return std::nullopt; // the load reads it itself, and tells
            }
        });
    } catch (const std::system_error&) {
        stamp_.reset(); // no thread: the load reads the file as ever
    }
}

std::optional<ReadAhead::Read> ReadAhead::take(const std::string& path,
                                               std::optional<TextEncoding> forced, Separator sep) {
    if (!work_.valid()) return std::nullopt;
    std::optional<Read> read = work_.get();
    const bool same = path == path_ && forced == forced_ && sep == sep_ && read &&
                      read->file.intact() && stamp_ && StampOf(path) == stamp_;
    stamp_.reset();
    if (!same) return std::nullopt;
    return read;
}

void ReadAhead::drop() {
    if (work_.valid()) work_.get();
    stamp_.reset();
}

} // namespace tabulix
