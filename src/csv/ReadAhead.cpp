#include "csv/ReadAhead.h"

#include "table/Table.h"

#include <atomic>
#include <chrono>
#include <exception>
#include <sys/stat.h>
#include <system_error>

namespace tabulix {

// How far the fill ahead is, for the caption of a load that waits for it,
// and whether it is still wanted.
struct ReadAhead::Progress {
    std::atomic<std::size_t> done{0};
    std::atomic<std::size_t> total{0};
    std::atomic<bool> stop{false};
};

namespace {

// Thrown through the fill once nobody wants it any more: the fill stops at
// its next report and nothing of it is kept.
struct FillStopped {};

long long nanoseconds(const struct timespec& t) {
    return static_cast<long long>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

} // namespace

// A layout that fails (no memory) or is no longer wanted leaves the table to
// be laid out by its load: the layout makes everything it gives afresh.
bool ReadAhead::layOutAhead(Table& table, const std::function<void(Table&)>& layOut,
                            const Progress& progress) {
    if (progress.stop.load()) return false;
    try {
        layOut(table);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// The work on the other thread.
std::optional<AheadRead> ReadAhead::readAndFill(const std::string& path,
                                                std::optional<TextEncoding> forced, Separator sep,
                                                std::optional<LoadSetup> fill,
                                                const LoadLimits& limits,
                                                const std::function<void(Table&)>& layOut,
                                                Progress& progress) {
    std::optional<TextFile> file = ReadTextFile(path, forced);
    if (!file) return std::nullopt;
    AheadRead read{std::move(*file), {}, fill, nullptr, 0};
    read.plan = PlanLoad(read.file.text(), sep);
    if (!fill) return read;
    auto table = std::make_unique<Table>();
    const TextFile& text = read.file;
    std::atomic<bool> letGo{false};
    const std::optional<std::size_t> records = FillPlanned(
        *table, read.plan, fill->metrics,
        [&progress](std::size_t done, std::size_t total) {
            if (progress.stop.load(std::memory_order_relaxed)) throw FillStopped{};
            progress.total.store(total, std::memory_order_relaxed);
            progress.done.store(done, std::memory_order_relaxed);
        },
        fill->layout, limits,
        [&](std::string_view part) {
            letGo.store(true, std::memory_order_relaxed);
            text.letGo(part);
        });
    if (records) {
        read.laidOut = layOut && layOutAhead(*table, layOut, progress);
        read.table = std::move(table);
        read.records = *records;
    } else if (!letGo.load()) {
        // Refused before any of the text went (beyond the limits): the read
        // stays a plan, and the load refuses it at once without reading again.
        read.filledAs.reset();
    }
    return read;
}

ReadAhead::ReadAhead() = default;

ReadAhead::~ReadAhead() {
    drop();
}

std::optional<ReadAhead::Stamp> ReadAhead::StampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return Stamp{static_cast<unsigned long long>(info.st_dev),
                 static_cast<unsigned long long>(info.st_ino),
                 static_cast<unsigned long long>(info.st_size), nanoseconds(info.st_mtim),
                 nanoseconds(info.st_ctim)};
}

void ReadAhead::start(const std::string& path, std::optional<TextEncoding> forced, Separator sep,
                      std::optional<LoadSetup> fill, const LoadLimits& limits,
                      std::function<void(Table&)> layOut) {
    drop();
    // Stamped before the read: a change during it shows at the take.
    stamp_ = StampOf(path);
    if (!stamp_) return;
    path_ = path;
    forced_ = forced;
    sep_ = sep;
    progress_ = std::make_shared<Progress>();
    try {
        work_ = std::async(
            std::launch::async,
            [path, forced, sep, fill, limits, layOut = std::move(layOut),
             progress = progress_]() -> std::optional<AheadRead> {
                try {
                    return readAndFill(path, forced, sep, fill, limits, layOut, *progress);
                } catch (...) {
                    // Whatever went wrong (no memory, most
                    // likely), the load reads the file itself
                    // and tells.
                    return std::nullopt;
                }
            });
    } catch (const std::system_error&) {
        stamp_.reset(); // no thread: the load reads the file as ever
    }
}

std::optional<AheadRead> ReadAhead::take(const std::string& path,
                                         std::optional<TextEncoding> forced, Separator sep,
                                         const LoadProgress& waiting) {
    if (!work_.valid()) return std::nullopt;
    // Another load stops the fill and waits for it (two loads at once would
    // need twice the memory), but shows nothing of it.
    const bool wanted = path == path_ && forced == forced_ && sep == sep_;
    if (!wanted) progress_->stop.store(true);
    while (wanted && waiting &&
           work_.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
        if (const std::size_t total = progress_->total.load(std::memory_order_relaxed))
            waiting(progress_->done.load(std::memory_order_relaxed), total);
    std::optional<AheadRead> read = work_.get();
    const bool same = wanted && read && read->file.intact() && stamp_ && StampOf(path) == stamp_;
    stamp_.reset();
    if (!same) return std::nullopt;
    return read;
}

void ReadAhead::drop() {
    stamp_.reset();
    if (!work_.valid()) return;
    progress_->stop.store(true);
    work_.get();
}

} // namespace tabulix
