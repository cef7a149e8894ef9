#pragma once

#include "print/PrintJob.h"
#include "table/StringGrid.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {

class UserDialogs;

inline constexpr int kMaxBands = 21;
inline constexpr int kLastShadedCol = 128;

// Messages of the print data.
inline constexpr std::string_view kCreateAllQuestionHead =
    "【 全件分の印刷データ作成 】\r\n\r\nデータ数が多いと相当時間がかかります。\r\n\r\n    行数: ";
inline constexpr std::string_view kStopQuestion = "処理を中断しますか？";
inline constexpr std::string_view kSizeChangeQuestion =
    "【 セルサイズ変更確認 】\r\n\r\n現在、印刷データは全件作成されています。\r\n\r\n"
    "セルサイズを変更すると後で印刷データを\r\n再作成する必要があります。\r\n\r\nよろしいですか？";
inline constexpr std::string_view kLargeCellMessage =
    "用紙に描画できない大きなセルがあります。\r\r   原因．．．次のいずれかです。\r\r"
    "   (1) 固定列の幅が用紙(横)におさまりません。\r"
    "   (2) 固定行の高さが用紙(縦)におさまりません。\r"
    "   (3) 用紙におさまらないセルがあります。\r\r   対応．．．下記の方法を試して下さい。\r\r"
    "   (1) プリンタの設定で用紙の方向を横にする。\r"
    "   (2) プリンタの設定で大きい用紙を選択する。\r   (3) セルの列幅を小さくする。\r"
    "   (4) セルの拡大率を小さくする。\r ";

// One row of the print data: its print height and its break-colour flags,
// one bit per column 0-128 (column j in byte j / 8, most significant first).
struct RowInfo {
    std::int32_t height = 0;
    std::array<std::uint8_t, 17> breakBits{};
};

// Where a cell lies: page (1-based, -1 not placed), band within the page and
// its rectangle in layout units. The drawn flag of the classic layout is not
// kept: the painter draws fixed cells in their own pass and skips them in the
// data pass, which gives the same page. 24 bytes a cell instead of 32.
struct CellLayout {
    std::int32_t page = -1;
    std::int16_t band = 0;
    std::uint8_t visits = 0;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

struct BandEntry {
    int firstCol = -1;
    int firstRow = -1;
    int lastCol = -1;
    int lastRow = -1;
    int left = 0; // where the band's fixed corner is drawn (filled while drawing)
    int top = 0;
};

struct PageEntry {
    int firstCol = -1;
    int firstRow = -1;
    int lastCol = -1;
    int lastRow = -1;
    int bandCount = 0;
    std::array<BandEntry, kMaxBands> bands{};
};

// Page metrics in drawing units (layout units in preview, printer pixels while
// printing); the "A" sizes of the print font are in layout units.
struct PageMetrics {
    int leftMargin = 0;
    int topMargin = 0; // includes the header
    int rightMargin = 0;
    int bottomMargin = 0;
    int headerHeight = 0;
    int bandGap = 0;         // BandGap
    int printableWidth = 0;  // W
    int printableHeight = 0; // Ht
    int sheetWidth = 0;
    int sheetHeight = 0;
    int charWidth = 0;  // "A" in the print font
    int lineHeight = 0; // H_A
};

enum class LayoutResult { Done, LargeCellError, Stopped };

// The print preview's private copy of a grid and its pagination: row heights
// from wrapped text, the cell scale and the one-page mode, page metrics, the
// distribution of the cells over pages and column bands, partial and full
// creation with its stop check, and the backups that printing restores.
// Display-free; the page painter draws from it.
class PrintData {
public:
    PrintData(const PrintJob& job, FontMeasure measure, UserDialogs& dialogs);
    ~PrintData();
    PrintData(const PrintData&) = delete;
    PrintData& operator=(const PrintData&) = delete;

    // The settings the window edits; read at every rebuild and draw.
    PrintSettings& settings() { return settings_; }
    const PrintSettings& settings() const { return settings_; }
    const PrintJob& job() const { return job_; }

    // Environment: window resolution, the printer's page, preview or printing,
    // and the status texts of long work (the window shows them and lets
    // pending events through, so that the stop button works).
    void setScreenDpi(int dpi) { screenDpi_ = dpi; }
    void setPaper(const Paper& paper) { paper_ = paper; }
    void setPreviewMode(bool preview) { previewMode_ = preview; }
    void setProgress(std::function<void(std::string_view)> progress);

