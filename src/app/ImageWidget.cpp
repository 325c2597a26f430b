#include "ImageWidget.h"

#include <QMouseEvent>
#include <QPainter>

namespace wellenschau {

TImageWidget::TImageWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TImageWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (FStretched)
        painter.drawImage(rect(), FPicture);  // nearest pixel: no smoothing is set
    else
        painter.drawImage(0, 0, FPicture);
}

void TImageWidget::SetStretched(bool stretched) {
    FStretched = stretched;
    update();
}

QPoint TImageWidget::PicturePixelAt(QPoint point) const {
    if (!FStretched || width() <= 0 || height() <= 0) return point;
    return {point.x() * FPicture.width() / width(), point.y() * FPicture.height() / height()};
}

void TImageWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick) OnClick(this);
}

}  // namespace wellenschau
