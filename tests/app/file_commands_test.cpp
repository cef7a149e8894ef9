#include "TestFiles.h"
#include "WindowTest.h"

#include "app/TFm_Tabulix01.h"
#include "view/GridWidget.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace tabulix {
namespace {

namespace fs = std::filesystem;

const char* const kSaveQuestion = "内容が変更されています。\r\n\r\n保存しますか？";

class FileCommandsTest : public WindowTest {
protected:
    void SetUp() override {
        makeFolder();
        openWindow();
    }
    void openThroughDialog(const std::string& file) {
        dialogs.answerFile(file);
        window->action("Mn_FileOpen")->trigger();
    }
};

// The fixed column chosen in an earlier run is shown after the load, and the
// row heights of folding count it at its own width.
TEST_F(FileCommandsTest, StoredFixedColumnIsShownAndFoldedRowsKeepTheirHeight) {
    window->close();
    Settings settings;
    settings.cmbFixedCol = 2;
    settings.cmbFold = 0; // automatic folding
    openWindow(settings);
    writeBytes(path("会員.csv"), "番号,名前\r\n1,山田\r\n2,佐藤\r\n");
    openThroughDialog(path("会員.csv"));
    EXPECT_EQ(window->controls().Cmb_FixedCol->currentIndex(), 2);
    EXPECT_EQ(cell(1, 0), "固定列");
    EXPECT_EQ(cell(1, 2), " 山田");
    EXPECT_EQ(cell(1, 3), " 佐藤");
    const StringGrid& g = window->Grid();
    for (int r = 1; r < g.rowCount(); ++r)
        EXPECT_EQ(g.rowHeight(r), g.defaultRowHeight()) << r;
}

TEST_F(FileCommandsTest, OpenReadsTheFileIntoTheGrid) {
    writeBytes(path("会員.csv"), "番号,名前\r\n1,\"山田, 太郎\"\r\n2,佐藤\r\n");
    openThroughDialog(path("会員.csv"));
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].kind, "open");
    EXPECT_EQ(dialogs.shown()[0].text, "読み込む Csv ファイルを選択して下さい。");

    EXPECT_EQ(window->Grid().rowCount(), 4);
    EXPECT_EQ(window->Grid().colCount(), 4);
    EXPECT_EQ(cell(3, 2), "山田, 太郎");
    // One header row by default: the numbering starts below it.
    EXPECT_EQ(window->Grid().fixedRows(), 2);
    EXPECT_EQ(cell(0, 1), "");
    EXPECT_EQ(cell(0, 2), "1");
    EXPECT_EQ(window->windowTitle(),
              QString::fromStdString("Tabulix Ver 3.05  [ " + path("会員.csv") + " ]"));
    EXPECT_EQ(window->controls().Lab_Records->text(), QStringLiteral("2"));
    EXPECT_EQ(window->controls().Lab_Fields->text(), QStringLiteral("2 "));
    EXPECT_EQ(window->controls().Lab_Moji->text(), QStringLiteral("UTF-8"));
    const QPalette message = window->controls().pnlMsg->palette();
    EXPECT_EQ(message.color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_EQ(message.color(QPalette::Window), message.color(QPalette::Button));
    EXPECT_EQ(window->settings().pathEditFile, path("会員.csv"));
    EXPECT_EQ(window->gridWidget()->currentRow(), 2);
    EXPECT_FALSE(window->modified());
    EXPECT_TRUE(window->gridWidget()->isVisible());
    EXPECT_TRUE(window->baseCaption().isEmpty());
}

TEST_F(FileCommandsTest, AFileThatCannotBeReadChangesNothing) {
    writeBytes(path("a.csv"), "x,y\r\n");
    openThroughDialog(path("a.csv"));
    window->Grid().setCell(2, 1, "edited");
    window->setModified(true);

    dialogs.answer(Answer::No); // do not save first
    openThroughDialog(path("gone.csv"));
    EXPECT_EQ(dialogs.messages().back(),
              "ファイルを読み込めませんでした。\r\n\r\n   PATH = " + path("gone.csv"));
    EXPECT_EQ(cell(2, 1), "edited");
    EXPECT_TRUE(window->modified());
    EXPECT_EQ(window->fileInf().path, path("a.csv"));
    EXPECT_EQ(window->settings().pathEditFile, path("a.csv"));
    EXPECT_TRUE(window->gridWidget()->isVisible());
    EXPECT_TRUE(window->controls().Btn_OpenCsv->isEnabled());
}

