#include "view/GridWidget.h"

#include "csv/TextEncoding.h"

#include "table/StringGrid.h"
#include "view/GridFont.h"

#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QScrollBar>
#include <QVarLengthArray>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tabulix {

namespace {

const QColor kNavy(0x00, 0x00, 0x80);
const QColor kFrameLight(0xC0, 0xC0, 0xC0);
const QColor kFrameDark(0x40, 0x40, 0x40);
const QColor kDropColor(0xFF, 0x00, 0x00);

constexpr int kTextInset = 2;
constexpr int kEdgeGrab = 3;    // pixels either side of an edge that start a resize
constexpr int kMinDragSize = 4; // a dragged size stays wide enough to grab again
constexpr int kDropLine = 2;
constexpr char32_t kLineBreakMark = U'\u21B5';

// A shown row or column on screen: its index, position and size in pixels.
struct Band {
    int index;
    int pos;
    int size;
};

// One direction of the grid, so that layout, scrolling and hit testing are
// written once for rows and columns. Offsets are along the strip of all
// items; every look-up is logarithmic in the item count.
class Axis {
public:
    Axis(const StringGrid& grid, bool rows) : grid_(grid), rows_(rows) {}

    int count() const { return rows_ ? grid_.rowCount() : grid_.colCount(); }
    int fixed() const { return rows_ ? grid_.fixedRows() : grid_.fixedCols(); }
    int size(int i) const { return rows_ ? grid_.rowHeight(i) : grid_.colWidth(i); }
    std::int64_t start(int i) const { return rows_ ? grid_.rowTop(i) : grid_.colLeft(i); }
    std::int64_t total() const { return rows_ ? grid_.totalHeight() : grid_.totalWidth(); }
    // The item whose band holds the offset (never a hidden one), or -1.
    int at(std::int64_t offset) const { return rows_ ? grid_.rowAt(offset) : grid_.colAt(offset); }
    bool scrollable() const { return count() > fixed(); }
    std::int64_t fixedExtent() const { return start(std::min(fixed(), count())); }

    // Items of size 0 are hidden; these skip them.
    int shownFrom(int i) const { return size(i) > 0 ? i : at(start(i)); }
    int nextShown(int i) const { return at(start(i) + size(i)); }
    int prevShown(int i) const {
        const std::int64_t s = start(i);
        return s > 0 ? at(s - 1) : -1;
    }
    int firstData() const { return scrollable() ? shownFrom(fixed()) : -1; }
    int lastData() const {
        const int last = at(total() - 1);
        return last >= fixed() ? last : -1;
    }

    // The first scrollable item from which everything up to the strip offset
    // `end` fits into `avail` pixels; may be hidden.
    int firstFitting(std::int64_t end, std::int64_t avail) const {
        if (avail <= 0) return count() - 1;
        const std::int64_t offset = end - avail;
        if (offset <= start(fixed())) return fixed();
        int i = at(offset);
        if (i < 0) return count() - 1;
        if (start(i) < offset) ++i;
        return std::min(i, count() - 1);
    }
    // The largest first item that still fills the view to the end.
    int maxFirst(int extent) const {
        if (!scrollable()) return fixed();
        const int fit = firstFitting(total(), extent - fixedExtent());
        const int shown = shownFrom(fit);
        return shown >= 0 ? shown : fit;
    }
    int visibleCount(int first, int extent) const {
        if (!scrollable()) return 0;
        const std::int64_t avail = extent - fixedExtent();
        if (avail <= 0) return 0;
        const int beyond = at(start(first) + avail);
        return std::max(0, (beyond < 0 ? count() : beyond) - first);
    }
    std::int64_t screenPos(int i, int first) const {
        return i < fixed() ? start(i) : fixedExtent() + start(i) - start(first);
    }
    // Position of a shown item that is (partly) on screen.
    std::optional<int> onScreen(int i, int first, int extent) const {
        if (size(i) <= 0 || (i >= fixed() && i < first)) return std::nullopt;
        const std::int64_t pos = screenPos(i, first);
        if (pos >= extent) return std::nullopt;
        return static_cast<int>(pos);
    }
    int indexAt(int p, int first, int extent) const {
        if (p < 0 || p >= extent) return -1;
        const std::int64_t fixedEnd = fixedExtent();
        if (p < fixedEnd) return at(p);
        return at(p - fixedEnd + start(first));
    }
    // The shown items on screen: the fixed ones, then the scrollable ones from `first`.
    std::vector<Band> bands(int first, int extent) const {
        std::vector<Band> out;
        const int n = count();
        std::int64_t pos = 0;
        for (int i = 0; i < std::min(fixed(), n) && pos < extent; ++i) {
            const int s = size(i);
            if (s > 0) out.push_back({i, static_cast<int>(pos), s});
            pos += s;
        }
        for (int i = first; i >= 0 && i < n && pos < extent;) {
            const int s = size(i);
            if (s == 0) { // jump over a run of hidden items at once
                i = shownFrom(i);
                continue;
            }
            out.push_back({i, static_cast<int>(pos), s});
            pos += s;
            ++i;
        }
        return out;
    }

private:
    const StringGrid& grid_;
    bool rows_;
};

std::optional<Band> edgeNear(const std::vector<Band>& bands, int p) {
    std::optional<Band> best;
    int bestDistance = kEdgeGrab + 1;
    for (const Band& band : bands) {
        // A band too narrow to press between its edges (a column dragged to
        // its smallest) gives its own edge wherever it is pressed, so it can
        // always be widened again.
        if (band.size <= 2 * kEdgeGrab && p >= band.pos && p < band.pos + band.size) return band;
        const int distance = std::abs(band.pos + band.size - p);
        if (distance < bestDistance) {
            best = band;
            bestDistance = distance;
        }
    }
    return best;
}

bool isTypedText(const QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = event->text();
    return !text.isEmpty() && std::none_of(text.begin(), text.end(), [](QChar c) {
        return c.category() == QChar::Other_Control;
    });
}

bool isNavigationKey(int key) {
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

} // namespace

namespace {

// Display units of one character as the grid draws it: as the widths count
// it, one for ASCII (controls included) and half-width katakana, two for any
// other character, and one for the line-break mark.
int unitsOf(char32_t c) {
    return c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F) || c == kLineBreakMark ? 1 : 2;
}

// A control character has no glyph; it shows as a mark of its own.
bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

// The code points of a text, surrogate pairs joined.
template <class F> void forEachCodePoint(const QString& text, F&& f) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        f(c);
    }
}

