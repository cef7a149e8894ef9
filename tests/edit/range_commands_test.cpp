// The cell menu's range commands walked through on a table of known cells.
#include "EditFixture.h"
#include "ScriptedClipboard.h"

#include "edit/RangeCommands.h"
#include "edit/UndoCommand.h"

namespace tabulix {
namespace {

struct RangeBench : EditBench {
    RangeBench() : EditBench(6, 8) {}
    StringGrid copyGrid{1, 1};
    ScriptedClipboard clipboard;
    ClipStore clip{copyGrid, clipboard};

    void select(int left, int top, int right, int bottom) {
        host.col = left;
        host.row = top;
        host.selected = CellRange{left, top, right, bottom};
    }
    std::string at(int col, int row) const { return table.grid.cellText(col, row); }
    std::vector<std::string> dataRow(int row) const {
        std::vector<std::string> out;
        for (int c = 2; c < table.grid.colCount(); ++c)
            out.push_back(at(c, row));
        return out;
    }
};

TEST(ClipText, RowsAreRecordLinesJoinedByOneLineBreak) {
    struct Case {
        std::vector<std::vector<std::string>> rows;
        Separator sep;
        std::string text;
    };
    const Case cases[] = {
        {{{"a", "b", "c"}, {"d", "e", "f"}}, Separator::of(','), "a,b,c\r\nd,e,f"},
        {{{"a", "b", "c"}, {"d", "e", "f"}}, Separator::none(), "abc\r\ndef"},
        {{{"x,y", "say \"hi\""}}, Separator::of(','), "\"x,y\",\"say \"\"hi\"\"\""},
        {{{"two\r\nlines", ""}}, Separator::of('\t'), "\"two\r\nlines\"\t"},
    };
    for (const Case& c : cases) {
        StringGrid g(static_cast<int>(c.rows[0].size()), static_cast<int>(c.rows.size()));
        for (std::size_t r = 0; r < c.rows.size(); ++r)
            g.setRow(static_cast<int>(r), c.rows[r]);
        EXPECT_EQ(ClipText(g, c.sep), c.text);
        // What the clip writes, a paste reads back cell for cell.
        if (c.sep.isNone()) continue;
        StringGrid back(1, 1);
        ClipboardToGrid(c.text, c.sep, back);
        ASSERT_EQ(back.rowCount(), g.rowCount());
        for (int r = 0; r < g.rowCount(); ++r)
            for (int col = 0; col < g.colCount(); ++col)
                EXPECT_EQ(back.cell(col, r), g.cell(col, r)) << c.text;
    }
}

// Clip a 2 × 3 range, change a clipped cell, paste elsewhere: the snapshot
// is pasted; undo puts the target back.
TEST(RangeCommands, ClipIsASnapshotAndPasteIsUndone) {
    RangeBench b;
    b.select(2, 1, 4, 2);
    ClipSelection(b.session, b.clip, ClipKind::CellRange);
    EXPECT_EQ(b.clipboard.text(), "r1c1,r1c2,r1c3\r\nr2c1,r2c2,r2c3");
    EXPECT_EQ(b.edit.clipKind, ClipKind::CellRange);
    EXPECT_EQ(b.edit.clipRange.right, 4);
    b.table.grid.setCell(2, 1, "changed");

    b.select(5, 6, 5, 6);
    b.dialogs.answer(Answer::Yes);
    PasteClip(b.session, b.clip, PasteOrigin::Cursor);
    EXPECT_EQ(b.dialogs.messages().back(),
              "【 貼り付け 】\r\n\r\n   クリップされた内容をカーソル位置の範囲に貼り付けます。");
    EXPECT_EQ(b.at(5, 6), "r1c1");
    EXPECT_EQ(b.at(7, 7), "r2c3");
    EXPECT_EQ(b.table.grid.colCount(), 8); // column 7 is the last: nothing grows
    EXPECT_EQ(b.host.selected.right, 7);
    EXPECT_EQ(b.host.selected.bottom, 7);
    EXPECT_TRUE(b.host.isModified);
    EXPECT_EQ(HistLabel(b.history.newest()), "範囲貼り付け");

    Mn_UndoClick(b.session);
    EXPECT_EQ(b.at(5, 6), "r6c4");
    EXPECT_EQ(b.at(7, 7), "r7c6");
    EXPECT_FALSE(b.host.isModified);
}

// A paste reaching past the last row and column writes what fits: at the
// last column only the first source column.
TEST(RangeCommands, PasteNeverGrowsTheTable) {
    RangeBench b;
    b.host.confirm[static_cast<int>(ConfirmItem::Paste)] = false;
    b.clipboard.setText("a,b,c\r\nd,e,f\r\ng,h,i");
    b.select(7, 7, 7, 7);
    PasteClip(b.session, b.clip, PasteOrigin::Cursor);
    EXPECT_EQ(b.at(7, 7), "a");
    EXPECT_EQ(b.at(7, 8), "d");
    EXPECT_EQ(b.table.grid.colCount(), 8);
    EXPECT_EQ(b.table.grid.rowCount(), 9);
    EXPECT_EQ(b.host.selected.left, 7);
    EXPECT_EQ(b.host.selected.bottom, 8);
    Mn_UndoClick(b.session);
    EXPECT_EQ(b.at(7, 7), "r7c6");
    EXPECT_EQ(b.at(7, 8), "r8c6");
}

// The clipboard "x,y" / "z" pasted at column 5, row 3 writes x and y into
// row 3, z into row 4 and empties the cell right of z; a quoted line break
// stays in one cell. The question quotes 20 units of the text.
TEST(RangeCommands, ClipboardPasteSplitsRecordsWithTheSeparator) {
    RangeBench b;
    b.clipboard.setText("x,y\r\nz");
    b.select(5, 3, 5, 3);
    b.dialogs.answer(Answer::Yes);
    PasteClip(b.session, b.clip, PasteOrigin::Cursor);
    EXPECT_EQ(b.dialogs.messages().back(),
              "【 貼り付け 】\r\n\r\n   現在のクリップボードの内容をカーソル位置の範囲に貼り付けます。"
              "\r\n\r\n   先頭内容 → x,y\r\nz\r\n\r\n   貼付行列数 ： 2 行\u3000" "2 列");
    EXPECT_EQ(b.at(5, 3), "x");
    EXPECT_EQ(b.at(6, 3), "y");
    EXPECT_EQ(b.at(5, 4), "z");
    EXPECT_EQ(b.at(6, 4), "");
    EXPECT_EQ(b.at(7, 4), "r4c6");

    b.clipboard.setText("\"two\nlines\",あいうえおかきくけこさしす");
    b.select(2, 1, 2, 1);
    b.dialogs.answer(Answer::No);
    PasteClip(b.session, b.clip, PasteOrigin::Cursor);
    EXPECT_EQ(b.dialogs.messages().back(),
              "【 貼り付け 】\r\n\r\n   現在のクリップボードの内容をカーソル位置の範囲に貼り付けます。"
              "\r\n\r\n   先頭内容 → \"two\r\nlines\",あいう\r\n\r\n   貼付行列数 ： 1 行\u3000" "2 列");
    EXPECT_EQ(b.at(2, 1), "r1c1"); // declined: only the selection moved
    EXPECT_EQ(b.host.selected.right, 3);
    b.dialogs.answer(Answer::Yes);
    PasteClip(b.session, b.clip, PasteOrigin::Cursor);
    EXPECT_EQ(b.at(2, 1), "two\nlines");
    EXPECT_EQ(b.at(3, 1), "あいうえおかきくけこさしす");
}

// Clear cuts to the clipboard and drops the clip kind, so the next paste
// reads the clipboard; the clip range stays shown until released.
TEST(RangeCommands, ClearCutsAndReleaseForgetsTheClip) {
    RangeBench b;
    b.select(2, 1, 3, 1);
    ClipSelection(b.session, b.clip, ClipKind::CellRange);
    b.select(4, 5, 5, 6);
    b.dialogs.answer(Answer::Yes);
    ClearSelection(b.session, b.clip);
    EXPECT_EQ(b.dialogs.messages().back(),
              "【 クリアー 】\r\n\r\n   カーソル位置の範囲のセルをクリアーします。");
    EXPECT_EQ(b.clipboard.text(), "r5c3,r5c4\r\nr6c3,r6c4");
    EXPECT_EQ(b.at(4, 5), "");
    EXPECT_EQ(b.at(5, 6), "");
    EXPECT_EQ(b.edit.clipKind, ClipKind::None);
    EXPECT_EQ(b.edit.clipRange.left, 2);
    EXPECT_FALSE(b.edit.confirmHighlight.active());

    b.host.confirm[static_cast<int>(ConfirmItem::Paste)] = false;
    b.select(2, 8, 2, 8);
    PasteClip(b.session, b.clip, PasteOrigin::Cursor);
    EXPECT_EQ(b.at(2, 8), "r5c3");
    EXPECT_EQ(b.at(3, 8), "r5c4");

    ReleaseClip(b.session, b.clip);
    EXPECT_EQ(b.clipboard.text(), "");
    EXPECT_FALSE(b.edit.clipRange.hasColumns());

    // Undo takes back the paste, then the clear.
    Mn_UndoClick(b.session);
    Mn_UndoClick(b.session);
    EXPECT_EQ(b.at(4, 5), "r5c3");
    EXPECT_EQ(b.at(2, 8), "r8c1");
}

// A row clip pastes at the first data column, a column clip at the first
// data row, wherever the cursor stands in that row or column.
TEST(RangeCommands, RowAndColumnClipsPasteAtTheLineStart) {
    RangeBench b;
    b.host.confirm[static_cast<int>(ConfirmItem::Paste)] = false;
    b.select(2, 2, 7, 2);
    ClipSelection(b.session, b.clip, ClipKind::Rows);
    b.select(5, 6, 5, 6);
    PasteClip(b.session, b.clip, PasteOrigin::RowStart);
    EXPECT_EQ(b.dataRow(6),
              (std::vector<std::string>{"r2c1", "r2c2", "r2c3", "r2c4", "r2c5", "r2c6"}));

    b.select(3, 1, 3, 8);
    ClipSelection(b.session, b.clip, ClipKind::Columns);
    b.select(6, 5, 6, 5);
    PasteClip(b.session, b.clip, PasteOrigin::ColumnStart);
    EXPECT_EQ(b.at(6, 1), "r1c2");
    EXPECT_EQ(b.at(6, 8), "r8c2");
}

TEST(RangeCommands, ConversionAsksWithTheItemsLabelAndIsUndone) {
    RangeBench b;
    b.table.grid.setCell(2, 1, "ｱｲｳ123abc");
    b.table.grid.setCell(3, 1, "ﾊﾟｿｺﾝ");
    EXPECT_EQ(ConversionLabel("1. 半角 → 全角"), " 半角 → 全角");
    EXPECT_EQ(ConversionLabel("2. 全角 → 半角  "), " 全角 → 半角");
    b.select(2, 1, 3, 1);
    b.dialogs.answer(Answer::Yes);
    ConvertSelection(b.session, Conversion::ToFullWidth, ConversionLabel("1. 半角 → 全角"));
    EXPECT_EQ(b.dialogs.messages().back(),
              "カーソル位置の範囲のセルの文字変換を行います。\r\n\r\n      【  半角 → 全角 】");
    EXPECT_EQ(b.at(2, 1), "アイウ１２３ａｂｃ");
    EXPECT_EQ(b.at(3, 1), "パソコン");
    EXPECT_EQ(HistLabel(b.history.newest()), "範囲文字変換");
    Mn_UndoClick(b.session);
    EXPECT_EQ(b.at(3, 1), "ﾊﾟｿｺﾝ");

    b.dialogs.answer(Answer::No);
    ConvertSelection(b.session, Conversion::ToHalfWidth, " 全角 → 半角");
    EXPECT_EQ(b.at(2, 1), "ｱｲｳ123abc");
    EXPECT_TRUE(b.history.empty());
}

} // namespace
} // namespace tabulix
