#include "WindowTest.h"

#include "app/TFm_Tabulix01.h"
#include "app/ToolPanels.h"
#include "sort/TFm_CsvFunc.h"
#include "table/TableEvents.h"
#include "view/GridFont.h"
#include "view/GridWidget.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

namespace tabulix {
namespace {

using Texts = std::vector<std::string>;

const char* const kDone = "並び替えを終了しました。";

// Counts what the table owner announces to the other windows.
struct Announcements final : TableListener {
    void historyCleared() override { ++history; }
    void resultsStale(bool clearWord) override { stale += clearWord ? 100 : 1; }
    int history = 0;
    int stale = 0;
};

class SortWindowTest : public WindowTest {
protected:
    void SetUp() override {
        openWindow();
        // Row 1 is the header row and the column-name row (the defaults).
        clipboard.setText("名前,値,印\r\nc,2,x\r\na,10,y\r\nb,9,z\r\nB, 9 ,w\r\n");
        window->OpenClipboard(true, "");
        window->tableEvents().subscribe(&heard);
    }
    void TearDown() override {
        window->tableEvents().unsubscribe(&heard);
        WindowTest::TearDown();
    }
    TFm_CsvFunc* sorter() const { return window->csvFunc(); }
    template <typename T> T* control(const char* name) const {
        T* found = sorter()->findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QListWidget* columnList() const { return control<QListWidget>("LbxSelection"); }
    void addKey(int columnItem) {
        columnList()->setCurrentRow(columnItem);
        sorter()->LbxSortKeyDragDrop(false, -1);
    }
    Texts dataColumn(int c) const {
        Texts out;
        for (int r = 2; r < window->Grid().rowCount(); ++r)
            out.push_back(cell(c, r));
        return out;
    }
    Texts headerRow(int r) const {
        Texts out;
        for (int c = kFirstDataCol; c < window->Grid().colCount(); ++c)
            out.push_back(cell(c, r));
        return out;
    }
    std::vector<std::string> messagesSince(std::size_t from) const {
        const auto all = dialogs.messages();
        return {all.begin() + static_cast<std::ptrdiff_t>(from), all.end()};
    }

    Announcements heard;
};

// The whole row sort through the window: refusals, duplicate key, the
// question declined and accepted, the rows, marks and hooks afterwards.
TEST_F(SortWindowTest, SortsRowsByAKeyChosenInTheLists) {
    window->controls().Btn_Sort->click();
    ASSERT_TRUE(sorter()->isVisible());
    EXPECT_EQ(sorter()->windowTitle(), QStringLiteral("Tabulix 列と行の並び替え"));
    auto* pages = control<QTabWidget>("PageCtl");
    EXPECT_TRUE(pages->isTabVisible(0));
    EXPECT_FALSE(pages->isTabVisible(1));
    EXPECT_EQ(control<QLabel>("pnlSelection")->text(), QStringLiteral("列名 [1 行目]"));
    QStringList items;
    for (int i = 0; i < columnList()->count(); ++i)
        items << columnList()->item(i)->text();
    EXPECT_EQ(items, (QStringList{QStringLiteral("   1. 名前"), QStringLiteral("   2. 値"),
                                  QStringLiteral("   3. 印")}));

    auto* run = control<QPushButton>("Btn_Sort");
    run->click();
    addKey(1);
    addKey(1);
    control<QCheckBox>("Chk_RowSort")->setChecked(false);
    run->click();
    control<QCheckBox>("Chk_RowSort")->setChecked(true);
    dialogs.answer(Answer::No);
    run->click();
    EXPECT_EQ(dataColumn(2), (Texts{"c", "a", "b", "B"}));

    window->table().rowRecords[3].marked = true; // the row of "a"
    dialogs.answer(Answer::Yes);
    run->click();
    EXPECT_EQ(dialogs.messages(),
              (std::vector<std::string>{
                  "【 並び替えキー項目 】 を選択して下さい。",
                  "既に同じ列が選択されています。\r\n\r\n    ＞   2. 値",
                  "【 Option 】 をチェックして下さい。",
                  "選択されたキー項目により 【 行の並び替え 】を行います。\r\n\r\nよろしいですか？",
                  "選択されたキー項目により 【 行の並び替え 】を行います。\r\n\r\nよろしいですか？",
                  kDone}));
    // 10 before 2 before 9 as text; " 9 " equals "9" and keeps its place.
    EXPECT_EQ(dataColumn(2), (Texts{"a", "c", "b", "B"}));
    EXPECT_EQ(dataColumn(4), (Texts{"y", "x", "z", "w"}));
    EXPECT_EQ(dataColumn(0), (Texts{"1", "2", "3", "4"}));
    EXPECT_TRUE(window->table().rowRecords[2].marked);
    EXPECT_FALSE(window->table().rowRecords[3].marked);
    EXPECT_TRUE(sorter()->keyItems().isEmpty());
    EXPECT_EQ(heard.history, 1);
    EXPECT_GE(heard.stale, 1);
    EXPECT_LT(heard.stale, 100); // the search word stays
    EXPECT_FALSE(window->action("Mn_Undo")->isEnabled());
    EXPECT_TRUE(window->modified());
    EXPECT_TRUE(window->gridWidget()->isVisible());
    EXPECT_TRUE(run->isVisible());
    EXPECT_FALSE(control<QPushButton>("Btn_Stop")->isVisible());
}

TEST_F(SortWindowTest, ColumnSortMovesOnlyTheKeyColumnsAndRenumbers) {
    window->controls().Btn_Sort->click();
    window->Grid().setColWidth(4, 77);
    window->table().colRecords[4].width = 77;
    addKey(2);
    addKey(0);
    // Dragging the first key back onto the column list removes it; put it back.
    control<QListWidget>("LbxSortKey")->setCurrentRow(0);
    sorter()->LbxSelectionDragDrop();
    EXPECT_EQ(sorter()->keyItems(), QStringList{QStringLiteral("   1. 名前")});
    addKey(2);
    EXPECT_EQ(sorter()->keyItems(),
              (QStringList{QStringLiteral("   1. 名前"), QStringLiteral("   3. 印")}));
    // Reordered by dragging the second key onto the first.
    control<QListWidget>("LbxSortKey")->setCurrentRow(1);
    QTest::mousePress(control<QListWidget>("LbxSortKey")->viewport(), Qt::LeftButton, {},
                      control<QListWidget>("LbxSortKey")
                          ->visualItemRect(control<QListWidget>("LbxSortKey")->item(1))
                          .center());
    sorter()->LbxSortKeyDragDrop(true, 0);
    EXPECT_EQ(sorter()->keyItems(),
              (QStringList{QStringLiteral("   3. 印"), QStringLiteral("   1. 名前")}));

    control<QCheckBox>("Chk_RowSort")->setChecked(false);
    control<QCheckBox>("Chk_ColSort")->setChecked(true);
    dialogs.answer(Answer::Yes);
    control<QPushButton>("Btn_Sort")->click();
    EXPECT_EQ(
        dialogs.messages(),
        (std::vector<std::string>{
            "選択されたキー項目により 【 列の並び替え 】 を行います。\r\n\r\nよろしいですか？",
            kDone}));
    EXPECT_EQ(headerRow(1), (Texts{"印", "名前", "値"}));
    EXPECT_EQ(headerRow(0), (Texts{"1", "2", "3"}));
    EXPECT_EQ(dataColumn(2), (Texts{"x", "y", "z", "w"}));
    EXPECT_EQ(window->Grid().colWidth(2), 77);
    EXPECT_EQ(window->table().colRecords[2].width, 77);
    EXPECT_EQ(columnList()->item(0)->text(), QStringLiteral("   1. 印"));
}

TEST_F(SortWindowTest, AStoppedSortLeavesTheTableAsItWas) {
    std::string text = "k\r\n";
    for (int r = 0; r < 5000; ++r)
        text += std::to_string(5000 - r) + "\r\n";
    clipboard.setText(text);
    window->OpenClipboard(true, "");
    heard.history = 0;
    window->controls().Btn_Sort->click();
    addKey(0);
    dialogs.answer(Answer::Yes);
    // Pressed at the first progress point, through the guard on input.
    QTimer::singleShot(0, sorter(), [this] {
        QTest::mouseClick(control<QPushButton>("Btn_Stop"), Qt::LeftButton);
    });
    control<QPushButton>("Btn_Sort")->click();
    EXPECT_EQ(messagesSince(1), (std::vector<std::string>{"並び替えを中断しました。"}));
    EXPECT_EQ(cell(2, 2), "5000");
    EXPECT_EQ(heard.history, 0);
    EXPECT_EQ(sorter()->keyItems(), QStringList{QStringLiteral("   1. k")});
    EXPECT_TRUE(window->gridWidget()->isVisible());
}

TEST_F(SortWindowTest, DisplayTabSuppressesAndShowsColumns) {
    window->Grid().setColWidth(4, 123);
    window->table().colRecords[4].width = 123;
    window->controls().Btn_ViewCol->click();
    EXPECT_EQ(sorter()->windowTitle(), QStringLiteral("Tabulix 列の表示抑制"));
    auto* pages = control<QTabWidget>("PageCtl");
    EXPECT_FALSE(pages->isTabVisible(0));
    EXPECT_TRUE(pages->isTabVisible(1));
    auto* list = control<GridWidget>("PrintGrid");
    const StringGrid& lines = *list->grid();
    EXPECT_EQ(lines.rowCount(), 4);
    EXPECT_EQ((Texts{lines.cellText(0, 0), lines.cellText(1, 0), lines.cellText(0, 3),
                     lines.cellText(1, 3)}),
              (Texts{"No.", "列名 [1 行目]", "3", " 印"}));

    // Line 3 with two fixed columns is grid column 4.
    list->setCurrentCell(1, 3);
    sorter()->PrintGridDblClick();
    EXPECT_FALSE(window->table().colRecords[4].visible);
    EXPECT_EQ(window->Grid().colWidth(4), static_cast<int>(gridCharWidth()));
    EXPECT_EQ(cell(4, 2), "x");
    sorter()->PrintGridDblClick();
    EXPECT_TRUE(window->table().colRecords[4].visible);
    EXPECT_EQ(window->Grid().colWidth(4), 123);

    dialogs.answer(Answer::No);
    control<QPushButton>("Btn_PrintOff")->click();
    EXPECT_TRUE(window->table().colRecords[3].visible);
    dialogs.answer(Answer::Yes);
    control<QPushButton>("Btn_PrintOff")->click();
    for (int c = kFirstDataCol; c < window->Grid().colCount(); ++c)
        EXPECT_FALSE(window->table().colRecords[c].visible) << c;
    dialogs.answer(Answer::Yes);
    control<QPushButton>("Btn_PrintAll")->click();
    EXPECT_TRUE(window->table().colRecords[2].visible);
    EXPECT_EQ(window->Grid().colWidth(4), 123);
    EXPECT_EQ(dialogs.messages(), (std::vector<std::string>{
                                      "全列を  【非表示】  にします。\r\n\r\nよろしいですか？",
                                      "全列を  【非表示】  にします。\r\n\r\nよろしいですか？",
                                      "全列を  【表示対象】  にします。\r\n\r\nよろしいですか？"}));

    // A suppressed column still sorts.
    window->controls().Btn_Sort->click();
    list->setCurrentCell(1, 2);
    sorter()->PrintGridDblClick();
    addKey(1);
    dialogs.answer(Answer::Yes);
    control<QPushButton>("Btn_Sort")->click();
    EXPECT_EQ(dataColumn(3), (Texts{"10", "2", "9", " 9 "}));
    control<QPushButton>("Btn_SortEnd")->click();
    EXPECT_FALSE(sorter()->isVisible());
}

} // namespace
} // namespace tabulix
