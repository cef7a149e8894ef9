#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {

// What reading a workbook may take. A workbook beyond them is refused rather
// than allowed to exhaust the memory (a zip bomb, a sheet of millions of
// cells).
struct WorkbookLimits {
    std::uint64_t partBytes = std::uint64_t{1} << 30; // one part of a zip, inflated
    std::uint64_t cells = 20'000'000;                  // cells with text in one sheet
};

enum class WorkbookProblem {
    None,
    NotWorkbook,   // not a workbook this program reads, or a damaged one
    Encrypted,     // protected by a password
    PartTooLarge,  // a part inflates beyond the limit
    TooManyCells,  // a sheet holds more cells than the limit
    TooLargeForTable, // the sheet was read but the table cannot hold it
    ReaderMissing, // the reader of the format could not be started (no process for it)
};

// One sheet as the table's loader reads a CSV file: from cell A1 to the last
// row and column holding text, each row one line of comma-separated fields
// (written with EncodeCsvRow, so commas, quotes and line breaks in a cell
// survive) followed by CR LF. The text of a cell is the text the sheet shows.
struct SheetText {
    std::string lines;
    WorkbookProblem problem = WorkbookProblem::None;
};

// Told now and then while a sheet is read: how much of its text is read.
using SheetProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// An opened workbook: the names of its worksheets and the text of each one.
class Workbook {
public:
    explicit Workbook(const WorkbookLimits& limits) : limits_(limits) {}
    virtual ~Workbook() = default;
    const WorkbookLimits& limits() const { return limits_; }
    virtual const std::vector<std::string>& sheetNames() const = 0;
    virtual SheetText readSheet(std::size_t index) = 0;
    void setProgress(SheetProgress progress) { progress_ = std::move(progress); }

protected:
    void reportProgress(std::uint64_t done, std::uint64_t total) const {
        if (progress_) progress_(done < total ? done : total, total);
    }

    WorkbookLimits limits_;

private:
    SheetProgress progress_;
};

struct OpenedWorkbook {
    std::unique_ptr<Workbook> book; // null when there is a problem
    WorkbookProblem problem = WorkbookProblem::None;
};

// Opens an .xlsx / .xlsm, .ods or .xls workbook; the format is told by the
// content, not by the name.
OpenedWorkbook OpenWorkbook(const std::string& path, const WorkbookLimits& limits = {});

// The same for a zip workbook (.xlsx, .xlsm, .ods) held in memory; the bytes
// must outlive the workbook.
OpenedWorkbook OpenZipWorkbook(std::string_view bytes, const WorkbookLimits& limits = {});

// Whether the file at `path` is a zip or compound-document file (a
// workbook), by its first bytes. The save of a table read from a workbook
// must never overwrite it with text: its other sheets would be lost.
bool IsWorkbookFile(const std::string& path);

// What the user is told when a workbook or one of its sheets cannot be read:
// the file's name and, where there is more to say, why.
std::string WorkbookFailureMessage(const std::string& path, WorkbookProblem problem,
                                   const WorkbookLimits& limits = {});

} // namespace tabulix
