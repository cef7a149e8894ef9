#include "TestFiles.h"
#include "WindowTest.h"

#include "app/TFm_Tabulix01.h"
#include "settings/SettingsFile.h"
#include "view/GridWidget.h"

#include <QAction>
#include <QByteArray>
#include <QComboBox>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tabulix {
namespace {

namespace fs = std::filesystem;

class StartupTest : public WindowTest {
protected:
    void SetUp() override { makeFolder(); }
    void open(Settings settings = {}) { openWindow(std::move(settings), path("TabulixOpt2.Dat")); }
};

TEST_F(StartupTest, ArgumentWithKeysLoadsTheFileWithItsLayoutAndCaption) {
    writeBytes(path("list.csv"), "番号\t名前\r\n区分\t備考\r\n1\t山田\r\n2\t佐藤\r\n");
    open();
    window->CommandLineHandler(path("list.csv") +
                               ",Key:FixedRows=2,Key:BNR=TAB,Key:Caption=会員名簿");
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(cell(3, 3), "山田");
    EXPECT_EQ(window->Grid().fixedRows(), 3);
    EXPECT_EQ(cell(0, 3), "1");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("会員名簿"));
    EXPECT_EQ(window->controls().Cmb_Bunri->currentIndex(), 2);
}

TEST_F(StartupTest, StartArgumentIsHandedOverOnceTheWindowIsShown) {
    writeBytes(path("a.csv"), "x,y\r\n");
    window = std::make_unique<TFm_Tabulix01>(dialogs, clipboard, Settings{});
    window->setStartArgument(path("a.csv") + ",Key:FixedRows=0");
    window->show();
    QTRY_COMPARE(QString::fromStdString(cell(3, 1)), QStringLiteral("y"));
    EXPECT_EQ(window->Grid().fixedRows(), 1);
}

// The file is read and filled while the window waits to hand the argument
// over, with the separator and header rows its keys choose; the load shows
// the file as it is when the argument is handled.
TEST_F(StartupTest, TheFileReadWhileWaitingIsTheFileAsItIsWhenHandedOver) {
    for (const bool rewritten : {false, true}) {
        writeBytes(path("t.tsv"), "見出し\tb\r\na,1\tb\r\n");
        window = std::make_unique<TFm_Tabulix01>(dialogs, clipboard, Settings{});
        window->setStartArgument(path("t.tsv") + ",Key:BNR=TAB,Key:FixedRows=1");
        window->show();
        if (rewritten) writeBytes(path("t.tsv"), "見出し\r\nc\td\te,2\r\n");
        QTRY_COMPARE(window->windowTitle().contains(QStringLiteral("t.tsv")), true);
        EXPECT_EQ(cell(2, 2), rewritten ? "c" : "a,1");
        EXPECT_EQ(cell(3, 2), rewritten ? "d" : "b");
        EXPECT_EQ(cell(4, 2), rewritten ? "e,2" : "");
        EXPECT_EQ(cell(0, 1), "");  // the header row shows no number
        EXPECT_EQ(cell(0, 2), "1");
        EXPECT_EQ(window->Grid().fixedRows(), 2);
        window.reset();
    }
}

// What the layout after a load gives a table: the fixed column, the widths,
// the heights and the shades.
struct LaidOut {
    std::vector<int> widths, heights;
    std::vector<std::string> fixedColumn;
    std::string shades;
    bool operator==(const LaidOut&) const = default;
};

LaidOut laidOut(TFm_Tabulix01& window) {
    LaidOut out;
    const StringGrid& grid = window.Grid();
    for (int c = 0; c < grid.colCount(); ++c)
        out.widths.push_back(grid.colWidth(c));
    for (int r = 0; r < grid.rowCount(); ++r) {
        out.heights.push_back(grid.rowHeight(r));
        out.fixedColumn.emplace_back(grid.cell(1, r));
        for (int c = 0; c < grid.colCount(); ++c)
            out.shades += window.table().shades.test(r, c) ? '1' : '0';
    }
    return out;
}

