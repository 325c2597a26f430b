#include "RollTrace.h"

#include "Trace.h"
#include "core/Errors.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace wellenschau {

namespace {

// Where the screen's samples start: the oldest buffer that holds any of
// them and the offset of the first one in it, and how many samples of the
// screen come before the history's oldest sample.
struct TRollStart {
    std::int64_t Buffer;
    std::int64_t Offset;
    std::int64_t Missing;
};

TRollStart FindStart(const TSoundHistory& history, int channel, std::int64_t newest, std::int64_t wanted) {
    std::int64_t buffer = newest;
    std::int64_t before = static_cast<std::int64_t>(history.Samples(buffer, channel).size());
    while (before < wanted && buffer > history.First()) {
        --buffer;
        before += static_cast<std::int64_t>(history.Samples(buffer, channel).size());
    }
    if (before < wanted) return {buffer, 0, wanted - before};
    return {buffer, before - wanted, 0};
}

// Calls `take(index, sample)` for the screen's samples from `start` on,
// index counted from the screen's left edge.
template <class TTake>
void ForEachSample(const TSoundHistory& history, int channel, std::int64_t newest, const TRollStart& start,
                   TTake&& take) {
    std::int64_t index = start.Missing;
    std::int64_t offset = start.Offset;
    for (std::int64_t buffer = start.Buffer; buffer <= newest; ++buffer, offset = 0) {
        const std::span<const std::int16_t> samples = history.Samples(buffer, channel);
        for (auto i = static_cast<std::size_t>(offset); i < samples.size(); ++i) take(index++, samples[i]);
    }
}

}  // namespace

void PlotRoll(const TSoundHistory& history, int channel, std::int64_t newest, const TRollSpan& span,
              double sampleRate, TPointSink& points) {
    if (!(span.ScreenMs > 0.0) || span.Columns < 2 || channel < 0 || channel >= history.Channels() ||
        !history.Kept(newest))
        throw ERangeError();
    const auto wanted = std::max<std::int64_t>(1, std::llround(span.ScreenMs * sampleRate / 1000));
    const TRollStart start = FindStart(history, channel, newest, wanted);
    const double msPerSample = 1000 / sampleRate;
    if (wanted <= span.Columns) {
        ForEachSample(history, channel, newest, start, [&](std::int64_t index, std::int16_t sample) {
            points.AddPoint(span.ScreenMs - static_cast<double>(wanted - 1 - index) * msPerSample,
                            sample / SampleToPercent);
        });
        return;
    }
    const double msPerColumn = span.ScreenMs / (span.Columns - 1);
    std::int64_t column = -1;
    std::int16_t least = 0;
    std::int16_t largest = 0;
    const auto flush = [&] {
        if (column < 0) return;
        points.AddPoint(static_cast<double>(column) * msPerColumn, least / SampleToPercent);
        points.AddPoint(static_cast<double>(column) * msPerColumn, largest / SampleToPercent);
    };
    ForEachSample(history, channel, newest, start, [&](std::int64_t index, std::int16_t sample) {
        const std::int64_t own = index * span.Columns / wanted;
        if (own != column) {
            flush();
            column = own;
            least = largest = sample;
        }
        least = std::min(least, sample);
        largest = std::max(largest, sample);
    });
    flush();
}

}  // namespace wellenschau
