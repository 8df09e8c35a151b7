#pragma once

#include <QWidget>

// Window positions and sizes were given in twips (1/1440 inch).
inline int twipsZuPixel(const QWidget* w, int twips) {
    const int dpi = w ? w->logicalDpiX() : 96;
    return twips * (dpi > 0 ? dpi : 96) / 1440;
}
