#include "print/PrintData.h"

#include "draw/DisplayText.h"
#include "table/UserDialogs.h"
#include "text/TextHelpers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace tabulix {

namespace {

int trunc(double v) {
    return static_cast<int>(v);
}

int headerTitleCount(const PrintJob& job) {
    return static_cast<int>(std::count_if(job.titleLines.begin(), job.titleLines.end(),
                                          [](const std::string& t) { return !t.empty(); }));
}

} // namespace

PrintData::PrintData(const PrintJob& job, FontMeasure measure, UserDialogs& dialogs)
    : job_(job), settings_(job.printSettings), measure_(std::move(measure)), dialogs_(dialogs) {
    if (!job_.tableMode) settings_.cellScale = 100;
    if (settings_.cellScale <= 0) settings_.cellScale = 100;
}

PrintData::~PrintData() = default;

void PrintData::setProgress(std::function<void(std::string_view)> progress) {
    progress_ = std::move(progress);
}

void PrintData::report(std::string_view text) const {
    if (progress_) progress_(text);
}

double PrintData::dpiRatio() const {
    return static_cast<double>(paper_.dpi) / std::max(1, screenDpi_);
}

int PrintData::printFontHeight() const {
    const int scale = onePageMode() || !job_.tableMode ? 100 : settings_.cellScale;
    return std::max(1, trunc(static_cast<double>(job_.sourceFontHeight) * scale / 100));
}

// A job without a grid prints one empty cell rather than failing.
const StringGrid& PrintData::source() const {
    static const StringGrid empty(1, 1);
    return job_.sourceGrid ? *job_.sourceGrid : empty;
}

void PrintData::build() {
    const StringGrid& source = this->source();
    grid_ = source;
    sourceChar_ = measure_(job_.sourceFontHeight);
    const int rows = grid_.rowCount();
    const int cols = grid_.colCount();
    rowInfo_.assign(static_cast<std::size_t>(rows), RowInfo{});
    for (int r = 0; r < rows; ++r)
        rowInfo_[static_cast<std::size_t>(r)].height = source.rowHeight(r);
    sourceWidths_.assign(static_cast<std::size_t>(cols), 0);
    for (int c = 0; c < cols; ++c) {
        const int w = source.colWidth(c);
        sourceWidths_[static_cast<std::size_t>(c)] = w > 0 ? w + sourceChar_.width : 0;
    }
    numberRowHeight_ = rows > 0 ? rowInfo_[0].height : 0;
    numberColWidth_ = cols > 0 ? sourceWidths_[0] : 0;
    cells_.clear();
    placedRows_ = 0;
    prepared_ = 0;
    computeMetrics();
    if (!job_.tableMode) {
        const int width = trunc(0.96 * metrics_.printableWidth);
        std::fill(sourceWidths_.begin(), sourceWidths_.end(), width);
    }
    wasPartial_ = job_.tableMode && job_.initialRows > 0 && job_.initialRows + 1 < rows;
    built_ = true;
}

// Rows get their wrapped heights and break flags when a layout first
// reaches them, so that opening the preview on a large table costs only the
// rows of the partial layout.
void PrintData::prepareRows(int rows) {
    rows = std::min(rows, grid_.rowCount());
    std::string scratch;
    for (int r = prepared_; r < rows; ++r) {
        if (r % 5000 == 4999)
            report("[ Line  " + std::to_string(r / 100 * 100) + " / " +
                   std::to_string(grid_.rowCount() - 1) + " ]");
        wrapRow(r, scratch);
        if (settings_.breakColor) breakRow(r);
    }
    prepared_ = std::max(prepared_, rows);
}

