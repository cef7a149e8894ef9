#include "TestFiles.h"
#include "WindowTest.h"

#include "app/TFm_Tabulix01.h"
#include "search/TFm_Tabulix02.h"
#include "view/GridWidget.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tabulix {
namespace {

const char* const kNoNext = "後方に検索文字列はありません。";
const char* const kNoPrior = "前方に検索文字列はありません。";

class SearchWindowTest : public WindowTest {
protected:
    void SetUp() override {
        makeFolder();
        openWindow({}, path("TabulixOpt2.Dat"));
    }
    void load(const char* name, const std::string& bytes) {
        writeBytes(path(name), bytes);
        dialogs.answerFile(path(name));
        window->action("Mn_FileOpen")->trigger();
    }
    void openSearch() {
        window->controls().Btn_Select->click();
        search = window->searchWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(search));
    }
    template <class T> T* control(const char* name) const {
        T* found = search->findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QPushButton* button(const char* name) const { return control<QPushButton>(name); }
    QAction* item(const char* name) const { return control<QAction>(name); }
    void find(const char* words, bool orMode = false) {
        control<QRadioButton>(orMode ? "Rdo_OR" : "Rdo_AND")->click();
        control<QLineEdit>("Edt_Word")->setText(QString::fromUtf8(words));
        button("Btn_Exec")->click();
    }
    std::string records() const { return control<QLabel>("Lab_Records")->text().toStdString(); }
    GridCell resultCell() const {
        return {search->gridWidget()->currentCol(), search->gridWidget()->currentRow()};
    }
    GridCell mainCell() const {
        return {window->gridWidget()->currentCol(), window->gridWidget()->currentRow()};
    }
    std::vector<std::string> historyItems() const {
        QComboBox* list = control<QComboBox>("Cmb_FindWord");
        std::vector<std::string> items;
        for (int i = 0; i < list->count(); ++i)
            items.push_back(list->itemText(i).toStdString());
        return items;
    }

    TFm_Tabulix02* search = nullptr;
};

// The header row is fixed (one header row is the default); the words are
// found with AND in different cells of a row, without regard to case.
const char* const kMembers = "名前,メモ,区分\r\n"
                             "山田,abc,x\r\n"
                             "佐藤,ABC,xyz\r\n"
                             "鈴木,ａｂｃ,XYZ\r\n"
                             "田中,XYZ,ｘｙｚabc\r\n";

TEST_F(SearchWindowTest, SearchListsTheRowsAndWalksTheHitsInBothGrids) {
    load("会員.csv", kMembers);
    openSearch();
    EXPECT_EQ(search->windowTitle(), QStringLiteral("Tabulix 検索"));
    EXPECT_FALSE(item("Mn_Print")->isEnabled());
    find(" abc XYZ ");

    EXPECT_EQ(records(), "2 ");
    EXPECT_TRUE(search->gridWidget()->isVisible());
    const StringGrid& results = search->Grid();
    ASSERT_EQ(results.rowCount(), 4);
    EXPECT_EQ(results.cellText(0, 1), "SEQ");
    EXPECT_EQ(results.cellText(3, 1), "名前");
    EXPECT_EQ(results.cellText(0, 2), "1");
    EXPECT_EQ(results.cellText(3, 2), "佐藤");
    EXPECT_EQ(results.cellText(0, 3), "2");
    EXPECT_EQ(results.cellText(3, 3), "田中");
    EXPECT_EQ(historyItems(), std::vector<std::string>{" 1. abc XYZ"});

    // The first hit is selected in both grids.
    EXPECT_EQ(resultCell(), (GridCell{4, 2}));
    EXPECT_EQ(mainCell(), (GridCell{3, 3}));
    const std::vector<std::pair<GridCell, GridCell>> walk{
        {{5, 2}, {4, 3}}, {{4, 3}, {3, 5}}, {{5, 3}, {4, 5}}};
    for (const auto& [inResults, inMain] : walk) {
        button("Btn_Next")->click();
        EXPECT_EQ(resultCell(), inResults);
        EXPECT_EQ(mainCell(), inMain);
    }
    button("Btn_Next")->click();
    EXPECT_EQ(dialogs.messages(), std::vector<std::string>{kNoNext});
    EXPECT_EQ(resultCell(), (GridCell{5, 3}));
    for (int i = 0; i < 3; ++i)
        button("Btn_Prior")->click();
    EXPECT_EQ(resultCell(), (GridCell{4, 2}));
    EXPECT_EQ(mainCell(), (GridCell{3, 3}));
    button("Btn_Prior")->click();
    EXPECT_EQ(dialogs.messages(), (std::vector<std::string>{kNoNext, kNoPrior}));

    // With OR a row holding only one of the words counts too; a repeated word
    // moves to the top of the history.
    find("abc XYZ", true);
    EXPECT_EQ(records(), "4 ");
    find("名前");
    EXPECT_EQ(records(), "0 ");
    EXPECT_EQ(search->Grid().rowCount(), 3);
    EXPECT_FALSE(button("Btn_Next")->isEnabled());
    find("abc XYZ");
    EXPECT_EQ(historyItems(), (std::vector<std::string>{" 1. abc XYZ", " 2. 名前"}));
    EXPECT_EQ(dialogs.messages().size(), 2u);

    // Another file empties the results but keeps the word.
    load("other.csv", "a,b\r\n1,2\r\n");
    EXPECT_EQ(control<QLineEdit>("Edt_Word")->text(), QStringLiteral("abc XYZ"));
    EXPECT_EQ(records(), "");
    EXPECT_FALSE(search->gridWidget()->isVisible());
    EXPECT_FALSE(button("Btn_Next")->isEnabled());
    EXPECT_EQ(search->Grid().rowCount(), 1);

    // The history survives in the settings file.
    window->close();
    const std::string settings = readBytes(path("TabulixOpt2.Dat"));
    EXPECT_NE(settings.find("FindWord0=abc XYZ\r\nFindWord1=名前\r\n"), std::string::npos);
    EXPECT_EQ(settings.find("FindWord2="), std::string::npos);
}

TEST_F(SearchWindowTest, ResultsAreSavedWithoutTheirNumbersAndHistoryCanBeCleared) {
    load("会員.csv", kMembers);
    openSearch();
    find("xyz", true);
    EXPECT_EQ(records(), "3 ");
    // What is typed into a result stays in the results.
    search->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(search));
    search->gridWidget()->setCurrentCell(4, 1);
    QTest::keyClick(search->gridWidget(), Qt::Key_Q);
    QWidget* memo = QApplication::focusWidget();
    ASSERT_NE(memo, search->gridWidget());
    QTest::keyClicks(memo, QStringLiteral("!"));
    QTest::keyClick(memo, Qt::Key_Return);
    EXPECT_EQ(window->Grid().cellText(4, 3), "xyz");
    dialogs.answerFile(path("hits"));
    item("Mn_FileSave")->trigger();
    EXPECT_EQ(dialogs.shown().back().text, "検索結果を指定のファイル名で保存します。");
    EXPECT_EQ(readBytes(path("hits.csv")),
              "名前,メモ,区分\r\n佐藤,ABC,xyz!\r\n鈴木,ａｂｃ,XYZ\r\n田中,XYZ,ｘｙｚabc\r\n");
    dialogs.answerFile(std::nullopt);
    item("Mn_FileSave")->trigger();
    EXPECT_EQ(dialogs.shown().back().request.name, "hits.csv");

