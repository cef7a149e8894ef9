#include "view/CellPainter.h"

#include "table/DisplayText.h"
#include "table/Table.h"
#include "view/GridFont.h"
#include "view/GridWidget.h"
#include "view/WindowHelpers.h"

#include <QEvent>
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
const QColor kWhite(0xFF, 0xFF, 0xFF);

QColor colorOf(std::uint32_t rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

Qt::Alignment alignmentOf(CellAlign align) {
    return align == CellAlign::Centre ? Qt::AlignHCenter : Qt::AlignLeft;
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
    : widget_(&widget), table_(table), options_(options), input_{table, edit, options},
      charWidth_(gridCharWidth()), charHeight_(std::max(1, gridCharHeight())) {
    widget.viewport()->installEventFilter(this);
    beginPaint();
}

CellPainter::~CellPainter() {
    if (widget_ && hookInstalled_) widget_->setDrawCellHook({});
}

void CellPainter::installHook() {
    if (!widget_) return;
    widget_->setDrawCellHook(
        [this](QPainter& painter, int col, int row, const QRect& rect, CellState state) {
            draw(painter, col, row, rect, state);
        });
    hookInstalled_ = true;
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
    background_ = colorOf(GridBackground(options_));
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

void CellPainter::drawCell(QPainter& painter, int col, int row, const QRect& rect) {
    const StringGrid& grid = table_.grid;
    const bool fixed = col < grid.fixedCols() || row < grid.fixedRows();
    if (!fixed) updateRowEmpty(row);
    const CellColours look = CellColoursOf(input_, col, row);
    if (!fixed && !look.anyRuleApplied && !folds_ && !options_.dataCenter) {
        drawStandard(painter, col, row, rect);
        return;
    }
    const QRect content = rect.adjusted(0, 0, -1, -1); // the grid line is not the cell's
    painter.fillRect(content, look.background ? colorOf(*look.background) : background_);
    const std::string_view text = DisplayTextView(grid.cell(col, row), options_, scratch_);
    drawText(painter, rect, text, look, fixed && folds_ ? kFixedFoldedTop : kInset);
    widget_->drawCellBorder(painter, rect, false);
    if (!look.fixed) return;
    DrawFrame(painter, content, kFrameLight, frameShadow_);
    if (look.whiteFrame) DrawFrame(painter, content, kWhite, kWhite);
}

// The stored text as it is, on the grid background.
void CellPainter::drawStandard(QPainter& painter, int col, int row, const QRect& rect) {
    painter.fillRect(rect.adjusted(0, 0, -1, -1), background_);
    const QString text = GridWidget::displayLine(table_.grid.cell(col, row));
    widget_->drawCellText(painter, rect, text, colorOf(kGridText));
    widget_->drawCellBorder(painter, rect, false);
}

void CellPainter::drawText(QPainter& painter, const QRect& rect, std::string_view text,
                           const CellColours& look, int insetTop) {
    if (text.empty()) return;
    const QColor color = colorOf(look.text);
    if (folds_)
        drawFolded(painter, rect, text, color, look.align, insetTop);
    else
        widget_->drawCellText(painter, rect, GridWidget::displayLine(text), color,
                              alignmentOf(look.align));
}

// Lines of n units, one "A" height each from the top of the inset area, as
// many as end above the cell's bottom edge. A row too low for even one such
// line (a row of the default height) shows its first line as a single line
// would, rather than nothing.
void CellPainter::drawFolded(QPainter& painter, const QRect& rect, std::string_view text,
                             const QColor& color, CellAlign align, int insetTop) {
    const int n = std::max(1, static_cast<int>((rect.width() - kInset) / charWidth_));
    const QRect inner = rect.adjusted(kInset, insetTop, -1, -1);
    const int room = rect.height() - 1 - insetTop;
    const int fitting = room > 0 ? (room - 1) / charHeight_ : 0;
    const std::vector<std::string> lines = FoldDisplayText(text, n, std::max(1, fitting));
    if (lines.empty()) return;
    if (fitting == 0) {
        widget_->drawCellText(painter, rect, fromUtf8(lines.front()), color, alignmentOf(align));
        return;
    }
    const QFontMetrics metrics = painter.fontMetrics();
    const int offset = (charHeight_ - metrics.height()) / 2 + metrics.ascent();
    painter.setPen(color);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const QString line = fromUtf8(lines[i]);
        int x = inner.left();
        if (align == CellAlign::Centre) x += (inner.width() - metrics.horizontalAdvance(line)) / 2;
        painter.drawText(x, inner.top() + static_cast<int>(i) * charHeight_ + offset, line);
    }
}

} // namespace tabulix
