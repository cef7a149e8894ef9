#pragma once

class QColor;
class QListWidget;
class QPainter;
class QRect;
class QWidget;

namespace tabulix {

// Places `panel` (a child of `window`, not in a layout) at (m, m) with the
// window's client size less 2m each way (never negative).
void InsetPanel(QWidget* window, QWidget* panel, int margin);

// Outer size = trunc(fraction × available screen size), then CentreOnScreen.
void SizeToScreen(QWidget* window, double widthFraction, double heightFraction);

// Centres the window's outer frame on the available area of its screen:
// offsets trunc((screen - size) / 2) from that area's origin.
void CentreOnScreen(QWidget* window);

// A one-pixel raised frame on the border pixels of `rect`: top row and left
// column in `topLeft`, bottom row and right column (both far corners included)
// in `bottomRight`. Returns the rectangle inside the frame.
QRect DrawFrame(QPainter& painter, const QRect& rect, const QColor& topLeft,
                const QColor& bottomRight);

// Makes the list scroll horizontally over trunc(1.5 × the widest item text in
// the list's font) pixels and returns that extent.
int FitListWidth(QListWidget* list);

} // namespace tabulix