    const char* clearQuestion = " 検索履歴をクリアーします。\r\n\r\nよろしいですか？";
    dialogs.answer(Answer::No);
    item("Mn_FindHistoryClear")->trigger();
    EXPECT_EQ(historyItems().size(), 1u);
    dialogs.answer(Answer::Yes);
    item("Mn_FindHistoryClear")->trigger();
    EXPECT_TRUE(historyItems().empty());
    EXPECT_EQ(dialogs.messages(), (std::vector<std::string>{clearQuestion, clearQuestion}));
}

std::string manyRows(int rows) {
    std::string text = "h1,h2\r\n";
    for (int r = 1; r <= rows; ++r)
        text += (r % 10 == 0 ? "hit," : "miss,") + std::to_string(r) + "\r\n";
    return text;
}

// 中断 or closing the window during the search keeps the rows found up to
// there; a table rebuilt during the search leaves no results pointing into it.
TEST_F(SearchWindowTest, AStoppedSearchKeepsItsRowsAndAResetTableDropsThem) {
    load("many.csv", manyRows(3000));
    openSearch();
    QMetaObject::invokeMethod(button("Btn_Stop"), &QPushButton::click, Qt::QueuedConnection);
    find("hit");
    // Rows 2 .. 499 were tested before the progress at row 500 let 中断 in.
    EXPECT_EQ(records(), "49 ");
    EXPECT_EQ(search->Grid().rowCount(), 2 + 49);
    EXPECT_FALSE(button("Btn_Stop")->isVisible());
    EXPECT_TRUE(button("Btn_Exec")->isEnabled());

    // Closing the window stops the search too.
    QMetaObject::invokeMethod(search, &QWidget::close, Qt::QueuedConnection);
    find("hit");
    EXPECT_EQ(records(), "49 ");
    EXPECT_FALSE(search->isVisible());
    openSearch();

    dialogs.answer(Answer::Yes);
    QMetaObject::invokeMethod(window.get(), &TFm_Tabulix01::Mn_InitClearClick,
                              Qt::QueuedConnection);
    find("hit");
    EXPECT_EQ(records(), "");
    EXPECT_FALSE(search->gridWidget()->isVisible());
    EXPECT_EQ(search->Grid().rowCount(), 1);
    EXPECT_TRUE(button("Btn_Exec")->isEnabled());
    EXPECT_FALSE(search->searching());
}

} // namespace
} // namespace tabulix
