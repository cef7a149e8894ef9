#include "csv/CsvDialogRequests.h"

#include <gtest/gtest.h>

namespace tabulix {
namespace {

TEST(CsvDialogs, FiltersBecomeQtNameFilters) {
    EXPECT_EQ(QtNameFilters("(*.csv)|*.csv|(*.csv; *.txt)|*.csv; *.txt|(*.txt)|*.txt|(*.*)|*.*"),
              "(*.csv);;(*.csv; *.txt) (*.csv *.txt);;(*.txt);;(*.*) (*)");
}

TEST(CsvDialogs, StartAtTheCurrentFile) {
    const auto r = OpenCsvRequest(" /data/会員.tsv ", "/old/x.csv", "/opt/tabulix");
    EXPECT_EQ(r.title, "読み込む Csv ファイルを選択して下さい。");
    EXPECT_EQ(r.folder, "/data");
    EXPECT_EQ(r.name, "会員.tsv");
    EXPECT_EQ(r.filter.substr(0, 16), "(*.tsv);;(*.csv)");
}

TEST(CsvDialogs, WithoutAFileStartAtTheLastFolderOrTheProgram) {
    auto r = SaveCsvRequest("", "/old/list.txt", "/opt/tabulix");
    EXPECT_EQ(r.title, "Csv ファイルとして指定のファイル名で保存します。");
    EXPECT_EQ(r.folder, "/old");
    EXPECT_EQ(r.name, "*.txt");
    EXPECT_EQ(r.defaultSuffix, "csv");
    r = SaveCsvRequest("", "", "/opt/tabulix");
    EXPECT_EQ(r.folder, "/opt/tabulix");
    EXPECT_EQ(r.name, "*.csv");
    // A last file without an extension adds no filter of its own.
    r = OpenCsvRequest("", "/old/README", "/opt/tabulix");
    EXPECT_EQ(r.name, "*");
    EXPECT_EQ(r.filter.substr(0, 8), "(*.csv);");
}

TEST(CsvDialogs, CsvExtensionOnlyWhereNoneIsGiven) {
    EXPECT_EQ(WithCsvExtension("/tmp/report"), "/tmp/report.csv");
    EXPECT_EQ(WithCsvExtension("/tmp/report.txt"), "/tmp/report.txt");
    EXPECT_EQ(WithCsvExtension("/tmp/v1.2/report"), "/tmp/v1.2/report.csv");
}

} // namespace
} // namespace tabulix
