#include "csv/CsvWriter.h"

#include "table/StringGrid.h"
#include "text/DisplayWidth.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace tabulix {

namespace {

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

// What a byte of a field asks for: quotes, or a closer look because it may
// start a kept invalid byte.
constexpr unsigned char kNeedsQuotes = 1;
constexpr unsigned char kMayBeRaw = 2;

// How one field is written. A kept invalid byte that would join what follows
// it (a CP932 lead byte before a trail byte) is kept apart by a quote: the
// field is quoted, or, when the byte joins text inside the field, the quoted
// part ends right after it and the rest follows the closing quote bare (the
// reader keeps text after a closing quote in the field).
struct FieldPlan {
    bool quoted = false;
    std::size_t quotedLength = std::string_view::npos; // bytes inside the quotes
    bool writable = true;
};

// Writes each row into a buffer kept at the worst-case size (every field
// quoted, every character a doubled quote), so that each byte is a plain
// store, then appends the row to the text in one piece. Rows too long for
// that are written a piece at a time.
class RowEncoder {
public:
    explicit RowEncoder(Separator sep) : sep_(sep), blankSeparator_(sep == Separator::of(' ')) {
        for (const char c : {'"', ',', '\r', '\n'})
            kind_[static_cast<unsigned char>(c)] = kNeedsQuotes;
        if (!sep.isNone()) kind_[static_cast<unsigned char>(sep.character())] = kNeedsQuotes;
        kind_[0xF4] = kMayBeRaw;
    }

    // Appends the row; returns the index of a field whose kept bytes cannot
    // be kept apart (it is then written as it stands), or -1.
    int append(std::string& out, std::span<const std::string_view> fields) {
        std::size_t worst = fields.size();
        for (const std::string_view field : fields)
            worst += 2 * field.size() + 2;
        if (row_.size() < worst) row_.resize(worst);
        char* const begin = row_.data();
        int unwritable = -1;
        const std::size_t forced = takeLeadingQuote(fields);
        char* end = writeFields(begin, fields, forced, unwritable);
        if (!sep_.isNone() && forced == fields.size() && readsAsBlank(begin, end)) {
            const auto firstText = std::find_if(fields.begin(), fields.end(),
                                                [](std::string_view f) { return !f.empty(); });
            if (firstText != fields.end()) // there is text to lose
                end = writeFields(begin, fields,
                                  static_cast<std::size_t>(firstText - fields.begin()),
                                  unwritable);
        }
        out.append(begin, end);
        return unwritable;
    }

    // The same, handing the row to `emit` in pieces of about `piece` bytes, so
    // that a huge row never exists a second time in memory.
    template <class Emit>
    int stream(std::span<const std::string_view> fields, std::size_t piece, Emit&& emit) {
        const auto firstText = std::find_if(fields.begin(), fields.end(),
                                            [](std::string_view f) { return !f.empty(); });
        std::size_t forced = takeLeadingQuote(fields);
        if (!sep_.isNone() && forced == fields.size() && firstText != fields.end() &&
            rowReadsAsBlank(fields))
            forced = static_cast<std::size_t>(firstText - fields.begin());
        int unwritable = -1;
        std::string buffer;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0 && !sep_.isNone()) emit(std::string_view(&sepByte_, 1));
            const std::string_view field = fields[i];
            if (sep_.isNone()) {
                for (std::size_t p = 0; p < field.size(); p += piece)
                    emit(field.substr(p, piece));
                continue;
            }
            const FieldPlan plan = planField(field, i + 1 == fields.size(), i == forced);
            if (!plan.writable && unwritable < 0) unwritable = static_cast<int>(i);
            if (!plan.quoted) {
                for (std::size_t p = 0; p < field.size(); p += piece)
                    emit(field.substr(p, piece));
                continue;
            }
            const std::size_t inside = std::min(plan.quotedLength, field.size());
            emit("\"");
            for (std::size_t p = 0; p < inside; p += piece) {
                const std::string_view part = field.substr(p, std::min(piece, inside - p));
                buffer.resize(2 * part.size());
                emit(std::string_view(buffer.data(), doubleQuotes(part, buffer.data()) -
                                                         buffer.data()));
            }
            emit("\"");
            for (std::size_t p = inside; p < field.size(); p += piece)
                emit(field.substr(p, std::min(piece, field.size() - p)));
        }
        return unwritable;
    }

    // The next row begins the file: a first field starting with U+FEFF or a
    // kept byte EF, FE or FF is quoted, so the file never starts with bytes
    // that read as a byte order mark (the character would be lost, the
    // encoding misread).
    void beginsFile() { leadsFile_ = true; }

