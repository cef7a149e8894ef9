#include "WindowTest.h"

#include "app/TFm_Tabulix01.h"
#include "text/TextHelpers.h"
#include "view/GridFont.h"
#include "view/GridWidget.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace tabulix {
namespace {

const char* const kBreakQuestion =
    "【 前行と変化したらセルの色を変える 】\r\n\r\nこの処理を行なうと編集時のレスポンスが遅くな"
    "ります。\r\n\r\nデータ数が多い時はこの処理はなるべく行なわなようにして下さい。\r\n\r\nこの処"
    "理を行なってもよろしいですか？";

class ViewCommandsTest : public WindowTest {
protected:
    void SetUp() override {
        openWindow();
        clipboard.setText("id,名前,点\r\n1,山田,90\r\n2,佐藤,85\r\n2,鈴木,85\r\n");
        window->OpenClipboard(true, "");
    }
    const ToolControls& c() { return window->controls(); }
    void choose(QComboBox* box, int index) {
        box->setCurrentIndex(index);
        Q_EMIT box->activated(index);
    }
};

TEST_F(ViewCommandsTest, FixedColumnShowsACopyOfTheChosenColumn) {
    ASSERT_EQ(c().Cmb_FixedCol->count(), 4);
    EXPECT_EQ(c().Cmb_FixedCol->itemText(2), QStringLiteral(" 2. 名前"));
    choose(c().Cmb_FixedCol, 2);
    EXPECT_EQ(cell(1, 0), "固定列");
    EXPECT_EQ(cell(1, 2), " 山田");
    EXPECT_EQ(window->Grid().colWidth(1), static_cast<int>(16 * gridCharWidth()));
    EXPECT_EQ(window->settings().cmbFixedCol, 2);

    choose(c().Cmb_FixedKeta, 0);
    EXPECT_EQ(window->Grid().colWidth(1), 0);
    EXPECT_EQ(window->settings().cmbFixedKeta, 0);

    choose(c().Cmb_FixedCol, 0);
    EXPECT_EQ(cell(1, 0), "");
    EXPECT_EQ(cell(1, 2), "");
}

TEST_F(ViewCommandsTest, FixedRowsMoveTheCursorAndRenumber) {
    choose(c().Cmb_FixedRows, 2);
    EXPECT_EQ(window->Grid().fixedRows(), 3);
    EXPECT_EQ(window->gridWidget()->currentRow(), 3);
    EXPECT_EQ(cell(0, 3), "1");
    choose(c().Cmb_FixedRows, 0);
    EXPECT_EQ(window->Grid().fixedRows(), 1);
    EXPECT_EQ(cell(0, 1), "1");
}

TEST_F(ViewCommandsTest, MiniatureBarsMoveByOneAndStayOutOfTheHeaders) {
    GridWidget* grid = window->gridWidget();
    ASSERT_EQ(grid->currentRow(), 2);
    window->scbMinVertScroll(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(grid->currentRow(), 2); // row 1 is a header row
    window->scbMinVertScroll(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(grid->currentRow(), 3);
    window->scbMinHorzScroll(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(grid->currentCol(), 3);
    window->scbMinHorzScroll(QAbstractSlider::SliderSingleStepSub);
    window->scbMinHorzScroll(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(grid->currentCol(), 2);
    window->scbMinVertScroll(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(grid->currentRow(), 3);
    // The keyboard never stays on a miniature bar.
    c().scbMinHorz->setFocus();
    EXPECT_TRUE(grid->hasFocus());
}

// The shades start at the first data row, below the header rows, after a
// load and whenever the header rows change.
TEST_F(ViewCommandsTest, BreakShadesStartAtTheFirstDataRow) {
    ASSERT_TRUE(window->action("Mn_BreakColor")->isChecked()); // the default
    clipboard.setText("名前\r\nA\r\nA\r\nB\r\nB\r\n\r\nB\r\n");
    dialogs.answer(Answer::Yes);
    window->OpenClipboard(false, "");
    ASSERT_EQ(window->Grid().fixedRows(), 2);
    const auto bits = [&] {
        std::string out;
        for (int r = window->Grid().fixedRows(); r < window->Grid().rowCount(); ++r)
            out += TestBit(window->table().rowRecords[r].shade, 2) ? '1' : '0';
        return out;
    };
    EXPECT_EQ(bits(), "110001");
    choose(c().Cmb_FixedRows, 2); // two header rows: "A" is one of them
    EXPECT_EQ(bits(), "10001");
}

TEST_F(ViewCommandsTest, BreakColourAsksOnceARunWhenTurnedOn) {
    QAction* item = window->action("Mn_BreakColor");
    item->trigger(); // off: no question
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(window->displayOptions().breakColor);

    dialogs.answer(Answer::No);
    item->trigger();
    EXPECT_EQ(dialogs.shown().back().kind, "confirm");
    EXPECT_EQ(dialogs.shown().back().text, kBreakQuestion);
    EXPECT_FALSE(item->isChecked());

    window->Grid().setCell(4, 3, "99"); // shades must be recomputed on Yes
    dialogs.answer(Answer::Yes);
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    EXPECT_FALSE(TestBit(window->table().rowRecords[3].shade, 4));
    EXPECT_TRUE(TestBit(window->table().rowRecords[4].shade, 4)); // 85 after 99

    item->trigger();
    item->trigger(); // on again: no second question
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(dialogs.shown().size(), 2u);
}

TEST_F(ViewCommandsTest, EmptyRowColoursAreARadioPairThatMayLeaveNeither) {
    QAction* light = window->action("Mn_KaraGyoColor");
    QAction* dark = window->action("Mn_KaraGyoBlack");
    ASSERT_TRUE(light->isChecked());
    dark->trigger();
    EXPECT_TRUE(dark->isChecked());
    EXPECT_FALSE(light->isChecked());
    dark->trigger();
    EXPECT_FALSE(dark->isChecked());
    EXPECT_FALSE(light->isChecked());
    EXPECT_FALSE(window->displayOptions().karaGyoBlack);
    EXPECT_FALSE(window->displayOptions().karaGyoColor);
}

TEST_F(ViewCommandsTest, MousePermissionsSwitchTheGridAndShowBoldCaptions) {
    window->editState().clickRow = 3;
    window->editState().operationRange = CellRange{2, 3, 4, 3};
    c().Chk_MoveRow->click();
    EXPECT_TRUE(window->gridWidget()->rowMovingEnabled());
    EXPECT_TRUE(c().Chk_MoveRow->font().bold());
    EXPECT_EQ(window->editState().clickRow, -1);
    EXPECT_FALSE(window->editState().operationRange.hasRows());
    c().Chk_MoveRow->click();
    EXPECT_FALSE(window->gridWidget()->rowMovingEnabled());
    EXPECT_FALSE(c().Chk_MoveRow->font().bold());
    c().Chk_RowSize->click();
    EXPECT_TRUE(window->gridWidget()->rowSizingEnabled());
}

TEST_F(ViewCommandsTest, WidthLimitAndFoldingRecomputeTheLayout) {
    window->Grid().setCell(3, 2, std::string(40, 'x'));
    choose(c().Cmb_LimColLen, 0); // 4 digits: limit 5
    const int wA5 = static_cast<int>(5 * gridCharWidth());
    EXPECT_EQ(window->Grid().colWidth(3), wA5);
    choose(c().Cmb_Fold, 3);
    EXPECT_GT(window->Grid().rowHeight(2), window->Grid().defaultRowHeight());
    choose(c().Cmb_Fold, 1);
    EXPECT_EQ(window->Grid().rowHeight(2), window->Grid().defaultRowHeight());
    EXPECT_TRUE(window->gridWidget()->isVisible());
}

} // namespace
} // namespace tabulix
