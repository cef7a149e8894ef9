#include "csv/CsvParser.h"

#include "csv/RecordScanner.h"

namespace tabulix {

namespace {

std::string_view beforeNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
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

std::size_t CountRecords(std::string_view text, Separator sep) {
    text = beforeNul(text);
    return CountRecordsFrom(text, sep, 0, true, text.size()).records;
}

std::vector<std::string> SplitLine(std::string_view line, Separator sep) {
    std::vector<std::string> out;
    ParseRecordViews(line, sep, [&](std::span<const std::string_view> fields) {
        out.insert(out.end(), fields.begin(), fields.end());
    });
    return out;
}

} // namespace tabulix
