#include "chart/QtColor.h"

namespace wellenschau {

namespace {

QColor SystemColor(int index) {
    switch (index) {
        case 5: return QColor(0xFF, 0xFF, 0xFF);   // window background
        case 8: return QColor(0x00, 0x00, 0x00);   // window text
        case 15: return QColor(0xF0, 0xF0, 0xF0);  // button face
        default: return QColor(0x80, 0x80, 0x80);
    }
}

}  // namespace

QColor ToQColor(TColor color, const QColor& fallback) {
    if (color == clDefault) return fallback;
    if (color == clNone) return QColor(Qt::transparent);
    if (color & clSystemColor) return SystemColor(color & 0xFF);
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

}  // namespace wellenschau