// The marks of characters without a glyph, drawn in the character's slot:
// "↵" for a line break, an arrow to a bar for a tab, a hollow box for any
// other control character.
void drawMark(QPainter& painter, const QRect& slot, char32_t c, const QColor& ink, int ascent) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(ink, 1));
    const int left = slot.left(), right = slot.right() - 1;
    const int base = slot.top() + ascent - 2; // a little above the baseline
    const int middle = base - 4;
    if (c == kLineBreakMark) {
        painter.drawLine(right, middle - 3, right, base);
        painter.drawLine(left + 1, base, right, base);
        painter.drawLine(left + 1, base, left + 3, base - 2);
        painter.drawLine(left + 1, base, left + 3, base + 2);
    } else if (c == u'\t') {
        painter.drawLine(left, middle, right - 1, middle);
        painter.drawLine(right - 3, middle - 2, right - 1, middle);
        painter.drawLine(right - 3, middle + 2, right - 1, middle);
        painter.drawLine(right, middle - 3, right, middle + 3);
    } else {
        painter.drawRect(QRect(QPoint(left + 1, base - 8), QPoint(right, base)));
    }
    painter.restore();
}

} // namespace

// Every character drawn once per colour pair into an opaque image of exactly
// its units times the unit's width, then copied. The grid font is a CFF face,
// for which Qt blends every text pixel with gamma correction; copying cached
// glyphs makes a repaint several times faster. The glyph images come from
// Qt's own text drawing, so the text looks the same; but every character
// keeps to its slot, so a text of n units is n units wide.
class GlyphTileCache {
public:
    struct Tile {
        QImage image;
        int width = 0;
    };
    using Run = QVarLengthArray<const Tile*, 32>;

    GlyphTileCache(const QFont& font, int unit)
        : font_(font), unit_(unit), ascent_(QFontMetrics(font).ascent()),
          height_(QFontMetrics(font).height()) {}

    int unit() const { return unit_; }
    int ascent() const { return ascent_; }

    // Width of a text in pixels: its units times the unit.
    int width(const QString& text) const {
        int units = 0;
        forEachCodePoint(text, [&](char32_t c) { units += unitsOf(c); });
        return units * unit_;
    }

    // The tiles of every character of `text`.
    void layout(const QString& text, QRgb ink, QRgb background, qreal pixelRatio, Run& run) {
        if (pixelRatio != pixelRatio_ || tiles_.size() > kMaxTiles) {
            tiles_.clear();
            pixelRatio_ = pixelRatio;
        }
        forEachCodePoint(text, [&](char32_t c) { run.append(&tile(c, ink, background)); });
    }

    void clear() { tiles_.clear(); }

    // Copies the tiles side by side from (x, top), cut to `clip`.
    void draw(QPainter& painter, const Run& run, int x, int top, const QRect& clip) const {
        for (const Tile* tile : run) {
            const QRect target(x, top, tile->width, height_);
            const QRect visible = target & clip;
            if (!visible.isEmpty()) {
                const QRectF source(QPointF(visible.topLeft() - target.topLeft()) * pixelRatio_,
                                    QSizeF(visible.size()) * pixelRatio_);
                painter.drawImage(QRectF(visible), tile->image, source);
            }
            x += tile->width;
            if (x > clip.right()) break;
        }
    }

    // The same slots drawn straight onto the painter, for surfaces without a
    // solid fill or with a scaling transform.
    void drawDirect(QPainter& painter, const QString& text, int x, int top, const QRect& clip,
                    const QColor& ink) const {
        painter.save();
        painter.setClipRect(clip, Qt::IntersectClip);
        painter.setFont(font_);
        painter.setPen(ink);
        forEachCodePoint(text, [&](char32_t c) {
            const QRect slot(x, top, unitsOf(c) * unit_, height_);
            if (slot.left() <= clip.right()) {
                painter.save();
                painter.setClipRect(slot, Qt::IntersectClip);
                drawCharacter(painter, slot, c, ink);
                painter.restore();
            }
            x += slot.width();
        });
        painter.restore();
    }

private:
    static constexpr std::size_t kMaxTiles = 8192; // about 10 MB of CJK glyphs