// The table laid out while the window waits to hand the argument over is
// laid out as the window lays out the same file opened later; an option
// changed in the wait (dates shown with slashes: wider columns) has it laid
// out afresh.
TEST_F(StartupTest, TheTableLaidOutWhileWaitingIsLaidOutAsTheWindowWouldThen) {
    std::string text = "名前,日付,備考\r\n";
    for (int r = 0; r < 400; ++r)
        text += "n" + std::to_string(r / 7) + "," + (r % 5 ? "20240315" : "") + "," +
                (r % 50 == 3 ? std::string(300, 'w') : r % 61 == 5 ? "\"a\nb\nc\"" : "x") + "\r\n";
    writeBytes(path("t.csv"), text);
    Settings settings;
    settings.cmbFixedCol = 1;
    const std::string argument = path("t.csv") + ",Key:FixedRows=1";
    for (const bool changedWhileWaiting : {false, true}) {
        TFm_Tabulix01 started(dialogs, clipboard, settings);
        started.setStartArgument(argument);
        started.show();
        if (changedWhileWaiting) started.action("Mn_DateEdit")->setChecked(true);
        QTRY_COMPARE(started.windowTitle().contains(QStringLiteral("t.csv")), true);

        TFm_Tabulix01 opened(dialogs, clipboard, settings);
        opened.show();
        if (changedWhileWaiting) opened.action("Mn_DateEdit")->setChecked(true);
        opened.CommandLineHandler(argument);
        const LaidOut expected = laidOut(opened);
        EXPECT_EQ(expected.fixedColumn[3], " n0");
        const LaidOut got = laidOut(started);
        EXPECT_EQ(got.widths, expected.widths) << changedWhileWaiting;
        EXPECT_EQ(got.heights, expected.heights) << changedWhileWaiting;
        EXPECT_EQ(got.fixedColumn, expected.fixedColumn) << changedWhileWaiting;
        EXPECT_EQ(got.shades, expected.shades) << changedWhileWaiting;
    }
}

TEST_F(StartupTest, AnUnreadableTargetKeepsTheTableAndTheCaption) {
    open();
    window->Grid().setCell(2, 1, "keep");
    window->CommandLineHandler(path("nothing.csv") + ",Key:Caption=X");
    EXPECT_EQ(dialogs.messages().back(),
              "\r\n★\r\n★ これは現在編集中か又は他で使用中のファイルです。\r\n★\r\n\r\n   "
              "PATH = " +
                  path("nothing.csv"));
    EXPECT_EQ(cell(2, 1), "keep");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tabulix Ver 3.05  [  ]"));
}

TEST_F(StartupTest, AFolderBecomesTheNextOpenFolderWithTrailingSlashesDropped) {
    open();
    window->CommandLineHandler(dir.string() + "//,Key:Caption=フォルダ");
    EXPECT_EQ(fs::path(window->settings().pathEditFile).parent_path(), dir);
    EXPECT_EQ(window->Grid().rowCount(), 2);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("フォルダ"));
}

TEST_F(StartupTest, ClipboardRequestUsesItsCaptionAndLeavesTheTableUnmodified) {
    open();
    clipboard.setText("a\tb\r\n");
    window->CommandLineHandler("Key:ClipBoard,Key:ClipCaption=貼り付け");
    EXPECT_EQ(cell(3, 1), "b");
    EXPECT_FALSE(window->modified());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tabulix Ver 3.05  [ 貼り付け ]"));
}

TEST_F(StartupTest, AModifiedTableIsOfferedForSavingFirst) {
    writeBytes(path("b.csv"), "1\r\n");
    open();
    window->setModified(true);
    dialogs.answer(Answer::No);
    window->CommandLineHandler(path("b.csv"));
    EXPECT_EQ(dialogs.messages().front(), "内容が変更されています。\r\n\r\n保存しますか？");
    EXPECT_EQ(cell(2, 1), "1");
    EXPECT_FALSE(window->modified());
}

