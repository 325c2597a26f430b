// Cost of one full paint of the oscilloscope chart with the stretched trace
// (1803 points) at window size and at a 4K screen's size, and of the
// per-buffer refill of its live series, and the rubber band that every
// screen paint adds during a zoom drag.
#include "app/DisplaySetup.h"
#include "chart/RubberBand.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

using namespace wellenschau;

void FillTrace(TFastLineSeries& series, double amplitude) {
    series.ClearPoints();
    for (int i = 0; i < 1803; ++i) {
        const double ms = i / 44.1;
        series.AddPoint(ms, amplitude * std::sin(2.7646 * ms) + 0.3 * amplitude * std::sin(8.29 * ms));
    }
}

void BM_Chart2Paint(benchmark::State& state) {
    TChart chart;
    TFastLineSeries snapshot, trace;
    ConfigureChart2(chart, snapshot, trace);
    chart.SetSize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    chart.SetBackColor(OscilloscopeBackColor);
    FillTrace(trace, 80.0);
    chart.Paint();
    for (auto _ : state) {
        chart.InvalidateChart();
        benchmark::DoNotOptimize(chart.Paint().constBits());
    }
}
BENCHMARK(BM_Chart2Paint)->Args({790, 535})->Args({3840, 2100})->Unit(benchmark::kMicrosecond);

void BM_Chart2RefillTrace(benchmark::State& state) {
    TChart chart;
    TFastLineSeries snapshot, trace;
    ConfigureChart2(chart, snapshot, trace);
    for (auto _ : state) {
        FillTrace(trace, 80.0);
        benchmark::DoNotOptimize(trace.PointCount());
    }
}
BENCHMARK(BM_Chart2RefillTrace)->Unit(benchmark::kMicrosecond);

// A band across nearly the whole plot, drawn over the chart's image into a
// screen-sized image.
void BM_RubberBandOverChart2(benchmark::State& state) {
    TChart chart;
    TFastLineSeries snapshot, trace;
    ConfigureChart2(chart, snapshot, trace);
    chart.SetSize(790, 535);
    FillTrace(trace, 80.0);
    const QImage& image = chart.Paint();
    QImage screen(image.size(), QImage::Format_RGB32);
    QPainter painter(&screen);
    for (auto _ : state) {
        DrawRubberBand(painter, image, {60, 20, 760, 480}, 0);
        benchmark::DoNotOptimize(screen.constBits());
    }
}
BENCHMARK(BM_RubberBandOverChart2)->Unit(benchmark::kMicrosecond);

}  // namespace