    // First show: copies the source grid and takes its sizes.
    void build();
    // Every show and every rebuild a control asks for: numbering, scale,
    // metrics and Layout(0). A control's rebuild limits the rows to
    // InitialRows again until full creation runs to its end.
    LayoutResult rebuild(bool byControl = true);
    // Break-colour flags from the print data (when BreakColor is checked),
    // again for the rows laid out so far; later rows get them when reached.
    void computeBreakFlags();
    void computeMetrics();
    // 0: paginate; 1: restore the last pagination in printer units (95 %);
    // 2: restore it unchanged.
    LayoutResult layout(int mode);

    // Full creation after its question; false when declined or stopped.
    bool createAll();
    // The stop button: the work asks whether to stop at its next check.
    void requestStop() { running_ = false; }
    bool running() const { return running_; }
    // Asked before a cell-size change would discard complete print data.
    bool confirmSizeChange();
    // Shows the large-cell message when it is pending: nothing may be drawn.
    bool refuseForLargeCell();

    // Results.
    const StringGrid& grid() const { return grid_; }
    const CellLayout& cell(int col, int row) const;
    int colWidth(int col) const { return widths_[static_cast<std::size_t>(col)]; }
    int rowHeight(int row) const { return heights_[static_cast<std::size_t>(row)]; }
    const RowInfo& rowInfo(int row) const { return rowInfo_[static_cast<std::size_t>(row)]; }
    bool breakBit(int col, int row) const;
    int pageCount() const { return static_cast<int>(pages_.size()); }
    PageEntry& page(int p) { return pages_[static_cast<std::size_t>(p - 1)]; }
    const PageMetrics& metrics() const { return metrics_; }
    double fitFactor() const { return fitFactor_; }
    double dpiRatio() const;
    bool previewMode() const { return previewMode_; }
    bool onePageMode() const { return settings_.cmbCellWay == 1; }
    int printFontHeight() const; // character height of the scaled print font
    int rowsCreated() const { return rowsCreated_; }
    bool complete() const { return rowsCreated_ >= grid_.rowCount() - 1; }
    bool largeCellError() const { return largeCellError_; }
    int extentRight() const { return extentRight_; }
    int extentBottom() const { return extentBottom_; }

    // The text printed for a cell: trimmed and date-edited by the menu
    // checks (table mode), line breaks shown as one mark each.
    std::string printText(int col, int row) const;
    // "作成要→" or "作成済", and the status menu's line count.
    std::string createStatus() const;
    std::string linesStatus() const;

private:
    // What a complete layout leaves behind, so that printing and a stopped
    // full creation return to it without paginating again.
    struct Backup {
        bool valid = false;
        std::vector<CellLayout> cells; // rows 0 .. rowsCreated
        std::vector<PageEntry> pages;
        int rowsCreated = -1;
        int extentRight = 0;
        int extentBottom = 0;
    };
    class Pagination;
    friend class Pagination;

    const StringGrid& source() const;
    std::string_view printView(std::string_view raw, std::string& scratch) const;
    void prepareRows(int rows);
    void wrapRow(int row, std::string& scratch);
    void breakRow(int row);
    void applyNumbering();
    void applyScale();
    int rowsToLayOut() const;
    CellLayout& at(int col, int row);
    void clearPlacedRows();
    bool buildPageTable();
    void takeBackup();
    void restoreBackup();
    void scaleForPrinter();
    bool askStop();
    void report(std::string_view text) const;
    int mmToPixels(int mm) const;

    PrintJob job_;
    PrintSettings settings_;
    FontMeasure measure_;
    UserDialogs& dialogs_;
    std::function<void(std::string_view)> progress_;

    StringGrid grid_; // PGrid
    std::vector<RowInfo> rowInfo_;
    std::vector<int> sourceWidths_; // source width + "A", before scaling
    std::vector<int> widths_;       // scaled (and narrowed) print widths
    std::vector<int> heights_;      // scaled print heights
    int numberRowHeight_ = 0;
    int numberColWidth_ = 0;
    CharBox sourceChar_;

    // Grown to the rows a layout reaches; every rectangle, page and band is
    // the classic layout's.
    std::vector<CellLayout> cells_;
    int placedRows_ = 0; // rows of cells_ that may hold placements
    int prepared_ = 0;   // rows with wrapped heights and break flags
    std::vector<PageEntry> pages_;
    Backup backup_;
    PageMetrics metrics_;

    int screenDpi_ = 96;
    Paper paper_;
    bool previewMode_ = true;
    double fitFactor_ = 1.0;
    int rowsCreated_ = -1;
    int extentRight_ = 0;
    int extentBottom_ = 0;
    bool largeCellError_ = false;
    bool firstCreation_ = true;
    bool wasPartial_ = false;
    bool createAll_ = false; // CreateAll
    bool running_ = false;   // Running
    bool built_ = false;
};

} // namespace tabulix
