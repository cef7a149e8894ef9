#include "csv/CsvWriter.h"

#include "table/StringGrid.h"

#include <algorithm>
#include <array>
#include <vector>

namespace tabulix {

namespace {

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

// Writes each row into a buffer kept at the worst-case size (every field
// quoted, every character a doubled quote), so that each byte is a plain
// store, then appends the row to the text in one piece.
class RowEncoder {
public:
    explicit RowEncoder(Separator sep) : sep_(sep), blankSeparator_(sep == Separator::of(' ')) {
        for (const char c : {'"', ',', '\r', '\n'})
            special_[static_cast<unsigned char>(c)] = true;
        if (!sep.isNone()) special_[static_cast<unsigned char>(sep.character())] = true;
    }

    void append(std::string& out, std::span<const std::string_view> fields) {
        std::size_t worst = fields.size();
        for (const std::string_view field : fields)
            worst += 2 * field.size() + 2;
        if (row_.size() < worst) row_.resize(worst);
        char* const begin = row_.data();
        char* end = writeFields(begin, fields, fields.size());
        if (!sep_.isNone() && readsAsBlank(begin, end)) {
            const auto firstText = std::find_if(fields.begin(), fields.end(),
                                                [](std::string_view f) { return !f.empty(); });
            if (firstText != fields.end()) // there is text to lose
                end = writeFields(begin, fields,
                                  static_cast<std::size_t>(firstText - fields.begin()));
        }
        out.append(begin, end);
    }

private:
    static bool readsAsBlank(const char* begin, const char* end) {
        return begin != end && std::all_of(begin, end, isBlank);
    }

    char* writeFields(char* out, std::span<const std::string_view> fields,
                      std::size_t forcedQuote) const {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0 && !sep_.isNone()) *out++ = sep_.character();
            out = writeField(out, fields[i], i == forcedQuote);
        }
        return out;
    }

    // Copies the field and notes on the way whether it needs quotes; only
    // then is it written again, quoted.
    char* writeField(char* out, std::string_view field, bool forceQuotes) const {
        if (sep_.isNone()) return std::copy(field.begin(), field.end(), out);
        bool special = forceQuotes || (field.empty() && blankSeparator_);
        char* const begin = out;
        for (const char c : field) {
            special |= special_[static_cast<unsigned char>(c)];
            *out++ = c;
        }
        if (!special) return out;
        out = begin;
        *out++ = '"';
        for (const char c : field) {
            *out++ = c;
            if (c == '"') *out++ = '"';
        }
        *out++ = '"';
        return out;
    }

    Separator sep_;
    bool blankSeparator_;
    std::array<bool, 256> special_{};
    std::string row_;
};

// The written lines of a grid's rows: the columns after the fixed ones, each
// line ending with CR LF.
class TableLines {
public:
    TableLines(const StringGrid& grid, int fixedCols, Separator sep)
        : grid_(grid), first_(std::max(fixedCols, 0)),
          fields_(static_cast<std::size_t>(std::max(grid.colCount() - first_, 0))), encoder_(sep) {}

    std::size_t width() const { return fields_.size(); }

    void append(std::string& out, int row) {
        for (std::size_t i = 0; i < fields_.size(); ++i)
            fields_[i] = grid_.cell(first_ + static_cast<int>(i), row);
        encoder_.append(out, fields_);
        out.append("\r\n");
    }

private:
    const StringGrid& grid_;
    int first_;
    std::vector<std::string_view> fields_;
    RowEncoder encoder_;
};

// Saving encodes and writes the table in pieces of this size, so that a big
// table never exists a second (and third) time in memory as one text.
constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

} // namespace

std::string EncodeCsvRow(std::span<const std::string_view> fields, Separator sep) {
    std::string out;
    RowEncoder(sep).append(out, fields);
    return out;
}

std::string EncodeTable(const StringGrid& grid, int fixedCols, Separator sep) {
    TableLines lines(grid, fixedCols, sep);
    std::string out;
    // Room for the texts, separators and line ends, and for quoting a good
    // share of the fields, so that the text is seldom moved; pages reserved
    // but never written cost nothing.
    const std::size_t texts = grid.textBytes();
    out.reserve(texts + texts / 2 +
                static_cast<std::size_t>(grid.rowCount()) * (lines.width() + 2));
    for (int row = 1; row < grid.rowCount(); ++row)
        lines.append(out, row);
    return out;
}

WriteTableResult WriteTable(const StringGrid& grid, const std::string& path, Separator sep,
                            TextEncoding encoding) {
    bool unencodable = false;
    const WriteResult result = WriteFileAtomically(path, [&](const ByteSink& sink) {
        TableLines lines(grid, grid.fixedCols(), sep);
        std::string text;
        std::string bytes(ByteOrderMark(encoding));
        text.reserve(kPieceBytes + kPieceBytes / 4);
        // Pieces end at line ends, so no character is ever cut.
        for (int row = 1; row < grid.rowCount(); ++row) {
            lines.append(text, row);
            if (text.size() < kPieceBytes && row + 1 < grid.rowCount()) continue;
            if (!AppendEncoded(text, encoding, bytes)) {
                unencodable = true;
                return false;
            }
            if (!sink(bytes)) return false;
            text.clear();
            bytes.clear();
        }
        return bytes.empty() || sink(bytes); // the BOM of an empty table
    });
    if (unencodable) return WriteTableResult::Unencodable;
    return result.ok() ? WriteTableResult::Ok : WriteTableResult::Failed;
}

} // namespace tabulix
