// The .xls (BIFF) reader, through libfreexl. It gives dates and times as
// ISO texts and plain numbers without their format: numbers are shown in
// the General form, dates and times as the Japanese default formats show them.
#include "workbook/NumberFormat.h"
#include "workbook/Readers.h"
#include "workbook/SheetCells.h"

#include <freexl.h>

#include <cstdlib>
#include <cstring>

namespace tabulix {

namespace {

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

class XlsWorkbook final : public Workbook {
public:
    explicit XlsWorkbook(const WorkbookLimits& limits) : Workbook(limits) {}
    ~XlsWorkbook() override {
        if (handle_) freexl_close(handle_);
    }

    WorkbookProblem open(const std::string& path);
    const std::vector<std::string>& sheetNames() const override { return names_; }
    SheetText readSheet(std::size_t index) override;

private:
    const void* handle_ = nullptr;
    std::vector<std::string> names_;
};

WorkbookProblem XlsWorkbook::open(const std::string& path) {
    const int opened = freexl_open(path.c_str(), &handle_);
    if (opened == FREEXL_INSUFFICIENT_MEMORY) return WorkbookProblem::PartTooLarge;
    if (opened != FREEXL_OK) return WorkbookProblem::NotWorkbook;
    unsigned int info = 0;
    if (freexl_get_info(handle_, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
        info == FREEXL_BIFF_OBFUSCATED)
        return WorkbookProblem::Encrypted;
    unsigned int sheets = 0;
    if (freexl_get_info(handle_, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK)
        return WorkbookProblem::NotWorkbook;
    for (unsigned int i = 0; i < sheets && i < 65536; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(handle_, static_cast<unsigned short>(i), &name) != FREEXL_OK)
            return WorkbookProblem::NotWorkbook;
        names_.emplace_back(name ? name : "");
    }
    return WorkbookProblem::None;
}

SheetText XlsWorkbook::readSheet(std::size_t index) {
    unsigned int rows = 0;
    unsigned short cols = 0;
    if (index >= names_.size() ||
        freexl_select_active_worksheet(handle_, static_cast<unsigned short>(index)) != FREEXL_OK ||
        freexl_worksheet_dimensions(handle_, &rows, &cols) != FREEXL_OK)
        return {{}, WorkbookProblem::NotWorkbook};
    SheetCells cells(limits_.cells);
    for (unsigned int r = 0; r < rows; ++r)
        for (unsigned short c = 0; c < cols; ++c) {
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(handle_, r, c, &cell) != FREEXL_OK) continue;
            switch (cells.add(r, c, textOf(cell))) {
            case SheetCells::Added::Ok:
                break;
            case SheetCells::Added::TooMany:
                return {{}, WorkbookProblem::TooManyCells};
            case SheetCells::Added::OutOfSheet:
                return {{}, WorkbookProblem::NotWorkbook};
            }
        }
    return {cells.lines(), WorkbookProblem::None};
}

} // namespace

OpenedWorkbook OpenXls(const std::string& path, const WorkbookLimits& limits) {
    auto book = std::make_unique<XlsWorkbook>(limits);
    if (const WorkbookProblem problem = book->open(path); problem != WorkbookProblem::None)
        return Refused(problem);
    return OpenedWorkbook{std::move(book), WorkbookProblem::None};
}

} // namespace tabulix
