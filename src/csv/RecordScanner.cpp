#include "csv/RecordScanner.h"

namespace tabulix {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// The quote closing the quoted run after p (doubled quotes are skipped);
// kNone when the text ends first.
std::size_t closingQuote(std::string_view text, StopFinder& quotes, std::size_t p) {
    for (;;) {
        p = quotes.next(p);
        if (p >= text.size()) return kNone;
        if (p + 1 >= text.size() || text[p + 1] != '"') return p;
        p += 2;
    }
}

// Whether a quote at q starts a field: it follows the record start or a
// separator (for the blank separator, the last of a run of blanks). Only
// quotes outside quoted runs are asked about, and the byte before such a quote
// lies outside them too.
bool startsField(std::string_view text, std::size_t q, std::size_t recordStart, char sep) {
    return q == recordStart || text[q - 1] == sep;
}

char separatorChar(Separator sep) {
    // With no separator LF stands in: it ends the field anyway.
    return sep.isNone() ? '\n' : sep.character();
}

} // namespace

bool QuotesCount(Separator sep) {
    return !sep.isNone() && sep.character() != '"';
}

std::size_t SkipLineEnd(std::string_view text, std::size_t p) {
    if (p >= text.size()) return p;
    if (text[p] == '\n') return p + 1;
    if (text[p] != '\r') return p;
    return p + 1 < text.size() && text[p + 1] == '\n' ? p + 2 : p + 1;
}

RecordScanner::RecordScanner(std::string_view text, Separator sep, bool quotes)
    : text_(text), none_(sep.isNone()), sep_(separatorChar(sep)),
      blankSeparator_(sep == Separator::of(' ')), quotes_(quotes && QuotesCount(sep)),
      stops_(text, StopBytes{sep_, '\r', '\n', '\n'}),
      quoteStops_(text, StopBytes{'"', '"', '"', '"'}) {
    views_.reserve(16);
}

bool RecordScanner::next() {
    if (pos_ >= text_.size()) return false;
    views_.clear();
    if (!scratchFields_.empty()) {
        scratchFields_.clear();
        scratch_.clear();
    }
    if (none_)
        readWholeLine();
    else if (!skipBlankRecord())
        readFields();
    for (const ScratchField& field : scratchFields_)
        views_[field.index] = std::string_view(scratch_).substr(field.offset, field.length);
    return true;
}

bool RecordScanner::atRecordEnd(std::size_t p) const {
    return p >= text_.size() || isLineEnd(text_[p]);
}

// Text from..to joins the last field; once a field is made of two ranges it
// moves to the scratch buffer, and its view is made from there at the end.
void RecordScanner::addPiece(std::size_t from, std::size_t to) {
    if (from == to) return;
    const std::size_t index = views_.size() - 1;
    const bool inScratch = !scratchFields_.empty() && scratchFields_.back().index == index;
    std::string_view& field = views_.back();
    if (!inScratch && field.empty()) {
        field = text_.substr(from, to - from);
        return;
    }
    if (!inScratch) {
        scratchFields_.push_back({index, scratch_.size(), field.size()});
        scratch_.append(field);
    }
    scratch_.append(text_.substr(from, to - from));
    scratchFields_.back().length += to - from;
}

void RecordScanner::readWholeLine() {
    const std::size_t end = textEnd(pos_);
    addField(pos_, end);
    pos_ = SkipLineEnd(text_, end);
}

// A record of only blanks and control characters has no field.
bool RecordScanner::skipBlankRecord() {
    std::size_t p = pos_;
    while (p < text_.size() && isBlank(text_[p]) && !isLineEnd(text_[p]))
        ++p;
    if (!atRecordEnd(p)) return false;
    pos_ = SkipLineEnd(text_, p);
    return true;
}

void RecordScanner::readFields() {
    for (;;) {
        if (blankSeparator_) {
            while (pos_ < text_.size() && text_[pos_] == ' ')
                ++pos_;
            if (atRecordEnd(pos_)) break;
        }
        const bool quoted = quotes_ && pos_ < text_.size() && text_[pos_] == '"' && readQuoted();
        const std::size_t end = textEnd(pos_);
        if (quoted)
            addPiece(pos_, end); // text after the closing quote
        else
            addField(pos_, end);
        pos_ = end;
        if (end >= text_.size() || text_[end] != sep_) break;
        ++pos_;
    }
    pos_ = SkipLineEnd(text_, pos_);
}

// The quoted part of a field, from its opening quote at pos_, as a new field;
// pos_ ends after the closing quote. False, with nothing kept, when the quote
// is never closed: quotes are then off for the rest of the text and the quote
// is read as text.
bool RecordScanner::readQuoted() {
    const std::size_t scratchSize = scratch_.size();
    const std::size_t scratchCount = scratchFields_.size();
    addField(pos_, pos_);
    std::size_t p = pos_ + 1;
    for (std::size_t q = quoteStops_.next(p); q < text_.size(); q = quoteStops_.next(p)) {
        if (q + 1 < text_.size() && text_[q + 1] == '"') {
            addPiece(p, q + 1); // one quote of the pair is text
            p = q + 2;
            continue;
        }
        addPiece(p, q);
        pos_ = q + 1;
        return true;
    }
    views_.pop_back();
    scratchFields_.resize(scratchCount);
    scratch_.resize(scratchSize);
    quotes_ = false;
    return false;
}

RecordCount CountRecordsFrom(std::string_view text, Separator sep, std::size_t from, bool quotes,
                             std::size_t stopAt) {
    quotes = quotes && QuotesCount(sep);
    const char sepChar = separatorChar(sep);
    StopFinder stops(text, StopBytes{'"', '\r', '\n', '\n'});
    StopFinder quoteStops(text, StopBytes{'"', '"', '"', '"'});
    std::size_t count = 0;
    std::size_t p = from;
    while (p < text.size() && p < stopAt) {
        ++count;
        const std::size_t recordStart = p;
        for (;;) {
            p = stops.next(p);
            if (p >= text.size()) break;
            if (isLineEnd(text[p])) {
                p = SkipLineEnd(text, p);
                break;
            }
            const bool opens = quotes && startsField(text, p, recordStart, sepChar);
            const std::size_t close = opens ? closingQuote(text, quoteStops, p + 1) : kNone;
            if (opens && close == kNone) quotes = false; // read on as text
            p = close == kNone ? p + 1 : close + 1;
        }
    }
    return {count, p, quotes};
}

} // namespace tabulix
