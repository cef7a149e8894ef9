#include "settings/CommandLine.h"

#include "csv/CsvParser.h"
#include "csv/Separators.h"
#include "settings/SettingsFile.h"
#include "text/TextHelpers.h"

#include <algorithm>
#include <filesystem>
#include <cctype>

namespace tabulix {

namespace {

bool containsIgnoringCase(std::string_view text, std::string_view part) {
    const auto lower = [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    };
    const auto it = std::search(text.begin(), text.end(), part.begin(), part.end(),
                                [&](char a, char b) { return lower(a) == lower(b); });
    return it != text.end() || part.empty();
}

// The keys in the order they are tried; the first whose name matches takes
// the field, whatever its value.
void applyKey(std::string_view field, CommandLine& cl) {
    if (const auto value = ReadKeyValue(field, "Key:FixedRows")) {
        if (const auto n = ParseInteger(*value); n && *n >= 0) cl.fixedRows = n;
    } else if (const auto on = ReadKeyBoolean(field, "Key:FixedRowSEQ")) {
        cl.fixedRowSEQ = on;
    } else if (auto caption = ReadKeyValue(field, "Key:Caption")) {
        cl.caption = std::move(*caption);
    } else if (auto clipCaption = ReadKeyValue(field, "Key:ClipCaption")) {
        cl.clipCaption = std::move(*clipCaption);
    } else if (const auto name = ReadKeyValue(field, "Key:BNR")) {
        if (const auto index = SeparatorIndexOfName(*name)) cl.separatorIndex = index;
    }
}

} // namespace

CommandLine ParseCommandLine(std::string_view argument) {
    CommandLine cl;
    // A file manager passes one path, which may hold commas: a whole argument
    // that names an existing file is that file.
    std::error_code error;
    if (argument.find(',') != std::string_view::npos &&
        std::filesystem::is_regular_file(std::filesystem::path(std::string(argument)), error)) {
        cl.target = std::string(argument);
        return cl;
    }
    const std::vector<std::string> fields = SplitLine(argument, Separator::of(','));
    if (fields.empty()) return cl;
    cl.clipboard = containsIgnoringCase(fields.front(), "Key:ClipBoard");
    cl.target = WithoutTrailingSlashes(fields.front());
    for (const std::string& field : fields)
        applyKey(TrimBlanks(field), cl);
    return cl;
}

std::string CommandLineUsage() {
    return "使い方 / Usage: tabulix [\"<file or folder>[,Key:Name=value...]\" | \"Key:ClipBoard[,...]\"]\n"
           "\n"
           "  The one argument is split at commas (double quotes protect them); an\n"
           "  argument that names an existing file is that file, commas and all.\n"
           "\n"
           "  <file>                 a CSV file to open\n"
           "  <folder>               where the next open dialog starts\n"
           "  Key:ClipBoard          open the clipboard text as the table\n"
           "  Key:ClipCaption=text   the caption of a table opened from the clipboard\n"
           "  Key:FixedRows=n        header rows held fixed\n"
           "  Key:FixedRowSEQ=True   number the header rows too\n"
           "  Key:BNR=name           the separator: Comma, TAB or an item of 分離符号\n"
           "  Key:Caption=text       the window caption\n"
           "\n"
           "  --help                 this text\n"
           "  --version              the version\n";
}

std::optional<int> SeparatorIndexOfName(std::string_view name) {
    const auto table = separatorTable();
    const auto comma = std::find_if(table.begin(), table.end(), [](const SeparatorEntry& e) {
        return e.separator == Separator::of(',');
    });
    if (name == "Comma" && comma != table.end()) return static_cast<int>(comma - table.begin());
    for (std::size_t i = 0; i < table.size(); ++i)
        if (TrimBlanks(separatorItemText(table[i])) == name) return static_cast<int>(i);
    return std::nullopt;
}

std::string WithoutTrailingSlashes(std::string_view path) {
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    return std::string(path);
}

std::string QuoteDroppedPath(std::string_view path) {
    // Byte by byte: a Linux path need not be valid UTF-8.
    std::string out = "\"";
    for (const char c : path) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

} // namespace tabulix
