#include "PrintTestTables.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"

#include "print/PageImage.h"
#include "print/PrintFont.h"
#include "print/PrintHeader.h"
#include "print/PrinterChoice.h"
#include "print/PrinterSetupDialog.h"
#include "print/TfrmGridPrint_01.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPrinter>
#include <QPushButton>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextDocument>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <memory>

namespace tabulix {
namespace {

// The preview on a table of `rows` data rows, printing to the PDF printer
// only (no system printers), with scripted dialogs used up by the end.
class PreviewTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (window) window->close();
        window.reset();
        EXPECT_TRUE(dialogs.scriptUsedUp());
    }

    void open(int rows, const std::function<void(PrintJob&)>& adjust = {}) {
        grid = printGrid(3, rows);
        PrintJob job = printJob(grid);
        job.mainWindowMode = true;
        job.appTitle = "Tabulix";
        job.titleLines[0] = "File.Name:  /home/u/会員.csv";
        if (adjust) adjust(job);
        window = std::make_unique<TfrmGridPrint_01>(job, dialogs, printers);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    template <typename W = QWidget>
    W* child(const char* name) {
        W* w = window->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QAction* action(const char* name) { return child<QAction>(name); }
    std::string text(const char* name) {
        if (auto* e = window->findChild<QLineEdit*>(QString::fromLatin1(name)))
            return e->text().toStdString();
        return child<QLabel>(name)->text().toStdString();
    }
    void click(const char* name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    void choose(const char* combo, int index) {
        auto* c = child<QComboBox>(combo);
        c->setCurrentIndex(index);
        Q_EMIT c->activated(index);
    }
    void type(const char* edit, const char* keys) {
        auto* e = child<QLineEdit>(edit);
        e->clear();
        QTest::keyClicks(e, QString::fromUtf8(keys));
        QTest::keyClick(e, Qt::Key_Return);
    }
    // Data rows that give `pages` pages of one band each.
    int rowsForPages(int pages) {
        open(400);
        PrintData& d = window->data();
        const int first = d.page(1).lastRow, per = d.page(2).lastRow - first;
        window->close();
        window.reset();
        return first + per * (pages - 1) - per / 2;
    }

    ScriptedDialogs dialogs;
    PrinterChoice printers{QStringList{}};
    StringGrid grid;
    std::unique_ptr<TfrmGridPrint_01> window;
};

TEST_F(PreviewTest, PagingByButtonsEditsAndScrollBar) {
    open(300);
    const int last = window->pageCount();
    ASSERT_GE(last, 3);
    const std::string lastText = " " + std::to_string(last);
    EXPECT_EQ(child<QGroupBox>("grpPage")->title().toStdString(),
              " PAGE  1 / " + std::to_string(last) + " ");
    EXPECT_EQ(text("edtPageMax"), lastText);
    EXPECT_EQ(window->windowTitle().toStdString(), "Tabulix    File.Name:  /home/u/会員.csv");

    struct Step {
        const char* what;
        const char* edit; // typed into this edit, else the button pressed
        const char* keys;
        int page;          // shown afterwards (0: the last)
        const char* shown; // the edit's text afterwards (nullptr: the last page)
    };
    const Step steps[] = {
        {"down on page 1", nullptr, "btnPageDw", 1, " 1"},
        {"up", nullptr, "btnPageUp", 2, " 2"},
        {"letters are dropped", "edtPageMin", "x3y", 3, " 3"},
        {"zero", "edtPageMin", "0", 1, " 1"},
        {"beyond the end", "edtPageMin", "99999", 0, nullptr},
        {"up on the last page", nullptr, "btnPageUp", 0, nullptr},
        {"max beyond the end keeps the page", "edtPageMax", "99999", 0, nullptr},
        {"max zero", "edtPageMax", "0", 0, " 1"},
        {"empty keeps the page", "edtPageMin", "", 0, nullptr},
    };
    for (const Step& s : steps) {
        if (s.edit) type(s.edit, s.keys);
        else click(s.keys);
        const int page = s.page ? s.page : last;
        EXPECT_EQ(window->currentPage(), page) << s.what;
        EXPECT_EQ(text(s.edit ? s.edit : "edtPageMin"), s.shown ? s.shown : lastText) << s.what;
    }
    EXPECT_EQ(child<QGroupBox>("grpPage")->title().toStdString(),
              " PAGE  " + std::to_string(last) + " / " + std::to_string(last) + " ");
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(PreviewTest, DisplayModesZoomAndImageFallback) {
    open(20, [](PrintJob& job) { job.printSettings.cmbScale = kHundredIndex; });
    auto* scale = child<QComboBox>("Cmb_Scale");
    ASSERT_EQ(scale->count(), 101);
    EXPECT_EQ(scale->itemText(9).toStdString(), " 画面に");
    EXPECT_EQ(scale->itemText(100).toStdString(), " 1000 %");
    EXPECT_EQ(child<QComboBox>("Cmb_ResetScl")->itemText(15).toStdString(), " 150 ");
    const int sheetWidth = window->data().metrics().sheetWidth;
    EXPECT_EQ(window->pageImage().width(), sheetWidth);
    for (int expected : {15, kFitIndex, kHundredIndex}) {
        click("Btn_DispMode");
        EXPECT_EQ(scale->currentIndex(), expected);
    }
    EXPECT_DOUBLE_EQ(window->zoom(), 1.0);

    // Room for a page image of 200 % but not of 300 %: the zoom is lowered,
    // the user told, and the list goes back to the zoom in use.
    const PageMetrics& m = window->data().metrics();
    TfrmGridPrint_01::setImageByteLimit(qint64(4) * (2 * m.sheetWidth + 4) * (2 * m.sheetHeight + 4));
    choose("Cmb_Scale", 30);
    TfrmGridPrint_01::setImageByteLimit(qint64(256) * 1024 * 1024);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].rfind("システム資源が足りない為、", 0), 0u);
    EXPECT_NE(dialogs.messages()[0].find("( 200 % 以下 )"), std::string::npos)
        << dialogs.messages()[0];
    EXPECT_EQ(scale->currentIndex(), kHundredIndex);
    EXPECT_EQ(window->pageImage().width(), sheetWidth);
    EXPECT_EQ(window->resultSettings().cmbScale, kHundredIndex);
}

TEST_F(PreviewTest, CellScaleStepsAndTakesBackTooLargeCells) {
    open(20, [](PrintJob& job) { job.printSettings.cellScale = 99; });
    // 14 × 99 % and 14 × 93 % both give 13: the press steps on to 92.
    click("btnFontDw");
    EXPECT_EQ(text("Lbl_CellScale"), "92 %");
    // The one-page mode works at 100 % without the scale buttons; the manual
    // mode takes the scale back.
    choose("Cmb_CellWay", 1);
    EXPECT_EQ(text("Lbl_CellScale"), "");
    EXPECT_FALSE(child("btnFontUp")->isEnabled());
    EXPECT_EQ(window->data().settings().cellScale, 100);
    choose("Cmb_CellWay", 0);
    EXPECT_EQ(text("Lbl_CellScale"), "92 %");
    EXPECT_TRUE(child("btnFontUp")->isEnabled());
    const int width = window->data().metrics().printableWidth;
    window->close();

    // A fixed column of 95 % of the printable width fits at 100 %, not at 108 %.
    const int charWidth = printFontMeasure()(14).width;
    StringGrid wide = printGrid(3, 20);
    wide.setColWidth(0, width * 95 / 100 - 2 * charWidth - 43);
    window = std::make_unique<TfrmGridPrint_01>(printJob(wide), dialogs, printers);
    window->show();
    ASSERT_FALSE(window->data().largeCellError());
    dialogs.answer(Answer::No);
    click("btnFontUp");
    EXPECT_EQ(dialogs.messages(),
              std::vector<std::string>{std::string(kScaleBackQuestion)});
    EXPECT_EQ(text("Lbl_CellScale"), "100 %");
    EXPECT_FALSE(window->data().largeCellError());
    dialogs.answer(Answer::Yes);
    click("btnFontUp");
    EXPECT_EQ(text("Lbl_CellScale"), "10 %");
    // At a font height of 1 the "－" button changes nothing.
    click("btnFontDw");
    EXPECT_EQ(text("Lbl_CellScale"), "10 %");
    EXPECT_EQ(window->resultSettings().cellScale, 10);
}

TEST_F(PreviewTest, MenuChecksAndSettingsHandedBack) {
    open(20);
    QAction* path = action("Mn_PrintPathName");
    QAction* name = action("Mn_PrintFileName");
    ASSERT_TRUE(path->isChecked());
    name->trigger();
    EXPECT_FALSE(path->isChecked());
    EXPECT_TRUE(name->isChecked());
    name->trigger();
    EXPECT_FALSE(path->isChecked() || name->isChecked());
    PrintJob job = printJob(grid);
    job.mainWindowMode = true;
    job.titleLines[0] = "File.Name:  /home/u/会員.csv";
    EXPECT_EQ(HeaderTitleLines(job, window->data().settings()), (std::array<std::string, 4>{}));

    click("btnGrayUp");
    choose("Cmb_MgnLeft", 4);
    choose("Cmb_LineKind", 2);
    action("Mn_PrintRowNo")->trigger();
    const PrintSettings s = window->resultSettings();
    EXPECT_EQ(s.cmbGray, 193);
    EXPECT_EQ(s.cmbMgnLeft, 4);
    EXPECT_EQ(s.cmbLineKind, 2);
    EXPECT_FALSE(s.printRowNo);
    EXPECT_EQ(window->data().colWidth(0), 0);
    EXPECT_FALSE(s.printPathName || s.printFileName);
    EXPECT_EQ(s.prtPaper, "A4");
    EXPECT_EQ(s.prtOrient, "縦");
}

TEST_F(PreviewTest, PrinterFactsSetUpAndPaperOutsideTheFiveSizes) {
    printers.select(-1);
    printers.printer().setPageSize(QPageSize(QPageSize::Letter));
    open(300);
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{std::string(kFiveSizesMessage)});
    EXPECT_EQ(text("lblPrtInf"), "? 縦：PDF ファイル PDF FILE:");

    // Nothing changed: no rebuild, the page stays.
    click("btnPageUp");
    window->setPrinterSetUp([](PrinterChoice&, QWidget*) { return true; });
    click("Btn_PrtSet");
    EXPECT_EQ(window->currentPage(), 2);
    window->setPrinterSetUp([](PrinterChoice& p, QWidget*) {
        p.setPaper(PaperKind::A4);
        p.setOrientation(Orientation::Landscape);
        return true;
    });
    click("Btn_PrtSet");
    EXPECT_EQ(window->currentPage(), 1);
    EXPECT_EQ(text("lblPrtInf"), "A4 横：PDF ファイル PDF FILE:");
    EXPECT_EQ(window->resultSettings().prtOrient, "横");
    EXPECT_EQ(window->resultSettings().printerIndex, 0);

    // The set-up dialog itself: B5 portrait chosen.
    window->setPrinterSetUp(RunPrinterSetUp);
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QComboBox*>(QStringLiteral("Cmb_Paper"))->setCurrentIndex(4);
        dialog->findChild<QComboBox*>(QStringLiteral("Cmb_Orient"))->setCurrentIndex(0);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    click("Btn_PrtSet");
    EXPECT_EQ(text("lblPrtInf"), "B5 縦：PDF ファイル PDF FILE:");
    EXPECT_EQ(dialogs.messages().size(), 1u);
}

TEST_F(PreviewTest, NoPrinterLeavesOnlyTheExit) {
    PrinterChoice none{QStringList{}, false};
    grid = printGrid(3, 5);
    window = std::make_unique<TfrmGridPrint_01>(printJob(grid), dialogs, none);
    window->show();
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{std::string(kNoPrinterMessage)});
    EXPECT_FALSE(child("pnlHed")->isVisible());
    EXPECT_FALSE(child("ScrBox")->isVisible());
    EXPECT_EQ(window->pageCount(), 0);
}

