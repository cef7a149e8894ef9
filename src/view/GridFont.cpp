#include "view/GridFont.h"

#include <QFont>
#include <QFontMetricsF>

#include <algorithm>

namespace tabulix {

namespace {
constexpr int kGridFontPixelSize = 14;
}

QFont gridFont() {
    QFont font(QStringLiteral("Noto Sans Mono CJK JP"));
    font.setPixelSize(kGridFontPixelSize);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

double gridCharWidth() {
    static const int unit =
        std::max(1, qRound(QFontMetricsF(gridFont()).horizontalAdvance(QLatin1Char('A'))));
    return unit;
}

int gridCharHeight() {
    return QFontMetricsF(gridFont()).height() > 0
               ? static_cast<int>(QFontMetricsF(gridFont()).height())
               : kGridFontPixelSize;
}

} // namespace tabulix