    struct Key {
        char32_t ch;
        QRgb ink;
        QRgb background;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const {
            return qHashMulti(0, key.ch, key.ink, key.background);
        }
    };

    void drawCharacter(QPainter& painter, const QRect& slot, char32_t c, const QColor& ink) const {
        if (isControl(c) || c == kLineBreakMark)
            drawMark(painter, slot, c, ink, ascent_);
        else
            painter.drawText(slot.left(), slot.top() + ascent_, QString::fromUcs4(&c, 1));
    }

    // Node-based, so tiles stay in place while others are added.
    const Tile& tile(char32_t c, QRgb ink, QRgb background) {
        const auto [it, added] = tiles_.try_emplace(Key{c, ink, background});
        if (added) render(it->second, c, ink, background);
        return it->second;
    }

    void render(Tile& tile, char32_t c, QRgb ink, QRgb background) const {
        tile.width = unitsOf(c) * unit_;
        tile.image = QImage(QSizeF(QSizeF(tile.width, height_) * pixelRatio_).toSize(),
                            QImage::Format_RGB32);
        tile.image.setDevicePixelRatio(pixelRatio_);
        tile.image.fill(background);
        QPainter painter(&tile.image);
        painter.setFont(font_);
        painter.setPen(QColor::fromRgb(ink));
        drawCharacter(painter, QRect(0, 0, tile.width, height_), c, QColor::fromRgb(ink));
    }

    QFont font_;
    int unit_;
    int ascent_;
    int height_;
    qreal pixelRatio_ = 1;
    std::unordered_map<Key, Tile, KeyHash> tiles_;
};

struct GridWidget::Edge {
    Dir dir = Cols;
    int index = -1;
};

GridWidget::GridWidget(QWidget* parent)
    : QAbstractScrollArea(parent), background_(0xC0, 0xC0, 0xC0), fixedColor_(0x80, 0x80, 0x80),
      gridLine_(Qt::black), font_(gridFont()) {
    const QFontMetrics metrics(font_);
    ascent_ = metrics.ascent();
    lineHeight_ = metrics.height();
    tiles_ = std::make_unique<GlyphTileCache>(font_, static_cast<int>(gridCharWidth()));
    setFont(font_);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    viewport()->setMouseTracking(true);
    updateScrollBars();
}

GridWidget::~GridWidget() {
    if (grid_) grid_->setChangeListener({});
}

void GridWidget::setGrid(StringGrid* grid) {
    if (grid == grid_) return;
    if (grid_) grid_->setChangeListener({});
    grid_ = grid;
    drag_ = Drag::None;
    dropTarget_ = -1;
    if (grid_)
        grid_->setChangeListener([this](StringGrid::Change change) {
            gridChanged(change == StringGrid::Change::Geometry);
        });
    resetCells();
    applyFirst(first_[Cols], first_[Rows]);
    viewport()->update();
}

void GridWidget::setDrawCellHook(DrawCellHook hook) {
    drawHook_ = std::move(hook);
    viewport()->update();
}

void GridWidget::setSelectCellHook(SelectCellHook hook) {
    selectHook_ = std::move(hook);
}

void GridWidget::setKeyHook(KeyHook hook) {
    keyHook_ = std::move(hook);
}

void GridWidget::setInputMethodHook(InputMethodHook hook) {
    inputMethodHook_ = std::move(hook);
}

void GridWidget::setBackgroundColor(const QColor& color) {
    background_ = color;
    viewport()->update();
}

void GridWidget::setFixedColor(const QColor& color) {
    fixedColor_ = color;
    viewport()->update();
}

void GridWidget::setGridLineColor(const QColor& color) {
    gridLine_ = color;
    viewport()->update();
}

// ---- grid changes and clamping ------------------------------------------

void GridWidget::gridChanged(bool geometry) {
    if (geometry) {
        clampCells();
        applyFirst(first_[Cols], first_[Rows]); // the last rows may be gone
    }
    viewport()->update();
}

void GridWidget::resetCells() {
    first_[Cols] = grid_ ? grid_->fixedCols() : 0;
    first_[Rows] = grid_ ? grid_->fixedRows() : 0;
    current_ = {};
    if (hasDataCells()) {
        const int col = Axis(*grid_, false).firstData();
        const int row = Axis(*grid_, true).firstData();
        current_ = {col >= 0 ? col : grid_->fixedCols(), row >= 0 ? row : grid_->fixedRows()};
    }
    anchor_ = current_;
    selection_ = current_.col >= 0 ? QRect(current_.col, current_.row, 1, 1) : QRect();
}

