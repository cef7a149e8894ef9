#pragma once

#include "text/DoubleClick.h"

#include <QPlainTextEdit>

#include <functional>
#include <string>

namespace tabulix {

class GridWidget;

// The cell memo `mmMemo`: a multi-line text box laid over one cell, the one
// way a cell's text is typed. Enter and Escape close it, Shift+Enter types a
// line break; a double click in it or the focus moving elsewhere in the
// window leaves it. Its owner commits the text when it is left.
class CellMemo : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit CellMemo(QWidget* parent);

    // Shows `text` (line breaks as LF) over `rect` (in the parent's
    // coordinates) and takes the focus; the cursor stands at the end.
    void open(const std::string& text, const QRect& rect);
    // Opens over cell (col, row) of `grid` in its font, on `base` colour:
    // one pixel wider than the column, at least three header rows high, and
    // moved up when it would reach below the grid.
    void openOver(GridWidget* grid, int col, int row, const std::string& text,
                  const QColor& base);
    // The text with each line ending as one LF; nothing else is changed
    // (non-breaking spaces stay).
    std::string memoText() const;
    bool isOpen() const { return open_; }
    // An input-method event on the grid below: `open` opens the memo and the
    // event goes on in it, so a composition started on the grid is typed
    // here. False when there was nothing to take over.
    bool takeOverComposition(QInputMethodEvent* event, const std::function<void()>& open);
    // Hides the memo and reports `left` once; safe to call when closed.
    void leave();

Q_SIGNALS:
    // The memo was left: its text is to be committed. `byKey` when Enter or
    // Escape closed it (the cursor then moves on).
    void left(bool byKey);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // While open: a press anywhere outside leaves it first, also on buttons
    // and lists that take no focus, so a command never misses the text.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void finish(bool byKey);
    bool popupIsOurs() const;

    bool open_ = false;
    TIsDClick clicks_;
};

} // namespace tabulix
