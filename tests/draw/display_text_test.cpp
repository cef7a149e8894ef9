#include "draw/DisplayText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tabulix {
namespace {

using Lines = std::vector<std::string>;

DisplayOptions withDates(bool trim = false) {
    DisplayOptions options;
    options.dateEdit = true;
    options.trimSpace = trim;
    return options;
}

struct DateCase {
    const char* text;
    const char* shown;
};

TEST(DisplayText, DateEditingOfSixAndEightUnitNumbers) {
    const DateCase cases[] = {
        {"20240315", "2024/03/15"},
        {"240315", "24/03/15"},
        {"12:30:45", "12/30/45"},     // 8 units, 6 digits
        {"12-345", "12-345"},         // 6 units, 5 digits
        {"1234567", "1234567"},       // 7 units
        {"2024-03-15", "2024-03-15"}, // 10 units
        {"991231", "99/12/31"},       // not checked as a date
        {"999999", "99/99/99"},
        {"日123456", "12/34/56"}, // a wide character is two units
        {"日1234", "日1234"},     // 6 units, 4 digits
        {"ｱｲ123456", "12/34/56"}, // half-width katakana: 1 unit, 3 bytes
        {"１２３４", "１２３４"}, // full-width digits are not digits
        {"", ""},
    };
    for (const DateCase& c : cases)
        EXPECT_EQ(DisplayText(c.text, withDates()), c.shown) << c.text;
}

TEST(DisplayText, TrimmingRemovesBlanksAndControlsAtBothEndsOnly) {
    DisplayOptions trim;
    trim.trimSpace = true;
    EXPECT_EQ(DisplayText(" \t a  b \r\n", trim), "a  b");
    EXPECT_EQ(DisplayText(" \t a  b \r\n", DisplayOptions{}), " \t a  b \r\n");
    EXPECT_EQ(DisplayText(" 　x　 ", trim), "　x　"); // the ideographic space is no blank
}

TEST(DisplayText, TrimmingComesBeforeTheDateLengthCheck) {
    EXPECT_EQ(DisplayText("\t240315", withDates(true)), "24/03/15");
    EXPECT_EQ(DisplayText("\t240315", withDates(false)), "\t240315"); // 7 units
    EXPECT_EQ(DisplayText("20240315", DisplayOptions{}), "20240315");
}

TEST(DisplayText, FoldsOnlyForAutomaticAndLineCounts) {
    const struct {
        int item;
        bool folds;
        int cap;
    } cases[] = {{0, true, 0}, {1, false, 0}, {2, true, 2}, {30, true, 30}, {-1, false, 0}};
    for (const auto& c : cases) {
        DisplayOptions options;
        options.foldItem = c.item;
        EXPECT_EQ(Folds(options), c.folds) << c.item;
        EXPECT_EQ(FoldLineCap(options), c.cap) << c.item;
    }
}

struct FoldCase {
    const char* name;
    std::string text;
    int n;
    int maxLines;
    Lines lines;
};

TEST(FoldDisplayText, CutsIntoLinesOfNUnits) {
    const std::string text25 = "abcdefghijklmnopqrstuvwxy";
    const FoldCase cases[] = {
        {"plain", text25, 9, 100, {"abcdefghi", "jklmnopqr", "stuvwxy"}},
        {"two lines show 18 units", text25, 9, 2, {"abcdefghi", "jklmnopqr"}},
        {"fits", "abc", 9, 100, {"abc"}},
        {"exact", "abcdef", 3, 100, {"abc", "def"}},
        {"empty", "", 5, 100, {}},
        {"blanks only", "     ", 5, 100, {}},
        {"wide moves on", "abcdefgh日本", 9, 100, {"abcdefgh ", "日本"}},
        {"wide at end of line", "abcdefg日本", 9, 100, {"abcdefg日", "本"}},
        {"invalid byte is wide",
         "a\xff"
         "b",
         2,
         100,
         {"a ", "\xff", "b"}},
        {"one unit per line", "ab日c", 1, 100, {"a", "b", "日", "c"}},
        {"no lines allowed", "abc", 3, 0, {}},
    };
    for (const FoldCase& c : cases)
        EXPECT_EQ(FoldDisplayText(c.text, c.n, c.maxLines), c.lines) << c.name;
}

TEST(FoldDisplayText, EachLineOfTheTextStartsADisplayLine) {
    const FoldCase cases[] = {
        {"CR LF is one break", "ab\r\ncd", 3, 100, {"ab", "cd"}},
        {"lone CR and LF", "a\rb\nc", 2, 100, {"a", "b", "c"}},
        {"empty lines stay", "a\n\nb", 5, 100, {"a", "", "b"}},
        {"leading break", "\nab", 5, 100, {"", "ab"}},
        {"break right after a full line adds none", "abc\ndef", 3, 100, {"abc", "def"}},
        {"long line folds on its own", "abcd\nef", 3, 100, {"abc", "d", "ef"}},
        {"literal mark counts one", "ab↵cd", 3, 100, {"ab↵", "cd"}},
        {"trailing breaks and blanks dropped", "a\r\n  \r\n", 9, 100, {"a"}},
        {"break before blanks", "abc\n   ", 3, 100, {"abc"}},
        {"cut off at the line limit", "a\nb\nc", 9, 2, {"a", "b"}},
    };
    for (const FoldCase& c : cases)
        EXPECT_EQ(FoldDisplayText(c.text, c.n, c.maxLines), c.lines) << c.name;
}

TEST(FoldDisplayText, BlanksAreTrimmedAtTheEndOfTheWholeTextOnly) {
    const FoldCase cases[] = {
        {"end", "abcdef      ", 3, 100, {"abc", "def"}},
        {"inner blank line stays", "abc   def", 3, 100, {"abc", "   ", "def"}},
        {"leading blanks stay", "  ab", 9, 100, {"  ab"}},
        {"cut off, only blanks follow", "abcde      ", 4, 2, {"abcd", "e"}},
        {"cut off, text follows", "abc   xyz", 3, 2, {"abc", "   "}},
        {"cut by a wide character", "abc日", 4, 1, {"abc "}},
    };
    for (const FoldCase& c : cases)
        EXPECT_EQ(FoldDisplayText(c.text, c.n, c.maxLines), c.lines) << c.name;
}

// Found by fuzzing: a short text of invalid bytes has more units than bytes
// and must fold like any other text.
TEST(FoldDisplayText, InvalidBytesFoldByTheirWidth) {
    EXPECT_EQ(FoldDisplayText("ab\xE6}\x82\xE6\x97", 7), (Lines{"ab\xE6}\x82", "\xE6\x97"}));
    EXPECT_EQ(FoldDisplayText("\x82\x82", 2), (Lines{"\x82", "\x82"}));
}

} // namespace
} // namespace tabulix