TEST_F(PreviewTest, FullCreationAndItsStop) {
    open(12000, [](PrintJob& job) {
        job.initialRows = 100;
        job.printSettings.breakColor = false;
    });
    EXPECT_EQ(text("Lbl_CreateSts"), "作成要→");
    EXPECT_EQ(action("Mn_RecCount")->text().toStdString(), "[ Lines  100 / 12000 ]");
    const int partialPages = window->pageCount();
    dialogs.answer(Answer::No);
    click("Btn_PrintExec");
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{std::string(kNotCompleteQuestion)});
    const std::string question = std::string(kCreateAllQuestionHead) +
                                 "12000    列数: 3\r\n\r\nよろしいですか？";

    // The stop button, pressed while the rows are laid out, asks first.
    auto* stop = child<QPushButton>("Btn_CreateStop");
    dialogs.answer(Answer::Yes);
    dialogs.answer(Answer::Yes);
    QTimer::singleShot(0, stop, [stop] { stop->click(); });
    click("Btn_DataCreate");
    EXPECT_EQ(dialogs.messages(), (std::vector<std::string>{std::string(kNotCompleteQuestion),
                                                            question, std::string(kStopQuestion)}));
    EXPECT_EQ(window->pageCount(), partialPages);
    EXPECT_EQ(text("Lbl_CreateSts"), "作成要→");
    EXPECT_FALSE(stop->isVisible());

    dialogs.answer(Answer::Yes);
    click("Btn_DataCreate");
    EXPECT_EQ(text("Lbl_CreateSts"), "作成済");
    EXPECT_EQ(action("Mn_RecCount")->text().toStdString(), "[ Lines  12000 / 12000 ]");
    EXPECT_GT(window->pageCount(), partialPages);
    EXPECT_FALSE(child<QPushButton>("Btn_DataCreate")->isEnabled());
}

