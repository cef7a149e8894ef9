#pragma once

#include "csv/FileReading.h"
#include "csv/Separators.h"
#include "csv/TableLoader.h"

#include <future>
#include <optional>
#include <string>

namespace tabulix {

// A file read, and its load planned, on another thread before its load: the
// program reads the file its argument names while the window waits to hand
// the argument over. Nothing of it shows: a load takes the read only when it
// is of the same file, unchanged, read the same way; otherwise it reads the
// file itself as ever.
class ReadAhead {
public:
    struct Read {
        TextFile file;
        LoadPlan plan;
    };

    ReadAhead() = default;
    ~ReadAhead() { drop(); }
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // Starts reading `path` as ReadTextFile does with `forced`, then counts
    // its records for a load with `sep`.
    // Gives up an earlier read. Without a thread, nothing is read ahead.
    void start(const std::string& path, std::optional<TextEncoding> forced, Separator sep);
    // The read, once it has ended, when it is of this path, encoding and
    // separator and the file is still the one read (the same file, size and
    // times of change); nullopt otherwise and when the read failed. Either
    // way the read is given up.
    std::optional<Read> take(const std::string& path, std::optional<TextEncoding> forced,
                             Separator sep);
    // Gives up the read (after it has ended).
    void drop();

    // What tells a file from the one read: device, file number, size and the
    // times of its last change, to the nanosecond.
    struct Stamp {
        unsigned long long device = 0, inode = 0, size = 0;
        long long modified = 0, changed = 0;
        bool operator==(const Stamp&) const = default;
    };
    static std::optional<Stamp> StampOf(const std::string& path);

private:
    std::string path_;
    std::optional<TextEncoding> forced_;
    Separator sep_ = Separator::of(',');
    std::optional<Stamp> stamp_;
    std::future<std::optional<Read>> work_;
};

} // namespace tabulix
