#include "csv/CsvParser.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace tabulix {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

std::string_view beforeNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

// The first of the bytes a, b, c at or after p; text.size() when none.
// Eight bytes at a time where it can: a byte equal to the pattern's byte
// turns to zero, and the borrow trick marks zero bytes (exactly for the
// lowest one, which is the one used).
std::size_t findFirstOf(std::string_view text, std::size_t p, char a, char b, char c) {
    const char* data = text.data();
    const std::size_t n = text.size();
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
        constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
        const auto zeroBytes = [](std::uint64_t x) { return (x - kOnes) & ~x & kHighs; };
        const std::uint64_t pa = kOnes * static_cast<unsigned char>(a);
        const std::uint64_t pb = kOnes * static_cast<unsigned char>(b);
        const std::uint64_t pc = kOnes * static_cast<unsigned char>(c);
        for (; p + 8 <= n; p += 8) {
            std::uint64_t word;
            std::memcpy(&word, data + p, 8);
            const std::uint64_t hits =
                zeroBytes(word ^ pa) | zeroBytes(word ^ pb) | zeroBytes(word ^ pc);
            if (hits != 0) return p + static_cast<std::size_t>(std::countr_zero(hits)) / 8;
        }
    }
    while (p < n && data[p] != a && data[p] != b && data[p] != c)
        ++p;
    return p;
}

// Past the line end at p (CR LF, lone CR or lone LF); p when there is none.
std::size_t skipLineEnd(std::string_view text, std::size_t p) {
    if (p >= text.size()) return p;
    if (text[p] == '\n') return p + 1;
    if (text[p] != '\r') return p;
    return p + 1 < text.size() && text[p + 1] == '\n' ? p + 2 : p + 1;
}

// The quote closing the quoted run after p (doubled quotes are skipped);
// kNone when the text ends first.
std::size_t closingQuote(std::string_view text, std::size_t p) {
    for (;;) {
        p = text.find('"', p);
        if (p == kNone || p + 1 >= text.size() || text[p + 1] != '"') return p;
        p += 2;
    }
}

// Where a field's text comes from: a range of the text, or, once it is made
// of several ranges (a doubled quote, text after the closing quote), a range
// of the record's scratch buffer.
struct FieldRef {
    std::size_t offset = 0;
    std::size_t length = 0;
    bool inScratch = false;
};

// Reads the text record by record. Fields are views into the text; only a
// field made of several pieces is copied, into a buffer reused per record.
class RecordScanner {
public:
    RecordScanner(std::string_view text, Separator sep)
        : text_(text), none_(sep.isNone()), sep_(none_ ? '\n' : sep.character()),
          blankSeparator_(sep == Separator::of(' ')), quotes_(!none_ && sep_ != '"') {}

    // Reads the next record; false at the end of the text.
    bool next() {
        if (pos_ >= text_.size()) return false;
        refs_.clear();
        scratch_.clear();
        if (none_)
            readWholeLine();
        else if (!skipBlankRecord())
            readFields();
        views_.resize(refs_.size());
        for (std::size_t i = 0; i < refs_.size(); ++i) {
            const std::string_view source = refs_[i].inScratch ? scratch_ : text_;
            views_[i] = source.substr(refs_[i].offset, refs_[i].length);
        }
        return true;
    }

    std::span<const std::string_view> fields() const { return views_; }

private:
    // End of the field text from p: the next separator or line end. With no
    // separator sep_ is LF, which ends the text anyway.
    std::size_t textEnd(std::size_t p) const { return findFirstOf(text_, p, sep_, '\r', '\n'); }

    bool atRecordEnd(std::size_t p) const { return p >= text_.size() || isLineEnd(text_[p]); }

    void addPiece(std::size_t from, std::size_t to) {
        if (from == to) return;
        FieldRef& field = refs_.back();
        if (field.length == 0) {
            field = {from, to - from, false};
            return;
        }
        if (!field.inScratch) {
            const std::size_t offset = scratch_.size();
            scratch_.append(text_.substr(field.offset, field.length));
            field = {offset, field.length, true};
        }
        scratch_.append(text_.substr(from, to - from));
        field.length += to - from;
    }

    void readWholeLine() {
        const std::size_t end = textEnd(pos_);
        refs_.push_back({pos_, end - pos_, false});
        pos_ = skipLineEnd(text_, end);
    }

