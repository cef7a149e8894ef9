#include "TestFiles.h"

#include "settings/CommandLine.h"

#include <gtest/gtest.h>

#include <string>

namespace tabulix {
namespace {

TEST(CommandLine, SplitsTargetAndKeys) {
    const CommandLine cl =
        ParseCommandLine("/data/list.csv,Key:FixedRows=2,Key:BNR=TAB,Key:Caption=Member list,"
                         "Key:ClipCaption=クリップ,Key:FixedRowSEQ=True");
    CommandLine expected;
    expected.target = "/data/list.csv";
    expected.fixedRows = 2;
    expected.separatorIndex = 2;
    expected.caption = "Member list";
    expected.clipCaption = "クリップ";
    expected.fixedRowSEQ = true;
    EXPECT_EQ(cl, expected);
}

TEST(CommandLine, SeparatorNamesCompareExactly) {
    const struct {
        const char* argument;
        std::optional<int> index;
    } cases[] = {
        {"f,Key:BNR=Comma", 1},
        {"f,Key:BNR=TAB", 2},
        {"f,Key:BNR=tab", std::nullopt},
        {"f,Key:BNR=comma", std::nullopt},
        {"f,Key:BNR=無し", 0},
        {"f,Key:BNR=空白", 3},
        {"f,Key:BNR=|", 4},
        {"f,Key:BNR=;", 16},
        {"f,Key:BNR==", 12},
        {"f,\"Key:BNR=,\"", 1},
        {"f,Key:BNR= TAB ", 2},
        {"f,Key:BNR=", std::nullopt},
        {"f,Key:BNR=Tabs", std::nullopt},
        {"f,key:bnr=TAB", 2},
        {"f,Key:BNR=TAB,Key:BNR=unknown", 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseCommandLine(c.argument).separatorIndex, c.index) << c.argument;
}

TEST(CommandLine, FixedRowKeys) {
    const struct {
        const char* argument;
        std::optional<int> rows;
        std::optional<bool> seq;
    } cases[] = {
        {"f,Key:FixedRows=0", 0, std::nullopt},
        {"f,Key:FixedRows=15", 15, std::nullopt},
        {"f,Key:FixedRows= 3 ", 3, std::nullopt},
        {"f,Key:FixedRows=-1", std::nullopt, std::nullopt},
        {"f,Key:FixedRows=two", std::nullopt, std::nullopt},
        {"f,Key:FixedRows=2,Key:FixedRows=-1", 2, std::nullopt},
        {"f,key:fixedrows=4", 4, std::nullopt},
        {"f,Key:FixedRows =4", std::nullopt, std::nullopt},
        {"f,Key:FixedRowSEQ=true", std::nullopt, true},
        {"f,Key:FixedRowSEQ=TRUE", std::nullopt, true},
        {"f,Key:FixedRowSEQ=1", std::nullopt, false},
        {"f,Key:FixedRowSEQ=", std::nullopt, false},
    };
    for (const auto& c : cases) {
        const CommandLine cl = ParseCommandLine(c.argument);
        EXPECT_EQ(cl.fixedRows, c.rows) << c.argument;
        EXPECT_EQ(cl.fixedRowSEQ, c.seq) << c.argument;
    }
}

TEST(CommandLine, FieldsAreTrimmedBeforeMatchingAndLaterKeysWin) {
    const CommandLine cl =
        ParseCommandLine("a.csv,  Key:Caption=First  ,\tKey:FixedRows=1 ,Key:Caption=Second");
    EXPECT_EQ(cl.target, "a.csv");
    EXPECT_EQ(cl.caption, "Second");
    EXPECT_EQ(cl.fixedRows, 1);
}

TEST(CommandLine, ClipboardRequest) {
    const CommandLine cl = ParseCommandLine("Key:ClipBoard,Key:ClipCaption=貼り付け 1");
    EXPECT_TRUE(cl.clipboard);
    EXPECT_EQ(cl.clipCaption, "貼り付け 1");
    EXPECT_TRUE(ParseCommandLine("key:clipboard").clipboard);
    EXPECT_TRUE(ParseCommandLine("open KEY:CLIPBOARD now").clipboard);
    EXPECT_FALSE(ParseCommandLine("/data/list.csv,Key:ClipBoard").clipboard)
        << "only the first field asks for the clipboard";
    EXPECT_FALSE(ParseCommandLine("Key:Clip").clipboard);
}

TEST(CommandLine, TargetLosesTrailingSlashesButNeverTheRoot) {
    const struct {
        const char* argument;
        const char* target;
    } cases[] = {
        {"/data/dir/", "/data/dir"},
        {"/data/dir///,Key:FixedRows=1", "/data/dir"},
        {"/", "/"},
        {"///", "/"},
        {"/data/list.csv", "/data/list.csv"},
        {"relative/", "relative"},
        {"\"/data/a,b/\"", "/data/a,b"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseCommandLine(c.argument).target, c.target) << c.argument;
}

TEST(CommandLine, EmptyArgumentAsksForNothing) {
    EXPECT_EQ(ParseCommandLine(""), CommandLine{});
    EXPECT_EQ(ParseCommandLine("   "), CommandLine{});
}

TEST(DroppedPath, SurvivesTheCommandLineParser) {
    const char* const paths[] = {
        "/tmp/plain.csv",
        "/tmp/a,b,c.csv",
        "/tmp/say \"hi\".csv",
        "/tmp/ blanks around .csv ",
        "/home/ユーザー/表,データ \"最新\".csv",
        "/tmp/line\nbreak\r\n.csv",
        "\"",
        "/tmp/a\"\",\"b",
        "/tmp/Key:Caption=x,Key:FixedRows=3",
        "/tmp/raw\xff\xfe,bytes",
        "/",
    };
    for (const char* path : paths) {
        const CommandLine cl = ParseCommandLine(QuoteDroppedPath(path));
        EXPECT_EQ(cl.target, path) << QuoteDroppedPath(path);
        EXPECT_EQ(cl.caption, "");
        EXPECT_EQ(cl.fixedRows, std::nullopt);
        EXPECT_FALSE(cl.clipboard);
    }
    EXPECT_EQ(ParseCommandLine(QuoteDroppedPath("/tmp/folder/")).target, "/tmp/folder");
}

} // namespace
} // namespace tabulix

namespace tabulix {
namespace {

// A file manager hands over one path, commas and all; a name that is not an
// existing file is split as usual.
TEST(CommandLine, AnExistingFileIsTakenWholeCommasAndAll) {
    const auto dir = makeTemporaryFolder("tabulix-commas");
    const std::string path = (dir / "a,b,Key:FixedRows=3.csv").string();
    writeBytes(path, "x\r\n");
    EXPECT_EQ(ParseCommandLine(path).target, path);
    EXPECT_FALSE(ParseCommandLine(path).fixedRows);
    EXPECT_EQ(ParseCommandLine((dir / "none,Key:FixedRows=3").string()).fixedRows, 3);
    std::filesystem::remove_all(dir);
    EXPECT_NE(CommandLineUsage().find("Key:ClipBoard"), std::string::npos);
}

} // namespace
} // namespace tabulix