TEST_F(FileCommandsTest, OpeningOverAModifiedTableOffersToSaveFirst) {
    window->setModified(true);
    writeBytes(path("b.csv"), "1\r\n");
    dialogs.answer(Answer::Yes);
    dialogs.answerFile(path("saved"));
    openThroughDialog(path("b.csv"));
    EXPECT_EQ(dialogs.shown()[0].text, kSaveQuestion);
    EXPECT_EQ(dialogs.shown()[1].kind, "save");
    EXPECT_TRUE(fs::exists(path("saved.csv")));
    EXPECT_EQ(window->fileInf().path, path("b.csv"));
}

TEST_F(FileCommandsTest, SaveButtonConfirmsAndWritesTheTable) {
    writeBytes(path("t.csv"), "a,\"b,c\"\r\n\"x\"\"y\",\r\n");
    openThroughDialog(path("t.csv"));
    window->Grid().setCell(2, 2, "new\nline");
    window->setModified(true);
    window->SaveTimerTimer();
    ASSERT_TRUE(window->controls().Btn_Save->isEnabled());
    EXPECT_TRUE(window->controls().Btn_Save->font().bold());

    dialogs.answer(Answer::Yes);
    window->controls().Btn_Save->click();
    EXPECT_EQ(dialogs.shown().back().kind, "confirm");
    EXPECT_EQ(dialogs.shown().back().text,
              "編集中の内容を下記のファイル名で保存します。\r\n\r\n     PATH = " + path("t.csv"));
    EXPECT_EQ(readBytes(path("t.csv")), "a,\"b,c\"\r\n\"new\nline\",\r\n");
    EXPECT_FALSE(window->modified());
    window->SaveTimerTimer();
    EXPECT_FALSE(window->controls().Btn_Save->isEnabled());
    EXPECT_FALSE(window->controls().Btn_Save->font().bold());
}

// A table whose path is a workbook (read from one of its sheets) is saved
// through the dialog as a .csv beside it; the workbook is never overwritten.
TEST_F(FileCommandsTest, SavingNeverOverwritesAWorkbook) {
    const std::string book("PK\x03\x04 the rest of a workbook", 30);
    writeBytes(path("book.xlsx"), book);
    window->Grid().setCell(2, 1, "値");
    window->fileInf().path = path("book.xlsx");
    window->setModified(true);
    dialogs.answerFile(path("book.xlsx"));
    window->Mn_FileSaveClick(true); // the save button
    ASSERT_FALSE(dialogs.shown().empty());
    EXPECT_EQ(dialogs.shown()[0].kind, "save");
    EXPECT_EQ(dialogs.shown()[0].request.name, "book.csv");
    EXPECT_EQ(dialogs.messages().back(),
              "このファイルは Excel のファイルなので上書きしません。\r\n\r\n     PATH = " + path("book.xlsx"));
    EXPECT_EQ(readBytes(path("book.xlsx")), book);
    EXPECT_TRUE(window->modified());
    dialogs.answerFile(path("book"));
    window->Mn_FileSaveClick(true);
    EXPECT_EQ(readBytes(path("book.csv")), "値\r\n");
}

TEST_F(FileCommandsTest, SaveFromTheMenuAsksForANameAndAddsCsv) {
    window->Grid().setCell(2, 1, "値");
    window->setModified(true);
    dialogs.answerFile(path("report"));
    window->action("Mn_FileSave")->trigger();
    EXPECT_EQ(dialogs.shown().back().kind, "save");
    EXPECT_EQ(dialogs.shown().back().request.defaultSuffix, "csv");
    EXPECT_EQ(readBytes(path("report.csv")), "値\r\n");
    EXPECT_EQ(window->fileInf().path, path("report.csv"));
    EXPECT_FALSE(window->modified());

    dialogs.answerFile(std::nullopt); // cancelled: nothing changes
    window->setModified(true);
    window->action("Mn_FileSave")->trigger();
    EXPECT_TRUE(window->modified());
}

