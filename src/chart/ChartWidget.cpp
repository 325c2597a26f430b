#include "chart/ChartWidget.h"

#include <QPainter>
#include <QResizeEvent>

namespace wellenschau {

TChartWidget::TChartWidget(QWidget* parent) : QWidget(parent) {
    // The chart covers every pixel itself; the system never erases it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    FChart.SetSize(width(), height());
    FChart.SetOnUpdateRequest([this] { update(); });
    FChart.SetOnRepaintRequest([this] { repaint(); });
}

void TChartWidget::paintEvent(QPaintEvent* /*event*/) {
    const QImage& image = FChart.Paint();
    if (image.isNull()) return;
    QPainter painter(this);
    painter.drawImage(0, 0, image);
    ++FCopyCount;
}

void TChartWidget::resizeEvent(QResizeEvent* event) {
    FChart.SetSize(event->size().width(), event->size().height());
    QWidget::resizeEvent(event);
}

}  // namespace wellenschau
