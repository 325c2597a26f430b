#include "HistorySpectrogram.h"

#include "DisplaySetup.h"
#include "analysis/AnalysisState.h"
#include "analysis/SoundHistory.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace wellenschau {

namespace {

// The translation context of this file's texts.
struct THistorySpectrogramText {
    Q_DECLARE_TR_FUNCTIONS(THistorySpectrogramText)
};

// The picked moment's line and the selected span's shade, over any palette.
const QColor MomentColour(255, 255, 255);
const QColor SpanColour(255, 255, 255, 70);

double SecondsPerBuffer(double sampleRate) { return TSoundHistory::BufferSamples / sampleRate; }

}  // namespace

THistorySpectrogram::THistorySpectrogram(QWidget* parent)
    : TChartWidget(ShownChart, parent), FSecondsPerBuffer(SecondsPerBuffer(AnalysisState().SampleRate)) {
    ConfigureChart3(ShownChart, SyAchse, Series1);
    TChartAxis& time = ShownChart.BottomAxis();
    time.SetIncrement(0);
    time.Title().SetCaption(THistorySpectrogramText::tr("Zeit seit Beginn des Verlaufs (s)"));
    ShownChart.LeftAxis().SetLabelsSeparation(0);
    ShownChart.SetOnZoom([this](TChart&) { FFollowing = false; });
    ShownChart.SetOnScroll([this](TChart&) { FFollowing = false; });
    ShownChart.SetOnUndoZoom([this](TChart&) { FFollowing = true; });
    setToolTip(THistorySpectrogramText::tr(
        "Klick: Zeitpunkt wählen; Umschalt+Ziehen: Abschnitt wählen; Ziehen nach rechts unten: zoomen, "
        "nach links oben: zurück; rechte Taste: verschieben"));
}

void THistorySpectrogram::SetHistory(const TSoundHistory* history) {
    FHistory = history;
    FPicture.SetHistory(history);
    update();
}

void THistorySpectrogram::HistoryChanged() {
    if (!isVisible()) return;  // the next paint catches up
    if (FFollowing) FollowNewest();
    for (const TColumnRange& changed : UpdatePicture())
        if (!changed.Empty()) update(ColumnsPlace(changed));
}

void THistorySpectrogram::SetPalette(const QList<QRgb>& colours) {
    FPicture.SetPalette(colours);
    update();
}

void THistorySpectrogram::SetRows(const AnalysisState& analysis) {
    FPicture.SetRows({analysis.RowFrequency.begin(), static_cast<std::size_t>(analysis.RowCount)});
    FSecondsPerBuffer = SecondsPerBuffer(analysis.SampleRate);
    FillLabelCarrier(SyAchse, analysis, TCarrierY::Frequency);
    update();
}

void THistorySpectrogram::SetMarkedMoment(std::optional<std::int64_t> buffer) {
    FMarkedMoment = buffer;
    update();
}

void THistorySpectrogram::SetMarkedSpan(std::optional<TBufferSpan> span) {
    FMarkedSpan = span;
    update();
}

QRect THistorySpectrogram::PicturePlace() const {
    const TRect plot = ShownChart.PlotRect();
    return {plot.Left + 1, plot.Top + 1, plot.Width() - 1, plot.Height() - 1};
}

QSize THistorySpectrogram::PictureSize() const {
    const QRect place = PicturePlace();
    const qreal ratio = ShownChart.PixelRatio();
    return {qRound(place.width() * ratio), qRound(place.height() * ratio)};
}

THistoryColumns THistorySpectrogram::ShownColumns(int width) {
    if (FFollowing) return FHistory ? FollowingColumns(*FHistory, width) : THistoryColumns{};
    const TChartAxis& time = ShownChart.BottomAxis();
    return ColumnsForRange(time.Minimum() / FSecondsPerBuffer, time.Maximum() / FSecondsPerBuffer, width);
}

void THistorySpectrogram::FollowNewest() {
    ShownChart.Paint();  // lays the plot out for the current size
    const int width = PictureSize().width();
    if (width <= 0) return;
    const THistoryColumns columns = ShownColumns(width);
    const double minimum = columns.Position(0) * FSecondsPerBuffer;
    const double maximum = columns.Position(width) * FSecondsPerBuffer;
    TChartAxis& time = ShownChart.BottomAxis();
    if (time.Minimum() != minimum || time.Maximum() != maximum) SetAxisBounds(time, minimum, maximum);
}

void THistorySpectrogram::paintEvent(QPaintEvent* event) {
    if (FFollowing) FollowNewest();
    TChartWidget::paintEvent(event);
}

TChangedColumns THistorySpectrogram::UpdatePicture() {
    const QSize size = PictureSize();
    if (size.isEmpty()) return {};
    const TChartAxis& frequency = ShownChart.LeftAxis();
    return FPicture.Update(size, ShownColumns(size.width()), frequency.Minimum(), frequency.Maximum());
}

