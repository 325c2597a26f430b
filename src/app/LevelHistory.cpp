#include "LevelHistory.h"

#include "core/Errors.h"

#include <algorithm>

namespace wellenschau {

TLevelHistory::TLevelHistory(int capacity, int rowCount)
    : FCapacity(std::max(1, capacity)),
      FRowCount(rowCount),
      FEntries(static_cast<std::size_t>(FCapacity)),
      FLevels(static_cast<std::size_t>(FCapacity) * static_cast<std::size_t>(rowCount)) {}

void TLevelHistory::Add(const AnalysisState& state, const TMeasurements& measurements,
                        const std::optional<TDistortion>& distortion, int sampleCount,
                        const std::optional<TBufferSoundLevel>& soundLevel,
                        const std::optional<TChannelBFigures>& channelB) {
    const int slot = FCount < FCapacity ? Slot(FCount) : FFirst;
    if (FCount < FCapacity)
        ++FCount;
    else
        FFirst = (FFirst + 1) % FCapacity;
    TEntry& entry = FEntries[static_cast<std::size_t>(slot)];
    entry.Buffer = ++FBuffers;
    entry.Seconds = static_cast<double>(FSamples) / state.SampleRate;
    entry.Measurements = measurements;
    entry.Distortion = distortion;
    entry.SoundLevel = soundLevel;
    entry.ChannelB = channelB;
    FSamples += sampleCount;
    std::copy_n(state.RowLevel.data(), FRowCount, FLevels.data() + static_cast<std::ptrdiff_t>(slot) * FRowCount);
}

TBufferSoundLevel TBufferSoundLevel::Of(const TSoundLevelMeter& meter) {
    TBufferSoundLevel levels;
    levels.ADb = meter.Level(TWeighting::A, TLevelTime::Buffer);
    levels.CDb = meter.Level(TWeighting::C, TLevelTime::Buffer);
    for (int band = 0; band < BandCount(TBandSet::ThirdOctave); ++band)
        levels.ThirdOctaveDb[static_cast<std::size_t>(band)] =
            meter.BandLevel(TBandSet::ThirdOctave, band, TWeighting::Z, TLevelTime::Buffer);
    return levels;
}

const TLevelHistory::TEntry& TLevelHistory::Entry(int index) const {
    if (index < 0 || index >= FCount) throw ERangeError();
    return FEntries[static_cast<std::size_t>(Slot(index))];
}

const double* TLevelHistory::Levels(int index) const {
    if (index < 0 || index >= FCount) throw ERangeError();
    return FLevels.data() + static_cast<std::ptrdiff_t>(Slot(index)) * FRowCount;
}

}  // namespace wellenschau
