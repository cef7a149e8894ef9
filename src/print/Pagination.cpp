#include "print/PrintData.h"

#include <algorithm>
#include <string>

namespace tabulix {

namespace {

constexpr int kNoLimit = 999999999;
constexpr int kRowsPerReport = 5000;
constexpr int kPagesPerReport = 10;

struct Rect {
    int left, top, right, bottom;
};

Rect rectOf(const CellLayout& c) {
    return {c.left, c.top, c.right, c.bottom};
}

} // namespace

// Layout(0): row blocks, each cut into column bands that are stacked on a
// page while the next one fits under the last and otherwise start a page.
// The first band of page 1 sets the limits beyond which cells leave room
// for the fixed rows and columns that are repeated on every page and band.
class PrintData::Pagination {
public:
    explicit Pagination(PrintData& d)
        : d_(d), w_(d.metrics_.printableWidth), ht_(d.metrics_.printableHeight),
          gap_(d.metrics_.bandGap), n_(d.rowsToLayOut()), cols_(d.grid_.colCount()) {}

    LayoutResult run() {
        measureFixed();
        narrowColumns();
        while (l_ < n_ - 1) {
            const int v = l_ + 1;
            k_ = -1;
            while (k_ < cols_ - 1) {
                const int s = k_ + 1;
                int top = 0;
                if (!startBand(s, v, top)) return LayoutResult::LargeCellError;
                placed_ = false;
                if (layBand(s, v, top) == BandEnd::Stopped) return LayoutResult::Stopped;
                // A band that took nothing goes to a fresh page next time; a
                // second empty start there is the large-cell error.
                forceNewPage_ = !placed_;
                if (placed_ && p_ == 1 && g_ == 1 && limRow_ == kNoLimit) setFirstBandLimits();
            }
        }
        return LayoutResult::Done;
    }

private:
    enum class BandEnd { Rows, Full, Stopped };

    void measureFixed() {
        for (int c = 0; c < d_.grid_.fixedCols() && c < cols_; ++c)
            fixedW_ += d_.colWidth(c);
        for (int r = 0; r < d_.grid_.fixedRows() && r < n_; ++r)
            fixedH_ += d_.rowHeight(r);
    }

    void narrowColumns() {
        for (int c = d_.grid_.fixedCols(); c < cols_; ++c) {
            int& width = d_.widths_[static_cast<std::size_t>(c)];
            if (fixedW_ + width > w_) width = std::max(0, w_ - fixedW_);
        }
    }

    bool fitsVertically(const Rect& r) const {
        return d_.onePageMode() ? static_cast<int>(r.bottom * d_.fitFactor_) <= ht_
                                : r.bottom <= ht_;
    }
    bool fits(const Rect& r) const {
        return fitsVertically(r) && (d_.onePageMode() || r.right <= w_);
    }

    // Decides where band (s, v) goes: under the previous band when one more
    // first-band height fits there, else at the top of a new page.
    bool startBand(int s, int v, int& top) {
        bool newPage = p_ == 0 || k_ < 0 || forceNewPage_ || g_ >= kMaxBands;
        Rect last{};
        if (!newPage) {
            last = rectOf(d_.at(k_, l_));
            const Rect candidate{last.left, last.bottom + gap_, last.right,
                                 last.bottom + gap_ + bh_};
            newPage = !fits(candidate);
        }
        if (newPage) {
            CellLayout& first = d_.at(s, v);
            if (++first.visits >= 2) return false;
            ++p_;
            g_ = 0;
            top = 0;
        } else {
            top = last.bottom + gap_;
        }
        ++g_;
        return true;
    }

    BandEnd layBand(int s, int v, int top) {
        int y = top;
        for (int r = v; r < n_; ++r) {
            if (++visited_ % kRowsPerReport == 0) reportRows();
            if (d_.createAll_ && !d_.running_ && d_.askStop()) return BandEnd::Stopped;
            const int h = d_.rowHeight(r);
            int x = 0;
            for (int j = s; j < cols_; ++j) {
                const int width = d_.colWidth(j);
                Rect rc{x, y, x + width, y + h};
                if (j > limCol_) {
                    rc.left += fixedW_;
                    rc.right += fixedW_;
                }
                if (r > limRow_) {
                    rc.top += fixedH_;
                    rc.bottom += fixedH_;
                }
                if (!fits(rc)) {
                    if (!fitsVertically(rc)) return BandEnd::Full;
                    break;
                }
                place(j, r, rc);
                x += width;
            }
            y += h;
        }
        return BandEnd::Rows;
    }

    void place(int col, int row, const Rect& rc) {
        CellLayout& c = d_.at(col, row);
        c.page = p_;
        c.band = static_cast<std::int16_t>(g_);
        c.left = rc.left;
        c.top = rc.top;
        c.right = rc.right;
        c.bottom = rc.bottom;
        l_ = row;
        k_ = col;
        d_.rowsCreated_ = row;
        placed_ = true;
    }

    void setFirstBandLimits() {
        limRow_ = l_;
        limCol_ = k_;
        bh_ = d_.at(k_, l_).bottom - d_.at(0, 0).top;
    }

    void reportRows() const {
        d_.report("[ Line  " + std::to_string(l_ / 100 * 100) + " / " + std::to_string(n_ - 1) +
                  " ]");
    }

