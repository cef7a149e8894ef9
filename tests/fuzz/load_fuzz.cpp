// The whole load of a file's bytes (encoding detection, decoding, parsing,
// filling the table), then saving the table in the encoding it was read in and
// loading the saved bytes again: the same cells must come back. The first
// byte chooses the separator (its value modulo the list's length), so that
// every separator is fuzzed and each run stays one load.
#include "FuzzSupport.h"

#include "csv/CsvWriter.h"
#include "csv/Separators.h"
#include "csv/TextEncoding.h"

#include <cstddef>
#include <cstdint>

using namespace tabulix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto separators = separatorTable();
    const SeparatorEntry& entry = separators[data[0] % separators.size()];
    std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    // As a file is read: a NUL ends the text.
    bytes = bytes.substr(0, bytes.find('\0'));
    const TextEncoding encoding = DetectEncoding(bytes);
    const std::string text = DecodeText(std::string(bytes), encoding);
    Table loaded;
    const auto records = FillTable(loaded, text, entry.separator, fuzz::kMetrics, {},
                                   LoadedRowLayout{}, fuzz::fuzzLimits());
    fuzz::check(records.has_value(), "load refused", entry.name);
    fuzz::check(loaded.grid.rowCount() == static_cast<int>(std::max<std::size_t>(*records, 1)) + 1,
                "rows per record", entry.name);
    const std::optional<std::string> saved =
        EncodeText(EncodeTable(loaded.grid, kFixedColCount, entry.separator), encoding);
    // A table whose text the encoding cannot hold is not saved in it; the
    // program then asks to save it as UTF-8.
    const TextEncoding savedIn = saved ? encoding : TextEncoding::Utf8;
    const std::optional<std::string> bytesOut =
        saved ? saved
              : EncodeText(EncodeTable(loaded.grid, kFixedColCount, entry.separator),
                           TextEncoding::Utf8);
    fuzz::check(bytesOut.has_value(), "UTF-8 cannot hold the table", entry.name);
    std::string_view again(*bytesOut);
    fuzz::check(again.find('\0') == std::string_view::npos, "saved a NUL", entry.name);
    // Reading the saved file detects its encoding afresh, as the program does.
    fuzz::check(DetectEncoding(again) == savedIn || again.empty(),
                "saved file reads as another encoding", entry.name);
    Table reloaded;
    FillTable(reloaded, DecodeText(std::string(again), savedIn), entry.separator, fuzz::kMetrics,
              {}, LoadedRowLayout{}, fuzz::fuzzLimits());
    fuzz::checkSameCells(loaded, reloaded, "save and reload");
    return 0;
}
