#include "view/CellPainter.h"

#include "draw/DisplayText.h"
#include "table/Table.h"
#include "table/WidthRule.h"
#include "view/GridFont.h"
#include "view/GridWidget.h"
#include "view/WindowHelpers.h"

#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QRect>

#include <algorithm>
#include <string>
#include <vector>

namespace tabulix {

namespace {

constexpr int kInset = 2;
constexpr int kFixedFoldedTop = 5;
const QColor kFrameLight(0xC0, 0xC0, 0xC0);

QRgb rgbOf(std::uint32_t rgb) {
    return qRgb(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Clears the re-entry guard however drawing ends.
class DrawingGuard {
public:
    explicit DrawingGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~DrawingGuard() { flag_ = false; }
    DrawingGuard(const DrawingGuard&) = delete;
    DrawingGuard& operator=(const DrawingGuard&) = delete;

private:
    bool& flag_;
};

} // namespace

CellPainter::CellPainter(const Table& table, const EditState& edit, const DisplayOptions& options,
                         GridWidget& widget)
    : widget_(&widget), table_(table), options_(options), input_(table, edit, options),
      charWidth_(gridCharWidth()), charHeight_(std::max(1, gridCharHeight())),
      lineHeight_(QFontMetrics(gridFont()).height()) {
    widget.viewport()->installEventFilter(this);
    beginPaint();
}

CellPainter::~CellPainter() {
    if (widget_ && hookInstalled_) widget_->setDrawCellHook({});
}

void CellPainter::installHook() {
    if (!widget_) return;
    widget_->setDrawCellHook([this](QPainter& painter, int col, int row, const QRect& rect,
                                    CellState state) { draw(painter, col, row, rect, state); });
    hookInstalled_ = true;
}

void CellPainter::clearTextCache() {
    if (widget_) widget_->clearGlyphCache();
}

bool CellPainter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && widget_ && watched == widget_->viewport()) beginPaint();
    return false;
}

void CellPainter::beginPaint() {
    if (!widget_) return;
    input_.currentCol = widget_->currentCol();
    input_.currentRow = widget_->currentRow();
    const QRect selection = widget_->selection();
    input_.selection = selection.isEmpty() ? CellRange{}
                                           : CellRange{selection.left(), selection.top(),
                                                       selection.right(), selection.bottom()};
    folds_ = Folds(options_);
    checksEmptyRows_ = options_.karaGyoColor || options_.karaGyoBlack;
    emptyRow_ = -1;
    input_.rowEmpty = false;
    background_ = QColor::fromRgb(rgbOf(GridBackground(options_)));
    frameShadow_ = widget_->palette().color(QPalette::Dark);
}

void CellPainter::draw(QPainter& painter, int col, int row, const QRect& rect, CellState) {
    if (drawing_ || !widget_) return;
    const DrawingGuard guard(drawing_);
    drawCell(painter, col, row, rect);
}

void CellPainter::updateRowEmpty(int row) {
    if (!checksEmptyRows_ || row == emptyRow_) return;
    input_.rowEmpty = RowDataIsEmpty(table_.grid, row);
    emptyRow_ = row;
}

// The cell's rectangle includes the grid line on its right and bottom; the
// fill and the frames stay inside it, and the line is drawn after the text so
// that no glyph covers it.
void CellPainter::drawCell(QPainter& painter, int col, int row, const QRect& rect) {
    const StringGrid& grid = table_.grid;
    const bool fixed = col < grid.fixedCols() || row < grid.fixedRows();
    if (!fixed) updateRowEmpty(row);
    const CellColours look = CellColoursOf(input_, col, row);
    // Every cell shows its display text, whatever rule colours it.
    const std::string_view text = DisplayTextView(grid.cell(col, row), options_, scratch_);
    if (!fixed && !look.anyRuleApplied && !folds_ && !options_.dataCenter) {
        drawStandard(painter, rect, text);
        return;
    }
    const QRect content = rect.adjusted(0, 0, -1, -1);
    const QColor paper = look.background ? QColor::fromRgb(rgbOf(*look.background)) : background_;
    painter.fillRect(content, paper);
    drawText(painter, rect, text, look, paper, fixed && folds_ ? kFixedFoldedTop : kInset);
    widget_->drawCellBorder(painter, rect, false);
    if (!look.fixed) return;
    DrawFrame(painter, content, kFrameLight, frameShadow_);
    if (!look.whiteFrame) return;
    const QColor white = QColor::fromRgb(rgbOf(kHeaderFrameWhite));
    DrawFrame(painter, content, white, white);
}

// The grid's own look of a data cell (its background, black text, the grid
// line), with the display text.
void CellPainter::drawStandard(QPainter& painter, const QRect& rect, std::string_view text) {
    const QColor paper = widget_->backgroundColor();
    painter.fillRect(rect, paper);
    drawSingle(painter, rect, text, qRgb(0, 0, 0), paper.rgb(), CellAlign::Left);
    widget_->drawCellBorder(painter, rect, false);
}

void CellPainter::drawText(QPainter& painter, const QRect& rect, std::string_view text,
                           const CellColours& look, const QColor& paper, int insetTop) {
    if (text.empty()) return;
    const QRgb ink = rgbOf(look.text);
    if (folds_)
        drawFolded(painter, rect, text, ink, paper.rgb(), look.align, insetTop);
    else
        drawSingle(painter, rect, text, ink, paper.rgb(), look.align);
}

// One line, line breaks shown as marks, vertically centred in the area inset
// 2 pixels from the left and top. A left-aligned text longer than the cell is
// cut well beyond what the cell can show, so a huge cell costs no more than
// a full one.
void CellPainter::drawSingle(QPainter& painter, const QRect& rect, std::string_view text, QRgb ink,
                             QRgb paper, CellAlign align) {
    const QRect inner = rect.adjusted(kInset, kInset, -1, -1);
    if (text.empty() || inner.width() <= 0 || inner.height() <= 0) return;
    if (align == CellAlign::Left) {
        // Four bytes at most per character, at least half an "A" wide each.
        const auto shown = static_cast<std::size_t>(4 * (2 * inner.width() / charWidth_ + 8));
        text = text.substr(0, shown);
    }
    // The grid's own text drawing, so that coloured and standard cells look
    // alike and share its glyph cache.
    widget_->drawCellText(painter, rect, GridWidget::displayLine(text), QColor::fromRgb(ink),
                          QColor::fromRgb(paper),
                          align == CellAlign::Centre ? Qt::AlignHCenter : Qt::AlignLeft);
}

// Lines of n units, one "A" height each from the top of the inset area, as
// many as end above the cell's bottom edge; n is what fits beside the cell's
// margin, as the row heights count it. A row too low for even one such line
// (a row of the default height) shows its first line as a single line would,
// rather than nothing.
void CellPainter::drawFolded(QPainter& painter, const QRect& rect, std::string_view text, QRgb ink,
                             QRgb paper, CellAlign align, int insetTop) {
    const int n = std::max(1, UnitsFittingWidth(rect.width(), charWidth_));
    const int room = rect.height() - 1 - insetTop;
    int fitting = room > 0 ? (room - 1) / charHeight_ : 0;
    // Rows scroll whole, so no line below the paint device is ever seen: a
    // cell of gigabytes folds only as far as the window can show.
    if (const QPaintDevice* device = painter.device())
        fitting = std::min(fitting, device->height() / charHeight_ + 1);
    const std::vector<std::string> lines = FoldDisplayText(text, n, std::max(1, fitting));
    if (lines.empty()) return;
    if (fitting == 0) {
        drawSingle(painter, rect, lines.front(), ink, paper, align);
        return;
    }
    const QRect content = rect.adjusted(0, 0, -1, -1);
    const QRect inner = rect.adjusted(kInset, insetTop, -1, -1);
    const int offset = (charHeight_ - lineHeight_) / 2;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const QString line = fromUtf8(lines[i]);
        if (line.isEmpty()) continue;
        const int top = inner.top() + static_cast<int>(i) * charHeight_ + offset;
        int x = inner.left();
        if (align == CellAlign::Centre) x += (inner.width() - widget_->textWidth(line)) / 2;
        widget_->drawTextLine(painter, x, top, line, QColor::fromRgb(ink), QColor::fromRgb(paper),
                              content);
    }
}

} // namespace tabulix
