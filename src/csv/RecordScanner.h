#pragma once

#include "csv/ByteScan.h"
#include "csv/Separators.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {

// The record grammar itself (see CsvParser.h), record by record, for a text
// already cut at its NUL. A scan may start at any record start of a larger
// text when it is told whether quotes still count there (an unclosed quote
// earlier in the text turns them off for the rest): it then reads exactly
// the records a scan of the whole text would read from there.
class RecordScanner {
public:
    RecordScanner(std::string_view text, Separator sep, bool quotes = true);

    // Reads the next record; false at the end of the text.
    bool next();
    // The fields of the record last read, valid until the next call: views
    // into the text, or into a buffer of the scanner for a field pieced
    // together (a doubled quote, text after the closing quote).
    std::span<const std::string_view> fields() const { return views_; }
    // Where the next record starts, and whether quotes count there.
    std::size_t position() const { return pos_; }
    bool quotes() const { return quotes_; }

private:
    // A field pieced together in the scratch buffer; its view is made once
    // the record is read, as the buffer may move while it grows.
    struct ScratchField {
        std::size_t index = 0;
        std::size_t offset = 0;
        std::size_t length = 0;
    };

    std::size_t textEnd(std::size_t p) { return stops_.next(p); }
    bool atRecordEnd(std::size_t p) const;
    void addField(std::size_t from, std::size_t to) {
        views_.push_back(text_.substr(from, to - from));
    }
    void addPiece(std::size_t from, std::size_t to);
    void readWholeLine();
    bool skipBlankRecord();
    void readFields();
    bool readQuoted();

    std::string_view text_;
    bool none_;
    char sep_;
    bool blankSeparator_;
    bool quotes_;
    StopFinder stops_;
    std::size_t pos_ = 0;
    StopFinder quoteStops_;
    std::vector<ScratchField> scratchFields_;
    std::string scratch_;
    std::vector<std::string_view> views_;
};

// What counting the records from a record start tells: how many start
// before `stopAt` (a record that starts before it is read to its end), where
// the first record at or past it starts, and whether quotes count there.
struct RecordCount {
    std::size_t records = 0;
    std::size_t end = 0;
    bool quotes = true;
};

// Counts without building fields: only quotes and line ends matter, so it
// makes the scanner's decisions at a fraction of the stops.
RecordCount CountRecordsFrom(std::string_view text, Separator sep, std::size_t from, bool quotes,
                             std::size_t stopAt);

// Whether quotes can count at all with this separator.
bool QuotesCount(Separator sep);

// Past the line end at p (CR LF, lone CR or lone LF); p when there is none.
std::size_t SkipLineEnd(std::string_view text, std::size_t p);

} // namespace tabulix