// A row holds the most lines any of its cells needs in its column width,
// capped by MaxCellLines. Text documents wrap at 96 % of the printable width.
void PrintData::wrapRow(int r, std::string& scratch) {
    const StringGrid& source = this->source();
    const int w = std::max(1, sourceChar_.width);
    int lines = 1;
    for (int c = 0; c < grid_.colCount(); ++c) {
        const int colWidth =
            job_.tableMode ? source.colWidth(c) : sourceWidths_[static_cast<std::size_t>(c)];
        const std::string_view raw = grid_.cell(c, r);
        if (colWidth <= 0 || static_cast<std::int64_t>(raw.size()) * w <= colWidth) continue;
        const std::int64_t textWidth =
            static_cast<std::int64_t>(cellDisplayUnits(printView(raw, scratch))) * w;
        if (colWidth < textWidth)
            lines = std::max(lines, 1 + static_cast<int>(textWidth / colWidth));
    }
    if (job_.maxCellLines > 0) lines = std::min(lines, job_.maxCellLines);
    rowInfo_[static_cast<std::size_t>(r)].height =
        job_.tableMode ? (lines - 1) * sourceChar_.height + source.defaultRowHeight()
                       : trunc(lines * sourceChar_.height * 1.3);
}

std::string_view PrintData::printView(std::string_view raw, std::string& scratch) const {
    if (!job_.tableMode) return raw;
    DisplayOptions options;
    options.trimSpace = settings_.trimSpace;
    options.dateEdit = settings_.dateEdit;
    return DisplayTextView(raw, options, scratch);
}

std::string PrintData::printText(int col, int row) const {
    std::string scratch;
    return FlattenLineBreaks(printView(grid_.cell(col, row), scratch));
}

// Row 0 holds the column numbers and column 0 the row numbers of the main
// grid; each prints at its numbering size or not at all.
void PrintData::applyNumbering() {
    if (!job_.mainWindowMode || rowInfo_.empty() || sourceWidths_.empty()) return;
    rowInfo_[0].height = settings_.printColNo ? numberRowHeight_ : 0;
    sourceWidths_[0] = settings_.printRowNo ? numberColWidth_ : 0;
}

// Heights and widths shrink or grow with the font: scaled size =
// size / (source height / print height). The one-page mode keeps the sizes
// and fits the total width into the page by FitFactor instead.
void PrintData::applyScale() {
    const double ratio =
        onePageMode() ? 1.0 : static_cast<double>(job_.sourceFontHeight) / printFontHeight();
    heights_.resize(rowInfo_.size());
    widths_.resize(sourceWidths_.size());
    std::int64_t totalWidth = 0;
    for (std::size_t r = 0; r < static_cast<std::size_t>(prepared_); ++r)
        heights_[r] = trunc(rowInfo_[r].height / ratio);
    for (std::size_t c = 0; c < sourceWidths_.size(); ++c) {
        widths_[c] = trunc(sourceWidths_[c] / ratio);
        totalWidth += widths_[c];
    }
    if (previewMode_) {
        const int w = metrics_.printableWidth;
        fitFactor_ = onePageMode() && totalWidth > w && totalWidth > 0
                         ? static_cast<double>(w) / static_cast<double>(totalWidth)
                         : 1.0;
    }
}

int PrintData::mmToPixels(int mm) const {
    const int ppi = previewMode_ ? screenDpi_ : paper_.dpi;
    return trunc(ppi * mm / 25.4);
}

void PrintData::computeMetrics() {
    const double ratio = dpiRatio();
    const auto toDrawing = [&](int v) { return previewMode_ ? v : trunc(v * ratio); };
    const CharBox a = measure_(printFontHeight());
    metrics_.charWidth = a.width;
    metrics_.lineHeight = a.height;
    metrics_.bandGap = toDrawing(2 * a.height);
    // The date line takes one and a half panels of 16 pixels, each non-empty
    // title line one panel.
    metrics_.headerHeight = trunc(1.5 * 16) + 16 * headerTitleCount(job_);
    const int pageWidth = previewMode_ ? trunc(paper_.width / ratio) : paper_.width;
    const int pageHeight = previewMode_ ? trunc(paper_.height / ratio) : paper_.height;
    metrics_.leftMargin = mmToPixels(settings_.cmbMgnLeft * 5);
    metrics_.topMargin = mmToPixels(settings_.cmbMgnUp * 5) + toDrawing(metrics_.headerHeight);
    metrics_.rightMargin = mmToPixels(5);
    metrics_.bottomMargin = mmToPixels(5);
    metrics_.printableWidth = pageWidth - metrics_.leftMargin - metrics_.rightMargin;
    metrics_.printableHeight = pageHeight - metrics_.topMargin - metrics_.bottomMargin;
    metrics_.sheetWidth = metrics_.printableWidth + metrics_.leftMargin + metrics_.rightMargin;
    metrics_.sheetHeight = metrics_.printableHeight + metrics_.topMargin + metrics_.bottomMargin;
}