private:
    std::size_t takeLeadingQuote(std::span<const std::string_view> fields) {
        const bool leads = std::exchange(leadsFile_, false);
        if (!leads || sep_.isNone() || fields.empty() || fields[0].empty()) return fields.size();
        const char32_t c = decodeUtf8(fields[0], 0).codePoint;
        // U+FEFF, or a kept byte EF, FE or FF, begins a byte order mark once
        // written.
        const char32_t byte = c & 0xFF;
        const bool markLike =
            c == 0xFEFF || (IsRawByteCodePoint(c) && (byte == 0xEF || byte == 0xFE || byte == 0xFF));
        return markLike ? 0 : fields.size();
    }

    static bool readsAsBlank(const char* begin, const char* end) {
        return begin != end && std::all_of(begin, end, isBlank);
    }

    // Whether the row written plainly would be nothing but blanks and control
    // characters; such a line has no field for a reader.
    bool rowReadsAsBlank(std::span<const std::string_view> fields) const {
        if (!isBlank(sep_.character()) && fields.size() > 1) return false;
        for (const std::string_view field : fields) {
            if (field.empty() && blankSeparator_) return false; // written as ""
            for (const char c : field)
                if (!isBlank(c) || kind_[static_cast<unsigned char>(c)] != 0) return false;
        }
        return true;
    }

    static char* doubleQuotes(std::string_view text, char* out) {
        for (const char c : text) {
            *out++ = c;
            if (c == '"') *out++ = '"';
        }
        return out;
    }

    char* writeFields(char* out, std::span<const std::string_view> fields,
                      std::size_t forcedQuote, int& unwritable) const {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0 && !sep_.isNone()) *out++ = sep_.character();
            out = writeField(out, fields[i], i == forcedQuote, i + 1 == fields.size(), i,
                             unwritable);
        }
        return out;
    }

    // Copies the field and notes on the way whether it needs quotes (or a
    // closer look for kept bytes); only then is it written again, quoted.
    char* writeField(char* out, std::string_view field, bool forceQuotes, bool last,
                     std::size_t index, int& unwritable) const {
        if (sep_.isNone()) return std::copy(field.begin(), field.end(), out);
        unsigned char kinds = forceQuotes || (field.empty() && blankSeparator_) ? kNeedsQuotes : 0;
        char* const begin = out;
        for (const char c : field) {
            kinds |= kind_[static_cast<unsigned char>(c)];
            *out++ = c;
        }
        if (kinds == 0) return out;
        FieldPlan plan{(kinds & kNeedsQuotes) != 0};
        if (kinds & kMayBeRaw) plan = planField(field, last, forceQuotes);
        if (!plan.writable && unwritable < 0) unwritable = static_cast<int>(index);
        if (!plan.quoted) return out;
        const std::size_t inside = std::min(plan.quotedLength, field.size());
        out = begin;
        *out++ = '"';
        out = doubleQuotes(field.substr(0, inside), out);
        *out++ = '"';
        return std::copy(field.begin() + static_cast<std::ptrdiff_t>(inside), field.end(), out);
    }

    // The full rule, for a field that may hold kept invalid bytes.
    FieldPlan planField(std::string_view field, bool last, bool forceQuotes) const {
        bool special = forceQuotes || (field.empty() && blankSeparator_);
        for (const char c : field)
            special |= (kind_[static_cast<unsigned char>(c)] & kNeedsQuotes) != 0;
        if (!HasRawBytes(field)) return {special};
        // A line end never joins a kept byte; the separator may (a CP932
        // trail byte such as "|" or "@").
        const char next = last ? '\r' : sep_.character();
        if (!special && RawByteJoinAt(field, std::string_view(&next, 1)) == std::string_view::npos)
            return {false};
        const std::size_t join = RawByteJoinAt(field, "\"");
        if (join == std::string_view::npos) return {true};
        // The quoted part ends after the byte; the rest must read as bare text.
        const std::size_t cut = join + 4;
        const std::string_view rest = field.substr(cut);
        const bool restIsBare =
            rest.find_first_of(std::string_view{"\r\n", 2}) == std::string_view::npos &&
            rest.find(sep_.character()) == std::string_view::npos &&
            RawByteJoinAt(rest, std::string_view(&next, 1)) == std::string_view::npos;
        if (restIsBare) return {true, cut};
        return {special, std::string_view::npos, false};
    }

    Separator sep_;
    bool blankSeparator_;
    std::array<unsigned char, 256> kind_{};
    std::string row_;
    char sepByte_ = sep_.isNone() ? '\0' : sep_.character();
    bool leadsFile_ = false;
};

