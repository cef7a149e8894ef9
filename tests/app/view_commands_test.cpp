#include "WindowTest.h"

#include "app/TFm_Tabulix01.h"
#include "table/WidthRule.h"
#include "text/TextHelpers.h"
#include "view/GridFont.h"
#include "view/GridWidget.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QPushButton>
#include <QCoreApplication>
#include <QLabel>
#include <QToolButton>
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
    EXPECT_EQ(window->Grid().colWidth(1), ColumnWidthForUnits(16, gridCharWidth()));
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
            out += window->table().shades.test(r, 2) ? '1' : '0';
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
    EXPECT_FALSE(window->table().shades.test(3, 4));
    EXPECT_TRUE(window->table().shades.test(4, 4)); // 85 after 99

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
    c().Chk_RowSize->click();
    EXPECT_TRUE(window->gridWidget()->rowSizingEnabled());
    EXPECT_TRUE(c().Chk_RowSize->font().bold());
    EXPECT_EQ(window->editState().clickRow, -1);
    EXPECT_FALSE(window->editState().operationRange.hasRows());
    c().Chk_RowSize->click();
    EXPECT_FALSE(window->gridWidget()->rowSizingEnabled());
    EXPECT_FALSE(c().Chk_RowSize->font().bold());
}

// Moving rows and columns by their headers is not built yet: the two check
// boxes stay disabled and the grid offers no header drag, whatever asks.
TEST_F(ViewCommandsTest, HeaderMovesFollowTheirCheckBoxes) {
    for (QCheckBox* box : {c().Chk_MoveRow, c().Chk_MoveCol}) {
        EXPECT_TRUE(box->isEnabled()) << box->objectName().toStdString();
        box->setChecked(false);
    }
    window->Chk_MoveRowClick();
    window->Chk_MoveColClick();
    EXPECT_FALSE(window->gridWidget()->rowMovingEnabled());
    EXPECT_FALSE(window->gridWidget()->colMovingEnabled());
    c().Chk_MoveRow->click();
    c().Chk_MoveCol->click();
    EXPECT_TRUE(window->gridWidget()->rowMovingEnabled());
    EXPECT_TRUE(window->gridWidget()->colMovingEnabled());
    window->ResetTable();
    EXPECT_TRUE(window->gridWidget()->rowMovingEnabled());
    EXPECT_TRUE(window->gridWidget()->colMovingEnabled());
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

// The width rule counts what date editing shows, after a load and when date
// editing is turned on: the dates are shown whole.
TEST_F(ViewCommandsTest, DateEditingWidensColumnsToTheDatesShown) {
    clipboard.setText("日付,短\r\n20240101,240315\r\n");
    window->OpenClipboard(true, "");
    const int wA = static_cast<int>(gridCharWidth());
    EXPECT_EQ(window->Grid().colWidth(2), static_cast<int>(9.5 * wA));
    window->action("Mn_DateEdit")->trigger();
    EXPECT_TRUE(window->displayOptions().dateEdit);
    EXPECT_EQ(window->Grid().colWidth(2), static_cast<int>(11.5 * wA)); // "2024/01/01"
    EXPECT_EQ(window->Grid().colWidth(3), static_cast<int>(9.5 * wA));  // "24/03/15"
    EXPECT_EQ(window->table().colRecords[2].width, static_cast<int>(11.5 * wA));
    window->action("Mn_DateEdit")->trigger(); // off: the columns keep their widths
    EXPECT_EQ(window->Grid().colWidth(2), static_cast<int>(11.5 * wA));
    window->action("Mn_DateEdit")->trigger();
    window->OpenClipboard(true, "");
    EXPECT_EQ(window->Grid().colWidth(2), static_cast<int>(11.5 * wA));
}

// A fixed-column text exactly as wide as the column stays on one line.
TEST_F(ViewCommandsTest, AFixedColumnTextExactlyFillingItDoesNotFold) {
    choose(c().Cmb_FixedCol, 2);
    choose(c().Cmb_FixedKeta, 5); // " 山田": five units
    ASSERT_EQ(cell(1, 2), " 山田");
    choose(c().Cmb_Fold, kFoldAuto);
    for (int row = 1; row < window->Grid().rowCount(); ++row) // below the "固定列" header
        EXPECT_EQ(window->Grid().rowHeight(row), window->Grid().defaultRowHeight()) << row;
    choose(c().Cmb_FixedKeta, 4);
    choose(c().Cmb_Fold, kFoldAuto);
    EXPECT_GT(window->Grid().rowHeight(2), window->Grid().defaultRowHeight());
}

// The number column grows for row numbers of ten million and more, so they
// never fold; it never narrows below its nine units.
TEST_F(ViewCommandsTest, TheNumberColumnGrowsForTenMillionRows) {
    StringGrid& grid = window->Grid();
    const int nine = ColumnWidthForUnits(9, gridCharWidth());
    EXPECT_EQ(grid.colWidth(0), nine);
    grid.setRowCount(10'000'002); // one header row: the last shows 10,000,000
    choose(c().Cmb_LimColLen, c().Cmb_LimColLen->currentIndex());
    EXPECT_EQ(grid.colWidth(0), ColumnWidthForUnits(10, gridCharWidth()));
    EXPECT_EQ(window->table().colRecords[0].width, grid.colWidth(0));
    EXPECT_EQ(grid.rowHeight(grid.rowCount() - 1), grid.defaultRowHeight());
    window->ResetTable();
    choose(c().Cmb_LimColLen, c().Cmb_LimColLen->currentIndex());
    EXPECT_EQ(grid.colWidth(0), nine);
}

void settle() {
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
}

// At the program's own size on 1280- and 1366-pixel screens (two thirds of
// them) every control of the tool panels shows whole, inside its panel and
// above the grid; narrower, the counters still never show a cut number.
TEST_F(ViewCommandsTest, ToolPanelsShowEveryControlWholeAtTheDefaultSizes) {
    c().Lab_Records->setText(QStringLiteral("1,234,568"));
    c().Lab_Fields->setText(QStringLiteral("200,000 "));
    const QSize sizes[] = {{853, 682}, {910, 512}, {910, 600}, {740, 500}, {600, 500}};
    for (const QSize size : sizes) {
        window->resize(size);
        settle();
        ASSERT_EQ(window->size(), size);
        const QWidget* grid = window->gridWidget();
        for (const char* panelName : {"pnlTop", "pnlView"}) {
            const auto* panel = window->findChild<QWidget*>(QString::fromUtf8(panelName));
            ASSERT_NE(panel, nullptr);
            EXPECT_LE(panel->geometry().bottom(), grid->geometry().top()) << size.width();
            for (QWidget* w : panel->findChildren<QWidget*>()) {
                const bool control = qobject_cast<QComboBox*>(w) || qobject_cast<QCheckBox*>(w) ||
                                     qobject_cast<QAbstractButton*>(w) ||
                                     (qobject_cast<QLabel*>(w) && w != c().pnlMsg);
                if (!control || !w->isVisible() || w->parentWidget() == nullptr) continue;
                const std::string name =
                    (w->objectName().isEmpty() ? w->metaObject()->className()
                                               : w->objectName().toStdString()) +
                    " at " + std::to_string(size.width());
                // A push button is as wide as its caption needs, in bold too.
                QFont bold = w->font();
                bold.setBold(true);
                const auto* push = qobject_cast<QPushButton*>(w);
                const int needed =
                    push ? QFontMetrics(bold).horizontalAdvance(push->text()) + 8 : w->sizeHint().width();
                EXPECT_GE(w->width(), needed) << name;
                const QRect inPanel(w->mapTo(panel, QPoint(0, 0)), w->size());
                EXPECT_TRUE(panel->rect().contains(inPanel)) << name;
            }
        }
    }
}

} // namespace
} // namespace tabulix