    PrintData& d_;
    const int w_, ht_, gap_, n_, cols_;
    int fixedW_ = 0, fixedH_ = 0;
    int p_ = 0, g_ = 0, l_ = -1, k_ = -1;
    int limRow_ = kNoLimit, limCol_ = kNoLimit, bh_ = 0;
    bool forceNewPage_ = false;
    bool placed_ = false;
    int visited_ = 0;
};

LayoutResult PrintData::layout(int mode) {
    if (mode != 0) {
        restoreBackup();
        if (mode == 1) scaleForPrinter();
        return LayoutResult::Done;
    }
    largeCellError_ = false;
    clearPlacedRows();
    rowsCreated_ = -1;
    placedRows_ = rowsToLayOut();
    const std::size_t needed =
        static_cast<std::size_t>(placedRows_) * static_cast<std::size_t>(grid_.colCount());
    if (cells_.size() < needed) cells_.resize(needed);
    const LayoutResult result = Pagination(*this).run();
    if (result == LayoutResult::Stopped) {
        restoreBackup();
        return result;
    }
    largeCellError_ = result == LayoutResult::LargeCellError;
    buildPageTable();
    if (result == LayoutResult::Done) takeBackup();
    return result;
}

void PrintData::clearPlacedRows() {
    const auto end = static_cast<std::ptrdiff_t>(placedRows_) * grid_.colCount();
    std::fill(cells_.begin(), cells_.begin() + end, CellLayout{});
    placedRows_ = 0;
}

// One pass over the placed cells in row-major order: the first and last cell
// of every page and of every band within it; then the bands are counted up
// to the first band number without a cell. A stop confirmed between pages
// keeps the pages finished so far.
bool PrintData::buildPageTable() {
    pages_.clear();
    extentRight_ = extentBottom_ = 0;
    const int cols = grid_.colCount();
    for (int r = 0; r < placedRows_; ++r) {
        for (int c = 0; c < cols; ++c) {
            const CellLayout& cell = at(c, r);
            if (cell.page < 1) continue;
            if (static_cast<std::size_t>(cell.page) > pages_.size())
                pages_.resize(static_cast<std::size_t>(cell.page));
            PageEntry& page = pages_[static_cast<std::size_t>(cell.page - 1)];
            if (page.firstRow < 0) page.firstCol = c, page.firstRow = r;
            page.lastCol = c, page.lastRow = r;
            if (cell.band >= 1 && cell.band <= kMaxBands) {
                BandEntry& band = page.bands[static_cast<std::size_t>(cell.band - 1)];
                if (band.firstRow < 0) band.firstCol = c, band.firstRow = r;
                band.lastCol = c, band.lastRow = r;
            }
            extentRight_ = std::max(extentRight_, static_cast<int>(cell.right));
            extentBottom_ = std::max(extentBottom_, static_cast<int>(cell.bottom));
        }
    }
    const int count = static_cast<int>(pages_.size());
    for (int p = 1; p <= count; ++p) {
        if (p % kPagesPerReport == 0)
            report("[ PAGE  " + std::to_string(p) + " / " + std::to_string(count) + " ]");
        if (createAll_ && !running_ && askStop()) {
            pages_.resize(static_cast<std::size_t>(p - 1));
            return false;
        }
        PageEntry& page = pages_[static_cast<std::size_t>(p - 1)];
        while (page.bandCount < kMaxBands &&
               page.bands[static_cast<std::size_t>(page.bandCount)].firstRow >= 0)
            ++page.bandCount;
    }
    while (!pages_.empty() && pages_.back().firstRow < 0)
        pages_.pop_back();
    return true;
}

void PrintData::takeBackup() {
    Backup& b = backup_;
    b.valid = true;
    const auto end = static_cast<std::ptrdiff_t>(rowsCreated_ + 1) * grid_.colCount();
    b.cells.assign(cells_.begin(), cells_.begin() + end);
    b.pages = pages_;
    b.rowsCreated = rowsCreated_;
    b.extentRight = extentRight_;
    b.extentBottom = extentBottom_;
}

void PrintData::restoreBackup() {
    clearPlacedRows();
    if (!backup_.valid) {
        pages_.clear();
        rowsCreated_ = -1;
        extentRight_ = extentBottom_ = 0;
        return;
    }
    const Backup& b = backup_;
    std::copy(b.cells.begin(), b.cells.end(), cells_.begin());
    placedRows_ = b.rowsCreated + 1;
    pages_ = b.pages;
    rowsCreated_ = b.rowsCreated;
    extentRight_ = b.extentRight;
    extentBottom_ = b.extentBottom;
}

// Printed pages show the preview layout at 95 % of its proportional size.
void PrintData::scaleForPrinter() {
    const double ratio = dpiRatio();
    const auto scale = [ratio](int v) {
        return static_cast<int>(static_cast<int>(v * ratio) * 0.95);
    };
    const auto end = cells_.begin() + static_cast<std::ptrdiff_t>(placedRows_) * grid_.colCount();
    for (auto it = cells_.begin(); it != end; ++it) {
        if (it->page < 1) continue;
        it->left = scale(it->left);
        it->top = scale(it->top);
        it->right = scale(it->right);
        it->bottom = scale(it->bottom);
    }
    extentRight_ = scale(extentRight_);
    extentBottom_ = scale(extentBottom_);
}

} // namespace tabulix
