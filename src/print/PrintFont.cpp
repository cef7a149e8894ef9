#include "print/PrintFont.h"

#include <QFont>
#include <QFontMetrics>

#include <algorithm>

namespace tabulix {

QFont printFont(int pixelHeight) {
    QFont font(QStringLiteral("Noto Sans Mono CJK JP"));
    font.setPixelSize(std::max(1, pixelHeight));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

QFont headerFont(int pixelHeight) {
    return printFont(pixelHeight);
}

FontMeasure printFontMeasure() {
    return [](int pixelHeight) {
        const QFontMetrics metrics(printFont(pixelHeight));
        return CharBox{std::max(1, metrics.horizontalAdvance(QLatin1Char('A'))),
                       std::max(1, metrics.height())};
    };
}

} // namespace tabulix
