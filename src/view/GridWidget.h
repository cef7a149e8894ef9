#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>

#include <functional>
#include <memory>
#include <string_view>

class QPainter;

namespace tabulix {

class StringGrid;
class GlyphTileCache;

// A cell address; -1 in a coordinate means "not on a cell" in that direction.
struct GridCell {
    int col = -1;
    int row = -1;
    bool operator==(const GridCell&) const = default;
};

// What a cell is when it is drawn, so that a drawing hook can pick its colours.
struct CellState {
    bool fixed = false;       // in a fixed row or a fixed column
    bool inHeaderRow = false; // in a fixed row (column numbers, header rows)
    bool inHeaderCol = false; // in a fixed column (row numbers, fixed-column display)
    bool selected = false;    // inside the selection rectangle
    bool current = false;     // the current cell
};

// A mouse event in cell terms: the pointer position in viewport pixels and the
// cell under it.
struct GridMouse {
    QPoint pos;
    GridCell cell;
    Qt::MouseButton button = Qt::NoButton;
    Qt::MouseButtons buttons;
    Qt::KeyboardModifiers modifiers;
};

// Shows one StringGrid (not owned) and reports cell-level events. Fixed rows
// stay at the top and fixed columns at the left while the rest scrolls; only
// the visible cells are painted. The widget never edits cells: typed text and
// input-method compositions are reported for the owner to act on. The grid
// must outlive the widget or be replaced by setGrid(nullptr) first; the widget
// takes the grid's one change listener.
//
// Scrolling is by whole rows and columns: topRow() is the first scrollable row
// shown below the fixed rows, leftCol() the first scrollable column shown right
// of the fixed columns, and the scroll bars count rows and columns, not pixels.
class GridWidget : public QAbstractScrollArea {
    Q_OBJECT

public:
    using DrawCellHook =
        std::function<void(QPainter& painter, int col, int row, const QRect& rect, CellState)>;
    using SelectCellHook = std::function<bool(int col, int row)>;
    using KeyHook = std::function<bool(QKeyEvent* event)>;
    using InputMethodHook = std::function<bool(QInputMethodEvent* event)>;

    explicit GridWidget(QWidget* parent = nullptr);
    ~GridWidget() override;

    void setGrid(StringGrid* grid);
    StringGrid* grid() const { return grid_; }

    // Replaces the standard drawing of every cell; the widget clips to the
    // cell's rectangle and restores the painter afterwards.
    void setDrawCellHook(DrawCellHook hook);
    // Asked before the current cell moves; false refuses the move.
    void setSelectCellHook(SelectCellHook hook);
    // Sees every key press first; true consumes it.
    void setKeyHook(KeyHook hook);
    // Sees every input-method event first (so that an editor can take the
    // composition over); true consumes it.
    void setInputMethodHook(InputMethodHook hook);

    // Standard look: the fill, text and borders of one cell.
    void drawDefaultCell(QPainter& painter, int col, int row, const QRect& rect,
                         CellState state) const;
    // One line of text in the cell, inset 2 px from the left and top,
    // vertically centred and clipped to the cell. `background` is the solid
    // colour the cell was filled with (text is then copied from cached glyph
    // images); QColor() when the cell has no solid fill.
    void drawCellText(QPainter& painter, const QRect& rect, const QString& text, const QColor& ink,
                      const QColor& background, Qt::Alignment align = Qt::AlignLeft) const;
    // One line of text from (x, top), its line band one font height, cut to
    // `clip`. Every character takes a slot of its display units times the
    // unit (gridCharWidth): a text of n units is exactly n units wide. Tabs
    // and other control characters show as a mark in their slot, as the
    // line-break mark "↵" does.
    void drawTextLine(QPainter& painter, int x, int top, const QString& text, const QColor& ink,
                      const QColor& background, const QRect& clip) const;
    // Width of a text as drawn: its display units times the unit.
    int textWidth(const QString& text) const;
    // Forgets the rendered characters (for measurements of a first paint).
    void clearGlyphCache();
    // The grid line on the cell's right and bottom edge, plus the raised
    // frame of a fixed cell.
    void drawCellBorder(QPainter& painter, const QRect& rect, bool fixed) const;
    // A cell text on one line: every line break (CR LF as one) becomes "↵".
    // A huge text only as far as any cell could show it (16384 bytes).
    static QString displayLine(std::string_view utf8);

    int currentCol() const { return current_.col; }
    int currentRow() const { return current_.row; }
    // Moves the current cell to a data cell through the select hook and
    // collapses the selection onto it; true when the current cell moved.
    bool setCurrentCell(int col, int row);
    // The same without the select hook and without currentCellChanged.
    void setCurrentCellSilently(int col, int row);
    // The selection rectangle (normalised, inclusive, data cells only).
    QRect selection() const { return selection_; }
    // Sets the selection, e.g. whole rows or columns; the current cell stays
    // and the top-left corner becomes the anchor of Shift extensions.
    void setSelection(int left, int top, int right, int bottom);

