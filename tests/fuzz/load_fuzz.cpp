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
#include <string>
#include <unistd.h>

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
    // Saved as the program saves. The save may refuse, naming the cell, only
    // where no writing reads back as the same cells: a kept byte that would
    // join its neighbour whatever the quoting, or the odd last byte of a
    // UTF-16 file. Refusing is truthful; writing other cells is the fault.
    static const std::string path = "/dev/shm/tabulix-load-fuzz-" + std::to_string(::getpid());
    const WriteTableResult result = WriteTable(loaded.grid, path, entry.separator, encoding);
    if (result == WriteTableResult::Unencodable) return 0;
    fuzz::check(result == WriteTableResult::Ok, "save failed", entry.name);
    const std::optional<std::string> saved = ReadFileBytes(path);
    fuzz::check(saved.has_value(), "saved file unreadable", entry.name);
    // Reading the saved file detects its encoding afresh, as the program does.
    // Shift_JIS bytes that happen to be valid UTF-8 as a whole cannot be told
    // apart by any detection (the user then chooses the encoding); anything
    // else, a byte order mark above all, must be detected as written.
    const TextFile again = TextOfFileBytes(*saved);
    const bool undecidable =
        encoding == TextEncoding::ShiftJis && again.encoding() == TextEncoding::Utf8;
    fuzz::check(again.encoding() == encoding || saved->size() <= ByteOrderMark(encoding).size() || undecidable,
                "saved file reads as another encoding", entry.name);
    fuzz::check(!again.endedAtNul(), "saved a NUL", entry.name);
    const TextFile reread = undecidable ? TextOfFileBytes(*saved, encoding) : again;
    Table reloaded;
    FillTable(reloaded, reread.text(), entry.separator, fuzz::kMetrics, {}, LoadedRowLayout{},
              fuzz::fuzzLimits());
    fuzz::checkSameCells(loaded, reloaded, "save and reload");
    return 0;
}
