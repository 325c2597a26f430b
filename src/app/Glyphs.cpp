#include "Glyphs.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>

#include <functional>

namespace wellenschau {

namespace {

QIcon Draw(int size, const std::function<void(QPainter&)>& paint) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    return QIcon(pixmap);
}

}  // namespace

QIcon StartGlyph() {
    return Draw(16, [](QPainter& p) {
        p.setPen(QColor(0, 100, 0));
        p.setBrush(QColor(40, 170, 40));
        p.drawPolygon(QPolygon({QPoint(4, 2), QPoint(13, 8), QPoint(4, 14)}));
    });
}

QIcon PauseGlyph() {
    return Draw(16, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 60, 160));
        p.drawRect(3, 2, 4, 12);
        p.drawRect(9, 2, 4, 12);
    });
}

QIcon SnapshotGlyph() {
    return Draw(16, [](QPainter& p) {
        p.setPen(Qt::black);
        p.setBrush(QColor(128, 128, 128));
        p.drawRect(1, 4, 14, 10);
        p.drawRect(5, 2, 5, 2);
        p.setBrush(Qt::white);
        p.drawEllipse(QPoint(8, 9), 3, 3);
        p.setPen(Qt::red);
        p.drawPoint(13, 6);
    });
}

QIcon EraseGlyph() {
    return Draw(16, [](QPainter& p) {
        p.setPen(QPen(QColor(192, 0, 0), 2));
        p.drawLine(3, 3, 13, 13);
        p.drawLine(13, 3, 3, 13);
    });
}

QIcon PaletteGlyph() {
    return Draw(20, [](QPainter& p) {
        QLinearGradient rainbow(0, 18, 0, 2);
        rainbow.setColorAt(0.0, Qt::blue);
        rainbow.setColorAt(0.35, Qt::cyan);
        rainbow.setColorAt(0.55, Qt::green);
        rainbow.setColorAt(0.75, Qt::yellow);
        rainbow.setColorAt(1.0, Qt::red);
        p.setPen(Qt::black);
        p.setBrush(rainbow);
        p.drawRect(6, 2, 8, 16);
    });
}

}  // namespace wellenschau
