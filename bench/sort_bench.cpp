// The row sort and the key-column move on a loaded table: rows sorted by one
// key and by three keys (collation keys built once per row on both cores,
// then the row order sorted and the rows rewritten), and three key columns
// moved to the front. Prints the median of several runs, each on a fresh
// copy of the loaded table.
//
//   sort_bench [rows] [fields]     (default 1,000,000 x 10)
#include "csv/Separators.h"
#include "csv/TableLoader.h"
#include "sort/RowSort.h"
#include "table/Table.h"
#include "table/TableLayout.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace tabulix;
using Clock = std::chrono::steady_clock;

// Field 1: one of 47 Japanese place names (many ties); field 2: a number
// 0..9999 as text; the others 1 to 9 letters, one field in six Japanese.
std::string makeText(long rows, int fields) {
    static const char* const kPlaces[] = {
        "北海道", "青森県", "岩手県", "宮城県", "秋田県", "山形県",   "福島県", "茨城県",
        "栃木県", "群馬県", "埼玉県", "千葉県", "東京都", "神奈川県", "新潟県", "富山県",
        "石川県", "福井県", "山梨県", "長野県", "岐阜県", "静岡県",   "愛知県", "三重県",
        "滋賀県", "京都府", "大阪府", "兵庫県", "奈良県", "和歌山県", "鳥取県", "島根県",
        "岡山県", "広島県", "山口県", "徳島県", "香川県", "愛媛県",   "高知県", "福岡県",
        "佐賀県", "長崎県", "熊本県", "大分県", "宮崎県", "鹿児島県", "沖縄県"};
    std::mt19937 rng(11);
    std::string text;
    for (long r = 0; r < rows; ++r) {
        text += kPlaces[rng() % 47];
        text += ',' + std::to_string(rng() % 10000);
        for (int f = 2; f < fields; ++f) {
            text += ',';
            const int n = 1 + static_cast<int>(rng() % 9);
            const bool japanese = rng() % 6 == 0;
            for (int i = 0; i < n; ++i)
                text +=
                    japanese
                        ? std::string("あいうえおかきくけこ").substr(3 * (rng() % 10), 3)
                        : std::string(1, static_cast<char>((rng() % 2 ? 'a' : 'A') + rng() % 26));
        }
        text += "\r\n";
    }
    return text;
}

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void measure(const Table& loaded, const char* name, int runs,
             const std::function<void(Table&)>& command) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        Table table = loaded;
        const auto t0 = Clock::now();
        command(table);
        times.push_back(ms(Clock::now() - t0));
    }
    std::printf("| %-48s | %10.1f |\n", name, median(times));
}

void sortRows(Table& table, const std::vector<int>& keys) {
    const auto order = SortedRowOrder(table.grid, keys, {});
    if (order) ApplyRowOrder(table, *order);
}

} // namespace

int main(int argc, char** argv) {
    const long rows = argc > 1 ? std::atol(argv[1]) : 1000000;
    const int fields = std::max(3, argc > 2 ? std::atoi(argv[2]) : 10);
    Table loaded;
    {
        const std::string text = makeText(rows, fields);
        FillTable(loaded, text, Separator::of(','), ResetMetrics{}, {},
                  LoadedRowLayout{RowNumbering{false, 0}, 0});
        std::printf("table: %ld rows x %d fields\n\n", rows, fields);
    }
    const int first = kFirstDataCol;
    std::printf("| %-48s | %10s |\n", "command", "ms");
    std::printf("|%s|%s|\n", std::string(50, '-').c_str(), std::string(12, '-').c_str());
    measure(loaded, "sort rows by 1 key (letters, nearly unique)", 3,
            [&](Table& t) { sortRows(t, {first + 2}); });
    measure(loaded, "sort rows by 1 key (47 place names, many ties)", 3,
            [&](Table& t) { sortRows(t, {first}); });
    measure(loaded, "sort rows by 3 keys (place, number, letters)", 3, [&](Table& t) {
        sortRows(t, {first, first + 1, first + 2});
    });
    const int last = first + fields - 1;
    measure(loaded, "move 3 key columns from the end to the front", 3, [&](Table& t) {
        MoveKeyColumns(t, std::vector<int>{last, last - 2, last - 1}, {});
    });
    return 0;
}
