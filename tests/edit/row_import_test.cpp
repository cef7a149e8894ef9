#include "EditFixture.h"
#include "TestFiles.h"

#include "edit/RowImport.h"
#include "edit/UndoCommand.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace tabulix {
namespace {

using Texts = std::vector<std::string>;

Texts rowTexts(const Table& t, int row) {
    Texts out;
    for (int c = 2; c < t.grid.colCount(); ++c)
        out.push_back(t.grid.cellText(c, row));
    return out;
}

ImportSource board(std::string text) {
    ImportSource source;
    source.clipboardText = std::move(text);
    return source;
}

TEST(ImportRows, TabTextSplitsAtTabsAndTheSeparatorComesBack) {
    EditBench b(3, 3);
    b.clickRow(2);
    b.dialogs.answer(Answer::Yes);
    ImportRows(b.session, board("a\tb,c\tx\r\nd\te"));
    EXPECT_EQ(b.dialogs.messages(),
              (Texts{"現在のクリップボードの内容を 【 挿入 】 します。\r\n\r\n   先頭内容 → "
                     "a\tb,c\tx\r\nd\te\r\n\r\n   挿入行数 ： 2 行"}));
    EXPECT_EQ(rowTexts(b.table, 2), (Texts{"a", "b,c", "x"}));
    EXPECT_EQ(rowTexts(b.table, 3), (Texts{"d", "e", ""}));
    EXPECT_EQ(rowTexts(b.table, 4), (Texts{"r2c1", "r2c2", "r2c3"}));
    EXPECT_EQ(b.table.grid.cellText(0, 3), "3");
    EXPECT_EQ(b.host.sep, Separator::of(','));
    EXPECT_EQ(b.host.busy, 0);
    EXPECT_EQ(b.edit.operationRange.top, 2);
    EXPECT_EQ(b.edit.operationRange.bottom, 3);
    EXPECT_TRUE(b.host.isModified);
    Mn_UndoClick(b.session);
    EXPECT_EQ(b.table.grid.rowCount(), 4);
    EXPECT_EQ(rowTexts(b.table, 2), (Texts{"r2c1", "r2c2", "r2c3"}));
}

TEST(ImportRows, WideLinesAskOnceAndUndoInOneStep) {
    // Yes: the table widens; one undo takes the columns and the rows.
    {
        EditBench b(2, 2);
        b.clickRow(1);
        b.dialogs.answer(Answer::Yes);
        b.dialogs.answer(Answer::Yes);
        ImportRows(b.session, board("1,2,3\n4\n5,6,7\n8,9\n\"q,r\",s,t\n"));
        const Texts messages = b.dialogs.messages();
        ASSERT_EQ(messages.size(), 2u);
        EXPECT_EQ(messages[1], "挿入データの列数の方が大きいです。\r\n\r\n   "
                               "列数を増やしてもよろしいですか？");
        EXPECT_EQ(b.table.grid.colCount(), 5);
        EXPECT_EQ(b.table.colRecords.size(), 5u);
        EXPECT_EQ(b.table.grid.cellText(4, 0), "3");
        EXPECT_EQ(rowTexts(b.table, 1), (Texts{"1", "2", "3"}));
        EXPECT_EQ(rowTexts(b.table, 5), (Texts{"q,r", "s", "t"}));
        EXPECT_EQ(rowTexts(b.table, 6), (Texts{"r1c1", "r1c2", ""}));
        EXPECT_EQ(UndoMenuCaptions(b.history).main, "元に戻す  #2  【列挿入】");
        Mn_UndoClick(b.session);
        EXPECT_EQ(b.table.grid.colCount(), 4);
        EXPECT_EQ(b.table.grid.rowCount(), 3);
        EXPECT_EQ(rowTexts(b.table, 1), (Texts{"r1c1", "r1c2"}));
        EXPECT_FALSE(b.host.isModified);
        EXPECT_TRUE(b.history.empty());
    }
    // No: every line keeps only what fits.
    {
        EditBench b(2, 2);
        b.clickRow(3);
        b.dialogs.answer(Answer::Yes);
        b.dialogs.answer(Answer::No);
        ImportRows(b.session, board("1,2,3\n4,5,6,7"));
        EXPECT_EQ(b.dialogs.messages().size(), 2u);
        EXPECT_EQ(rowTexts(b.table, 3), (Texts{"1", "2"}));
        EXPECT_EQ(rowTexts(b.table, 4), (Texts{"4", "5"}));
        EXPECT_EQ(b.table.grid.colCount(), 4);
    }
}

TEST(ImportRows, NothingToInsertDeclinedAndFromAFile) {
    EditBench b(2, 2);
    b.clickRow(1);
    ImportRows(b.session, board(""));
    EXPECT_EQ(b.dialogs.messages().back(), "挿入できるデータはありません。");
    b.dialogs.answer(Answer::No);
    ImportRows(b.session, board("x,y"));
    EXPECT_EQ(b.table.grid.rowCount(), 3);
    EXPECT_TRUE(b.history.empty());
    EXPECT_EQ(b.host.busy, 0);

    const std::string folder = makeTemporaryFolder("tabulix-import").string();
    ASSERT_FALSE(folder.empty());
    const std::string path = folder + "/rows.txt";
    std::ofstream(path, std::ios::binary) << "f1,f2\r\nf3,f4\r\n";
    std::string remembered = folder + "/old.txt";
    ImportSource source;
    source.fromFile = true;
    source.selectFilePath = &remembered;
    b.dialogs.answerFile(path);
    b.dialogs.answer(Answer::Yes);
    ImportRows(b.session, source);
    const auto& shown = b.dialogs.shown();
    const auto& open = shown[shown.size() - 2];
    EXPECT_EQ(open.kind, "open");
    EXPECT_EQ(open.text, "指定行位置に挿入するＣＳＶファイルを選択して下さい。");
    EXPECT_EQ(open.request.folder, folder);
    EXPECT_EQ(open.request.name, "old.txt");
    EXPECT_EQ(open.request.filter.rfind("(*.txt)", 0), 0u);
    EXPECT_EQ(shown.back().text, "このファイルを挿入します。\r\n\r\n   Path = " + path +
                                     "\r\n\r\n   挿入行数 ： 2 行");
    EXPECT_EQ(remembered, path);
    EXPECT_EQ(rowTexts(b.table, 1), (Texts{"f1", "f2"}));
    EXPECT_EQ(rowTexts(b.table, 3), (Texts{"r1c1", "r1c2"}));

    // A file that cannot be read: its message, nothing inserted.
    b.dialogs.answerFile(folder + "/missing.csv");
    ImportRows(b.session, source);
    EXPECT_EQ(b.dialogs.messages().back(),
              "ファイルを読み込めませんでした。\r\n\r\n   PATH = " + folder + "/missing.csv");
    EXPECT_EQ(b.table.grid.rowCount(), 5);
    EXPECT_EQ(b.host.busy, 0);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace tabulix