TEST_F(FileCommandsTest, AFailedSaveKeepsTheOldFileThePathAndTheModifiedFlag) {
    writeBytes(path("keep.csv"), "old\r\n");
    openThroughDialog(path("keep.csv"));
    window->Grid().setCell(2, 1, "new");
    window->setModified(true);
    writeBytes(path("plainfile"), "");
    dialogs.answerFile(path("plainfile") + "/inside.csv"); // parent is not a folder
    window->action("Mn_FileSave")->trigger();
    EXPECT_EQ(dialogs.messages().back(), "出力ファイルの作成に失敗しました。");
    EXPECT_TRUE(window->modified());
    EXPECT_EQ(window->fileInf().path, path("keep.csv"));
    EXPECT_EQ(readBytes(path("keep.csv")), "old\r\n");
}

TEST_F(FileCommandsTest, ShiftJisTablesSaveBackUnchangedAndAskForUtf8WhenNeeded) {
    // "表,ｶﾅ" in CP932.
    const std::string sjis = "\x95\x5c,\xb6\xc5\r\n";
    writeBytes(path("sjis.csv"), sjis);
    openThroughDialog(path("sjis.csv"));
    EXPECT_EQ(cell(2, 1), "表");
    EXPECT_EQ(cell(3, 1), "ｶﾅ");
    EXPECT_EQ(window->controls().Lab_Moji->text(), QStringLiteral("Shift_JIS"));
    dialogs.answer(Answer::Yes);
    window->Mn_FileSaveClick(true);
    EXPECT_EQ(readBytes(path("sjis.csv")), sjis);

    window->Grid().setCell(2, 1, "😀");
    window->setModified(true);
    dialogs.answer(Answer::Yes); // confirm the path
    dialogs.answer(Answer::No);  // no UTF-8: nothing is written
    EXPECT_EQ(window->Mn_FileSaveClick(true), TFm_Tabulix01::SaveOutcome::Failed);
    EXPECT_EQ(dialogs.messages().back(),
              "Shift_JIS で保存できない文字があります。\r\n\r\nUTF-8 で保存しますか？");
    EXPECT_EQ(readBytes(path("sjis.csv")), sjis);
    EXPECT_TRUE(window->modified());

    dialogs.answer(Answer::Yes);
    dialogs.answer(Answer::Yes);
    EXPECT_EQ(window->Mn_FileSaveClick(true), TFm_Tabulix01::SaveOutcome::Saved);
    EXPECT_EQ(readBytes(path("sjis.csv")), "😀,ｶﾅ\r\n");
    EXPECT_EQ(window->controls().Lab_Moji->text(), QStringLiteral("UTF-8"));
}

// A Shift_JIS table holding a byte that is no character cannot be written as
// UTF-8: the program says so and where, writes nothing, and does not ask the
// Shift_JIS question. Saved as Shift_JIS, the file comes back as it was.
TEST_F(FileCommandsTest, KeptBytesThatTheChosenEncodingCannotWriteAreReported) {
    const std::string sjis = "\x95\x5C,\x87\x90\r\n\"x\x8E\"|y,a\x80\r\n";
    writeBytes(path("raw.csv"), sjis);
    openThroughDialog(path("raw.csv"));
    EXPECT_EQ(window->controls().Lab_Moji->text(), QStringLiteral("Shift_JIS"));
    window->setModified(true);
    QComboBox* moji = window->controls().Cmb_Moji;
    const std::pair<int, std::string> choices[] = {{2, "UTF-8"}, {3, "UTF-8 (BOM付)"},
                                                   {4, "UTF-16LE (BOM付)"}};
    for (const auto& [index, name] : choices) {
        moji->setCurrentIndex(index);
        const std::size_t before = dialogs.shown().size();
        dialogs.answer(Answer::Yes); // confirm the path
        EXPECT_EQ(window->Mn_FileSaveClick(true), TFm_Tabulix01::SaveOutcome::Failed);
        ASSERT_EQ(dialogs.shown().size(), before + 2);
        EXPECT_EQ(dialogs.shown().back().kind, "information");
        EXPECT_EQ(dialogs.shown().back().text,
                  name + " で保存できない文字があります。\r\n\r\n   1 行目 、 2 列目\r\n\r\n"
                         "ファイルは書き込んでいません。");
        EXPECT_EQ(readBytes(path("raw.csv")), sjis);
        EXPECT_TRUE(window->modified());
    }
    // A character Shift_JIS lacks is asked about; UTF-8 then fails at a kept
    // byte, and that is said.
    moji->setCurrentIndex(0);
    window->Grid().setCell(2, 1, "😀");
    dialogs.answer(Answer::Yes);
    dialogs.answer(Answer::Yes);
    EXPECT_EQ(window->Mn_FileSaveClick(true), TFm_Tabulix01::SaveOutcome::Failed);
    const std::vector<std::string> messages = dialogs.messages();
    EXPECT_EQ(messages[messages.size() - 2],
              "Shift_JIS で保存できない文字があります。\r\n\r\nUTF-8 で保存しますか？");
    EXPECT_EQ(messages.back(), "UTF-8 で保存できない文字があります。\r\n\r\n   1 行目 、 2 列目"
                               "\r\n\r\nファイルは書き込んでいません。");
    EXPECT_EQ(readBytes(path("raw.csv")), sjis);

    window->Grid().setCell(2, 1, "表");
    dialogs.answer(Answer::Yes);
    EXPECT_EQ(window->Mn_FileSaveClick(true), TFm_Tabulix01::SaveOutcome::Saved);
    EXPECT_EQ(readBytes(path("raw.csv")), sjis);
}

