#include "chart/ChartWidget.h"

#include "chart/RubberBand.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>

#include <optional>

namespace wellenschau {

namespace {

// The chart knows the zoom and the pan button; other buttons start nothing.
std::optional<TMouseButton> ChartButton(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton: return mbLeft;
        case Qt::RightButton: return mbRight;
        case Qt::MiddleButton: return mbMiddle;
        default: return std::nullopt;
    }
}

}  // namespace

TChartWidget::TChartWidget(TChart& chart, QWidget* parent) : QWidget(parent), FChart(&chart) {
    // The chart covers every pixel itself; the system never erases it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    Connect(true);
}

TChartWidget::~TChartWidget() { Connect(false); }

void TChartWidget::Connect(bool on) {
    FChart->SetOnUpdateRequest(on ? std::function<void()>([this] { update(); }) : nullptr);
    FChart->SetOnRepaintRequest(on ? std::function<void()>([this] { repaint(); }) : nullptr);
}

void TChartWidget::SetChart(TChart& chart) {
    if (&chart == FChart) return;
    Connect(false);
    FChart = &chart;
    Connect(true);
    FChart->SetSize(width(), height());
    update();
}

void TChartWidget::paintEvent(QPaintEvent* /*event*/) {
    const QImage& image = FChart->Paint();
    if (image.isNull()) return;
    QPainter painter(this);
    painter.drawImage(0, 0, image);
    PaintOverChart(painter);
    DrawRubberBand(painter, image, FChart->Zoom().RubberBand(), FChart->Zoom().RubberBandPen());
    ++FCopyCount;
}

void TChartWidget::resizeEvent(QResizeEvent* event) {
    FChart->SetSize(event->size().width(), event->size().height());
    QWidget::resizeEvent(event);
}

void TChartWidget::mousePressEvent(QMouseEvent* event) {
    const std::optional<TMouseButton> button = ChartButton(event->button());
    if (!button) return;
    const QPoint p = event->position().toPoint();
    if (FCursors && button == mbLeft && FCursors->Grab(p.x(), p.y())) return;
    FChart->Zoom().MouseDown(*button, p.x(), p.y());
    UpdateRubberBand();
}

void TChartWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (FCursors && FCursors->Dragging()) {
        FCursors->DragTo(p.x(), p.y());
        return;
    }
    FChart->Zoom().MouseMove(p.x(), p.y());
    UpdateRubberBand();
}

void TChartWidget::mouseReleaseEvent(QMouseEvent* event) {
    const std::optional<TMouseButton> button = ChartButton(event->button());
    if (!button) return;
    if (FCursors && FCursors->Dragging()) {
        if (button == mbLeft) FCursors->Release();
        return;
    }
    const QPoint p = event->position().toPoint();
    FChart->Zoom().MouseUp(*button, p.x(), p.y());
    UpdateRubberBand();
}

void TChartWidget::wheelEvent(QWheelEvent* event) {
    FWheelDelta += event->angleDelta().y();
    // A turn toward the user (negative delta) is a step down.
    for (; FWheelDelta <= -WheelStepDelta; FWheelDelta += WheelStepDelta) FChart->Zoom().MouseWheel(true);
    for (; FWheelDelta >= WheelStepDelta; FWheelDelta -= WheelStepDelta) FChart->Zoom().MouseWheel(false);
    event->accept();
}

void TChartWidget::leaveEvent(QEvent* event) {
    FChart->Zoom().MouseLeave();
    QWidget::leaveEvent(event);
}

void TChartWidget::UpdateRubberBand() {
    const TRect band = FChart->Zoom().RubberBand();
    if (band == FShownBand) return;
    update(RubberBandRegion(FShownBand) + RubberBandRegion(band));
    FShownBand = band;
}

}  // namespace wellenschau
