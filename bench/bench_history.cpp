// The spectrogram of a whole kept history (ten minutes) at 1920 x 1080:
// a full render (after a zoom, a resize or a new palette) and what one new
// buffer costs while the picture follows the newest end, the widget's
// paint with the chart included.
#include "analysis/AnalysisState.h"
#include "analysis/SoundHistory.h"
#include "app/HistorySpectrogram.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

using namespace wellenschau;

constexpr int PictureWidth = 1920;
constexpr int PictureHeight = 1080;

// The analysis tables and ten minutes of buffers whose columns vary.
struct TFullHistory {
    TFullHistory() {
        SetupAnalysis(*Analysis, 300);
        for (int n = 0; n < History.Capacity(); ++n) Add();
        for (int i = 0; i < 256; ++i) Palette.append(qRgb(i, 255 - i, i / 2));
    }
    void Add() {
        for (std::size_t r = 0; r < Column.size(); ++r)
            Column[r] = static_cast<std::uint8_t>((History.End() * 7 + static_cast<std::int64_t>(r) * 13) % 256);
        History.Add(Samples.data(), nullptr, TSoundHistory::BufferSamples, Column.data());
    }

    std::unique_ptr<AnalysisState> Analysis = std::make_unique<AnalysisState>();
    TSoundHistory History{TSoundHistory::CapacityFor(10, 44100), 1, 195};
    std::vector<std::int16_t> Samples = std::vector<std::int16_t>(TSoundHistory::BufferSamples);
    std::vector<std::uint8_t> Column = std::vector<std::uint8_t>(195);
    QList<QRgb> Palette;
};

void BM_HistorySpectrogramFullRender(benchmark::State& state) {
    TFullHistory full;
    THistoryPicture picture;
    picture.SetRows({full.Analysis->RowFrequency.begin(), 195});
    picture.SetHistory(&full.History);
    const QSize size(PictureWidth, PictureHeight);
    for (auto _ : state) {
        picture.SetPalette(full.Palette);  // makes the next update render everything
        picture.Update(size, FollowingColumns(full.History, PictureWidth), 20, 22050);
    }
}
BENCHMARK(BM_HistorySpectrogramFullRender)->Unit(benchmark::kMillisecond);

// One new buffer while the widget, 1920 x 1080 and shown, follows the newest end.
void BM_HistorySpectrogramNewBuffer(benchmark::State& state) {
    TFullHistory full;
    THistorySpectrogram view;
    view.SetRows(*full.Analysis);
    view.SetPalette(full.Palette);
    view.SetHistory(&full.History);
    view.resize(PictureWidth, PictureHeight);
    view.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        full.Add();
        view.HistoryChanged();  // asks for the changed part's repaint
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_HistorySpectrogramNewBuffer)->Unit(benchmark::kMicrosecond);

}  // namespace
