// THistorySpectrogram: the spectrogram of the whole kept history as a
// chart widget, to stand in a layout where the spectrogram chart stands.
// The chart is the spectrogram's (ConfigureChart3): frequency upward on its
// logarithmic axis with the same labels and rows, time along the bottom in
// seconds since the history began (buffer number x 4096 / sample rate), so
// that a moment keeps its place and label while recording goes on. The
// picture (THistoryPicture) fills the plot inside the axis lines.
//
// Unzoomed, the picture follows the newest buffer at a fixed scale (the
// history's whole length spans the width but a sixteenth, by which the
// picture scrolls at a time; FollowingColumns). Left drags zoom, right drags
// pan, a left drag to the upper left undoes, the wheel scrolls the
// frequencies, all as on the other charts; after a zoom or pan the range
// stays where it was put, and the undo returns to following.
//
// The mouse picks: a left click (press and release without moving by
// Qt's drag distance) on the picture picks the buffer under the pointer
// (OnPick) and marks it with a vertical line; a left drag with Shift held
// selects the buffers between press and release (OnSpan, both included,
// limited to the kept ones) and shades them. The Shift drag never zooms.
// Buffers added while the widget is hidden reach the picture at its next
// paint.
// User-interface thread only.
#pragma once

#include "HistoryPicture.h"
#include "chart/ChartWidget.h"
#include "chart/FastLineSeries.h"

#include <QList>
#include <QRgb>

#include <cstdint>
#include <functional>
#include <optional>

namespace wellenschau {

struct AnalysisState;
class TSoundHistory;

// The chart the widget shows, a base so that it exists before the
// TChartWidget that shows it.
struct THistoryChart {
    TChart ShownChart;
    TFastLineSeries SyAchse;  // label carrier of the frequency axis
    TFastLineSeries Series1;  // always empty, as on the spectrogram
};

class THistorySpectrogram : private THistoryChart, public TChartWidget {
public:
    explicit THistorySpectrogram(QWidget* parent = nullptr);

    // The history shown (nullptr: none); it must outlive its use here.
    void SetHistory(const TSoundHistory* history);
    // Buffers were added to (or dropped from) the history.
    void HistoryChanged();
    // The colours of the 256 colour indices (the spectrogram picture's table).
    void SetPalette(const QList<QRgb>& colours);
    // The spectrum rows' frequencies, the labels and the sample rate.
    void SetRows(const AnalysisState& analysis);
    // The moment shown as a vertical line, and the span shaded; none: not shown.
    void SetMarkedMoment(std::optional<std::int64_t> buffer);
    void SetMarkedSpan(std::optional<TBufferSpan> span);
    std::optional<std::int64_t> MarkedMoment() const { return FMarkedMoment; }
    std::optional<TBufferSpan> MarkedSpan() const { return FMarkedSpan; }

    std::function<void(std::int64_t buffer)> OnPick;
    std::function<void(std::int64_t first, std::int64_t last)> OnSpan;

    // Whether the picture follows the newest buffer (not zoomed or panned).
    bool Following() const { return FFollowing; }
    const THistoryPicture& Picture() const { return FPicture; }
    // The place of the picture (logical pixels), as of the chart's last paint.
    QRect PicturePlace() const;

protected:
    void PaintOverChart(QPainter& painter) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The picture's size in device pixels at the chart's pixel ratio.
    QSize PictureSize() const;
    // The columns the picture shows: following the newest buffer, or the
    // time axis' range.
    THistoryColumns ShownColumns(int width);
    // Brings the picture up to date with the chart and the history;
    // returns the columns that changed.
    TChangedColumns UpdatePicture();
    // The place (logical pixels) of picture columns.
    QRect ColumnsPlace(TColumnRange columns) const;
    // While following: puts the time axis on the columns that follow the newest buffer.
    void FollowNewest();
    // Buffer position (fractional) under a logical x, and the logical x of
    // a buffer position, by the picture's columns.
    double PositionAt(int x) const;
    double XOf(double position) const;
    // The kept buffers between two buffer positions, both included; none
    // when none of them is kept.
    std::optional<TBufferSpan> KeptBuffers(double a, double b) const;
    // Picks the buffer under a point of the picture (none elsewhere).
    void Pick(QPoint point);
    void SelectSpan(int x0, int x1);
    void DrawMarks(QPainter& painter) const;
    void DrawBand(QPainter& painter, double left, double right) const;

    const TSoundHistory* FHistory = nullptr;
    THistoryPicture FPicture;
    double FSecondsPerBuffer;
    bool FFollowing = true;
    std::optional<std::int64_t> FMarkedMoment;
    std::optional<TBufferSpan> FMarkedSpan;
    // The left press of a click or of a Shift drag, and where a Shift drag is.
    std::optional<QPoint> FPress;
    std::optional<int> FSpanDragX;
};

}  // namespace wellenschau
