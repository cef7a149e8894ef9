// The .xls (BIFF) reader, through libfreexl, run in a child process. The
// library gives dates and times as ISO texts and plain numbers without their
// format: numbers are shown in the General form, dates and times as the
// Japanese default formats show them.
#include "workbook/NumberFormat.h"
#include "workbook/Readers.h"
#include "workbook/SheetCells.h"

#include <freexl.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tabulix {

namespace {

// A child that has not answered by then is taken for hung.
constexpr int kChildSeconds = 60;

// "2024-01-31" as "2024/1/31".
std::string dateOf(std::string_view iso) {
    if (iso.size() < 10 || iso[4] != '-' || iso[7] != '-') return std::string(iso);
    const int month = std::atoi(std::string(iso.substr(5, 2)).c_str());
    const int day = std::atoi(std::string(iso.substr(8, 2)).c_str());
    return std::string(iso.substr(0, 4)) + "/" + std::to_string(month) + "/" + std::to_string(day);
}

// "09:05:30" as "9:05:30"; seconds that are zero are left out after a date.
std::string timeOf(std::string_view hms, bool withDate) {
    if (hms.size() < 8 || hms[2] != ':' || hms[5] != ':') return std::string(hms);
    const int hour = std::atoi(std::string(hms.substr(0, 2)).c_str());
    std::string out = std::to_string(hour) + std::string(hms.substr(2, 3));
    if (!withDate || hms.substr(6, 2) != "00") out += std::string(hms.substr(5, 3));
    return out;
}

std::string textOf(const FreeXL_CellValue& cell) {
    switch (cell.type) {
    case FREEXL_CELL_INT:
        return std::to_string(cell.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return GeneralNumber(cell.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
        return cell.value.text_value ? cell.value.text_value : "";
    case FREEXL_CELL_DATE:
        return cell.value.text_value ? dateOf(cell.value.text_value) : "";
    case FREEXL_CELL_DATETIME: {
        if (!cell.value.text_value) return {};
        const std::string_view text = cell.value.text_value;
        if (text.size() < 19) return std::string(text);
        return dateOf(text.substr(0, 10)) + " " + timeOf(text.substr(11, 8), true);
    }
    case FREEXL_CELL_TIME:
        return cell.value.text_value ? timeOf(cell.value.text_value, false) : "";
    default:
        return {};
    }
}

// The library is run in a child process: a damaged file can make it read
// beyond its buffers, and it must not take the table down with it. The
// child's answer comes back through a pipe.
// What the child answered.
struct ChildAnswer {
    bool started = true; // false when no child could be made
    std::optional<std::string> bytes; // none when it did not finish
};

// The bytes `work` gives in the child; none when the child did not finish (a
// crash, a hang, more than `limit` bytes).
ChildAnswer runIsolated(const std::function<std::string()>& work, std::uint64_t limit) {
    int fds[2];
    if (::pipe(fds) != 0) return {false, std::nullopt};
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return {false, std::nullopt};
    }
    if (child == 0) {
        ::close(fds[0]);
        const int quiet = ::open("/dev/null", O_WRONLY);
        if (quiet >= 0) ::dup2(quiet, 2);
        std::string answer;
        try {
            answer = work();
        } catch (...) {
            ::_exit(1);
        }
        for (std::size_t done = 0; done < answer.size();) {
            const ssize_t n = ::write(fds[1], answer.data() + done, answer.size() - done);
            if (n <= 0) ::_exit(1);
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string answer;
    bool complete = true;
    char buffer[1 << 16];
    for (;;) {
        pollfd waiting{fds[0], POLLIN, 0};
        const int ready = ::poll(&waiting, 1, kChildSeconds * 1000);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) {
            complete = false; // hung
            break;
        }
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        if (answer.size() + static_cast<std::size_t>(n) > limit) {
            complete = false;
            break;
        }
        answer.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    if (!complete) ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!complete || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return {true, std::nullopt};
    return {true, std::move(answer)};
}

// Answers from the child: a problem code, then texts each preceded by its length.
void putText(std::string& out, std::string_view text) {
    const std::uint64_t size = text.size();
    out.append(reinterpret_cast<const char*>(&size), sizeof size);
    out += text;
}

bool takeText(std::string_view& in, std::string& text) {
    std::uint64_t size = 0;
    if (in.size() < sizeof size) return false;
    std::memcpy(&size, in.data(), sizeof size);
    in.remove_prefix(sizeof size);
    if (size > in.size()) return false;
    text.assign(in.substr(0, size));
    in.remove_prefix(size);
    return true;
}

WorkbookProblem takeProblem(std::string_view& in) {
    if (in.empty() || static_cast<unsigned char>(in[0]) > static_cast<unsigned char>(WorkbookProblem::TooLargeForTable))
        return WorkbookProblem::NotWorkbook;
    const auto problem = static_cast<WorkbookProblem>(in[0]);
    in.remove_prefix(1);
    return problem;
}

// An open file of the library, in the child.
struct FreeXl {
    const void* handle = nullptr;
    ~FreeXl() {
        if (handle) freexl_close(handle);
    }
    WorkbookProblem open(const std::string& path) {
        const int opened = freexl_open(path.c_str(), &handle);
        if (opened == FREEXL_INSUFFICIENT_MEMORY) return WorkbookProblem::PartTooLarge;
        if (opened != FREEXL_OK) return WorkbookProblem::NotWorkbook;
        unsigned int info = 0;
        if (freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
            info == FREEXL_BIFF_OBFUSCATED)
            return WorkbookProblem::Encrypted;
        return WorkbookProblem::None;
    }
};

// In the child: the problem, then the count and names of the sheets.
std::string sheetNamesOf(const std::string& path) {
    FreeXl xl;
    WorkbookProblem problem = xl.open(path);
    std::vector<std::string> names;
    unsigned int sheets = 0;
    if (problem == WorkbookProblem::None &&
        freexl_get_info(xl.handle, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK)
        problem = WorkbookProblem::NotWorkbook;
    for (unsigned int i = 0; problem == WorkbookProblem::None && i < sheets && i < 65536; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(xl.handle, static_cast<unsigned short>(i), &name) != FREEXL_OK)
            problem = WorkbookProblem::NotWorkbook;
        else
            names.emplace_back(name ? name : "");
    }
    std::string out(1, static_cast<char>(problem));
    if (problem != WorkbookProblem::None) return out;
    putText(out, std::to_string(names.size()));
    for (const std::string& name : names) putText(out, name);
    return out;
}

// In the child: the problem, then the lines of the sheet.
std::string sheetLinesOf(const std::string& path, std::size_t index, std::uint64_t maxCells) {
    FreeXl xl;
    WorkbookProblem problem = xl.open(path);
    unsigned int rows = 0;
    unsigned short cols = 0;
    if (problem == WorkbookProblem::None &&
        (freexl_select_active_worksheet(xl.handle, static_cast<unsigned short>(index)) != FREEXL_OK ||
         freexl_worksheet_dimensions(xl.handle, &rows, &cols) != FREEXL_OK))
        problem = WorkbookProblem::NotWorkbook;
    SheetCells cells(maxCells);
    for (unsigned int r = 0; problem == WorkbookProblem::None && r < rows; ++r)
        for (unsigned short c = 0; problem == WorkbookProblem::None && c < cols; ++c) {
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(xl.handle, r, c, &cell) != FREEXL_OK) continue;
            const SheetCells::Added added = cells.add(r, c, textOf(cell));
            if (added == SheetCells::Added::TooMany) problem = WorkbookProblem::TooManyCells;
            if (added == SheetCells::Added::OutOfSheet) problem = WorkbookProblem::NotWorkbook;
        }
    std::string out(1, static_cast<char>(problem));
    if (problem == WorkbookProblem::None) putText(out, cells.lines());
    return out;
}

class XlsWorkbook final : public Workbook {
public:
    XlsWorkbook(std::string path, const WorkbookLimits& limits)
        : Workbook(limits), path_(std::move(path)) {}

    WorkbookProblem open();
    const std::vector<std::string>& sheetNames() const override { return names_; }
    SheetText readSheet(std::size_t index) override;

private:
    std::string path_;
    std::vector<std::string> names_;
};

WorkbookProblem XlsWorkbook::open() {
    const ChildAnswer answer = runIsolated([this] { return sheetNamesOf(path_); }, limits_.partBytes);
    if (!answer.started) return WorkbookProblem::ReaderMissing;
    if (!answer.bytes) return WorkbookProblem::NotWorkbook;
    std::string_view in = *answer.bytes;
    const WorkbookProblem problem = takeProblem(in);
    if (problem != WorkbookProblem::None) return problem;
    std::string count;
    if (!takeText(in, count)) return WorkbookProblem::NotWorkbook;
    for (unsigned long n = std::strtoul(count.c_str(), nullptr, 10); n > 0; --n) {
        std::string name;
        if (!takeText(in, name)) return WorkbookProblem::NotWorkbook;
        names_.push_back(std::move(name));
    }
    return WorkbookProblem::None;
}

SheetText XlsWorkbook::readSheet(std::size_t index) {
    if (index >= names_.size()) return {{}, WorkbookProblem::NotWorkbook};
    const std::uint64_t cells = limits_.cells;
    const ChildAnswer answer =
        runIsolated([this, index, cells] { return sheetLinesOf(path_, index, cells); },
                    limits_.partBytes);
    if (!answer.started) return {{}, WorkbookProblem::ReaderMissing};
    if (!answer.bytes) return {{}, WorkbookProblem::NotWorkbook};
    std::string_view in = *answer.bytes;
    SheetText sheet;
    sheet.problem = takeProblem(in);
    if (sheet.problem == WorkbookProblem::None && !takeText(in, sheet.lines))
        sheet.problem = WorkbookProblem::NotWorkbook;
    if (sheet.problem != WorkbookProblem::None) sheet.lines.clear();
    return sheet;
}

} // namespace

OpenedWorkbook OpenXls(const std::string& path, const WorkbookLimits& limits) {
    return OpenBook<XlsWorkbook>(path, limits);
}

} // namespace tabulix
