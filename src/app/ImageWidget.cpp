#include "ImageWidget.h"

#include <QMouseEvent>
#include <QPainter>

namespace wellenschau {

TImageWidget::TImageWidget(QImage& picture, QWidget* parent) : QWidget(parent), FPicture(picture) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TImageWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(rect(), ShownPicture());  // nearest pixel: no smoothing is set
}

void TImageWidget::ShowInstead(const QImage* picture) {
    FInstead = picture;
    update();
}

QPoint TImageWidget::PicturePixelAt(QPoint point) const {
    if (width() <= 0 || height() <= 0) return point;
    return {point.x() * FPicture.width() / width(), point.y() * FPicture.height() / height()};
}

void TImageWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick) OnClick(this);
}

}  // namespace wellenschau
