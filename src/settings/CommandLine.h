#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tabulix {

// What the program's first argument (or a dropped file) asks for. The
// argument is one delimited record split at commas (quotes protect them):
// the first field is the target, further fields may be "Key:Name=value".
struct CommandLine {
    std::string target;                // the first field, trailing "/" removed
    bool clipboard = false;            // the target contains "Key:ClipBoard" (any case)
    std::optional<int> fixedRows;      // Key:FixedRows, when an integer >= 0
    std::optional<bool> fixedRowSEQ;   // Key:FixedRowSEQ: true exactly for "True" (any case)
    std::string caption;               // Key:Caption
    std::string clipCaption;           // Key:ClipCaption
    std::optional<int> separatorIndex; // Key:BNR, as an index into separatorTable()

    bool operator==(const CommandLine&) const = default;
};

CommandLine ParseCommandLine(std::string_view argument);

// What `tabulix --help` prints.
std::string CommandLineUsage();

// The separator list item a "Key:BNR" value names: "Comma" is the comma,
// otherwise the first item whose text without surrounding blanks equals the
// value exactly.
std::optional<int> SeparatorIndexOfName(std::string_view name);

// Trailing "/" go, but the root "/" stays.
std::string WithoutTrailingSlashes(std::string_view path);

// A dropped file's path as a command-line argument: quoted with inner quotes
// doubled, so commas, quotes and line breaks in it stay part of the target.
std::string QuoteDroppedPath(std::string_view path);

} // namespace tabulix
