// Opening a worksheet through the main window: the save question, the open
// dialog, the sheet window and the table that results.
#include "WindowTest.h"
#include "WorkbookFiles.h"

#include "app/TFm_Tabulix01.h"
#include "workbook/TfrmCsvExcel.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace tabulix {
namespace {

const char* const kSaveQuestion = "内容が変更されています。\r\n\r\n保存しますか？";

// What the sheet window showed when it came up.
struct SheetWindowSeen {
    QString title, guide, path, sheetName, nameAfterChoice;
    QStringList items;
    int current = -1;
    bool okEnabled = false;
    bool stayedOpen = false;
};

class WorkbookWindowTest : public WindowTest {
protected:
    void SetUp() override {
        makeFolder();
        openWindow();
        // Three sheets: the second has the cells the checks are about.
        const std::string styles =
            "<cellXfs count=\"4\"><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"10\"/>"
            "<xf numFmtId=\"4\"/></cellXfs>";
        ASSERT_TRUE(writeZip(
            path("帳簿.xlsx"),
            xlsxParts({{"売上", "<row><c><v>1</v></c></row>"},
                       {"在庫",
                        "<row><c t=\"s\"><v>0</v></c><c t=\"s\"><v>1</v></c><c s=\"1\"><v>45322</v></c>"
                        "<c s=\"2\"><v>0.125</v></c><c s=\"3\"><v>1234.5</v></c></row>"
                        "<row><c t=\"inlineStr\"><is><t xml:space=\"preserve\"> 二行\n目 </t></is></c></row>"},
                       {"顧客", ""}},
                      "<si><t>東京, 本社</t></si><si><t>彼は\"はい\"と</t></si>", styles)));
        clipboard.setText("前からの内容");
    }

    // Answers the sheet window once it is up: notes what it shows, then
    // chooses the row (or cancels when -1).
    void answerSheetWindow(int row, SheetWindowSeen& seen) {
        QTimer::singleShot(0, [this, row, &seen] {
            TfrmCsvExcel* w = nullptr;
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<TfrmCsvExcel*>(top); d && d->isVisible()) w = d;
            if (!w) return answerSheetWindow(row, seen); // not up yet
            auto* list = w->findChild<QListWidget*>(QStringLiteral("lstSheet"));
            auto* name = w->findChild<QLineEdit*>(QStringLiteral("edtSheetName"));
            seen.title = w->windowTitle();
            seen.guide = w->findChild<QLabel*>(QStringLiteral("pnlPathGuide"))->text();
            seen.path = w->findChild<QLineEdit*>(QStringLiteral("edtMemo"))->text();
            for (int i = 0; i < list->count(); ++i) seen.items << list->item(i)->text();
            seen.current = list->currentRow();
            seen.sheetName = name->text();
            seen.okEnabled = w->findChild<QPushButton*>(QStringLiteral("btnOK"))->isEnabled();
            if (row < 0) {
                w->findChild<QPushButton*>(QStringLiteral("btnClose"))->click();
                return;
            }
            list->setCurrentRow(row);
            seen.nameAfterChoice = name->text();
            Q_EMIT list->itemDoubleClicked(list->item(row));
            // A sheet that cannot be read leaves the window open to cancel.
            seen.stayedOpen = w->isVisible();
            if (seen.stayedOpen) w->findChild<QPushButton*>(QStringLiteral("btnClose"))->click();
        });
    }

    void loadStartTable() {
        writeBytes(path("元.csv"), "元,表\r\n");
        dialogs.answerFile(path("元.csv"));
        window->action("Mn_FileOpen")->trigger();
    }
};

