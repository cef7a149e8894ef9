#pragma once

#include <QColor>

#include <string>

class QFont;
class QPainter;
class QRect;

namespace tabulix {

class PrintData;
struct BandEntry;
struct CellLayout;

// The Mono scheme's colours from the shade level k: fixed cells grey k, shades
// k + trunc((255 - k) * 0.65), everything else white paper and black text.
struct PageColours {
    QRgb fixedBack, fixedText, cellBack, cellText, shadeBack, shadeText;
    static PageColours fromLevel(int k);
};

// Draws one page of the print data onto any paint device: the preview image
// (zoomed, on white, with the sheet outline) or a printer page. Fixed rows
// and columns are repeated at every band, each band gets a frame, cells are
// filled by break and empty-row shades and their text is wrapped in slices
// that never split a character. QtGui only.
class PagePainter {
public:
    explicit PagePainter(PrintData& data);
    ~PagePainter();

    // Date "YYYY/MM/DD" and time "HH:NN:SS" of the header.
    void setDateTime(std::string date, std::string time);
    // Pages outside 1..PageCount draw nothing. `zoom` is the preview's zoom
    // factor (1 while printing).
    void drawPage(QPainter& painter, int page, double zoom = 1.0);

private:
    struct Frame;

    void drawHeader(QPainter& painter, int page) const;
    void drawBandFixed(QPainter& painter, BandEntry& band, bool lastOnly);
    void drawBandData(QPainter& painter, int page, int band, const BandEntry& entry);
    void drawBandFrame(QPainter& painter, const BandEntry& band) const;
    void drawSheetOutline(QPainter& painter) const;
    void drawCell(QPainter& painter, int col, int row, const CellLayout& at, int dy);
    void drawCellText(QPainter& painter, int col, int row, const QRect& box, bool centre);
    QRect device(int left, int top, int right, int bottom) const;
    bool rowEmpty(int row);

    PrintData& data_;
    std::string date_;
    std::string time_;
    Frame* frame_ = nullptr; // what stays the same during one page
};

} // namespace tabulix
