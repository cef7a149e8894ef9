// The document browser and the output window walked through the main window.
#include "TestFiles.h"
#include "WindowTest.h"

#include "app/HelpCommands.h"
#include "app/TFm_CsvFixed.h"
#include "help/TFm_Browse.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <fstream>

namespace tabulix {
namespace {

class HelpWindowTest : public WindowTest {
protected:
    void SetUp() override {
        makeFolder();
        openWindow();
    }
    TFm_Browse* browser() { return window->helpCommands().browser(); }
    std::string programFile(const char* name) const {
        return QCoreApplication::applicationDirPath().toStdString() + "/" + name;
    }
    void loadRecords(int records) {
        std::ofstream out(path("t.csv"), std::ios::binary);
        for (int r = 1; r <= records; ++r)
            out << "a" << r << ",b" << r << "\r\n";
        out.close();
        ASSERT_TRUE(window->LoadFile(path("t.csv")));
    }
    // Runs the output window: fields, answers, then 実行 and closing.
    void runOutput(const char* first, const char* last, bool confirm = true) {
        QTimer::singleShot(0, [=, this] {
            auto* output = window->findChild<TFm_CsvFixed*>();
            ASSERT_NE(output, nullptr);
            shownFirst = output->findChild<QLineEdit*>(QStringLiteral("Edt_RecNoMin"))->text();
            shownLast = output->findChild<QLineEdit*>(QStringLiteral("Edt_RecNoMax"))->text();
            output->findChild<QLineEdit*>(QStringLiteral("Edt_RecNoMin"))->setText(QString::fromUtf8(first));
            output->findChild<QLineEdit*>(QStringLiteral("Edt_RecNoMax"))->setText(QString::fromUtf8(last));
            dialogs.answerFile(path("out.csv"));
            dialogs.answer(confirm ? Answer::Yes : Answer::No);
            output->Btn_ExecClick();
            output->accept();
        });
        window->action("Mn_OutputCsv")->trigger();
    }
    QString shownFirst, shownLast;
};

TEST_F(HelpWindowTest, DocumentsTheListAndTheHtmlFile) {
    // Documents are looked for beside the program: here there are none.
    window->action("Mn_Help_Begin")->trigger();
    EXPECT_EQ(dialogs.messages().back(),
              "ファイルがありません。\r\n\r\n     File = " + programFile("Doc_Tabulix_Begin.Txt"));
    EXPECT_EQ(browser()->displayedText(), "");
    auto* list = browser()->findChild<QComboBox*>(QStringLiteral("cmbBrowseList"));
    ASSERT_EQ(list->count(), 6);
    EXPECT_EQ(list->itemText(4), QStringLiteral(" 6. Tabulix 列名(固定行)の入力方法"));
    EXPECT_EQ(list->currentIndex(), 0);

    browser()->cmbBrowseListClick(4);
    EXPECT_TRUE(browser()->displayedText().starts_with("列名(固定行)の入力方法\n"));
    EXPECT_TRUE(browser()->isVisible());
    EXPECT_EQ(browser()->windowTitle(), QStringLiteral("Tabulix Browse "));

    // A file shown with line numbers; no entry hides the list.
    writeBytes(path("doc.txt"), "first <line>\r\nsecond\r\n");
    browser()->ShowTextFile(nullptr, QStringLiteral("見出し"), true, path("doc.txt"));
    EXPECT_EQ(browser()->displayedText(), "00001 first <line>\n00002 second\n");
    EXPECT_FALSE(list->isVisible());

    // Printing hands the lines, each after a blank, to the print preview.
    int printedRows = 0;
    std::string printedLine;
    QTimer::singleShot(0, [&] {
        QWidget* preview = QApplication::activeModalWidget();
        ASSERT_NE(preview, nullptr);
        printedRows = window->WorkGrid().rowCount();
        printedLine = window->WorkGrid().cellText(0, 1);
        preview->findChild<QAction*>(QStringLiteral("mnExit1"))->trigger();
    });
    browser()->findChild<QAction*>(QStringLiteral("Mn_Print"))->trigger();
    EXPECT_EQ(printedRows, 2);
    EXPECT_EQ(printedLine, " 00002 second");

    // Three presses of "⇔" give the width back.
    const int width = browser()->width();
    auto* wide = browser()->findChild<QPushButton*>(QStringLiteral("Btn_Wide"));
    wide->click();
    wide->click();
    wide->click();
    EXPECT_EQ(browser()->width(), width);

    // The HTML written while the third item is chosen jumps to its page; the
    // missing documents give empty pages (their message is shown again).
    std::string opened;
    browser()->setBrowserOpener([&](const std::string& file) {
        opened = file;
        return true;
    });
    browser()->cmbBrowseListClick(2);
    browser()->findChild<QPushButton*>(QStringLiteral("Btn_Html"))->click();
    EXPECT_EQ(opened, programFile("help_window_tests_Help.Html"));
    const std::string html = readBytes(opened);
    EXPECT_NE(html.find("OnLoad=LinkJump(\"#Page_3\")"), std::string::npos);
    EXPECT_NE(html.find("列名(固定行)の入力方法"), std::string::npos);
    EXPECT_EQ(list->currentIndex(), 2);
    std::remove(opened.c_str());

    browser()->setBrowserOpener([](const std::string&) { return false; });
    browser()->findChild<QPushButton*>(QStringLiteral("Btn_Html"))->click();
    EXPECT_EQ(dialogs.messages().back(), "ブラウザの起動を失敗しました。");
    std::remove(programFile("help_window_tests_Help.Html").c_str());
}

TEST_F(HelpWindowTest, OutputWritesTheRangeAndShowsShortResults) {
    loadRecords(6); // record 1 is the header row, 2..6 are data
    runOutput("9", "3");
    EXPECT_EQ(shownFirst, QStringLiteral("1"));
    EXPECT_EQ(shownLast, QStringLiteral("6"));
    EXPECT_EQ(dialogs.messages().back(),
              "内容をＣＳＶ形式で下記のファイルに出力します。\r\n\r\n     PATH = " + path("out.csv") +
                  "\r\n\r\n     出力 Rec.No = 3  ～ 6");
    EXPECT_EQ(readBytes(path("out.csv")), "a3,b3\r\na4,b4\r\na5,b5\r\na6,b6\r\n");
    EXPECT_EQ(browser()->displayedText(), "00001 a3,b3\n00002 a4,b4\n00003 a5,b5\n00004 a6,b6\n");
    EXPECT_EQ(dialogs.shown()[0].request.name, path("t_02.csv"));

    loadRecords(1001);
    runOutput("1", "1,000");
    EXPECT_TRUE(browser()->displayedText().starts_with("00001 a1,b1\n"));
    runOutput("1", "1001");
    EXPECT_TRUE(dialogs.messages().back().starts_with("★出力しました。\r\n\r\n出力行数が 1000行を超えている"));
}

TEST(HelpDocumentPath, BesideTheProgramThenInstalledThenBeside) {
    const std::filesystem::path root = makeTemporaryFolder("tabulix-helppath");
    ASSERT_FALSE(root.empty());
    const std::string bin = (root / "bin").string();
    const std::string shared = (root / "share" / "tabulix").string();
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(shared);
    // Nowhere: the name beside the program, so the failure names it.
    EXPECT_EQ(HelpDocumentPath(bin, "Doc.Txt"), bin + "/Doc.Txt");
    writeBytes(shared + "/Doc.Txt", "installed");
    EXPECT_EQ(HelpDocumentPath(bin, "Doc.Txt"), shared + "/Doc.Txt");
    writeBytes(bin + "/Doc.Txt", "beside");
    EXPECT_EQ(HelpDocumentPath(bin, "Doc.Txt"), bin + "/Doc.Txt");
    std::filesystem::remove_all(root);
}

} // namespace
} // namespace tabulix
