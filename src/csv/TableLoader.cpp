#include "csv/TableLoader.h"

#include "csv/CsvParser.h"
#include "table/FixedColumn.h"
#include "table/Table.h"
#include "table/TableLayout.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tabulix {

namespace {

// The row number texts of consecutive rows, as RowNumberText writes them
// (empty up to 0), counted up in place rather than formatted afresh for each
// of millions of rows.
class RowNumberCounter {
public:
    explicit RowNumberCounter(long long first) : n_(first), text_(RowNumberText(first)) {}

    std::string_view text() const { return text_; }

    void advance() {
        ++n_;
        if (n_ <= 1) {
            text_ = RowNumberText(n_);
            return;
        }
        for (auto digit = text_.rbegin(); digit != text_.rend(); ++digit) {
            if (*digit == ',') continue;
            if (*digit != '9') {
                ++*digit;
                return;
            }
            *digit = '0';
        }
        text_ = RowNumberText(n_); // one digit more: the separators move
    }

private:
    long long n_;
    std::string text_;
};

} // namespace

std::size_t FillTable(Table& table, std::string_view text, Separator sep,
                      const ResetMetrics& metrics, const LoadProgress& progress) {
    return FillTable(table, text, sep, metrics, progress, LoadedRowLayout{});
}

std::size_t FillTable(Table& table, std::string_view text, Separator sep,
                      const ResetMetrics& metrics, const LoadProgress& progress,
                      const LoadedRowLayout& layout) {
    StringGrid::Batch batch(table.grid);
    const std::size_t total = CountRecords(text, sep);
    ResetTable(table, 0, static_cast<int>(total), metrics);
    // The texts, and per record its row number and the block's header; the
    // separators the texts lose roughly pay for the cells' offsets.
    const StringGrid::BulkFill fill(table.grid, text.size() + total * 16);
    std::size_t done = 0;
    std::vector<std::string_view> cells;
    const RowNumbering& numbering = layout.numbering;
    const long long headerRows =
        numbering.fromFixedRows
            ? 0
            : std::min<long long>(std::max(numbering.headerRows, 0), static_cast<long long>(total));
    RowNumberCounter number(1 - headerRows);
    std::string fixedText;
    ParseRecordViews(text, sep, [&](std::span<const std::string_view> fields) {
        if (done % 1000 == 0 && progress) progress(done + 1, total);
        const int row = static_cast<int>(done) + 1;
        GrowColumns(table, static_cast<int>(fields.size()) + kFixedColCount);
        // Row number and the fixed-column cell in front of the fields; one
        // write per row, into the grid's fill chunks.
        std::string_view fixed;
        if (layout.fixedColumn > 0) {
            const auto copied = static_cast<std::size_t>(layout.fixedColumn - 1);
            FixedColumnText(copied < fields.size() ? fields[copied] : std::string_view{},
                            fixedText);
            fixed = fixedText;
        }
        cells.assign({number.text(), fixed});
        cells.insert(cells.end(), fields.begin(), fields.end());
        table.grid.fillRow(row, cells);
        number.advance();
        ++done;
    });
    ResetRecords(table);
    return done;
}

} // namespace tabulix
