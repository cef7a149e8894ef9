#pragma once

#include "csv/FileReading.h"
#include "csv/Separators.h"
#include "csv/TableLoader.h"

#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>

namespace tabulix {

struct Table;

// A file read ahead, as a load takes it.
struct AheadRead {
    TextFile file;
    LoadPlan plan;
    // Set when the table was filled ahead (the load adopts it only when it
    // would fill its own with the same): then `table` holds it with its
    // `records`, or is null when the fill failed part way (no memory, a
    // record beyond the limits). The text was let go as the fill passed it,
    // so such a read is either adopted whole or given up. A fill refused
    // before it began leaves the read a plan, with this unset.
    std::optional<LoadSetup> filledAs;
    std::unique_ptr<Table> table;
    std::size_t records = 0;
    // Whether the filled table was also laid out ahead (see start).
    bool laidOut = false;
};

// A file read, its records counted and, when asked for, its table filled on
// another thread before its load: the program does this for the file its
// argument names while the window waits to hand the argument over. Nothing of
// it shows: a load takes the read only when it is of the same file,
// unchanged, read the same way; otherwise it reads the file itself as ever.
class ReadAhead {
public:
    ReadAhead();
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // Starts reading `path` as ReadTextFile does with `forced`, then counts
    // its records for a load with `sep` and, with `fill`, fills a table of
    // them within `limits`; a filled table is then given to `layOut`, on
    // the same thread (the table is nobody else's yet). Gives up an earlier
    // read. Without a thread, nothing is read ahead.
    void start(const std::string& path, std::optional<TextEncoding> forced, Separator sep,
               std::optional<LoadSetup> fill = std::nullopt,
               const LoadLimits& limits = LoadLimits::ofMachine(),
               std::function<void(Table&)> layOut = {});
    // The read, once it has ended, when it is of this path, encoding and
    // separator and the file is still the one read (the same file, size and
    // times of change); nullopt otherwise and when the read failed. Either
    // way the read is given up. Until the read ends, `waiting` is told how
    // far the fill is every few hundredths of a second; a read of another
    // file, or read otherwise, is stopped instead (see drop).
    std::optional<AheadRead> take(const std::string& path, std::optional<TextEncoding> forced,
                                  Separator sep, const LoadProgress& waiting = {});
    // Gives up the read: a fill still running stops at its next report of
    // progress (every thousand records), and this returns once it has.
    void drop();

private:
    // What tells a file from the one read: device, file number, size and the
    // times of its last change, to the nanosecond.
    struct Stamp {
        unsigned long long device = 0, inode = 0, size = 0;
        long long modified = 0, changed = 0;
        bool operator==(const Stamp&) const = default;
    };
    static std::optional<Stamp> StampOf(const std::string& path);

    struct Progress;
    static bool layOutAhead(Table& table, const std::function<void(Table&)>& layOut,
                            const Progress& progress);
    static std::optional<AheadRead> readAndFill(const std::string& path,
                                                std::optional<TextEncoding> forced, Separator sep,
                                                std::optional<LoadSetup> fill,
                                                const LoadLimits& limits,
                                                const std::function<void(Table&)>& layOut,
                                                Progress& progress);

    std::string path_;
    std::optional<TextEncoding> forced_;
    Separator sep_ = Separator::of(',');
    std::optional<Stamp> stamp_;
    std::shared_ptr<Progress> progress_;
    std::future<std::optional<AheadRead>> work_;
};

} // namespace tabulix
