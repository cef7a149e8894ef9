#include "csv/CsvParser.h"
#include "csv/CsvWriter.h"
#include "table/StringGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace tabulix {
namespace {

using Row = std::vector<std::string>;

constexpr int kFixedCols = 2;

struct RandomTable {
    StringGrid grid;
    std::vector<Row> rows;
};

// Cells made of the characters that matter to the format: every separator of
// the list, quotes, line breaks, blanks, control characters and wide text.
RandomTable randomTable(std::mt19937& rng, bool lineBreaks) {
    static const std::vector<std::string> pieces = {
        "a",    "bc",  "東京", "ｶﾅ", "①", ",", "\"", "\"\"", " ",  "  ", "\t",  "|",
        "\x01", "x y", "@",    "\\", "!", "#", "$",  "%",    "&",  "=",  "-",   "+",
        "*",    ";",   ":",    "~",  "^", "?", "/",  "_",    "\r", "\n", "\r\n"};
    const std::size_t pieceCount = lineBreaks ? pieces.size() : pieces.size() - 3;
    const int rowCount = static_cast<int>(rng() % 30);
    const int colCount = 1 + static_cast<int>(rng() % 6);
    RandomTable table{StringGrid(colCount + kFixedCols, rowCount + 1), {}};
    table.grid.setFixedCols(kFixedCols);
    for (int r = 1; r <= rowCount; ++r) {
        table.grid.setCell(0, r, std::to_string(r));
        Row row;
        for (int c = 0; c < colCount; ++c) {
            std::string cell;
            const int length = static_cast<int>(rng() % 4);
            for (int i = 0; i < length; ++i)
                cell += pieces[rng() % pieceCount];
            table.grid.setCell(c + kFixedCols, r, cell);
            row.push_back(cell);
        }
        table.rows.push_back(row);
    }
    return table;
}

std::vector<Row> parseAll(std::string_view text, Separator sep) {
    std::vector<Row> out;
    ParseRecords(text, sep, [&](std::span<const std::string> fields) {
        out.emplace_back(fields.begin(), fields.end());
    });
    return out;
}

bool allEmpty(const Row& row) {
    return std::all_of(row.begin(), row.end(), [](const std::string& s) { return s.empty(); });
}

// Writing and reading gives every cell back, for every separator of the list.
// A row of empty cells may come back as a record without fields (its line is
// blank), which fills the same empty row.
TEST(CsvRoundTrip, EveryCellComesBackWithEverySeparator) {
    std::mt19937 rng(4180);
    for (const SeparatorEntry& entry : separatorTable()) {
        if (entry.separator.isNone()) continue;
        for (int round = 0; round < 150; ++round) {
            const RandomTable table = randomTable(rng, true);
            const std::string text = EncodeTable(table.grid, kFixedCols, entry.separator);
            const std::vector<Row> records = parseAll(text, entry.separator);
            ASSERT_EQ(records.size(), table.rows.size()) << entry.name << "\n" << text;
            EXPECT_EQ(CountRecords(text, entry.separator), records.size());
            for (std::size_t r = 0; r < records.size(); ++r) {
                if (records[r].empty() && allEmpty(table.rows[r])) continue;
                ASSERT_EQ(records[r], table.rows[r]) << entry.name << " row " << r << "\n"
                                                     << testing::PrintToString(text);
            }
        }
    }
}

// Without a separator the cells of a row are joined, so only the joined line
// comes back (and only while no cell holds a line break).
TEST(CsvRoundTrip, NoSeparatorGivesBackTheJoinedRows) {
    std::mt19937 rng(255);
    for (int round = 0; round < 300; ++round) {
        const RandomTable table = randomTable(rng, false);
        const std::string text = EncodeTable(table.grid, kFixedCols, Separator::none());
        const std::vector<Row> records = parseAll(text, Separator::none());
        ASSERT_EQ(records.size(), table.rows.size());
        for (std::size_t r = 0; r < records.size(); ++r) {
            std::string joined;
            for (const std::string& cell : table.rows[r])
                joined += cell;
            EXPECT_EQ(records[r], Row{joined});
        }
    }
}

} // namespace
} // namespace tabulix
