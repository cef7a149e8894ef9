#pragma once

#include "draw/CellColours.h"

#include <QColor>
#include <QObject>
#include <QPointer>

#include <string>
#include <string_view>

class QEvent;
class QPainter;
class QRect;

namespace tabulix {

class GridWidget;
struct CellState;

// GridDrawCell: draws every cell of the main grid with the colours of
// CellColoursOf and the display text, on one line or folded over several.
// It reads the table, the edit state and the display options as they are at
// each paint; the current cell and selection come from the widget. What does
// not change during a paint (colours, options, cursor) is taken once before
// each paint of the widget's viewport, and the emptiness of a row once per
// row. Texts are drawn by the widget, from its cache of rendered characters,
// each in a slot of its display units.
class CellPainter : public QObject {
public:
    CellPainter(const Table& table, const EditState& edit, const DisplayOptions& options,
                GridWidget& widget);
    ~CellPainter() override;

    // Makes draw() the widget's draw-cell hook (removed again on destruction).
    void installHook();
    // Takes the per-paint state; done automatically before every paint of the
    // widget, needed by hand only when draw() is called outside one.
    void beginPaint();
    void draw(QPainter& painter, int col, int row, const QRect& rect, CellState state);
    // Forgets the rendered characters (for measurements of a first paint).
    void clearTextCache();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void drawCell(QPainter& painter, int col, int row, const QRect& rect);
    void drawStandard(QPainter& painter, const QRect& rect, std::string_view text);
    void drawText(QPainter& painter, const QRect& rect, std::string_view text,
                  const CellColours& look, const QColor& paper, int insetTop);
    void drawSingle(QPainter& painter, const QRect& rect, std::string_view text, QRgb ink,
                    QRgb paper, CellAlign align);
    void drawFolded(QPainter& painter, const QRect& rect, std::string_view text, QRgb ink,
                    QRgb paper, CellAlign align, int insetTop);
    void updateRowEmpty(int row);

    QPointer<GridWidget> widget_;
    const Table& table_;
    const DisplayOptions& options_;
    CellColourInput input_;
    bool hookInstalled_ = false;
    bool drawing_ = false;

    // Taken once per paint.
    bool folds_ = false;
    bool checksEmptyRows_ = false;
    int emptyRow_ = -1; // the row input_.rowEmpty belongs to
    QColor background_;
    QColor frameShadow_;

    double charWidth_ = 0;
    int charHeight_ = 0;
    int lineHeight_ = 0;
    std::string scratch_;
};

} // namespace tabulix