// Keeps the current cell, the anchor and the selection on data cells after
// rows or columns went away.
void GridWidget::clampCells() {
    if (!hasDataCells()) {
        current_ = anchor_ = {};
        selection_ = QRect();
        return;
    }
    const int left = grid_->fixedCols(), right = grid_->colCount() - 1;
    const int top = grid_->fixedRows(), bottom = grid_->rowCount() - 1;
    const auto clampCell = [&](GridCell cell) {
        return GridCell{std::clamp(cell.col, left, right), std::clamp(cell.row, top, bottom)};
    };
    current_ = clampCell(current_);
    anchor_ = clampCell(anchor_);
    if (selection_.isEmpty()) selection_ = QRect(current_.col, current_.row, 1, 1);
    const GridCell topLeft = clampCell({selection_.left(), selection_.top()});
    const GridCell bottomRight = clampCell({selection_.right(), selection_.bottom()});
    selection_ = QRect(QPoint(topLeft.col, topLeft.row), QPoint(bottomRight.col, bottomRight.row));
}

bool GridWidget::hasDataCells() const {
    return grid_ && grid_->colCount() > grid_->fixedCols() &&
           grid_->rowCount() > grid_->fixedRows();
}

bool GridWidget::isDataCell(GridCell cell) const {
    return grid_ && cell.col >= grid_->fixedCols() && cell.col < grid_->colCount() &&
           cell.row >= grid_->fixedRows() && cell.row < grid_->rowCount();
}

bool GridWidget::isFixedCell(GridCell cell) const {
    return grid_ && cell.col >= 0 && cell.row >= 0 &&
           (cell.col < grid_->fixedCols() || cell.row < grid_->fixedRows());
}

// ---- scrolling --------------------------------------------------------------

int GridWidget::extent(Dir dir) const {
    return dir == Rows ? viewport()->height() : viewport()->width();
}

int GridWidget::clampFirst(Dir dir, int first) const {
    if (!grid_) return 0;
    const Axis axis(*grid_, dir == Rows);
    if (!axis.scrollable()) return axis.fixed();
    const int max = axis.maxFirst(extent(dir));
    first = std::clamp(first, axis.fixed(), max);
    const int shown = axis.shownFrom(first);
    return shown >= 0 && shown <= max ? shown : first;
}

void GridWidget::applyFirst(int col, int row) {
    const int oldCol = first_[Cols], oldRow = first_[Rows];
    first_[Cols] = clampFirst(Cols, col);
    first_[Rows] = clampFirst(Rows, row);
    updateScrollBars();
    if (first_[Cols] == oldCol && first_[Rows] == oldRow) return;
    viewport()->update();
    Q_EMIT topLeftChanged(first_[Cols], first_[Rows]);
}

// The bars count rows and columns, so a million rows never overflow their range.
void GridWidget::updateScrollBars() {
    const bool wasSyncing = std::exchange(syncingBars_, true);
    for (const Dir dir : {Cols, Rows}) {
        QScrollBar* bar = dir == Rows ? verticalScrollBar() : horizontalScrollBar();
        const int fixed = grid_ ? (dir == Rows ? grid_->fixedRows() : grid_->fixedCols()) : 0;
        const int max = clampFirst(dir, std::numeric_limits<int>::max());
        bar->setRange(std::min(fixed, max), max);
        bar->setPageStep(std::max(1, dir == Rows ? visibleRowCount() : visibleColCount()));
        bar->setSingleStep(1);
        bar->setValue(first_[dir]);
    }
    syncingBars_ = wasSyncing;
}