    // Viewport coordinates.
    GridCell cellAt(const QPoint& pos) const;
    // The cell's rectangle while it is (partly) on screen, an empty one otherwise.
    QRect cellRect(int col, int row) const;

    int topRow() const { return first_[Rows]; }
    int leftCol() const { return first_[Cols]; }
    void setTopRow(int row);
    void setLeftCol(int col);
    // Scrollable rows (columns) fully visible from topRow (leftCol).
    int visibleRowCount() const;
    int visibleColCount() const;
    // Scroll by shown rows (columns), skipping hidden ones; negative scrolls back.
    void scrollRows(int count);
    void scrollCols(int count);
    void ensureVisible(int col, int row);

    void setRowSizingEnabled(bool on) { rowSizing_ = on; }
    bool rowSizingEnabled() const { return rowSizing_; }
    void setRowMovingEnabled(bool on) { moving_[Rows] = on; }
    bool rowMovingEnabled() const { return moving_[Rows]; }
    void setColMovingEnabled(bool on) { moving_[Cols] = on; }
    bool colMovingEnabled() const { return moving_[Cols]; }

    QColor backgroundColor() const { return background_; }
    void setBackgroundColor(const QColor& color);
    QColor fixedColor() const { return fixedColor_; }
    void setFixedColor(const QColor& color);
    QColor gridLineColor() const { return gridLine_; }
    void setGridLineColor(const QColor& color);

Q_SIGNALS:
    void currentCellChanged(int col, int row);
    void topLeftChanged(int leftCol, int topRow);
    // Printable text typed on the grid, or an input method's commit string.
    void textTyped(const QString& text);
    void compositionStarted();
    void keyReleased(int key);
    void mousePressed(const GridMouse& mouse);
    void mouseReleased(const GridMouse& mouse);
    void mouseDoubleClicked(const GridMouse& mouse);
    void mouseMoved(const GridMouse& mouse);
    void fixedCellPressed(int col, int row, Qt::MouseButton button,
                          Qt::KeyboardModifiers modifiers);
    void columnResized(int col, int width);
    void rowResized(int row, int height);
    // A row (column) was dropped so that it should end up at index `to`; the
    // grid data is not changed, the owner moves it.
    void rowMoved(int from, int to);
    void colMoved(int from, int to);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    enum Dir { Cols = 0, Rows = 1 };
    enum class Drag { None, Selecting, Resize, Move };
    struct Edge;

    void gridChanged(bool geometry);
    void resetCells();
    void clampCells();
    void updateScrollBars();
    void applyFirst(int col, int row);
    int clampFirst(Dir dir, int first) const;
    void scrollBy(Dir dir, int count);
    int extent(Dir dir) const;
    bool hasDataCells() const;
    bool isDataCell(GridCell cell) const;
    bool isFixedCell(GridCell cell) const;
    CellState stateOf(int col, int row) const;
    void paintCell(QPainter& painter, int col, int row, const QRect& rect) const;
    void paintDropIndicator(QPainter& painter) const;
    bool placeCurrent(GridCell cell, bool extend, bool silent);
    bool navigate(const QKeyEvent* event);
    GridCell navigationTarget(int key, Qt::KeyboardModifiers modifiers) const;
    void pageTo(GridCell target, bool extend);
    Edge sizingEdge(const QPoint& pos) const;
    void beginDrag(const QPoint& pos, GridCell cell, Qt::KeyboardModifiers modifiers);
    void continueDrag(const QPoint& pos, GridCell cell);
    void finishDrag();
    int dropTargetAt(const QPoint& pos) const;
    void updateHoverCursor(const QPoint& pos);
    GridMouse mouseInfo(const QMouseEvent* event) const;

    StringGrid* grid_ = nullptr;
    DrawCellHook drawHook_;
    SelectCellHook selectHook_;
    KeyHook keyHook_;
    InputMethodHook inputMethodHook_;

    GridCell current_;
    GridCell anchor_;
    QRect selection_;
    int first_[2] = {0, 0};
    bool syncingBars_ = false;

    bool rowSizing_ = false;
    bool moving_[2] = {false, false};
    Drag drag_ = Drag::None;
    Dir dragDir_ = Cols;
    int dragIndex_ = -1;
    int dragPress_ = 0; // pointer position along the drag at the press
    int dragStartSize_ = 0;
    int dropTarget_ = -1;
    bool composing_ = false;
    Qt::CursorShape hoverCursor_ = Qt::ArrowCursor;

    QColor background_;
    QColor fixedColor_;
    QColor gridLine_;
    QFont font_;
    int ascent_ = 0;
    int lineHeight_ = 0;
    std::unique_ptr<GlyphTileCache> tiles_;
};

} // namespace tabulix
