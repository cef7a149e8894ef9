#include "view/CellMemo.h"

#include "table/StringGrid.h"
#include "view/GridWidget.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTextDocument>

namespace tabulix {

CellMemo::CellMemo(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("mmMemo"));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(true);
    setFrameShape(QFrame::Box);
    // The text starts where the cell's own text stood.
    document()->setDocumentMargin(1);
    hide();
}

void CellMemo::open(const std::string& text, const QRect& rect) {
    setPlainText(QString::fromStdString(text));
    moveCursor(QTextCursor::End);
    setGeometry(rect);
    open_ = true;
    qApp->installEventFilter(this);
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
}

void CellMemo::openOver(GridWidget* grid, int col, int row, const std::string& text,
                        const QColor& base) {
    const StringGrid& cells = *grid->grid();
    grid->ensureVisible(col, row);
    const QRect cell = grid->cellRect(col, row);
    const QPoint topLeft = grid->viewport()->mapTo(parentWidget(), cell.topLeft());
    const int height = std::max(cells.rowHeight(row), 3 * cells.rowHeight(0) + 3);
    QRect rect(topLeft, QSize(cells.colWidth(col) + 1, height));
    const int bottom = grid->mapTo(parentWidget(), QPoint(0, grid->height() - 1)).y();
    if (rect.bottom() > bottom) rect.moveBottom(bottom);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, base);
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);
    setFont(grid->font());
    open(text, rect);
}

bool CellMemo::takeOverComposition(QInputMethodEvent* event, const std::function<void()>& open) {
    if (event->preeditString().isEmpty() && event->commitString().isEmpty()) return false;
    open();
    if (!open_) return false;
    QCoreApplication::sendEvent(this, event);
    return true;
}

std::string CellMemo::memoText() const {
    QString text = document()->toRawText();
    for (QChar& c : text)
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = u'\n';
    return text.toStdString();
}

void CellMemo::leave() {
    finish(false);
}

void CellMemo::finish(bool byKey) {
    if (!open_) return;
    open_ = false;
    qApp->removeEventFilter(this);
    hide();
    Q_EMIT left(byKey);
}

void CellMemo::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & Qt::ShiftModifier)) {
        insertPlainText(QStringLiteral("\n"));
        event->accept();
        return;
    }
    if (enter || event->key() == Qt::Key_Escape) {
        event->accept();
        finish(true);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

// The memo is left when the focus moves to another control of the window;
// switching to another program, or the memo's own context menu, keeps it.
void CellMemo::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    if (event->reason() == Qt::ActiveWindowFocusReason) return;
    if (event->reason() == Qt::PopupFocusReason && popupIsOurs()) return;
    finish(false);
}

bool CellMemo::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (open_ && (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)) {
        const auto* widget = qobject_cast<const QWidget*>(watched);
        if (widget && widget != this && !isAncestorOf(widget)) finish(false);
    }
    return false;
}

bool CellMemo::popupIsOurs() const {
    const QWidget* popup = QApplication::activePopupWidget();
    return popup && isAncestorOf(popup);
}

void CellMemo::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && IsDoubleClick(clicks_, 0, 0)) {
        event->accept();
        finish(false);
        return;
    }
    QPlainTextEdit::mousePressEvent(event);
}

} // namespace tabulix