void GridWidget::scrollContentsBy(int, int) {
    if (syncingBars_) return;
    applyFirst(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void GridWidget::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    applyFirst(first_[Cols], first_[Rows]);
}

void GridWidget::setTopRow(int row) {
    applyFirst(first_[Cols], row);
}

void GridWidget::setLeftCol(int col) {
    applyFirst(col, first_[Rows]);
}

int GridWidget::visibleRowCount() const {
    return grid_ ? Axis(*grid_, true).visibleCount(first_[Rows], extent(Rows)) : 0;
}

int GridWidget::visibleColCount() const {
    return grid_ ? Axis(*grid_, false).visibleCount(first_[Cols], extent(Cols)) : 0;
}

void GridWidget::scrollRows(int count) {
    scrollBy(Rows, count);
}

void GridWidget::scrollCols(int count) {
    scrollBy(Cols, count);
}

void GridWidget::scrollBy(Dir dir, int count) {
    if (!grid_) return;
    const Axis axis(*grid_, dir == Rows);
    const int max = axis.maxFirst(extent(dir));
    int first = first_[dir];
    for (int step = 0; step < std::abs(count); ++step) {
        const int next = count > 0 ? axis.nextShown(first) : axis.prevShown(first);
        if (next < axis.fixed() || next > max) break;
        first = next;
    }
    if (dir == Rows)
        setTopRow(first);
    else
        setLeftCol(first);
}

void GridWidget::ensureVisible(int col, int row) {
    if (!grid_) return;
    const int target[2] = {col, row};
    int first[2] = {first_[Cols], first_[Rows]};
    for (const Dir dir : {Cols, Rows}) {
        const Axis axis(*grid_, dir == Rows);
        const int i = target[dir];
        if (i < axis.fixed() || i >= axis.count()) continue;
        if (i < first[dir]) {
            first[dir] = i;
            continue;
        }
        const std::int64_t avail = extent(dir) - axis.fixedExtent();
        const std::int64_t end = axis.start(i) + axis.size(i);
        if (end - axis.start(first[dir]) > avail)
            first[dir] = std::min(i, axis.firstFitting(end, avail));
    }
    applyFirst(first[Cols], first[Rows]);
}

// ---- geometry ---------------------------------------------------------------

GridCell GridWidget::cellAt(const QPoint& pos) const {
    if (!grid_) return {};
    return {Axis(*grid_, false).indexAt(pos.x(), first_[Cols], extent(Cols)),
            Axis(*grid_, true).indexAt(pos.y(), first_[Rows], extent(Rows))};
}

QRect GridWidget::cellRect(int col, int row) const {
    if (!grid_ || col < 0 || row < 0 || col >= grid_->colCount() || row >= grid_->rowCount())
        return {};
    const auto x = Axis(*grid_, false).onScreen(col, first_[Cols], extent(Cols));
    const auto y = Axis(*grid_, true).onScreen(row, first_[Rows], extent(Rows));
    if (!x || !y) return {};
    return QRect(*x, *y, grid_->colWidth(col), grid_->rowHeight(row));
}

// ---- painting ---------------------------------------------------------------

QString GridWidget::displayLine(std::string_view utf8) {
    // No cell is wider than this many characters, so a huge text is not
    // converted whole at every paint; the cut goes before a character.
    constexpr std::size_t kLongestShown = 16384;
    if (utf8.size() > kLongestShown) {
        std::size_t cut = kLongestShown;
        while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80)
            --cut;
        utf8 = utf8.substr(0, cut);
    }
    // Kept bytes of a file show as their character where they make one.
    std::string shown;
    if (utf8.find("\xF4\x8F") != std::string_view::npos) {
        shown = ShownText(utf8);
        utf8 = shown;
    }
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    if (utf8.find_first_of("\r\n") == std::string_view::npos) return text;
    QString line;
    line.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            line += QChar(static_cast<char16_t>(kLineBreakMark));
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') ++i;
        } else {
            line += c;
        }
    }
    return line;
}

CellState GridWidget::stateOf(int col, int row) const {
    CellState state;
    state.inHeaderRow = row < grid_->fixedRows();
    state.inHeaderCol = col < grid_->fixedCols();
    state.fixed = state.inHeaderRow || state.inHeaderCol;
    state.current = col == current_.col && row == current_.row;
    state.selected = !state.fixed && selection_.contains(col, row);
    return state;
}

void GridWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect dirty = event->rect();
    if (!grid_) {
        painter.fillRect(dirty, background_);
        return;
    }
    painter.setFont(font_);
    const int width = extent(Cols), height = extent(Rows);
    const std::vector<Band> cols = Axis(*grid_, false).bands(first_[Cols], width);
    const std::vector<Band> rows = Axis(*grid_, true).bands(first_[Rows], height);
    for (const Band& row : rows) {
        if (row.pos > dirty.bottom() || row.pos + row.size <= dirty.top()) continue;
        for (const Band& col : cols) {
            const QRect rect(col.pos, row.pos, col.size, row.size);
            if (rect.intersects(dirty)) paintCell(painter, col.index, row.index, rect);
        }
    }
    // Beyond the last column and row the grid shows its background.
    const int right = cols.empty() ? 0 : cols.back().pos + cols.back().size;
    const int bottom = rows.empty() ? 0 : rows.back().pos + rows.back().size;
    if (right < width) painter.fillRect(QRect(right, 0, width - right, height), background_);
    if (bottom < height) painter.fillRect(QRect(0, bottom, right, height - bottom), background_);
    paintDropIndicator(painter);
}

void GridWidget::paintCell(QPainter& painter, int col, int row, const QRect& rect) const {
    const CellState state = stateOf(col, row);
    if (!drawHook_) {
        drawDefaultCell(painter, col, row, rect, state);
        return;
    }
    painter.save();
    painter.setClipRect(rect);
    drawHook_(painter, col, row, rect, state);
    painter.restore();
}

void GridWidget::drawDefaultCell(QPainter& painter, int col, int row, const QRect& rect,
                                 CellState state) const {
    const bool highlight = !state.fixed && (state.current || state.selected);
    const QColor& fill = state.fixed ? fixedColor_ : highlight ? kNavy : background_;
    painter.fillRect(rect, fill);
    if (grid_) {
        const QColor ink = state.fixed || highlight ? QColor(Qt::white) : QColor(Qt::black);
        drawCellText(painter, rect, displayLine(grid_->cell(col, row)), ink, fill);
    }
    drawCellBorder(painter, rect, state.fixed);
}

