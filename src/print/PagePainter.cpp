#include "print/PagePainter.h"

#include "draw/DisplayText.h"
#include "print/PrintData.h"
#include "print/PrintFont.h"
#include "print/PrintHeader.h"
#include "text/DisplayWidth.h"
#include "text/TextHelpers.h"

#include <QFont>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <climits>

namespace tabulix {

namespace {

int trunc(double v) {
    return static_cast<int>(v);
}

constexpr int kHeaderPanelHeight = 16;
constexpr int kDateTop = 1;
constexpr int kFirstTitleTop = 17;
constexpr int kLineNone = 0;
constexpr int kLineDotted = 2;

QString qs(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

PageColours PageColours::fromLevel(int k) {
    k = std::clamp(k, 0, 255);
    const int shade = k + trunc((255 - k) * 0.65);
    return {
        qRgb(k, k, k), qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(shade, shade, shade),
        qRgb(0, 0, 0)};
}

// Conversions and looks taken once per page.
struct PagePainter::Frame {
    double conv = 1.0; // layout length to drawing length
    double zoom = 1.0;
    double fit = 1.0;
    int penWidth = 1;
    int leftMargin = 0;
    int topMargin = 0;
    int innerMargin = 0;  // layout units
    double charWidth = 0; // drawing units
    int lineHeight = 0;   // drawing units
    QFont font;
    PageColours colours{};
    int emptyRow = -1;
    bool emptyRowValue = false;
};

PagePainter::PagePainter(PrintData& data) : data_(data) {}
PagePainter::~PagePainter() = default;

void PagePainter::setDateTime(std::string date, std::string time) {
    date_ = std::move(date);
    time_ = std::move(time);
}

void PagePainter::drawPage(QPainter& painter, int page, double zoom) {
    if (page < 1 || page > data_.pageCount()) return;
    const PrintSettings& s = data_.settings();
    const PageMetrics& m = data_.metrics();
    Frame frame;
    frame.conv = data_.previewMode() ? 1.0 : data_.dpiRatio();
    frame.zoom = data_.previewMode() ? zoom : 1.0;
    frame.fit = data_.onePageMode() ? data_.fitFactor() : 1.0;
    frame.penWidth = data_.previewMode() ? 1 : 3;
    frame.leftMargin = m.leftMargin;
    frame.topMargin = m.topMargin;
    const int scale = data_.onePageMode() ? 100 : s.cellScale;
    frame.innerMargin = scale <= 30 ? 1 : scale <= 60 ? 2 : 3;
    const double size = frame.conv * frame.zoom * frame.fit;
    frame.charWidth = m.charWidth * size;
    frame.lineHeight = trunc(m.lineHeight * size);
    frame.font = printFont(trunc(data_.printFontHeight() * size));
    frame.colours = PageColours::fromLevel(s.cmbGray);
    frame_ = &frame;

    if (data_.previewMode())
        painter.fillRect(0, 0, painter.device()->width(), painter.device()->height(), Qt::white);
    drawHeader(painter, page);
    PageEntry& entry = data_.page(page);
    for (int b = 0; b < entry.bandCount; ++b)
        drawBandFixed(painter, entry.bands[static_cast<std::size_t>(b)], false);
    for (int b = 0; b < entry.bandCount; ++b)
        drawBandData(painter, page, b + 1, entry.bands[static_cast<std::size_t>(b)]);
    for (int b = 0; b < entry.bandCount; ++b)
        drawBandFixed(painter, entry.bands[static_cast<std::size_t>(b)], true);
    if (data_.job().tableMode)
        for (int b = 0; b < entry.bandCount; ++b)
            drawBandFrame(painter, entry.bands[static_cast<std::size_t>(b)]);
    if (data_.previewMode()) drawSheetOutline(painter);
    frame_ = nullptr;
}

QRect PagePainter::device(int left, int top, int right, int bottom) const {
    const Frame& f = *frame_;
    const auto x = [&f](int v) { return trunc((trunc(v * f.fit) + f.leftMargin) * f.zoom); };
    const auto y = [&f](int v) { return trunc((trunc(v * f.fit) + f.topMargin) * f.zoom); };
    const int x1 = x(left), y1 = y(top);
    return {x1, y1, x(right) - x1, y(bottom) - y1};
}

// The header lies in the top margin: title lines from the left edge of the
// printable area, the date line ending one "A" before its right edge.
void PagePainter::drawHeader(QPainter& painter, int page) const {
    const Frame& f = *frame_;
    const PageMetrics& m = data_.metrics();
    const int aWidth = QFontMetrics(headerFont()).horizontalAdvance(QLatin1Char('A'));
    painter.setFont(headerFont(trunc(12 * f.conv * f.zoom)));
    painter.setPen(Qt::black);
    const int header = m.headerHeight;
    const auto place = [&](int left, int top, int right, int bottom) {
        const auto x = [&](int v) { return trunc((trunc(v * f.conv) + f.leftMargin) * f.zoom); };
        const auto y = [&](int v) {
            return trunc((trunc((v - header) * f.conv) + f.topMargin) * f.zoom);
        };
        return QRect(QPoint(x(left), y(top)), QPoint(x(right), y(bottom)));
    };
    const auto titles = HeaderTitleLines(data_.job(), data_.settings());
    for (int i = 0; i < 4; ++i) {
        const std::string_view text = TrimBlanks(titles[static_cast<std::size_t>(i)]);
        if (text.empty()) continue;
        const int width = static_cast<int>(displayUnits(text) + 1) * aWidth;
        const int top = kFirstTitleTop + i * kHeaderPanelHeight;
        painter.drawText(place(0, top, width, top + kHeaderPanelHeight),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
                         qs(std::string(text)));
    }
    const std::string date =
        HeaderDateLine(data_.job(), data_.settings(), date_, time_, page, data_.pageCount());
    const std::string_view text = TrimBlanks(date);
    if (text.empty()) return;
    const int width = static_cast<int>(displayUnits(text) + 1) * aWidth;
    const int w = trunc(m.printableWidth / f.conv);
    const int left = w - (width + aWidth);
    painter.drawText(place(left, kDateTop, trunc((left + width) * 1.2),
                           trunc((kDateTop + kHeaderPanelHeight) * 1.2)),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
                     qs(std::string(text)));
}

// The corner and the fixed columns move down with the band (D); the fixed
// rows are drawn at their own columns, level with the band's corner. The
// second pass draws only the last fixed column and row, so that their lines
// lie on top of the data cells' lines.
void PagePainter::drawBandFixed(QPainter& painter, BandEntry& band, bool lastOnly) {
    const StringGrid& grid = data_.grid();
    const int fixedCols = grid.fixedCols(), fixedRows = grid.fixedRows();
    if (band.firstRow < 0) return;
    const CellLayout& first = data_.cell(band.firstCol, band.firstRow);
    const CellLayout& blockFirst = data_.cell(0, band.firstRow);
    const int d = first.top - blockFirst.top;
    const CellLayout& origin = data_.cell(0, 0);
    band.left = origin.left;
    band.top = origin.top + d;
    const auto want = [&](int c, int r) {
        return !lastOnly || c == fixedCols - 1 || r == fixedRows - 1;
    };
    for (int r = 0; r < fixedRows; ++r)
        for (int c = 0; c < fixedCols; ++c)
            if (want(c, r) && data_.cell(c, r).page > 0)
                drawCell(painter, c, r, data_.cell(c, r), d);
    for (int r = std::max(fixedRows, band.firstRow); r <= band.lastRow; ++r)
        for (int c = 0; c < fixedCols; ++c)
            if (want(c, r) && data_.cell(c, r).page > 0)
                drawCell(painter, c, r, data_.cell(c, r), d);
    for (int c = std::max(fixedCols, band.firstCol); c <= band.lastCol; ++c) {
        for (int r = 0; r < fixedRows; ++r) {
            const CellLayout& at = data_.cell(c, r);
            if (!want(c, r) || at.page < 1) continue;
            drawCell(painter, c, r, at, data_.cell(0, r).top + d - at.top);
        }
    }
}

void PagePainter::drawBandData(QPainter& painter, int page, int band, const BandEntry& entry) {
    const StringGrid& grid = data_.grid();
    if (entry.firstRow < 0) return;
    for (int r = std::max(grid.fixedRows(), entry.firstRow); r <= entry.lastRow; ++r) {
        for (int c = std::max(grid.fixedCols(), entry.firstCol); c < grid.colCount(); ++c) {
            const CellLayout& at = data_.cell(c, r);
            if (at.page == page && at.band == band) drawCell(painter, c, r, at, 0);
        }
    }
}

void PagePainter::drawBandFrame(QPainter& painter, const BandEntry& band) const {
    if (band.lastRow < 0) return;
    const CellLayout& last = data_.cell(band.lastCol, band.lastRow);
    const QRect box = device(band.left, band.top, last.right, last.bottom);
    painter.setPen(QPen(Qt::black, 2 * frame_->penWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(box.left(), box.top(), box.left() + box.width(), box.top());
    painter.drawLine(box.left(), box.top() + box.height(), box.left() + box.width(),
                     box.top() + box.height());
    painter.drawLine(box.left(), box.top(), box.left(), box.top() + box.height());
    painter.drawLine(box.left() + box.width(), box.top(), box.left() + box.width(),
                     box.top() + box.height());
}

void PagePainter::drawSheetOutline(QPainter& painter) const {
    const PageMetrics& m = data_.metrics();
    painter.setPen(QPen(Qt::blue, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(1, 1, trunc(m.sheetWidth * frame_->zoom) - 2,
                     trunc(m.sheetHeight * frame_->zoom) - 2);
}

bool PagePainter::rowEmpty(int row) {
    Frame& f = *frame_;
    if (f.emptyRow != row) {
        const StringGrid& grid = data_.grid();
        f.emptyRow = row;
        f.emptyRowValue = true;
        for (int c = grid.fixedCols(); c < grid.colCount() && f.emptyRowValue; ++c)
            f.emptyRowValue = grid.cell(c, row).empty();
    }
    return f.emptyRowValue;
}

// Fill, text, outline. Fixed cells are grey with a black outline; ordinary
// cells take the shade of a break or, winning over it, of an empty row, and
// the outline of the chosen line kind.
void PagePainter::drawCell(QPainter& painter, int col, int row, const CellLayout& at, int dy) {
    const StringGrid& grid = data_.grid();
    const PrintSettings& s = data_.settings();
    const PageColours& colours = frame_->colours;
    const bool fixed = col < grid.fixedCols() || row < grid.fixedRows();
    QRgb back = colours.cellBack, ink = colours.cellText;
    if (fixed) {
        back = colours.fixedBack;
        ink = colours.fixedText;
    } else {
        if (s.breakColor && data_.breakBit(col, row))
            back = colours.shadeBack, ink = colours.shadeText;
        if ((s.karaGyoColor || s.karaGyoBlack) && rowEmpty(row)) {
            back = s.karaGyoColor ? colours.shadeBack : colours.fixedBack;
            ink = colours.shadeText;
        }
    }
    const QRect box = device(at.left, at.top + dy, at.right, at.bottom + dy);
    painter.fillRect(box, QColor(back));
    const bool showText = !(fixed && row < grid.fixedRows() && data_.rowHeight(row) <= 0);
    if (showText && at.right > at.left) {
        painter.setPen(QColor(ink));
        drawCellText(painter, col, row, box, fixed ? s.fixedCenter : s.dataCenter);
    }
    if (!data_.job().tableMode) return;
    QPen pen(Qt::black, frame_->penWidth);
    if (!fixed && s.cmbLineKind == kLineNone) pen.setColor(Qt::white);
    if (!fixed && s.cmbLineKind == kLineDotted) pen = QPen(Qt::black, 1, Qt::DotLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box);
}

// Slices of n units from the inner top, one line height apart, until the
// rest is blank or MaxCellLines lines are drawn; not clipped to the cell.
// Centred lines are centred without the blanks that pad their slice.
void PagePainter::drawCellText(QPainter& painter, int col, int row, const QRect& box, bool centre) {
    const Frame& f = *frame_;
    const bool table = data_.job().tableMode;
    const int margin = table ? f.innerMargin : 0;
    const int aWidth = std::max(1, data_.metrics().charWidth);
    const int n = std::max(1, (data_.colWidth(col) - 2 * margin) / aWidth);
    const int maxLines = data_.job().maxCellLines > 0 ? data_.job().maxCellLines : INT_MAX;
    const std::vector<std::string> lines = FoldDisplayText(data_.printText(col, row), n, maxLines);
    if (lines.empty()) return;
    const int inset = trunc(margin * f.conv * f.zoom * f.fit);
    const int innerLeft = box.left() + inset;
    const int innerWidth = box.width() - 2 * inset;
    painter.setFont(f.font);
    int y = box.top() + inset;
    // A single line in a row lower than one line is centred in the row
    // rather than hanging below it.
    const int lineBox =
        lines.size() == 1 ? std::min(box.height() - 2 * inset, f.lineHeight) : f.lineHeight;
    for (const std::string& line : lines) {
        const std::string_view shown = TrimRightBlanks(line);
        int x = innerLeft;
        if (centre)
            x += trunc((innerWidth - static_cast<double>(displayUnits(shown)) * f.charWidth) / 2);
        painter.drawText(QRect(x, y, std::max(innerWidth, box.width()) * 2, lineBox),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
                         qs(std::string(shown)));
        y += f.lineHeight;
    }
}

} // namespace tabulix