TEST_F(StartupTest, ADroppedFileWithACommaInItsNameIsOpened) {
    writeBytes(path("a,b.csv"), "dropped\r\n");
    open();
    window->openDropped({QUrl::fromLocalFile(QString::fromStdString(path("a,b.csv"))),
                         QUrl::fromLocalFile(QString::fromStdString(path("other.csv")))});
    EXPECT_EQ(cell(2, 1), "dropped");
    EXPECT_EQ(window->fileInf().path, path("a,b.csv"));
}

// A file name that is not UTF-8 (CP932 names from Windows archives) keeps
// its bytes from a drop and from the argument, and the file is read.
TEST_F(StartupTest, FileNamesThatAreNotUtf8KeepTheirBytes) {
    const std::string name = path("\x95\x5C.csv"); // 表.csv in CP932
    writeBytes(name, "cp932 name\r\n");
    open();
    window->openDropped({QUrl::fromEncoded(
        "file://" + QByteArray::fromStdString(name).toPercentEncoding("/"))});
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(cell(2, 1), "cp932 name");
    EXPECT_EQ(window->fileInf().path, name);
    EXPECT_EQ(window->settings().pathEditFile, name);
    // The caption shows the name read as CP932.
    EXPECT_EQ(window->windowTitle(),
              QString::fromStdString("Tabulix Ver 3.05  [ " + path("表.csv") + " ]"));

    // A name that is missing is told, read as CP932.
    window->CommandLineHandler(path("\x95\x5Cx.csv"));
    EXPECT_EQ(dialogs.messages().back(),
              "\r\n★\r\n★ これは現在編集中か又は他で使用中のファイルです。\r\n★\r\n\r\n   "
              "PATH = " +
                  path("表x.csv"));

    writeBytes(name, "again\r\n");
    window->CommandLineHandler(name + ",Key:Caption=表");
    EXPECT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(cell(2, 1), "again");
    EXPECT_EQ(window->fileInf().path, name);
}

TEST_F(StartupTest, StoredIndexesOutsideTheirListsFallBack) {
    Settings s;
    s.cmbBunri = 99;
    s.cmbLimColLen = -1;
    s.cmbFixedRows = 57;
    s.cmbMoji = 2;
    open(s);
    const ToolControls& c = window->controls();
    EXPECT_EQ(c.Cmb_Bunri->currentIndex(), 0);
    EXPECT_TRUE(window->separator().isNone());
    EXPECT_EQ(c.Cmb_LimColLen->currentIndex(), 6);
    EXPECT_EQ(c.Cmb_FixedRows->currentIndex(), 1);
    EXPECT_EQ(c.Cmb_Moji->currentIndex(), 2);
}

TEST_F(StartupTest, ExitWritesTheControlsIntoTheSettingsFile) {
    Settings s;
    s.findWords[0] = "検索語";
    s.cmbFixedCol = 3; // kept for the next load while no table is loaded
    open(s);
    window->controls().Cmb_FixedRows->setCurrentIndex(4);
    window->controls().Cmb_Moji->setCurrentIndex(1);
    window->action("Mn_ConfDelete")->setChecked(false);
    window->setGeometry(120, 90, 700, 500);
    ASSERT_TRUE(window->close());
    const Settings back = LoadSettings(dir / "TabulixOpt2.Dat");
    EXPECT_EQ(back.cmbFixedRows, 4);
    EXPECT_EQ(back.cmbMoji, 1);
    EXPECT_FALSE(back.confDelete);
    EXPECT_EQ(back.findWords[0], "検索語");
    EXPECT_EQ(back.cmbFixedCol, 3);
    EXPECT_EQ(back.windowWidth, 700);
    EXPECT_EQ(back.windowHeight, 500);
    EXPECT_EQ(back.winSta, 0);
    window.reset();
}

} // namespace
} // namespace tabulix