void GridWidget::drawCellText(QPainter& painter, const QRect& rect, const QString& text,
                              const QColor& ink, const QColor& background,
                              Qt::Alignment align) const {
    if (text.isEmpty()) return;
    const QRect content = rect.adjusted(0, 0, -1, -1); // without the grid line
    const QRect inner = content.adjusted(kTextInset, kTextInset, 0, 0);
    if (inner.width() <= 0 || inner.height() <= 0) return;
    const int top = inner.top() + (inner.height() - lineHeight_) / 2;
    const int x = align & Qt::AlignHCenter ? inner.left() + (inner.width() - textWidth(text)) / 2
                                           : inner.left();
    drawTextLine(painter, x, top, text, ink, background, content);
}

int GridWidget::textWidth(const QString& text) const {
    return tiles_->width(text);
}

void GridWidget::drawTextLine(QPainter& painter, int x, int top, const QString& text,
                              const QColor& ink, const QColor& background,
                              const QRect& clip) const {
    if (text.isEmpty()) return;
    if (background.isValid() && background.alpha() == 255 &&
        painter.transform().type() <= QTransform::TxTranslate) {
        GlyphTileCache::Run run;
        const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
        tiles_->layout(text, ink.rgb(), background.rgb(), ratio, run);
        tiles_->draw(painter, run, x, top, clip);
        return;
    }
    tiles_->drawDirect(painter, text, x, top, clip, ink);
}

void GridWidget::clearGlyphCache() {
    tiles_->clear();
}

void GridWidget::drawCellBorder(QPainter& painter, const QRect& rect, bool fixed) const {
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), gridLine_);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), gridLine_);
    const QRect c = rect.adjusted(0, 0, -1, -1);
    if (!fixed || c.width() < 2 || c.height() < 2) return;
    painter.fillRect(QRect(c.left(), c.top(), c.width(), 1), kFrameLight);
    painter.fillRect(QRect(c.left(), c.top(), 1, c.height()), kFrameLight);
    painter.fillRect(QRect(c.left(), c.bottom(), c.width(), 1), kFrameDark);
    painter.fillRect(QRect(c.right(), c.top(), 1, c.height()), kFrameDark);
}

void GridWidget::paintDropIndicator(QPainter& painter) const {
    if (drag_ != Drag::Move || dropTarget_ < 0 || dropTarget_ == dragIndex_) return;
    const Axis axis(*grid_, dragDir_ == Rows);
    if (dropTarget_ >= axis.count()) return;
    const auto pos = axis.onScreen(dropTarget_, first_[dragDir_], extent(dragDir_));
    if (!pos) return;
    // The line marks where the row (column) will land: before the target
    // when moving up (left), after it when moving down (right).
    const int edge = dropTarget_ > dragIndex_ ? *pos + axis.size(dropTarget_) - kDropLine : *pos;
    if (dragDir_ == Rows)
        painter.fillRect(QRect(0, edge, extent(Cols), kDropLine), kDropColor);
    else
        painter.fillRect(QRect(edge, 0, kDropLine, extent(Rows)), kDropColor);
}

// ---- current cell and selection ---------------------------------------------

bool GridWidget::setCurrentCell(int col, int row) {
    return placeCurrent({col, row}, false, false);
}

void GridWidget::setCurrentCellSilently(int col, int row) {
    placeCurrent({col, row}, false, true);
}

bool GridWidget::placeCurrent(GridCell cell, bool extend, bool silent) {
    if (!isDataCell(cell)) return false;
    const bool moves = cell != current_;
    if (moves && !silent && selectHook_ && !selectHook_(cell.col, cell.row)) return false;
    current_ = cell;
    if (!extend || !isDataCell(anchor_)) anchor_ = cell;
    selection_ = QRect(QPoint(std::min(anchor_.col, cell.col), std::min(anchor_.row, cell.row)),
                       QPoint(std::max(anchor_.col, cell.col), std::max(anchor_.row, cell.row)));
    ensureVisible(cell.col, cell.row);
    viewport()->update();
    if (moves && !silent) Q_EMIT currentCellChanged(cell.col, cell.row);
    return moves;
}

void GridWidget::setSelection(int left, int top, int right, int bottom) {
    if (!hasDataCells()) return;
    const auto [l, r] = std::minmax(left, right);
    const auto [t, b] = std::minmax(top, bottom);
    const int minCol = grid_->fixedCols(), maxCol = grid_->colCount() - 1;
    const int minRow = grid_->fixedRows(), maxRow = grid_->rowCount() - 1;
    anchor_ = {std::clamp(l, minCol, maxCol), std::clamp(t, minRow, maxRow)};
    selection_ = QRect(QPoint(anchor_.col, anchor_.row),
                       QPoint(std::clamp(r, minCol, maxCol), std::clamp(b, minRow, maxRow)));
    viewport()->update();
}

// ---- keyboard -------------------------------------------------------------

bool GridWidget::event(QEvent* event) {
    // Tab goes to the key hook first instead of moving the focus at once.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            if (key->isAccepted()) return true;
            if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
            const bool back =
                key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
            if (!focusNextPrevChild(!back)) return false;
            key->accept(); // or the parent would move the focus once more
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void GridWidget::keyPressEvent(QKeyEvent* event) {
    if (keyHook_ && keyHook_(event)) {
        event->accept();
        return;
    }
    if (navigate(event)) {
        event->accept();
        return;
    }
    if (isTypedText(event)) {
        event->accept();
        Q_EMIT textTyped(event->text());
        return;
    }
    event->ignore();
}

void GridWidget::keyReleaseEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat()) Q_EMIT keyReleased(event->key());
    QAbstractScrollArea::keyReleaseEvent(event);
}

