#include "view/CellPainter.h"

#include "draw/DisplayText.h"
#include "table/Table.h"
#include "view/GridFont.h"
#include "view/GridWidget.h"
#include "view/WindowHelpers.h"

#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
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

struct StampKey {
    QString text;
    QRgb ink;
    QRgb paper;
    bool operator==(const StampKey&) const = default;
};

size_t qHash(const StampKey& key, size_t seed = 0) {
    return qHashMulti(seed, key.text, key.ink, key.paper);
}

} // namespace

// One rendered line of text on its opaque background. Drawing it again is a
// copy that gives the same pixels as drawing the text.
struct TextStamp {
    QImage image; // the line with kPad pixels of paper either side
    int advance = 0;
};

// Rendered lines by text and colours. Two generations: a full one is kept as
// the older generation, whose lines move back when used, so the lines of the
// screens shown last stay while memory stays bounded.
class TextStamps {
public:
    static constexpr int kPad = 2; // room for glyphs reaching past their advance

    TextStamps() : font_(gridFont()), metrics_(font_) {}

    int ascent() const { return metrics_.ascent(); }
    int lineHeight() const { return metrics_.height(); }
    int advance(const QString& text) const { return metrics_.horizontalAdvance(text); }

    // Null for a line too wide to keep.
    const TextStamp* find(const QString& text, QRgb ink, QRgb paper, qreal ratio) {
        if (ratio != ratio_) {
            clear();
            ratio_ = ratio;
        }
        StampKey key{text, ink, paper};
        if (auto it = current_.constFind(key); it != current_.constEnd()) return &*it;
        if (auto it = older_.find(key); it != older_.end()) return keep(std::move(key), *it);
        const int width = advance(text);
        if (width > kMaxWidth) return nullptr;
        return keep(std::move(key), render(text, ink, paper, width));
    }

    void clear() {
        current_.clear();
        older_.clear();
        bytes_ = 0;
    }

private:
    static constexpr int kMaxWidth = 2048;
    static constexpr qsizetype kGenerationBytes = 8 << 20;

    TextStamp render(const QString& text, QRgb ink, QRgb paper, int width) const {
        TextStamp stamp;
        stamp.advance = width;
        const QSize size(width + 2 * kPad, lineHeight());
        stamp.image = QImage(size * ratio_, QImage::Format_ARGB32_Premultiplied);
        stamp.image.setDevicePixelRatio(ratio_);
        stamp.image.fill(paper);
        QPainter painter(&stamp.image);
        painter.setFont(font_);
        painter.setPen(QColor::fromRgb(ink));
        painter.drawText(kPad, ascent(), text);
        return stamp;
    }

    const TextStamp* keep(StampKey key, TextStamp stamp) {
        if (bytes_ > kGenerationBytes) {
            older_ = std::move(current_);
            current_.clear();
            bytes_ = 0;
        }
        bytes_ += stamp.image.sizeInBytes();
        return &*current_.insert(std::move(key), std::move(stamp));
    }

    QFont font_;
    QFontMetrics metrics_;
    QHash<StampKey, TextStamp> current_;
    QHash<StampKey, TextStamp> older_;
    qsizetype bytes_ = 0;
    qreal ratio_ = 1.0;
};

CellPainter::CellPainter(const Table& table, const EditState& edit, const DisplayOptions& options,
                         GridWidget& widget)
    : widget_(&widget), table_(table), options_(options), input_(table, edit, options),
      charWidth_(gridCharWidth()), charHeight_(std::max(1, gridCharHeight())),
      stamps_(std::make_unique<TextStamps>()) {
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
    stamps_->clear();
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
    if (!fixed && !look.anyRuleApplied && !folds_ && !options_.dataCenter) {
        drawStandard(painter, col, row, rect);
        return;
    }
    const QRect content = rect.adjusted(0, 0, -1, -1);
    const QColor paper = look.background ? QColor::fromRgb(rgbOf(*look.background)) : background_;
    painter.fillRect(content, paper);
    const std::string_view text = DisplayTextView(grid.cell(col, row), options_, scratch_);
    drawText(painter, rect, text, look, paper, fixed && folds_ ? kFixedFoldedTop : kInset);
    widget_->drawCellBorder(painter, rect, false);
    if (!look.fixed) return;
    DrawFrame(painter, content, kFrameLight, frameShadow_);
    if (!look.whiteFrame) return;
    const QColor white = QColor::fromRgb(rgbOf(kHeaderFrameWhite));
    DrawFrame(painter, content, white, white);
}

// The stored text as it is, on the grid background: the grid's own drawing.
void CellPainter::drawStandard(QPainter& painter, int col, int row, const QRect& rect) {
    widget_->drawDefaultCell(painter, col, row, rect, CellState{});
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
// many as end above the cell's bottom edge. A row too low for even one such
// line (a row of the default height) shows its first line as a single line
// would, rather than nothing.
void CellPainter::drawFolded(QPainter& painter, const QRect& rect, std::string_view text, QRgb ink,
                             QRgb paper, CellAlign align, int insetTop) {
    const int n = std::max(1, static_cast<int>((rect.width() - kInset) / charWidth_));
    const int room = rect.height() - 1 - insetTop;
    const int fitting = room > 0 ? (room - 1) / charHeight_ : 0;
    const std::vector<std::string> lines = FoldDisplayText(text, n, std::max(1, fitting));
    if (lines.empty()) return;
    if (fitting == 0) {
        drawSingle(painter, rect, lines.front(), ink, paper, align);
        return;
    }
    const QRect inner = rect.adjusted(kInset, insetTop, -1, -1);
    const int offset = (charHeight_ - stamps_->lineHeight()) / 2;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int top = inner.top() + static_cast<int>(i) * charHeight_ + offset;
        drawLine(painter, inner, top, fromUtf8(lines[i]), ink, paper, align);
    }
}

void CellPainter::drawLine(QPainter& painter, const QRect& area, int top, const QString& line,
                           QRgb ink, QRgb paper, CellAlign align) {
    if (line.isEmpty()) return;
    const TextStamp* stamp = stamps_->find(line, ink, paper, painter.device()->devicePixelRatioF());
    const int advance = stamp ? stamp->advance : stamps_->advance(line);
    int x = area.left();
    if (align == CellAlign::Centre) x += (area.width() - advance) / 2;
    if (stamp) {
        painter.drawImage(QPoint(x - TextStamps::kPad, top), stamp->image);
        return;
    }
    painter.setPen(QColor::fromRgb(ink));
    painter.drawText(x, top + stamps_->ascent(), line);
}

} // namespace tabulix
