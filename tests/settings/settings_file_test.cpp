#include "TestFiles.h"
#include "csv/Separators.h"
#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <stdlib.h>
#include <unistd.h>

namespace tabulix {
namespace {

namespace fs = std::filesystem;

Settings read(std::string_view text) {
    Settings s;
    ReadSettingsText(text, s);
    return s;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            out.push_back(text.substr(start) + "<no CR LF>");
            break;
        }
        out.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class TempFolder {
public:
    TempFolder() { path_ = makeTemporaryFolder("tabulix-settings"); }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value != nullptr)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// Every field away from its default, the two print records different from
// each other.
PrintSettings customPrint(int base) {
    PrintSettings p;
    p.cellScale = base + 1;
    p.cmbColor = base + 2;
    p.cmbCellWay = base + 3;
    p.cmbCalFont = base + 4;
    p.cmbCalRateH = base + 5;
    p.cmbCalRateW = base + 6;
    p.cmbCalTime = base + 7;
    p.cmbCalDateOnly = base + 8;
    p.cmbGray = base + 9;
    p.cmbGray3 = base + 10;
    p.cmbLineKind = base + 11;
    p.cmbMgnUp = base + 12;
    p.cmbMgnLeft = base + 13;
    p.cmbScale = base + 14;
    p.cmbResetScl = base + 15;
    p.printerIndex = base + 16;
    p.prtOrient = "横";
    p.prtPaper = "B" + std::to_string(base);
    p.savePath = "/home/ユーザー/出力 " + std::to_string(base) + ".csv";
    p.htmlPath = "/tmp/a,b=c " + std::to_string(base) + ".html";
    p.fixedCenter = false;
    p.dataCenter = true;
    p.trimSpace = true;
    p.dateEdit = true;
    p.breakColor = false;
    p.karaGyoColor = true;
    p.karaGyoBlack = true;
    p.printRowNo = false;
    p.printColNo = false;
    p.printFileName = true;
    p.printPathName = false;
    p.printDate = false;
    p.printPage = false;
    return p;
}

Settings customSettings() {
    Settings s;
    s.windowTop = 12;
    s.windowLeft = 34;
    s.windowWidth = 800;
    s.windowHeight = 600;
    s.pathEditFile = "/home/ユーザー/表 データ/一覧,2024.csv";
    s.pathExcelFile = "/data/book=1.xlsx";
    s.pathSelectFile = "/data/\"quoted\".csv";
    s.pathInsertFile = "/data/insert.csv";
    s.winSta = 1;
    s.fixedCenter = false;
    s.dataCenter = true;
    s.trimSpace = true;
    s.dateEdit = true;
    s.breakColor = false;
    s.karaGyoColor = false;
    s.karaGyoBlack = true;
    s.confPaste = false;
    s.confClear = false;
    s.confInsert = false;
    s.confCopy = false;
    s.confMove = false;
    s.confDelete = false;
    s.fixedRowSEQ = true;
    s.cmbFixedKeta = 99;
    s.cmbFixedCol = 7;
    s.cmbFixedRows = 10;
    s.cmbKomRow = 3;
    s.cmbLimColLen = 38;
    s.cmbFold = 30;
    s.cmbCrNext = 2;
    s.cmbBunri = 22;
    s.cmbMoji = 3;
    s.cmbZoneSign = 1;
    s.cmbVertKomKeta = 0;
    for (int i = 0; i < kFindWordCount; ++i)
        s.findWords[i] = "語 " + std::to_string(i);
    s.printMain = customPrint(20);
    s.printBrowser = customPrint(40);
    return s;
}

// --- ReadKeyValue ----------------------------------------------------------

TEST(ReadKeyValue, MatchesTheNameBeforeTheFirstEqualsSign) {
    const struct {
        const char* line;
        const char* name;
        std::optional<std::string> value;
    } cases[] = {
        {"WinSta=1", "WinSta", "1"},
        {"winsta=1", "WinSta", "1"},
        {"WINSTA=1", "WinSta", "1"},
        {"WinSta = 1", "WinSta", std::nullopt},
        {"WinSta =1", "WinSta", std::nullopt},
        {" WinSta=1", "WinSta", std::nullopt},
        {"WinStaX=1", "WinSta", std::nullopt},
        {"WinSta", "WinSta", std::nullopt},
        {"WinSta=", "WinSta", ""},
        {"WinSta=a=b", "WinSta", "a=b"},
        {"Path_EditFile=  /a b/c.csv  ", "Path_EditFile", "/a b/c.csv"},
        {"Path_EditFile=\t\x01/x y\x7f\r", "Path_EditFile", "/x y"},
        {"Path_EditFile=/x\ty", "Path_EditFile", "/x\ty"},
        {"Key:BNR=空白", "key:bnr", "空白"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadKeyValue(c.line, c.name), c.value) << c.line;
}

TEST(ReadKeyValue, TypedForms) {
    EXPECT_EQ(ReadKeyInteger("Cmb_Fold=12", "Cmb_Fold"), 12);
    EXPECT_EQ(ReadKeyInteger("Cmb_Fold= -3 ", "Cmb_Fold"), -3);
    EXPECT_EQ(ReadKeyInteger("Cmb_Fold=+4", "Cmb_Fold"), 4);
    EXPECT_EQ(ReadKeyInteger("Cmb_Fold=1x", "Cmb_Fold"), std::nullopt);
    EXPECT_EQ(ReadKeyInteger("Cmb_Fold=", "Cmb_Fold"), std::nullopt);
    EXPECT_EQ(ReadKeyInteger("Cmb_Fold=1 2", "Cmb_Fold"), std::nullopt);
    EXPECT_EQ(ReadKeyInteger("Cmb_Fold=+-4", "Cmb_Fold"), std::nullopt);
    EXPECT_EQ(ReadKeyInteger("Cmb_Fold=2147483648", "Cmb_Fold"), std::nullopt);
    EXPECT_EQ(ReadKeyInteger("Cmb_Fold=-2147483648", "Cmb_Fold"), -2147483648);
    EXPECT_EQ(ReadKeyInteger("Other=1", "Cmb_Fold"), std::nullopt);

    EXPECT_EQ(ReadKeyBoolean("Key:FixedRowSEQ=true", "Key:FixedRowSEQ"), true);
    EXPECT_EQ(ReadKeyBoolean("Key:FixedRowSEQ= TRUE ", "Key:FixedRowSEQ"), true);
    EXPECT_EQ(ReadKeyBoolean("Key:FixedRowSEQ=1", "Key:FixedRowSEQ"), false);
    EXPECT_EQ(ReadKeyBoolean("Key:FixedRowSEQ=Truly", "Key:FixedRowSEQ"), false);
    EXPECT_EQ(ReadKeyBoolean("Key:FixedRowSEQ=", "Key:FixedRowSEQ"), false);
    EXPECT_EQ(ReadKeyBoolean("Key:FixedRows=True", "Key:FixedRowSEQ"), std::nullopt);
}

// --- Reading ---------------------------------------------------------------

TEST(SettingsRead, NamesIgnoreCaseButNotBlanks) {
    EXPECT_EQ(read("winsta=1\r\n").winSta, 1);
    EXPECT_EQ(read("WinSta = 1\r\n").winSta, 0);
    EXPECT_EQ(read("path_editfile=   /home/u/a b.csv   \r\n").pathEditFile, "/home/u/a b.csv");
}

TEST(SettingsRead, BooleansAreTrueForEveryValueButZero) {
    const struct {
        const char* value;
        bool expected;         // read into DataCenter (default false) ...
        bool expectedFromTrue; // ... and into FixedCenter (default true)
    } cases[] = {
        {"1", true, true},  {"0", false, false},  {"2", true, true},
        {"-1", true, true}, {"00", false, false}, {" 0 ", false, false},
        {"", true, true},   {"abc", true, true},  {"True", true, true},
    };
    for (const auto& c : cases) {
        const Settings s =
            read(std::string("DataCenter=") + c.value + "\r\nFixedCenter=" + c.value + "\r\n");
        EXPECT_EQ(s.dataCenter, c.expected) << c.value;
        EXPECT_EQ(s.fixedCenter, c.expectedFromTrue) << c.value;
    }
}

TEST(SettingsRead, UnusableIntegersKeepTheirDefaults) {
    for (const char* value : {"abc", "1.5", "", "16x", "99999999999", "0x10"}) {
        const Settings s = read(std::string("Cmb_FixedKeta=") + value + "\r\nWinSta=" + value);
        EXPECT_EQ(s.cmbFixedKeta, 16) << value;
        EXPECT_EQ(s.winSta, 0) << value;
    }
    EXPECT_EQ(read("Cmb_FixedKeta=-1").cmbFixedKeta, -1);
}

TEST(SettingsRead, WindowRectangleNeedsExactlyFourIntegers) {
    const struct {
        const char* value;
        std::array<int, 4> expected; // top, left, width, height
    } cases[] = {
        {"10,20,300,400", {10, 20, 300, 400}},
        {" 10 , 20 , 300 , 400 ", {10, 20, 300, 400}},
        {"-5,-6,7,8", {-5, -6, 7, 8}},
        {"1,2,3", {-1, -1, -1, -1}},
        {"1,2,3,4,5", {-1, -1, -1, -1}},
        {"1,2,,4", {-1, -1, -1, -1}},
        {"a,b,c,d", {-1, -1, -1, -1}},
        {"1,2,3,4,", {-1, -1, -1, -1}},
        {"", {-1, -1, -1, -1}},
    };
    for (const auto& c : cases) {
        const Settings s = read(std::string("Orm_Tabulix=") + c.value);
        EXPECT_EQ((std::array{s.windowTop, s.windowLeft, s.windowWidth, s.windowHeight}),
                  c.expected)
            << c.value;
    }
}

// A stored size beyond the screen is cut to it, and the cut rectangle is
// what the file gets back; a size that fits and the position stay.
TEST(WindowSize, LimitedToTheAvailableScreen) {
    const struct {
        const char* stored;
        const char* written;
    } cases[] = {
        {"10,20,100000,100000", "Orm_Tabulix=10,20,1600,960"},
        {"10,20,2147483647,500", "Orm_Tabulix=10,20,1600,500"},
        {"10,20,1600,960", "Orm_Tabulix=10,20,1600,960"},
        {"10,20,800,600", "Orm_Tabulix=10,20,800,600"},
        {"-1,-1,-1,-1", "Orm_Tabulix=-1,-1,-1,-1"},
    };
    for (const auto& c : cases) {
        Settings s = read(std::string("Orm_Tabulix=") + c.stored);
        LimitWindowSize(s, 1600, 960);
        EXPECT_EQ(lines(SettingsText(s)).front(), c.written) << c.stored;
    }
}

TEST(SettingsRead, EveryLineEndAndAByteOrderMarkAreAccepted) {
    const Settings s =
        read("\xEF\xBB\xBFOrm_Tabulix=1,2,3,4\nWinSta=1\rCmb_Fold=5\r\nCmb_KomRow=7");
    EXPECT_EQ(s.windowTop, 1);
    EXPECT_EQ(s.winSta, 1);
    EXPECT_EQ(s.cmbFold, 5);
    EXPECT_EQ(s.cmbKomRow, 7);
}

TEST(SettingsRead, LaterLinesWinAndUnknownLinesAreIgnored) {
    const Settings s = read("Cmb_Fold=5\r\nNoSuchKey=1\r\n[Section]\r\n=3\r\nCmb_Fold=6\r\n");
    Settings expected;
    expected.cmbFold = 6;
    EXPECT_EQ(s, expected);
}

TEST(SettingsRead, HistoryEntriesAreNumberedZeroToHundred) {
    const Settings s =
        read("FindWord0=最新\r\nfindword5= five \r\nFindWord100=last\r\nFindWord101=x\r\n"
             "FindWord-1=x\r\nFindWord07=x\r\n");
    std::array<std::string, kFindWordCount> expected;
    expected[0] = "最新";
    expected[5] = "five";
    expected[100] = "last";
    EXPECT_EQ(s.findWords, expected);
}

TEST(SettingsRead, BothPrintRecordsAreReadSeparately) {
    const Settings s = read("GP_CellScale=80\r\nGPB_CellScale=120\r\ngp_prt_paper=A3\r\n"
                            "GPB_PrintDate=0\r\nGP_Cmb_Gray=abc\r\nGPX_CellScale=1\r\n");
    EXPECT_EQ(s.printMain.cellScale, 80);
    EXPECT_EQ(s.printBrowser.cellScale, 120);
    EXPECT_EQ(s.printMain.prtPaper, "A3");
    EXPECT_TRUE(s.printMain.printDate);
    EXPECT_FALSE(s.printBrowser.printDate);
    EXPECT_EQ(s.printMain.cmbGray, 192);
}

TEST(SettingsRead, LinesOverTenThousandCharactersAreIgnored) {
    // 9998 characters plus CR LF is the longest line; characters, not bytes.
    const std::string prefix = "Path_EditFile=";
    const std::size_t room = 9998 - prefix.size();
    std::string wide;
    for (std::size_t i = 0; i < room; ++i)
        wide += "あ";
    const struct {
        std::string value;
        bool read;
    } cases[] = {
        {std::string(room, 'a'), true}, {std::string(room + 1, 'a'), false},  {wide, true},
        {wide + "あ", false},           {std::string(3'000'000, 'x'), false},
    };
    for (const auto& c : cases) {
        const Settings s = read(prefix + c.value + "\r\nWinSta=1\r\n");
        EXPECT_EQ(s.pathEditFile, c.read ? c.value : "") << c.value.size();
        EXPECT_EQ(s.winSta, 1) << "the line after a long one is read";
    }
    // Stray UTF-8 continuation bytes count no characters but still end the line's chance.
    const Settings s = read(prefix + std::string(50'000, '\x80') + "\nWinSta=1");
    EXPECT_EQ(s.pathEditFile, "");
    EXPECT_EQ(s.winSta, 1);
}

TEST(SettingsRead, BinaryDataChangesNothing) {
    std::string bytes = "\x89PNG\r\n\x1a\n";
    for (int round = 0; round < 50; ++round)
        for (int b = 0; b < 256; ++b)
            bytes += static_cast<char>((b * 37 + round) & 0xFF);
    EXPECT_EQ(read(bytes), Settings{});
}

TEST(SettingsRead, TruncatedTextKeepsEveryCompleteLine) {
    const std::string text = SettingsText(customSettings());
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        const std::string_view prefix = std::string_view(text).substr(0, cut);
        const std::size_t lastEnd = prefix.rfind("\r\n");
        const std::string_view complete =
            prefix.substr(0, lastEnd == std::string_view::npos ? 0 : lastEnd + 2);
        // Whatever the cut line gives, every line before it reads back as written.
        EXPECT_TRUE(SettingsText(read(prefix)).starts_with(complete)) << cut;
    }
}

// --- Writing ---------------------------------------------------------------

TEST(SettingsWrite, DefaultsGiveEveryLineInItsOrder) {
    std::vector<std::string> expected = {
        "Orm_Tabulix=-1,-1,-1,-1",
        "Path_EditFile=",
        "Path_ExcelFile=",
        "Path_SelectFile=",
        "Path_InsertFile=",
        "WinSta=0",
        "FixedCenter=1",
        "DataCenter=0",
        "TrimSpace=0",
        "DateEdit=0",
        "BreakColor=1",
        "KaraGyoColor=1",
        "KaraGyoBlack=0",
        "ConfPaste=1",
        "ConfClear=1",
        "ConfInsert=1",
        "ConfCopy=1",
        "ConfMove=1",
        "ConfDelete=1",
        "FixedRowSEQ=0",
        "Cmb_FixedKeta=16",
        "Cmb_FixedCol=0",
        "Cmb_FixedRows=1",
        "Cmb_KomRow=1",
        "Cmb_LimColLen=10",
        "Cmb_Fold=0",
        "Cmb_CrNext=4",
        "Cmb_Bunri=1",
        "Cmb_Moji=0",
        "Cmb_ZoneSign=0",
        "Cmb_VertKomKeta=24",
    };
    for (const char* prefix : {"GP_", "GPB_"})
        for (const char* line :
             {"CellScale=100",   "Cmb_Color=0",      "Cmb_CellWay=0",   "Cmb_Cal_Font=9",
              "Cmb_Cal_RateH=9", "Cmb_Cal_RateW=19", "Cmb_Cal_Time=0",  "Cmb_Cal_DateOnly=0",
              "Cmb_Gray=192",    "Cmb_Gray3=128",    "Cmb_LineKind=1",  "Cmb_MgnUp=3",
              "Cmb_MgnLeft=2",   "Cmb_Scale=9",      "Cmb_ResetScl=15", "PrinterIndex=-1",
              "Prt_Orient=",     "Prt_Paper=",       "SavePath=",       "HtmlPath=",
              "FixedCenter=1",   "DataCenter=0",     "TrimSpace=0",     "DateEdit=0",
              "BreakColor=1",    "KaraGyoColor=0",   "KaraGyoBlack=0",  "PrintRowNo=1",
              "PrintColNo=1",    "PrintFileName=0",  "PrintPathName=1", "PrintDate=1",
              "PrintPage=1"})
            expected.push_back(std::string(prefix) + line);
    EXPECT_EQ(lines(SettingsText(Settings{})), expected);
}

TEST(SettingsWrite, HistoryStopsAtTheFirstEmptyWord) {
    const auto historyLines = [](const Settings& s) {
        std::vector<std::string> out;
        for (const std::string& line : lines(SettingsText(s)))
            if (line.starts_with("FindWord")) out.push_back(line);
        return out;
    };
    Settings s;
    s.findWords[0] = "alpha";
    s.findWords[1] = "検索 語";
    s.findWords[2] = " gamma ";
    EXPECT_EQ(historyLines(s), (std::vector<std::string>{"FindWord0=alpha", "FindWord1=検索 語",
                                                         "FindWord2= gamma "}));

    s.findWords[3] = " \t ";
    s.findWords[4] = "after the gap";
    EXPECT_EQ(historyLines(s).size(), 3u);

    // A word too long for its line is left out; the numbering has no gap.
    s.findWords[1] = std::string(10'000, 'w');
    EXPECT_EQ(historyLines(s), (std::vector<std::string>{"FindWord0=alpha", "FindWord1= gamma "}));

    for (std::string& w : s.findWords)
        w = "w";
    const auto all = historyLines(s);
    ASSERT_EQ(all.size(), 101u);
    EXPECT_EQ(all.back(), "FindWord100=w");
}

TEST(SettingsWrite, ControlCharactersNeverAddALine) {
    Settings s;
    s.pathEditFile = "/tmp/a\r\nWinSta=1\nb\tc\x7f\x01";
    s.findWords[0] = "x\ry";
    s.printMain.savePath = "\nCmb_Fold=9";
    const std::string text = SettingsText(s);
    const auto all = lines(text);
    EXPECT_EQ(all[1], "Path_EditFile=/tmp/aWinSta=1bc");
    EXPECT_NE(std::find(all.begin(), all.end(), "FindWord0=xy"), all.end());
    EXPECT_NE(std::find(all.begin(), all.end(), "GP_SavePath=Cmb_Fold=9"), all.end());
    const Settings back = read(text);
    EXPECT_EQ(back.winSta, 0);
    EXPECT_EQ(back.cmbFold, 0);
}

TEST(SettingsWrite, EverySettingSurvivesWritingAndReading) {
    const Settings custom = customSettings();
    // Every line differs from the default one: no key is left at its default.
    const auto defaultLines = lines(SettingsText(Settings{}));
    const auto customLines = lines(SettingsText(custom));
    for (const std::string& line : defaultLines)
        EXPECT_EQ(std::find(customLines.begin(), customLines.end(), line), customLines.end())
            << line;

    const Settings back = read(SettingsText(custom));
    EXPECT_EQ(back.printMain, custom.printMain);
    EXPECT_EQ(back.printBrowser, custom.printBrowser);
    EXPECT_EQ(back.findWords, custom.findWords);
    EXPECT_EQ(back, custom);
}

// --- Files -----------------------------------------------------------------

TEST(SettingsFile, SavedFileIsReadBack) {
    TempFolder dir;
    const fs::path file = dir.path() / "sub" / "folder" / kSettingsFileName;
    const Settings custom = customSettings();
    std::string reason;
    ASSERT_TRUE(SaveSettings(custom, file, &reason)) << reason;
    EXPECT_EQ(LoadSettings(file), custom);

    const std::string bytes = fileText(file);
    EXPECT_TRUE(bytes.starts_with("Orm_Tabulix=12,34,800,600\r\n")) << "UTF-8 without a BOM";
    EXPECT_NE(bytes.find("Path_EditFile=/home/ユーザー/表 データ/一覧,2024.csv\r\n"),
              std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), {}), 1)
        << "no temporary file stays";
}

TEST(SettingsFile, SavingReplacesTheOldFile) {
    TempFolder dir;
    const fs::path file = dir.path() / kSettingsFileName;
    writeFile(file, std::string(200'000, 'x'));
    ASSERT_TRUE(SaveSettings(Settings{}, file));
    EXPECT_EQ(fileText(file), SettingsText(Settings{}));
}

TEST(SettingsFile, SavingThroughALinkKeepsTheLink) {
    TempFolder dir;
    const fs::path real = dir.path() / "real.dat";
    const fs::path link = dir.path() / kSettingsFileName;
    writeFile(real, "WinSta=1\r\n");
    fs::create_symlink(real, link);
    Settings s;
    s.cmbFold = 3;
    ASSERT_TRUE(SaveSettings(s, link));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(LoadSettings(real).cmbFold, 3);
}

TEST(SettingsFile, UnwritableFolderReportsFailure) {
    TempFolder dir;
    const fs::path blocker = dir.path() / "not-a-folder";
    writeFile(blocker, "x");
    std::string reason;
    EXPECT_FALSE(SaveSettings(Settings{}, blocker / "tabulix" / kSettingsFileName, &reason));
    EXPECT_NE(reason.find("not-a-folder"), std::string::npos) << reason;

    // A folder standing where the file should be: nothing is left behind.
    const fs::path occupied = dir.path() / "occupied";
    fs::create_directories(occupied / "inside");
    reason.clear();
    EXPECT_FALSE(SaveSettings(Settings{}, occupied, &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2);
}

TEST(SettingsFile, UnreadableFilesGiveTheDefaults) {
    TempFolder dir;
    const fs::path missing = dir.path() / "missing.dat";
    const fs::path empty = dir.path() / "empty.dat";
    const fs::path binary = dir.path() / "binary.dat";
    const fs::path folder = dir.path() / "folder.dat";
    writeFile(empty, "");
    std::string bytes(1 << 20, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 7919) >> 3);
    writeFile(binary, bytes);
    fs::create_directory(folder);
    for (const fs::path& p : {missing, empty, binary, folder})
        EXPECT_EQ(LoadSettings(p), Settings{}) << p;
}

TEST(SettingsFile, TruncatedFileKeepsWhatItHolds) {
    TempFolder dir;
    const fs::path file = dir.path() / kSettingsFileName;
    writeFile(file, "Cmb_Fold=5\r\nOrm_Tabulix=10,20,30");
    const Settings s = LoadSettings(file);
    EXPECT_EQ(s.cmbFold, 5);
    EXPECT_EQ(s.windowTop, -1);
    EXPECT_EQ(s.windowHeight, -1);
}

TEST(SettingsFile, LongLinesAcrossReadChunksAreIgnored) {
    TempFolder dir;
    const fs::path file = dir.path() / kSettingsFileName;
    // The file is read in 64 KiB pieces: a short line straddles the first
    // edge, a long one the second.
    std::string text = "Path_EditFile=" + std::string(65532 - 16, 'p') + "\r\n";
    ASSERT_EQ(text.size(), 65532u);
    text += "WinSta=1\r\nPath_ExcelFile=" + std::string(70'000, 'x') + "\r\nCmb_Fold=4";
    writeFile(file, text);
    const Settings s = LoadSettings(file);
    EXPECT_EQ(s.pathEditFile, "");
    EXPECT_EQ(s.winSta, 1);
    EXPECT_EQ(s.pathExcelFile, "");
    EXPECT_EQ(s.cmbFold, 4);
}

// --- Location --------------------------------------------------------------

TEST(SettingsLocation, ChoosesOverrideProgramFolderOrConfigFolder) {
    const struct {
        SettingsPlaces places;
        fs::path expected;
    } cases[] = {
        {{"/custom", "/opt/tabulix", true, false, "/xdg", "/home/u"}, "/custom"},
        {{"/custom", "/usr/bin", true, true, "/xdg", "/home/u"}, "/custom"},
        {{"", "/opt/tabulix", true, false, "/xdg", "/home/u"}, "/opt/tabulix"},
        // Installed and run by root: /usr/bin is writable but not the place.
        {{"", "/usr/bin", true, true, "/xdg", "/home/u"}, "/xdg/tabulix"},
        {{"", "/usr/bin", true, true, "", "/root"}, "/root/.config/tabulix"},
        {{"", "/opt/tabulix", false, false, "/xdg", "/home/u"}, "/xdg/tabulix"},
        {{"", "/opt/tabulix", false, false, "relative", "/home/u"}, "/home/u/.config/tabulix"},
        {{"", "/opt/tabulix", false, false, "", "/home/u"}, "/home/u/.config/tabulix"},
        {{"", "", false, false, "", "/home/u"}, "/home/u/.config/tabulix"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseSettingsFolder(c.places), c.expected) << c.expected;
}

TEST(SettingsLocation, TakesThePlacesOfThisProcess) {
    ScopedEnv overrideDir("TABULIX_SETTINGS_DIR", nullptr);
    ScopedEnv xdg("XDG_CONFIG_HOME", "/xdg/config");
    ScopedEnv home("HOME", "/home/someone");
    const SettingsPlaces places = CurrentSettingsPlaces();
    EXPECT_EQ(places.overrideFolder, "");
    EXPECT_EQ(places.xdgConfigHome, "/xdg/config");
    EXPECT_EQ(places.home, "/home/someone");
    EXPECT_TRUE(fs::exists(places.programFolder / "settings_tests")) << places.programFolder;
    EXPECT_EQ(places.programFolderWritable, ::access(places.programFolder.c_str(), W_OK) == 0);
    // The build folder is no installed program's.
    EXPECT_FALSE(places.programInstalled);
}

TEST(SettingsLocation, EnvironmentOverrideNamesTheFolder) {
    TempFolder dir;
    ScopedEnv overrideDir("TABULIX_SETTINGS_DIR", dir.path().c_str());
    EXPECT_EQ(SettingsFilePath(), dir.path() / "TabulixOpt2.Dat");
}

// --- Stored indexes --------------------------------------------------------

TEST(StoredIndexes, FallBackWhenOutsideTheirLists) {
    const struct {
        const char* name;
        int Settings::*field;
        int stored;
        int applied;
    } cases[] = {
        {"Bunri beyond", &Settings::cmbBunri, 23, 0},
        {"Bunri none", &Settings::cmbBunri, -1, 0},
        {"Bunri last", &Settings::cmbBunri, 22, 22},
        {"LimColLen beyond", &Settings::cmbLimColLen, 39, 6},
        {"LimColLen none", &Settings::cmbLimColLen, -1, 6},
        {"LimColLen last", &Settings::cmbLimColLen, 38, 38},
        {"FixedCol kept", &Settings::cmbFixedCol, 57, 57},
        {"FixedKeta beyond", &Settings::cmbFixedKeta, 100, 16},
        {"FixedKeta last", &Settings::cmbFixedKeta, 99, 99},
        {"FixedRows beyond", &Settings::cmbFixedRows, 11, 1},
        {"FixedRows none", &Settings::cmbFixedRows, -1, 1},
        {"FixedRows last", &Settings::cmbFixedRows, 10, 10},
        {"KomRow beyond", &Settings::cmbKomRow, 11, 1},
        {"Fold beyond", &Settings::cmbFold, 31, 0},
        {"Fold last", &Settings::cmbFold, 30, 30},
        {"CrNext beyond", &Settings::cmbCrNext, 5, 4},
        {"CrNext first", &Settings::cmbCrNext, 0, 0},
        {"Moji beyond", &Settings::cmbMoji, 5, 0},
        {"Moji last", &Settings::cmbMoji, 4, 4},
        {"ZoneSign beyond", &Settings::cmbZoneSign, 2, 0},
        {"ZoneSign last", &Settings::cmbZoneSign, 1, 1},
        {"VertKomKeta beyond", &Settings::cmbVertKomKeta, 100, 24},
        {"VertKomKeta last", &Settings::cmbVertKomKeta, 99, 99},
    };
    for (const auto& c : cases) {
        Settings s;
        s.*c.field = c.stored;
        NormaliseIndexes(s);
        EXPECT_EQ(s.*c.field, c.applied) << c.name;
    }
    EXPECT_EQ(static_cast<std::size_t>(kBunriItems), separatorTable().size());
}

TEST(StoredIndexes, FileValuesAreKeptUntilApplied) {
    Settings s = read("Cmb_Bunri=99\r\nCmb_FixedCol=40\r\nCmb_LimColLen=-1\r\n");
    EXPECT_EQ(s.cmbBunri, 99);
    NormaliseIndexes(s);
    EXPECT_EQ(s.cmbBunri, 0);
    EXPECT_EQ(s.cmbFixedCol, 40);
    EXPECT_EQ(s.cmbLimColLen, 6);
}

} // namespace
} // namespace tabulix
