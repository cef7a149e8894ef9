#pragma once

#include "csv/Separators.h"

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {

// The one record grammar of delimited text, used for files, the clipboard,
// the command line, row import and paste. The text is UTF-8; the separator is
// an ASCII character other than CR, LF and the quote (or none).
//
// - A NUL character ends the text; what follows it is ignored.
// - A record ends at CR LF, a lone LF or a lone CR, outside quotes. A line end
//   at the very end of the text does not start another record, so an empty
//   text has no record.
// - With Separator::none() each line is one field exactly as it stands (an
//   empty line gives one empty field); quotes mean nothing.
// - Otherwise a record that is empty or holds only blanks and control
//   characters (bytes up to U+0020) has no field at all.
// - A field whose first character is a quote is quoted: up to the closing
//   quote, `""` is one quote and separators and line breaks are text (a record
//   may span lines; line breaks are kept as read). Text after the closing quote
//   belongs to the field (`"ab"cd` is `abcd`). A quote anywhere else is text.
// - A quote that is never closed before the end of the text is plain text:
//   the parse backs off to it and reads the rest of the text with quotes
//   meaning nothing, so no text is lost.
// - The blank separator treats a run of blanks as one separator and gives no
//   field for leading or trailing blanks; only an explicit `""` is an empty
//   field. Quotes count after the skipped blanks. With any other separator
//   `,,` is three empty fields and a trailing separator adds an empty field.

// Called once per record, in order. The fields are valid during the call
// only: their buffers are reused for the next record.
using RecordHandler = std::function<void(std::span<const std::string> fields)>;
using RecordViewHandler = std::function<void(std::span<const std::string_view> fields)>;

// Linear in the text length, also for one huge line or a quoted field with
// many line breaks.
void ParseRecords(std::string_view text, Separator sep, const RecordHandler& onRecord);

// The same records without copying: fields are views into the text, or into
// a buffer of the parse for a field that had to be pieced together (a doubled
// quote, text after the closing quote). For loading large texts.
void ParseRecordViews(std::string_view text, Separator sep, const RecordViewHandler& onRecord);

// The number of records ParseRecords reports, without building fields; used
// to size a grid before filling it.
std::size_t CountRecords(std::string_view text, Separator sep);

// The fields of a short text such as the command-line argument. Should the
// text hold several records, their fields follow one another.
std::vector<std::string> SplitLine(std::string_view line, Separator sep);

} // namespace tabulix
