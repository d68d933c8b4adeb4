// The forms' font: Liberation Sans Narrow at 8 points (Debian's fonts-liberation), narrow
// enough for the fixed label widths of the layouts at any scale factor.
#include "FormFont.h"

QFont formFont() {
    QFont font(QStringLiteral("Liberation Sans Narrow"));
    font.setPointSizeF(8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