TEST_F(PreviewTest, DraggingThePageAndTheDoubleClickDirection) {
    open(300, [](PrintJob& job) { job.printSettings.cmbScale = 30; });
    auto* image = child<PageImage>("imgPrn");
    auto* area = child<QScrollArea>("ScrBox");
    click("btnPageUp");
    click("btnPageUp");
    QTest::mousePress(image, Qt::LeftButton, {}, QPoint(300, 300));
    QMouseEvent move(QEvent::MouseMove, QPointF(200, 240), image->mapToGlobal(QPointF(200, 240)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(image, &move);
    QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(200, 240));
    EXPECT_EQ(area->horizontalScrollBar()->value(), 100);
    EXPECT_EQ(area->verticalScrollBar()->value(), 60);
    QTest::mouseDClick(image, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(window->currentPage(), 2); // moved left: back a page
}

TEST_F(PreviewTest, TextDocumentHidesTheTableControls) {
    open(20, [](PrintJob& job) {
        job.tableMode = false;
        job.mainWindowMode = false;
        job.printSettings.cellScale = 80;
    });
    EXPECT_FALSE(child("grpCellRate")->isVisible());
    EXPECT_FALSE(child("grpGray")->isVisible());
    EXPECT_FALSE(child("Cmb_LineKind")->isEnabled());
    EXPECT_FALSE(action("Mn_TrimSpace")->isEnabled());
    EXPECT_FALSE(qobject_cast<QMenu*>(action("Mn_PrintRowNo")->parent())->menuAction()->isVisible());
    EXPECT_EQ(action("Mn_SaveCsv")->text().toStdString(), "1. 表示内容を Text File で保存する");
    EXPECT_EQ(action("Mn_RecCount")->text().toStdString(), "[ Lines  20 ]");
    EXPECT_EQ(window->resultSettings().cellScale, 80);
}

// Cancel writes nothing; the CSV keeps the comma cell quoted; the HTML dialog
// starts in the CSV's folder; the browser's page is the saved page, and a
// failed launch says so; an unwritable name is reported.
TEST_F(PreviewTest, SaveMenuWritesTheCsvAndTheHtmlPage) {
    const std::filesystem::path dir = makeTemporaryFolder("tabulix-export");
    ASSERT_FALSE(dir.empty());
    open(3, [this](PrintJob&) {
        grid.setColWidth(3, 400);
        grid.setCell(2, 1, "a,b");
        grid.setCell(3, 1, "<script>alert(1)</script>");
    });
    window->setExportPlaces((dir / "tabulix").string(), (dir / "cache").string());
    std::vector<std::string> opened;
    window->setHtmlOpener([&opened](const std::string& path) {
        opened.push_back(path);
        return false;
    });
    const std::string csv = (dir / "out.csv").string(), page = (dir / "page.html").string();
    dialogs.answerFile(std::nullopt);
    dialogs.answerFile("  " + csv + " ");
    dialogs.answerFile(page);
    dialogs.answerFile((dir / "missing" / "x.csv").string());
    action("Mn_SaveCsv")->trigger();
    EXPECT_EQ(window->resultSettings().savePath, "");
    action("Mn_SaveCsv")->trigger();
    action("Mn_SaveHtml")->trigger();
    action("Mn_ExecHtml")->trigger();
    action("Mn_SaveCsv")->trigger();

    const auto& shown = dialogs.shown();
    ASSERT_EQ(shown.size(), 6u);
    EXPECT_EQ(shown[0].request.folder, dir.string());
    EXPECT_EQ(shown[0].request.name, "*.csv");
    EXPECT_EQ(shown[2].text, "印刷データをＨＴＭＬ形式で保存します。");
    EXPECT_EQ(shown[2].request.folder, dir.string());
    EXPECT_EQ(shown[2].request.name, "*.html");
    EXPECT_EQ(dialogs.messages(), (std::vector<std::string>{"ブラウザの起動を失敗しました。",
                                                            "出力ファイルの作成に失敗しました。"}));
    EXPECT_EQ(readBytes(csv), "0-0,0-1,0-2,0-3,0-4\r\n1-0,1-1,\"a,b\",<script>alert(1)</script>,1-4\r\n"
                              "2-0,2-1,2-2,2-3,2-4\r\n3-0,3-1,3-2,3-3,3-4\r\n");
    const PrintSettings s = window->resultSettings();
    EXPECT_EQ(s.savePath, (dir / "missing" / "x.csv").string());
    EXPECT_EQ(s.htmlPath, page);
    const std::string temporary = (dir / "tabulix_Temp.Html").string();
    EXPECT_EQ(opened, std::vector<std::string>{temporary});
    const std::string html = readBytes(page);
    EXPECT_EQ(readBytes(temporary), html);
    // The cell is text on the rendered page, not a script.
    QTextDocument document;
    document.setHtml(QString::fromUtf8(html.data(), static_cast<qsizetype>(html.size())));
    EXPECT_TRUE(document.toPlainText().contains(QStringLiteral("<script>alert(1)</script>")));
    EXPECT_TRUE(document.toPlainText().contains(QStringLiteral("/home/u/会員.csv")));
    std::filesystem::remove_all(dir);
}

TEST(PrintPreview, RunsModallyAndHandsTheSettingsBack) {
    ScriptedDialogs dialogs;
    StringGrid grid = printGrid(3, 20);
    PrintJob job = printJob(grid);
    job.printSettings.cmbColor = 1;
    job.printSettings.cmbGray = 100;
    QTimer::singleShot(0, [] {
        auto* window = qobject_cast<TfrmGridPrint_01*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        window->findChild<QPushButton*>(QStringLiteral("btnGrayDw"))->click();
        window->findChild<QAction*>(QStringLiteral("mnExit1"))->trigger();
    });
    const PrintSettings settings = RunPrintPreview(job, dialogs, nullptr);
    EXPECT_EQ(settings.cmbGray, 99);
    EXPECT_EQ(settings.cmbColor, 1); // handed back as received
    EXPECT_EQ(settings.cmbMgnUp, 0);
}

// Text of a PDF by pdftotext, pages separated by form feeds.
std::string pdfText(const std::filesystem::path& pdf) {
    const std::string out = pdf.string() + ".txt";
    const std::string command = "pdftotext -layout '" + pdf.string() + "' '" + out + "'";
    if (std::system(command.c_str()) != 0) return {};
    std::ifstream in(out, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(PreviewTest, PrintsPagesToPdf) {
    if (std::system("pdftotext -v >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const std::filesystem::path dir = makeTemporaryFolder("tabulix-print");
    const int rows = rowsForPages(5);
    open(rows);
    ASSERT_EQ(window->pageCount(), 5);
    struct Case {
        const char* first;
        const char* last;
        const char* range; // as confirmed
        int pages;
    };
    const Case cases[] = {{"5", "3", "Page  3 ～  5 (最終)\r", 3}, {"1", "2", "Page  1 ～  2\r", 2}};
    int n = 0;
    for (const Case& c : cases) {
        type("edtPageMin", c.first);
        type("edtPageMax", c.last);
        const std::filesystem::path pdf = dir / ("out" + std::to_string(++n) + ".pdf");
        dialogs.answer(Answer::Yes);
        dialogs.answerFile(pdf.string());
        click("Btn_PrintExec");
        const std::string confirmation = dialogs.messages().back();
        EXPECT_NE(confirmation.find(c.range), std::string::npos) << confirmation;
        EXPECT_EQ(confirmation.rfind("印刷を行います。\r\r    Page ", 0), 0u);
        EXPECT_NE(confirmation.find("    用紙サイズ  ．．．．．  A4 縦\r    プリンタドライバ ．．． "
                                    "PDF ファイル PDF FILE:\r\rよろしいですか？\r"),
                  std::string::npos);
        const std::string textOut = pdfText(pdf);
        EXPECT_EQ(std::count(textOut.begin(), textOut.end(), '\f'), c.pages) << c.range;
        EXPECT_EQ(window->currentPage(), std::atoi(c.range + 6)) << c.range;
    }
    EXPECT_EQ(text("edtPageMin"), " 1");
    EXPECT_EQ(text("edtPageMax"), " 2");

    // A file that cannot be written is reported, and the preview comes back.
    dialogs.answer(Answer::Yes);
    dialogs.answerFile((dir / "missing" / "out.pdf").string());
    click("Btn_PrintExec");
    EXPECT_EQ(dialogs.messages().back(), "印刷を開始できませんでした。");
    EXPECT_TRUE(child("pnlImage")->isVisible());
    EXPECT_TRUE(child("grpPage")->isEnabled());
    std::filesystem::remove_all(dir);
}

TEST_F(PreviewTest, ThreePagePdfHoldsTheTable) {
    if (std::system("pdftotext -v >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const std::filesystem::path dir = makeTemporaryFolder("tabulix-print");
    const int rows = rowsForPages(3);
    open(rows);
    ASSERT_EQ(window->pageCount(), 3);
    const std::filesystem::path pdf = dir / "table.pdf";
    dialogs.answer(Answer::Yes);
    dialogs.answerFile(pdf.string());
    click("Btn_PrintExec");
    const std::string textOut = pdfText(pdf);
    EXPECT_EQ(std::count(textOut.begin(), textOut.end(), '\f'), 3);
    std::istringstream words(textOut);
    std::set<std::string> seen{std::istream_iterator<std::string>(words), {}};
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c < 5; ++c) {
            const std::string cell = std::to_string(r) + "-" + std::to_string(c);
            EXPECT_TRUE(seen.count(cell)) << cell;
        }
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace tabulix