bool GridWidget::navigate(const QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (!grid_ || !isNavigationKey(event->key())) return false;
    if (modifiers & ~(Qt::ShiftModifier | Qt::ControlModifier)) return false;
    const bool homeEnd = event->key() == Qt::Key_Home || event->key() == Qt::Key_End;
    if ((modifiers & Qt::ControlModifier) && !homeEnd) return false;
    if (!isDataCell(current_)) return true;
    const GridCell target = navigationTarget(event->key(), modifiers);
    const bool extend = modifiers & Qt::ShiftModifier;
    if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown)
        pageTo(target, extend);
    else
        placeCurrent(target, extend, false);
    return true;
}

GridCell GridWidget::navigationTarget(int key, Qt::KeyboardModifiers modifiers) const {
    const Axis cols(*grid_, false), rows(*grid_, true);
    const auto step = [](const Axis& axis, int i, bool forward) {
        const int next = forward ? axis.nextShown(i) : axis.prevShown(i);
        return next >= axis.fixed() ? next : i;
    };
    const auto orKeep = [](int i, int keep) { return i >= 0 ? i : keep; };
    const bool ctrl = modifiers & Qt::ControlModifier;
    GridCell target = current_;
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        target.col = step(cols, target.col, key == Qt::Key_Right);
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        target.row = step(rows, target.row, key == Qt::Key_Down);
        break;
    case Qt::Key_Home:
        target.col = orKeep(cols.firstData(), target.col);
        if (ctrl) target.row = orKeep(rows.firstData(), target.row);
        break;
    case Qt::Key_End:
        target.col = orKeep(cols.lastData(), target.col);
        if (ctrl) target.row = orKeep(rows.lastData(), target.row);
        break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const int page = std::max(1, visibleRowCount());
        const int row = std::clamp(target.row + (key == Qt::Key_PageDown ? page : -page),
                                   rows.fixed(), rows.count() - 1);
        target.row = orKeep(rows.shownFrom(row), orKeep(rows.lastData(), target.row));
        break;
    }
    default:
        break;
    }
    return target;
}

// A page key scrolls the view by as many rows as the cursor moves, so the
// cursor keeps its place on screen.
void GridWidget::pageTo(GridCell target, bool extend) {
    setTopRow(first_[Rows] + target.row - current_.row);
    placeCurrent(target, extend, false);
}

void GridWidget::inputMethodEvent(QInputMethodEvent* event) {
    if (inputMethodHook_ && inputMethodHook_(event)) {
        composing_ = false;
        event->accept();
        return;
    }
    if (!event->commitString().isEmpty()) Q_EMIT textTyped(event->commitString());
    const bool composing = !event->preeditString().isEmpty();
    const bool started = composing && !composing_;
    composing_ = composing;
    event->accept();
    if (started) Q_EMIT compositionStarted();
}

QVariant GridWidget::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle:
        return QRectF(cellRect(current_.col, current_.row).translated(viewport()->pos()));
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

// ---- mouse -------------------------------------------------------------------

GridMouse GridWidget::mouseInfo(const QMouseEvent* event) const {
    const QPoint pos = event->position().toPoint();
    return {pos, cellAt(pos), event->button(), event->buttons(), event->modifiers()};
}

void GridWidget::mousePressEvent(QMouseEvent* event) {
    const GridMouse mouse = mouseInfo(event);
    if (event->button() == Qt::LeftButton) beginDrag(mouse.pos, mouse.cell, mouse.modifiers);
    if (isFixedCell(mouse.cell))
        Q_EMIT fixedCellPressed(mouse.cell.col, mouse.cell.row, mouse.button, mouse.modifiers);
    Q_EMIT mousePressed(mouse);
}

void GridWidget::mouseMoveEvent(QMouseEvent* event) {
    const GridMouse mouse = mouseInfo(event);
    if (drag_ == Drag::None)
        updateHoverCursor(mouse.pos);
    else
        continueDrag(mouse.pos, mouse.cell);
    Q_EMIT mouseMoved(mouse);
}

void GridWidget::mouseReleaseEvent(QMouseEvent* event) {
    const GridMouse mouse = mouseInfo(event);
    if (event->button() == Qt::LeftButton) {
        finishDrag();
        updateHoverCursor(mouse.pos);
    }
    Q_EMIT mouseReleased(mouse);
}

// The second press of a double click is reported like a press (after the
// double click, so the owner still sees the state of the first press), but
// does not move the cursor again or start a drag.
void GridWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    const GridMouse mouse = mouseInfo(event);
    Q_EMIT mouseDoubleClicked(mouse);
    if (isFixedCell(mouse.cell))
        Q_EMIT fixedCellPressed(mouse.cell.col, mouse.cell.row, mouse.button, mouse.modifiers);
    Q_EMIT mousePressed(mouse);
}