// The written lines of a grid's rows: the columns after the fixed ones, each
// line ending with CR LF.
class TableLines {
public:
    TableLines(const StringGrid& grid, int fixedCols, Separator sep)
        : grid_(grid), first_(std::max(fixedCols, 0)),
          fields_(static_cast<std::size_t>(std::max(grid.colCount() - first_, 0))), encoder_(sep) {
        encoder_.beginsFile();
    }

    std::size_t width() const { return fields_.size(); }
    int firstColumn() const { return first_; }

    // Appends the row's line; the grid column of a field whose kept bytes
    // cannot be kept apart, or -1.
    int append(std::string& out, int row) {
        collect(row);
        return appendCollected(out);
    }

    // Takes the row's fields; returns their length in bytes.
    std::size_t collect(int row) {
        std::size_t size = 0;
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            fields_[i] = grid_.cell(first_ + static_cast<int>(i), row);
            size += fields_[i].size();
        }
        return size;
    }

    int appendCollected(std::string& out) {
        const int field = encoder_.append(out, fields_);
        out.append("\r\n");
        return field < 0 ? -1 : first_ + field;
    }

    // The same, handed to `emit` in pieces of about `piece` bytes.
    template <class Emit> int streamCollected(std::size_t piece, Emit&& emit) {
        const int field = encoder_.stream(fields_, piece, emit);
        emit("\r\n");
        return field < 0 ? -1 : first_ + field;
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

namespace {

// Where a character the encoding cannot hold lies among rows first .. last.
TextPosition findUnencodable(const StringGrid& grid, int firstCol, int firstRow, int lastRow,
                             TextEncoding encoding) {
    lastRow = std::min(lastRow, grid.rowCount() - 1);
    for (int row = std::max(firstRow, 1); row <= lastRow; ++row)
        for (int col = firstCol; col < grid.colCount(); ++col)
            if (!CanEncode(grid.cell(col, row), encoding)) return {row, col};
    return {lastRow, firstCol};
}

// The length of the text's front that ends at a character boundary: a
// character cut at the end waits for the next piece.
std::size_t wholeCharacters(std::string_view text) {
    for (std::size_t back = 1; back <= 4 && back <= text.size(); ++back) {
        const auto byte = static_cast<unsigned char>(text[text.size() - back]);
        if ((byte & 0xC0) == 0x80) continue; // a continuation byte
        const std::size_t length = byte < 0xC0 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
        return length > back ? text.size() - back : text.size();
    }
    return text.size();
}

} // namespace

WriteTableResult WriteTable(const StringGrid& grid, const std::string& path, Separator sep,
                            TextEncoding encoding, TextPosition* unwritable) {
    std::optional<TextPosition> failure;
    const WriteResult result = WriteFileAtomically(path, [&](const ByteSink& sink) {
        TableLines lines(grid, grid.fixedCols(), sep);
        std::string text;
        std::string bytes(ByteOrderMark(encoding));
        text.reserve(kPieceBytes + kPieceBytes / 4);
        int pieceRow = 1; // the first row with text in `text`
        // Encodes and hands on the text gathered so far, but for a character
        // cut at its end.
        const auto flush = [&](int row, bool all) {
            const std::size_t whole = all ? text.size() : wholeCharacters(text);
            if (!AppendEncoded(std::string_view(text).substr(0, whole), encoding, bytes)) {
                failure = findUnencodable(grid, lines.firstColumn(), pieceRow, row, encoding);
                return false;
            }
            text.erase(0, whole);
            pieceRow = row;
            if (bytes.empty()) return true;
            if (!sink(bytes)) return false;
            bytes.clear();
            return true;
        };
        for (int row = 1; row < grid.rowCount(); ++row) {
            int badCol = -1;
            if (lines.collect(row) <= kPieceBytes) {
                badCol = lines.appendCollected(text);
            } else {
                // A huge row goes out in pieces as the table does.
                bool ok = true;
                badCol = lines.streamCollected(kPieceBytes, [&](std::string_view part) {
                    if (!ok) return;
                    text.append(part);
                    if (text.size() >= kPieceBytes) ok = flush(row, false);
                });
                if (!ok) return false;
            }
            if (badCol >= 0) {
                failure = TextPosition{row, badCol};
                return false;
            }
            if ((text.size() >= kPieceBytes || row + 1 == grid.rowCount()) &&
                !flush(row + 1, true))
                return false;
        }
        return bytes.empty() || sink(bytes); // the BOM of an empty table
    });
    if (failure) {
        if (unwritable != nullptr) *unwritable = *failure;
        return WriteTableResult::Unencodable;
    }
    return result.ok() ? WriteTableResult::Ok : WriteTableResult::Failed;
}

} // namespace tabulix
