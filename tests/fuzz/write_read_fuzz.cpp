// Arbitrary rows written with each separator but "no separator" read back
// as the same fields.
#include "FuzzSupport.h"

#include "csv/CsvParser.h"
#include "csv/CsvWriter.h"
#include "csv/Separators.h"

#include <cstddef>
#include <cstdint>
#include <vector>

using namespace tabulix;

namespace {

// Rows and fields of the input: byte 0x1E ends a row, 0x1F a field. A cell
// never holds NUL (it ends every text read), so NUL becomes "0".
std::vector<std::vector<std::string>> rowsOf(std::string_view bytes) {
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    for (const char c : bytes) {
        if (c == '\x1E') {
            rows.emplace_back(1);
        } else if (c == '\x1F') {
            rows.back().emplace_back();
        } else {
            rows.back().back() += c == '\0' ? '0' : c;
        }
    }
    return rows;
}

// The grid does not tell a row from the same row with empty cells behind it.
void dropTrailingEmpty(std::vector<std::string>& fields) {
    while (!fields.empty() && fields.back().empty())
        fields.pop_back();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto rows = rowsOf(std::string_view(reinterpret_cast<const char*>(data), size));
    for (auto& row : rows)
        dropTrailingEmpty(row);
    for (const SeparatorEntry& entry : separatorTable()) {
        if (entry.separator.isNone()) continue;
        std::string text;
        for (const auto& row : rows) {
            std::vector<std::string_view> views(row.begin(), row.end());
            text += EncodeCsvRow(views, entry.separator);
            text += "\r\n";
        }
        std::vector<std::vector<std::string>> back;
        ParseRecords(text, entry.separator, [&](std::span<const std::string> fields) {
            back.emplace_back(fields.begin(), fields.end());
            dropTrailingEmpty(back.back());
        });
        fuzz::check(back.size() == rows.size(), "record count", entry.name);
        for (std::size_t i = 0; i < rows.size(); ++i)
            fuzz::check(back[i] == rows[i], "fields", entry.name);
    }
    return 0;
}
