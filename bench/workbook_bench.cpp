// Opening a 100,000 x 10 xlsx sheet as the table: reading the workbook
// (shared strings, styles, the sheet's XML, number formats) into lines, then
// the load of those lines with column widths and break shades, as the main
// window does after the sheet window.
//
//   workbook_bench [--benchmark options]   (rows from TABULIX_BENCH_ROWS, default 100,000)
#include "draw/LoadedLayout.h"
#include "draw/ColumnWidths.h"
#include "csv/TableLoader.h"
#include "table/Table.h"
#include "table/TableLayout.h"
#include "workbook/Workbook.h"

#include <benchmark/benchmark.h>
#include <zip.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;

const char* const kWords[] = {"東京", "大阪", "山田 太郎", "ｶﾀｶﾅ", "会員", "名古屋市中区", "a, b", "\"q\""};

long benchRows() {
    const char* rows = std::getenv("TABULIX_BENCH_ROWS");
    return rows ? std::atol(rows) : 100'000;
}

// Four text columns (shared strings, as spreadsheets write them), three
// plain numbers, a date, a percentage and an amount with thousands.
std::string sheetXml(long rows, std::string& strings) {
    std::mt19937 rng(42);
    std::string xml = "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                      "<sheetData>";
    long stringCount = 0;
    for (long r = 1; r <= rows; ++r) {
        const std::string n = std::to_string(r);
        xml += "<row r=\"" + n + "\">";
        for (char col = 'A'; col <= 'D'; ++col) {
            strings += "<si><t>" + std::string(kWords[rng() % 8]) + std::to_string(rng() % 1000) + "</t></si>";
            xml += std::string("<c r=\"") + col + n + "\" t=\"s\"><v>" + std::to_string(stringCount++) + "</v></c>";
        }
        for (char col = 'E'; col <= 'G'; ++col)
            xml += std::string("<c r=\"") + col + n + "\"><v>" + std::to_string(rng() % 100000) + "." +
                   std::to_string(rng() % 100) + "</v></c>";
        xml += "<c r=\"H" + n + "\" s=\"1\"><v>" + std::to_string(40000 + rng() % 10000) + "</v></c>";
        xml += "<c r=\"I" + n + "\" s=\"2\"><v>0." + std::to_string(rng() % 1000) + "</v></c>";
        xml += "<c r=\"J" + n + "\" s=\"3\"><v>" + std::to_string(rng() % 10000000) + ".5</v></c>";
        xml += "</row>";
    }
    return xml + "</sheetData></worksheet>";
}

void add(zip_t* zip, const char* name, const std::string& text) {
    zip_source_t* source = zip_source_buffer(zip, text.data(), text.size(), 0);
    zip_file_add(zip, name, source, ZIP_FL_OVERWRITE);
}

const std::string& workbookPath() {
    static const std::string path = [] {
        const std::string file = (fs::temp_directory_path() / "tabulix-workbook-bench.xlsx").string();
        const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
        std::string strings;
        const std::string sheet = sheetXml(benchRows(), strings);
        strings = "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" + strings + "</sst>";
        const std::string root = "<Relationships><Relationship Id=\"r\" Type=\"" + rel +
                                 "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
        const std::string book = "<workbook xmlns:r=\"r\"><sheets><sheet name=\"S\" r:id=\"rId1\"/></sheets></workbook>";
        const std::string rels = "<Relationships><Relationship Id=\"rId1\" Type=\"" + rel +
                                 "worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rS\" Type=\"" +
                                 rel + "sharedStrings\" Target=\"sharedStrings.xml\"/><Relationship Id=\"rT\" Type=\"" +
                                 rel + "styles\" Target=\"styles.xml\"/></Relationships>";
        const std::string styles = "<styleSheet><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/>"
                                   "<xf numFmtId=\"10\"/><xf numFmtId=\"4\"/></cellXfs></styleSheet>";
        int error = 0;
        zip_t* zip = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        add(zip, "_rels/.rels", root);
        add(zip, "xl/workbook.xml", book);
        add(zip, "xl/_rels/workbook.xml.rels", rels);
        add(zip, "xl/styles.xml", styles);
        add(zip, "xl/sharedStrings.xml", strings);
        add(zip, "xl/worksheets/sheet1.xml", sheet);
        zip_close(zip);
        return file;
    }();
    return path;
}

std::string readSheet() {
    tabulix::OpenedWorkbook opened = tabulix::OpenWorkbook(workbookPath());
    tabulix::SheetText sheet = opened.book->readSheet(0);
    return std::move(sheet.lines);
}

void BM_ReadSheet(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(readSheet());
    state.counters["MB"] = static_cast<double>(fs::file_size(workbookPath())) / 1e6;
}

// What the user waits for between the sheet window's OK and the table.
void BM_OpenAsTable(benchmark::State& state) {
    const tabulix::ResetMetrics metrics{7.0, 21, 25, false};
    for (auto _ : state) {
        tabulix::Table table;
        const std::string lines = readSheet();
        tabulix::FillTable(table, lines, tabulix::Separator::of(','), metrics, {});
        tabulix::LayOutWidthsAndHeights(table, tabulix::WidthRule{7.0, 25, false}, {}, 15, true);
        benchmark::DoNotOptimize(table.grid.rowCount());
    }
}

BENCHMARK(BM_ReadSheet)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenAsTable)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    workbookPath(); // made before the timing starts
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(workbookPath());
    return 0;
}