QRect THistorySpectrogram::ColumnsPlace(TColumnRange columns) const {
    const QRect place = PicturePlace();
    const double scale = static_cast<double>(place.width()) / FPicture.Size().width();
    const int left = place.left() + static_cast<int>(std::floor(columns.First * scale));
    const int right = place.left() + static_cast<int>(std::ceil((columns.Last + 1) * scale));
    return {left, place.top(), right - left, place.height()};
}

void THistorySpectrogram::PaintOverChart(QPainter& painter) {
    UpdatePicture();
    FPicture.Draw(painter, PicturePlace());
    DrawMarks(painter);
}

double THistorySpectrogram::PositionAt(int x) const {
    const QRect place = PicturePlace();
    const double pixel = (x + 0.5 - place.left()) * FPicture.Size().width() / place.width();
    return FPicture.Columns().Position(0) + pixel * FPicture.Columns().BuffersPerPixel;
}

double THistorySpectrogram::XOf(double position) const {
    const QRect place = PicturePlace();
    const THistoryColumns& columns = FPicture.Columns();
    const double pixel = (position - columns.Position(0)) / columns.BuffersPerPixel;
    return place.left() + pixel * place.width() / FPicture.Size().width();
}

std::optional<TBufferSpan> THistorySpectrogram::KeptBuffers(double a, double b) const {
    if (!FHistory || FHistory->Count() == 0 || FPicture.Size().isEmpty()) return std::nullopt;
    const auto first = std::max(static_cast<std::int64_t>(std::floor(std::min(a, b))), FHistory->First());
    const auto last = std::min(static_cast<std::int64_t>(std::floor(std::max(a, b))), FHistory->End() - 1);
    if (first > last) return std::nullopt;
    return TBufferSpan{first, last};
}

void THistorySpectrogram::Pick(QPoint point) {
    if (!PicturePlace().contains(point)) return;
    const double position = PositionAt(point.x());
    const std::optional<TBufferSpan> picked = KeptBuffers(position, position);
    if (!picked) return;
    SetMarkedMoment(picked->First);
    if (OnPick) OnPick(picked->First);
}

void THistorySpectrogram::SelectSpan(int x0, int x1) {
    const std::optional<TBufferSpan> span = KeptBuffers(PositionAt(x0), PositionAt(x1));
    if (!span) return;
    SetMarkedSpan(span);
    if (OnSpan) OnSpan(span->First, span->Last);
}

void THistorySpectrogram::DrawMarks(QPainter& painter) const {
    painter.save();
    painter.setClipRect(PicturePlace());
    if (FSpanDragX && FPress)
        DrawBand(painter, std::min(FPress->x(), *FSpanDragX), std::max(FPress->x(), *FSpanDragX));
    else if (FMarkedSpan)
        DrawBand(painter, XOf(static_cast<double>(FMarkedSpan->First)), XOf(static_cast<double>(FMarkedSpan->Last + 1)));
    if (FMarkedMoment) {
        const double x = XOf(static_cast<double>(*FMarkedMoment) + 0.5);
        painter.setPen(QPen(MomentColour, 0));
        painter.drawLine(QPointF(x, PicturePlace().top()), QPointF(x, PicturePlace().bottom() + 1));
    }
    painter.restore();
}

void THistorySpectrogram::DrawBand(QPainter& painter, double left, double right) const {
    const QRect place = PicturePlace();
    painter.fillRect(QRectF(left, place.top(), std::max(right - left, 1.0), place.height()), SpanColour);
}

void THistorySpectrogram::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        FPress = event->position().toPoint();
        if (event->modifiers() & Qt::ShiftModifier) {
            FSpanDragX = FPress->x();
            update();
            return;  // a Shift drag selects instead of zooming
        }
    }
    TChartWidget::mousePressEvent(event);
}

void THistorySpectrogram::mouseMoveEvent(QMouseEvent* event) {
    if (FSpanDragX) {
        FSpanDragX = event->position().toPoint().x();
        update();
        return;
    }
    TChartWidget::mouseMoveEvent(event);
}

void THistorySpectrogram::mouseReleaseEvent(QMouseEvent* event) {
    const bool spanDrag = FSpanDragX.has_value();
    if (!spanDrag) TChartWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !FPress) return;
    const QPoint release = event->position().toPoint();
    const bool moved = (release - *FPress).manhattanLength() >= QApplication::startDragDistance();
    const int pressX = FPress->x();
    FPress.reset();
    FSpanDragX.reset();
    if (!moved)
        Pick(release);
    else if (spanDrag)
        SelectSpan(pressX, release.x());
    update();
}

}  // namespace wellenschau
