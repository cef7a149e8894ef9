// The whole load of a file's bytes (encoding detection, decoding, parsing,
// filling the table), then saving the table in the encoding it was read in and
// loading the saved bytes again: the same cells must come back. The first
// byte chooses the separator (its value modulo the list's length), so that
// every separator is fuzzed and each run stays one load.
#include "FuzzSupport.h"

#include "csv/CsvWriter.h"
#include "csv/FileReading.h"
#include "csv/Separators.h"
#include "csv/TextEncoding.h"

#include <cstddef>
#include <cstdint>

using namespace tabulix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto separators = separatorTable();
    const SeparatorEntry& entry = separators[data[0] % separators.size()];
    // Read as a file is read: the encoding detected, a NUL ends the text.
    const TextFile file = TextOfFileBytes(
        std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    const TextEncoding encoding = file.encoding();
    Table loaded;
    const auto records = FillTable(loaded, file.text(), entry.separator, fuzz::kMetrics, {},
                                   LoadedRowLayout{}, fuzz::fuzzLimits());
    fuzz::check(records.has_value(), "load refused", entry.name);
    fuzz::check(loaded.grid.rowCount() == static_cast<int>(std::max<std::size_t>(*records, 1)) + 1,
                "rows per record", entry.name);
    const std::string table = EncodeTable(loaded.grid, kFixedColCount, entry.separator);
    // Encoded as a file, with its byte order mark.
    const std::optional<std::string> saved = EncodeText(table, encoding);
    // Text read in an encoding is written back in it; only the odd last byte
    // of a UTF-16 file cannot be (the save is refused with the cell named).
    if (!saved) {
        fuzz::check(IsUtf16(encoding), "cannot write back what was read", entry.name);
        return 0;
    }
    // Reading the saved file detects its encoding afresh, as the program does.
    // Shift_JIS bytes that happen to be valid UTF-8 as a whole cannot be told
    // apart by any detection (the user then chooses the encoding); anything
    // else, a byte order mark above all, must be detected as written.
    const TextFile again = TextOfFileBytes(*saved);
    const bool undecidable =
        encoding == TextEncoding::ShiftJis && again.encoding() == TextEncoding::Utf8;
    fuzz::check(again.encoding() == encoding || table.empty() || undecidable,
                "saved file reads as another encoding", entry.name);
    fuzz::check(!again.endedAtNul(), "saved a NUL", entry.name);
    const TextFile reread = undecidable ? TextOfFileBytes(*saved, encoding) : again;
    Table reloaded;
    FillTable(reloaded, reread.text(), entry.separator, fuzz::kMetrics, {}, LoadedRowLayout{},
              fuzz::fuzzLimits());
    fuzz::checkSameCells(loaded, reloaded, "save and reload");
    return 0;
}