TEST_F(WorkbookWindowTest, ReadsTheChosenSheetAsIfFromACsvFile) {
    loadStartTable();
    window->setModified(true);
    window->setSeparator(Separator::of('\t'));
    dialogs.answer(Answer::No); // the save question
    dialogs.answerFile(path("帳簿.xlsx"));
    SheetWindowSeen seen;
    answerSheetWindow(1, seen);
    EXPECT_TRUE(window->controls().Btn_Excel->isEnabled());
    window->controls().Btn_Excel->click();

    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{kSaveQuestion});
    const FileDialogRequest& request = dialogs.shown().back().request;
    EXPECT_EQ(request.title, "読み込む Excel ファイルを選択して下さい。");
    EXPECT_EQ(request.filter, "(*.xlsx; *.xlsm; *.xls; *.ods) (*.xlsx *.xlsm *.xls *.ods);;(*.xls);;(*.*) (*)");
    EXPECT_EQ(seen.title, QStringLiteral("Tabulix  Excel ファイルの読み込み"));
    EXPECT_EQ(seen.guide, QStringLiteral(" 入力ファイル"));
    EXPECT_EQ(seen.path, QString::fromStdString(path("帳簿.xlsx")));
    EXPECT_EQ(seen.items, (QStringList{QStringLiteral("  1. 売上"), QStringLiteral("  2. 在庫"),
                                       QStringLiteral("  3. 顧客")}));
    EXPECT_EQ(seen.current, 0);
    EXPECT_EQ(seen.sheetName, QStringLiteral("売上"));
    EXPECT_TRUE(seen.okEnabled);
    EXPECT_EQ(seen.nameAfterChoice, QStringLiteral("在庫"));

    // A comma cell is one field, quotes and blanks are kept, numbers shown
    // as the sheet shows them; the lines were split at commas although TAB
    // is chosen, and TAB stays chosen for saving.
    const std::vector<std::string> first{"東京, 本社", "彼は\"はい\"と", "2024/1/31", "12.50%", "1,234.50"};
    for (int c = 0; c < 5; ++c) EXPECT_EQ(cell(kFirstDataCol + c, 1), first[c]) << c;
    EXPECT_EQ(cell(kFirstDataCol, 2), " 二行\n目 ");
    EXPECT_EQ(window->Grid().rowCount(), 3);
    EXPECT_EQ(window->separator(), Separator::of('\t'));
    EXPECT_EQ(window->fileInf().path, path("帳簿.xlsx"));
    EXPECT_FALSE(window->modified());
    EXPECT_EQ(window->settings().pathExcelFile, path("帳簿.xlsx"));
    EXPECT_EQ(clipboard.text(), "前からの内容");

    // The next open dialog starts in the workbook's folder; the hidden menu
    // item runs the same command.
    dialogs.answerFile(std::nullopt);
    window->action("Mn_ExcelOpen")->trigger();
    EXPECT_EQ(dialogs.shown().back().request.folder, dir.string());
    EXPECT_FALSE(window->action("Mn_ExcelOpen")->isVisible());
}

TEST_F(WorkbookWindowTest, CancellingTheSheetWindowLeavesTheTable) {
    loadStartTable();
    dialogs.answerFile(path("帳簿.xlsx"));
    SheetWindowSeen seen;
    answerSheetWindow(-1, seen);
    window->controls().Btn_Excel->click();
    EXPECT_EQ(seen.items.size(), 3);
    EXPECT_EQ(cell(kFirstDataCol, 1), "元");
    EXPECT_EQ(cell(kFirstDataCol + 1, 1), "表");
    EXPECT_EQ(window->fileInf().path, path("元.csv"));
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(WorkbookWindowTest, ASheetThatCannotBeReadIsReportedAndTheWindowStays) {
    loadStartTable();
    ASSERT_TRUE(writeZip(path("壊れ.xlsx"),
                         xlsxParts({{"良", "<row><c><v>1</v></c></row>"},
                                    {"悪", "<row><c t=\"s\"><v>7</v></c></row>"}},
                                   "<si><t>a</t></si>")));
    dialogs.answerFile(path("壊れ.xlsx"));
    SheetWindowSeen seen;
    answerSheetWindow(1, seen);
    window->controls().Btn_Excel->click();
    EXPECT_TRUE(seen.stayedOpen);
    ASSERT_EQ(dialogs.shown().back().kind, "error");
    EXPECT_EQ(dialogs.shown().back().text,
              "このファイルは Excel で開けません。\r\n\r\n  PTAH = " + path("壊れ.xlsx"));
    EXPECT_EQ(cell(kFirstDataCol, 1), "元");
    EXPECT_EQ(window->fileInf().path, path("元.csv"));
}

TEST_F(WorkbookWindowTest, AFileThatIsNoWorkbookIsReportedAndChangesNothing) {
    loadStartTable();
    writeBytes(path("表.xlsx"), "a,b\r\n1,2\r\n");
    dialogs.answerFile(path("表.xlsx"));
    window->controls().Btn_Excel->click();
    ASSERT_EQ(dialogs.shown().size(), 3u);
    EXPECT_EQ(dialogs.shown().back().kind, "error");
    EXPECT_EQ(dialogs.shown().back().text,
              "このファイルは Excel で開けません。\r\n\r\n  PTAH = " + path("表.xlsx"));
    EXPECT_EQ(cell(kFirstDataCol, 1), "元");
    EXPECT_EQ(window->fileInf().path, path("元.csv"));
    EXPECT_EQ(window->settings().pathExcelFile, path("表.xlsx"));
}

} // namespace
} // namespace tabulix