TEST_F(FileCommandsTest, ATextEndingAtANulIsToldAtLoad) {
    writeBytes(path("nul.csv"), std::string("a,b\r\nc\0d,e\r\n", 12));
    openThroughDialog(path("nul.csv"));
    EXPECT_EQ(dialogs.messages().back(),
              "ファイルの途中に NUL 文字があります。\r\n\r\nNUL 文字から後の内容は読み込んでいません。"
              "\r\n\r\n   PATH = " +
                  path("nul.csv"));
    EXPECT_EQ(cell(2, 2), "c");
    const std::size_t shown = dialogs.shown().size();
    writeBytes(path("ok.csv"), "a,b\r\n");
    openThroughDialog(path("ok.csv"));
    EXPECT_EQ(dialogs.shown().size(), shown + 1); // the open dialog only
}

// Excel's "Unicode テキスト" (UTF-16 LE with BOM, tab-separated) opens and
// saves back as it was; " UTF-16 (BOM付)" saves any table so.
TEST_F(FileCommandsTest, Utf16TextOpensAndSavesBack) {
    QComboBox* moji = window->controls().Cmb_Moji;
    ASSERT_EQ(moji->count(), 5);
    EXPECT_EQ(moji->itemText(4), QStringLiteral(" UTF-16 (BOM付)"));
    const auto utf16 = [](std::u16string_view text, bool bigEndian) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const char16_t unit : text) {
            const char high = static_cast<char>(unit >> 8);
            const char low = static_cast<char>(unit & 0xFF);
            bytes += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        return bytes;
    };
    window->controls().Cmb_Bunri->setCurrentIndex(2); // TAB
    window->Cmb_BunriClick();
    for (const bool bigEndian : {false, true}) {
        const std::string bytes = utf16(u"名前\t点数\r\n山田\t90\r\n", bigEndian);
        writeBytes(path("u.txt"), bytes);
        openThroughDialog(path("u.txt"));
        EXPECT_EQ(cell(2, 2), "山田");
        EXPECT_EQ(window->controls().Lab_Moji->text(),
                  bigEndian ? QStringLiteral("UTF-16BE (BOM付)") : QStringLiteral("UTF-16LE (BOM付)"));
        window->setModified(true);
        moji->setCurrentIndex(bigEndian ? 4 : 0); // the byte order follows the file
        dialogs.answer(Answer::Yes);
        EXPECT_EQ(window->Mn_FileSaveClick(true), TFm_Tabulix01::SaveOutcome::Saved);
        EXPECT_EQ(readBytes(path("u.txt")), bytes);
    }
    moji->setCurrentIndex(0);
    writeBytes(path("plain.csv"), "a\tb\r\n");
    openThroughDialog(path("plain.csv"));
    moji->setCurrentIndex(4);
    window->setModified(true);
    dialogs.answer(Answer::Yes);
    EXPECT_EQ(window->Mn_FileSaveClick(true), TFm_Tabulix01::SaveOutcome::Saved);
    EXPECT_EQ(readBytes(path("plain.csv")), utf16(u"a\tb\r\n", false));
    EXPECT_EQ(window->controls().Lab_Moji->text(), QStringLiteral("UTF-16LE (BOM付)"));
}

