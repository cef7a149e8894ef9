// The main window's print entries open the print preview on the right grid.
#include "WindowTest.h"

#include "app/EditCommands.h"
#include "app/PrintCommands.h"
#include "print/TfrmGridPrint_01.h"

#include <QAction>
#include <QApplication>
#include <QTimer>

#include <fstream>

namespace tabulix {
namespace {

class PrintCommandsTest : public WindowTest {
protected:
    void SetUp() override {
        makeFolder();
        openWindow();
        std::ofstream out(path("t.csv"), std::ios::binary);
        out << "h1,h2,h3\r\n";
        for (int r = 2; r <= 12; ++r)
            out << "a" << r << ",b" << r << ",c" << r << "\r\n";
        out.close();
        ASSERT_TRUE(window->LoadFile(path("t.csv")));
    }
    // Runs `look` while the modal preview is open, then closes it.
    void whilePreviewOpen(std::function<void()> look) {
        QTimer::singleShot(0, [this, look] {
            auto* preview = qobject_cast<TfrmGridPrint_01*>(QApplication::activeModalWidget());
            ASSERT_NE(preview, nullptr);
            previewTitle = preview->windowTitle();
            look();
            preview->findChild<QAction*>(QStringLiteral("mnExit1"))->trigger();
        });
    }
    QString previewTitle;
};

TEST_F(PrintCommandsTest, WholeTableAndRowsGoToThePreview) {
    Table& table = window->table();
    table.colRecords[3].visible = false;
    const int width3 = window->Grid().colWidth(3);
    const int width0 = window->Grid().colWidth(0);
    whilePreviewOpen([&] {
        EXPECT_EQ(window->Grid().colWidth(3), 0); // suppressed: off the paper
        EXPECT_EQ(window->Grid().colWidth(1), 0); // no fixed column chosen
    });
    window->action("Mn_GridPrint")->trigger();
    EXPECT_FALSE(previewTitle.isEmpty());
    EXPECT_EQ(window->Grid().colWidth(3), width3);
    EXPECT_EQ(window->Grid().colWidth(0), width0);

    // The row menu's print: the header row and the chosen rows in the work grid.
    window->editState().operationRange = CellRange{2, 5, 4, 9};
    window->editState().operationAxis = HeaderMode::RowHeader;
    int rows = 0;
    std::string firstNumber;
    whilePreviewOpen([&] {
        rows = window->WorkGrid().rowCount();
        firstNumber = window->WorkGrid().cellText(0, 2);
    });
    window->editCommands().popupAction("Pm_RowPrint")->trigger();
    EXPECT_EQ(rows, 7); // row 0, the header row, rows 5 to 9
    EXPECT_EQ(firstNumber, window->Grid().cellText(0, 5));
    EXPECT_EQ(window->WorkGrid().rowCount(), 1); // reset afterwards

    // Marked data: nothing marked gives the notice.
    window->action("Mn_MarkPrint")->trigger();
    EXPECT_EQ(dialogs.messages().back(), "現在、マーキングされたデータはありません。");
}

} // namespace
} // namespace tabulix