// Column edges are grabbed in the fixed rows, row edges (when allowed) in the
// fixed columns.
GridWidget::Edge GridWidget::sizingEdge(const QPoint& pos) const {
    if (!grid_) return {};
    const Axis cols(*grid_, false), rows(*grid_, true);
    const int width = extent(Cols), height = extent(Rows);
    if (pos.y() >= 0 && pos.y() < std::min<std::int64_t>(rows.fixedExtent(), height)) {
        if (const auto band = edgeNear(cols.bands(first_[Cols], width), pos.x()))
            return {Cols, band->index};
    }
    if (rowSizing_ && pos.x() >= 0 && pos.x() < std::min<std::int64_t>(cols.fixedExtent(), width)) {
        if (const auto band = edgeNear(rows.bands(first_[Rows], height), pos.y()))
            return {Rows, band->index};
    }
    return {};
}

void GridWidget::updateHoverCursor(const QPoint& pos) {
    const Edge edge = sizingEdge(pos);
    const Qt::CursorShape shape = edge.index < 0     ? Qt::ArrowCursor
                                  : edge.dir == Cols ? Qt::SplitHCursor
                                                     : Qt::SplitVCursor;
    if (shape == hoverCursor_) return;
    hoverCursor_ = shape;
    if (shape == Qt::ArrowCursor)
        viewport()->unsetCursor();
    else
        viewport()->setCursor(shape);
}

void GridWidget::beginDrag(const QPoint& pos, GridCell cell, Qt::KeyboardModifiers modifiers) {
    if (!grid_) return;
    // Resizing wins over moving near an edge.
    if (const Edge edge = sizingEdge(pos); edge.index >= 0) {
        drag_ = Drag::Resize;
        dragDir_ = edge.dir;
        dragIndex_ = edge.index;
        dragPress_ = edge.dir == Cols ? pos.x() : pos.y();
        dragStartSize_ = Axis(*grid_, edge.dir == Rows).size(edge.index);
        return;
    }
    const int fixedCols = grid_->fixedCols(), fixedRows = grid_->fixedRows();
    const bool rowHeader = cell.col >= 0 && cell.col < fixedCols && cell.row >= fixedRows;
    const bool colHeader = cell.row >= 0 && cell.row < fixedRows && cell.col >= fixedCols;
    if ((rowHeader && moving_[Rows]) || (colHeader && moving_[Cols])) {
        drag_ = Drag::Move;
        dragDir_ = rowHeader ? Rows : Cols;
        dragIndex_ = rowHeader ? cell.row : cell.col;
        dropTarget_ = -1;
        return;
    }
    if (!isDataCell(cell)) return;
    placeCurrent(cell, modifiers & Qt::ShiftModifier, false);
    if (current_ == cell) drag_ = Drag::Selecting;
}

void GridWidget::continueDrag(const QPoint& pos, GridCell cell) {
    switch (drag_) {
    case Drag::Selecting:
        if (isDataCell(cell) && cell != current_) placeCurrent(cell, true, false);
        break;
    case Drag::Resize: {
        const int moved = (dragDir_ == Cols ? pos.x() : pos.y()) - dragPress_;
        const int size = std::max(kMinDragSize, dragStartSize_ + moved);
        const Axis axis(*grid_, dragDir_ == Rows);
        if (dragIndex_ >= axis.count() || axis.size(dragIndex_) == size) break;
        if (dragDir_ == Cols)
            grid_->setColWidth(dragIndex_, size);
        else
            grid_->setRowHeight(dragIndex_, size);
        break;
    }
    case Drag::Move:
        if (const int target = dropTargetAt(pos); target != dropTarget_) {
            dropTarget_ = target;
            viewport()->update();
        }
        break;
    case Drag::None:
        break;
    }
}

void GridWidget::finishDrag() {
    const Drag drag = std::exchange(drag_, Drag::None);
    if (!grid_ || drag == Drag::None || drag == Drag::Selecting) return;
    const Axis axis(*grid_, dragDir_ == Rows);
    if (dragIndex_ >= axis.count()) return;
    if (drag == Drag::Resize) {
        const int size = axis.size(dragIndex_);
        if (size == dragStartSize_) return;
        if (dragDir_ == Cols)
            Q_EMIT columnResized(dragIndex_, size);
        else
            Q_EMIT rowResized(dragIndex_, size);
        return;
    }
    const int to = std::exchange(dropTarget_, -1);
    viewport()->update();
    if (to < 0 || to == dragIndex_ || to >= axis.count()) return;
    if (dragDir_ == Rows)
        Q_EMIT rowMoved(dragIndex_, to);
    else
        Q_EMIT colMoved(dragIndex_, to);
}

// The scrollable row (column) under the pointer, held to the ones on screen.
int GridWidget::dropTargetAt(const QPoint& pos) const {
    const Axis axis(*grid_, dragDir_ == Rows);
    const int p = dragDir_ == Rows ? pos.y() : pos.x();
    int target = -1;
    for (const Band& band : axis.bands(first_[dragDir_], extent(dragDir_))) {
        if (band.index < axis.fixed()) continue;
        if (target >= 0 && p < band.pos) break;
        target = band.index;
    }
    return target;
}

} // namespace tabulix