    // A record of only blanks and control characters has no field.
    bool skipBlankRecord() {
        std::size_t p = pos_;
        while (p < text_.size() && isBlank(text_[p]) && !isLineEnd(text_[p]))
            ++p;
        if (!atRecordEnd(p)) return false;
        pos_ = skipLineEnd(text_, p);
        return true;
    }

    void readFields() {
        for (;;) {
            if (blankSeparator_) {
                while (pos_ < text_.size() && text_[pos_] == ' ')
                    ++pos_;
                if (atRecordEnd(pos_)) break;
            }
            const bool quoted =
                quotes_ && pos_ < text_.size() && text_[pos_] == '"' && readQuoted();
            const std::size_t end = textEnd(pos_);
            if (quoted)
                addPiece(pos_, end); // text after the closing quote
            else
                refs_.push_back({pos_, end - pos_, false});
            pos_ = end;
            if (end >= text_.size() || text_[end] != sep_) break;
            ++pos_;
        }
        pos_ = skipLineEnd(text_, pos_);
    }

    // The quoted part of a field, from its opening quote at pos_, as a new
    // field; pos_ ends after the closing quote. False, with nothing done,
    // when the quote is never closed: quotes are then off for the rest of the
    // text and the quote is read as text.
    bool readQuoted() {
        if (closingQuote(text_, pos_ + 1) == kNone) {
            quotes_ = false;
            return false;
        }
        refs_.emplace_back();
        std::size_t p = pos_ + 1;
        for (std::size_t q = text_.find('"', p);; q = text_.find('"', p)) {
            if (q + 1 < text_.size() && text_[q + 1] == '"') {
                addPiece(p, q + 1); // one quote of the pair is text
                p = q + 2;
                continue;
            }
            addPiece(p, q);
            pos_ = q + 1;
            return true;
        }
    }

    std::string_view text_;
    bool none_;
    char sep_;
    bool blankSeparator_;
    bool quotes_;
    std::size_t pos_ = 0;
    std::vector<FieldRef> refs_;
    std::string scratch_;
    std::vector<std::string_view> views_;
};

// Whether a quote at q starts a field: it follows the record start or a
// separator (for the blank separator, the last of a run of blanks). Only
// quotes outside quoted runs are asked about, and the byte before such a quote
// lies outside them too.
bool startsField(std::string_view text, std::size_t q, std::size_t recordStart, char sep) {
    return q == recordStart || text[q - 1] == sep;
}

} // namespace

void ParseRecordViews(std::string_view text, Separator sep, const RecordViewHandler& onRecord) {
    RecordScanner scanner(beforeNul(text), sep);
    while (scanner.next())
        onRecord(scanner.fields());
}

void ParseRecords(std::string_view text, Separator sep, const RecordHandler& onRecord) {
    std::vector<std::string> fields;
    ParseRecordViews(text, sep, [&](std::span<const std::string_view> views) {
        if (fields.size() < views.size()) fields.resize(views.size());
        for (std::size_t i = 0; i < views.size(); ++i)
            fields[i].assign(views[i]);
        onRecord(std::span<const std::string>(fields.data(), views.size()));
    });
}

// Records end at line ends outside quoted runs, so counting only needs the
// quotes and line ends, not the fields: the same decisions as the scanner at a
// fraction of the stops.
std::size_t CountRecords(std::string_view text, Separator sep) {
    text = beforeNul(text);
    bool quotes = !sep.isNone() && sep.character() != '"';
    const char sepChar = sep.isNone() ? '\n' : sep.character();
    std::size_t count = 0;
    std::size_t p = 0;
    while (p < text.size()) {
        ++count;
        const std::size_t recordStart = p;
        for (;;) {
            p = findFirstOf(text, p, '"', '\r', '\n');
            if (p >= text.size()) break;
            if (isLineEnd(text[p])) {
                p = skipLineEnd(text, p);
                break;
            }
            const bool opens = quotes && startsField(text, p, recordStart, sepChar);
            const std::size_t close = opens ? closingQuote(text, p + 1) : kNone;
            if (opens && close == kNone) quotes = false; // read on as text
            p = close == kNone ? p + 1 : close + 1;
        }
    }
    return count;
}

std::vector<std::string> SplitLine(std::string_view line, Separator sep) {
    std::vector<std::string> out;
    ParseRecordViews(line, sep, [&](std::span<const std::string_view> fields) {
        out.insert(out.end(), fields.begin(), fields.end());
    });
    return out;
}

} // namespace tabulix