// Per data column up to 128 the shade flips at each non-empty value that
// differs from the row above and is off for empty cells; row 0 is never
// shaded.
void PrintData::breakRow(int r) {
    std::array<std::uint8_t, 17>& bits = rowInfo_[static_cast<std::size_t>(r)].breakBits;
    const int lastCol = std::min(grid_.colCount() - 1, kLastShadedCol);
    for (int c = grid_.fixedCols(); c <= lastCol; ++c) {
        bool t = false;
        if (r > 0) {
            t = TestBit(rowInfo_[static_cast<std::size_t>(r - 1)].breakBits, c);
            const std::string_view text = grid_.cell(c, r);
            if (TrimBlanks(text).empty())
                t = false;
            else if (text != grid_.cell(c, r - 1))
                t = !t;
        }
        SetBit(bits, c, t);
    }
}

void PrintData::computeBreakFlags() {
    if (!settings_.breakColor) return;
    for (int r = 0; r < prepared_; ++r)
        breakRow(r);
}

bool PrintData::breakBit(int col, int row) const {
    return col <= kLastShadedCol && TestBit(rowInfo(row).breakBits, col);
}

const CellLayout& PrintData::cell(int col, int row) const {
    static const CellLayout notPlaced;
    const std::size_t index =
        static_cast<std::size_t>(row) * static_cast<std::size_t>(grid_.colCount()) +
        static_cast<std::size_t>(col);
    if (index >= cells_.size()) return notPlaced;
    return cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(grid_.colCount()) +
                  static_cast<std::size_t>(col)];
}

CellLayout& PrintData::at(int col, int row) {
    return cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(grid_.colCount()) +
                  static_cast<std::size_t>(col)];
}

LayoutResult PrintData::rebuild(bool byControl) {
    if (!built_) build();
    if (byControl) firstCreation_ = true;
    computeMetrics();
    prepareRows(rowsToLayOut());
    applyNumbering();
    applyScale();
    return layout(0);
}

int PrintData::rowsToLayOut() const {
    const int rows = grid_.rowCount();
    if (job_.tableMode && !createAll_ && job_.initialRows > 0 && firstCreation_)
        return std::min(rows, job_.initialRows + 1);
    return rows;
}

bool PrintData::createAll() {
    const std::string text =
        std::string(kCreateAllQuestionHead) + std::to_string(grid_.rowCount() - 1) +
        "    列数: " + std::to_string(grid_.colCount() - 2) + "\r\n\r\nよろしいですか？";
    if (!dialogs_.question(text)) return false;
    createAll_ = true;
    running_ = true;
    const LayoutResult result = rebuild(false);
    createAll_ = false;
    running_ = false;
    if (result == LayoutResult::Stopped) return false;
    firstCreation_ = false;
    return true;
}

bool PrintData::askStop() {
    if (dialogs_.question(kStopQuestion)) return true;
    running_ = true;
    return false;
}

bool PrintData::confirmSizeChange() {
    if (!complete() || !wasPartial_) return true;
    return dialogs_.question(kSizeChangeQuestion);
}

bool PrintData::refuseForLargeCell() {
    if (!largeCellError_) return false;
    dialogs_.error(kLargeCellMessage);
    return true;
}

std::string PrintData::createStatus() const {
    return complete() ? "作成済" : "作成要→";
}

std::string PrintData::linesStatus() const {
    const std::string rows = std::to_string(grid_.rowCount() - 1);
    if (!job_.tableMode) return "[ Lines  " + rows + " ]";
    return "[ Lines  " + std::to_string(std::max(0, rowsCreated_)) + " / " + rows + " ]";
}

} // namespace tabulix
