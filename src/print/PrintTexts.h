#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tabulix {

// Messages of the preview window and the print run.
inline constexpr std::string_view kNotCompleteQuestion =
    "【 印刷データ未作成 】\r\r 現在、印刷データは全件作成されていません。\r\r"
    "全データを印刷するには一旦、印刷をキャンセルして\r印刷データの作成を実行して下さい。\r\r"
    "このまま印刷を続行しますか？\r";
inline constexpr std::string_view kFiveSizesMessage =
    "このソフトはプリンタの用紙サイズが [A3, A4, A5, B4, B5] 以外では\r\n正常に動作しません。\r\n\r\n"
    "プリンタの設定で用紙サイズを変更して下さい。";
inline constexpr std::string_view kNoPrinterMessage =
    "このマシンにはプリンタドライバがインストールされていません。\r\n\r\n"
    "このソフトはプリンタドライバがないと正常に動作しないので\r\n\r\n"
    "プリンタドライバをインストールしてからご使用下さい。";
inline constexpr std::string_view kPrinterInfoFailed = "プリンタ情報を取得できませんでした。";
inline constexpr std::string_view kScaleBackQuestion =
    "用紙に描画できない大きなセルがあります。\r\rセルの拡大率を最小値に戻しますか？";
inline constexpr std::string_view kPrintingText = "グリッドを印刷中です..";

// The paper sizes the layout is made for.
enum class PaperKind { A3, A4, A5, B4, B5, Other };
// Portrait and landscape as the printer reports them.
enum class Orientation { Portrait, Landscape, Other };

// "A3" ... "B5", "?" for any other paper.
std::string PaperName(PaperKind kind);
// "縦", "横" or "?".
std::string OrientationWord(Orientation orientation);
// The paper a saved name asks for, compared without regard to case, a later
// size in the order A3, A4, A5, B4, B5 winning; nothing when none is named.
std::optional<PaperKind> PaperFromSaved(std::string_view saved);
std::optional<Orientation> OrientationFromSaved(std::string_view saved);

// What the window shows and confirms of the current printer.
struct PrinterFacts {
    std::string description; // device, driver and port, one blank apart
    std::string paperName;
    std::string orientation;

    std::string paperText() const { return paperName + " " + orientation; }
    bool operator==(const PrinterFacts&) const = default;
};
// lblPrtInf: paper text + "：" + description, both trimmed.
std::string PrinterLabel(const PrinterFacts& facts);
// The question before printing; the page texts are the edits' (" " + number).
std::string PrintConfirmation(const std::string& firstText, const std::string& lastText,
                              bool lastIsFinal, const PrinterFacts& facts);
// The message when a page image of the wanted zoom cannot be made.
std::string ImageResourceMessage(double zoom);

// The number a page edit holds, trimmed; nothing for an empty or unreadable
// text or one too large to read.
std::optional<int> PageNumber(std::string_view text);
// The zoom list: " 10 %" … " 90 %", " 画面に", " 100 %" … " 1000 %".
inline constexpr int kFitIndex = 9;
inline constexpr int kHundredIndex = 10;
inline constexpr int kZoomItems = 101;
std::string ZoomItem(int index);
// The restore list shows the same items without "%".
std::string RestoreItem(int index);
// The percentage of a zoom item other than the fit item.
int ZoomPercent(int index);
// The cell scale one press of "－" (-1) or "＋" (+1) gives: stepped until the
// print font height trunc(base × scale / 100) changes; the old scale when
// the height would fall below 1.
int NextCellScale(int baseHeight, int scale, int direction);

} // namespace tabulix
