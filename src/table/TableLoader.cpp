#include "table/TableLoader.h"

#include "table/CsvParser.h"
#include "table/Table.h"
#include "table/TableLayout.h"

#include <string>
#include <vector>

namespace tabulix {

std::size_t FillTable(Table& table, std::string_view text, Separator sep,
                      const ResetMetrics& metrics, const LoadProgress& progress) {
    StringGrid::Batch batch(table.grid);
    const std::size_t total = CountRecords(text, sep);
    ResetTable(table, 0, static_cast<int>(total), metrics);
    std::size_t done = 0;
    std::vector<std::string_view> cells;
    ParseRecordViews(text, sep, [&](std::span<const std::string_view> fields) {
        if (done % 1000 == 0 && progress) progress(done + 1, total);
        const int row = static_cast<int>(done) + 1;
        GrowColumns(table, static_cast<int>(fields.size()) + kFixedColCount);
        // Row number and an empty fixed-column cell in front of the fields;
        // one write per row.
        const std::string number = RowNumberText(row);
        cells.assign({number, std::string_view{}});
        cells.insert(cells.end(), fields.begin(), fields.end());
        table.grid.setRow(row, cells);
        ++done;
    });
    ResetRecords(table);
    return done;
}

} // namespace tabulix