TEST_F(FileCommandsTest, ClipboardWithTabsOpensSplitAtTabsAndSavesWithTheChosenSeparator) {
    clipboard.setText("名前\t点数\r\n山田\t90\r\n佐藤\t85\r\n");
    dialogs.answer(Answer::Yes);
    window->action("Mn_BardOpen")->trigger();
    EXPECT_EQ(dialogs.messages().back(),
              "現在のクリップボードの内容を 【 読み込み 】 ます。\r\n\r\n   先頭内容 → "
              "名前\t点数\r\n山田\t90\r\n\r\n\r\n          行数 ： 3 行");
    EXPECT_EQ(cell(3, 3), "85");
    EXPECT_TRUE(window->modified());
    EXPECT_EQ(window->separator(), Separator::of(','));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tabulix Ver 3.05  [  ]"));

    dialogs.answerFile(path("clip"));
    window->action("Mn_FileSave")->trigger();
    EXPECT_EQ(readBytes(path("clip.csv")), "名前,点数\r\n山田,90\r\n佐藤,85\r\n");
}

TEST_F(FileCommandsTest, EmptyClipboardIsReportedAndNoAnswerKeepsTheTable) {
    window->Grid().setCell(2, 1, "keep");
    window->action("Mn_BardOpen")->trigger();
    EXPECT_EQ(dialogs.messages().back(), "現在、クリップボードにデータはありません。");
    clipboard.setText("a,b");
    dialogs.answer(Answer::No);
    window->action("Mn_BardOpen")->trigger();
    EXPECT_EQ(cell(2, 1), "keep");
    EXPECT_FALSE(window->modified());
    EXPECT_TRUE(window->gridWidget()->isVisible());
}

TEST_F(FileCommandsTest, ClipboardFromTheCommandLineLoadsWithoutAsking) {
    clipboard.setText("a,b\r\n");
    window->OpenClipboard(true, "会員名簿");
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(cell(3, 1), "b");
    EXPECT_FALSE(window->modified());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tabulix Ver 3.05  [ 会員名簿 ]"));
}

TEST_F(FileCommandsTest, SeparatorChoiceGovernsTheNextLoadWithoutResplitting) {
    writeBytes(path("s.csv"), "a;b\r\n");
    openThroughDialog(path("s.csv"));
    EXPECT_EQ(cell(2, 1), "a;b");
    QComboBox* bunri = window->controls().Cmb_Bunri;
    bunri->setCurrentIndex(16); // ";"
    window->Cmb_BunriClick();
    EXPECT_EQ(cell(2, 1), "a;b");
    openThroughDialog(path("s.csv"));
    EXPECT_EQ(cell(3, 1), "b");
}

TEST_F(FileCommandsTest, ExitWithYesSavesAndAFailedSaveKeepsTheWindowOpen) {
    window->setModified(true);
    writeBytes(path("plainfile"), "");
    dialogs.answer(Answer::Yes);
    dialogs.answerFile(path("plainfile") + "/x.csv");
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(dialogs.messages().back(), "出力ファイルの作成に失敗しました。");

    dialogs.answer(Answer::Yes);
    dialogs.answerFile(std::nullopt); // a cancelled save dialog still closes
    EXPECT_TRUE(window->close());
}

TEST_F(FileCommandsTest, OpenByNameReportsAFileInUseAndSkipsFolders) {
    EXPECT_FALSE(window->OpenByName(path("missing.csv")));
    EXPECT_EQ(dialogs.messages().back(),
              "\r\n★\r\n★ これは現在編集中か又は他で使用中のファイルです。\r\n★\r\n\r\n   "
              "PATH = " +
                  path("missing.csv"));
    EXPECT_FALSE(window->OpenByName(dir.string()));
    EXPECT_EQ(fs::path(window->settings().pathEditFile).parent_path(), dir);
    writeBytes(path("ok.csv"), "q\r\n");
    EXPECT_TRUE(window->OpenByName(path("ok.csv")));
    EXPECT_EQ(cell(2, 1), "q");
}

} // namespace
} // namespace tabulix
