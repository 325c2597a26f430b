// The row levels, measurements, distortion figures and sound levels of the
// last buffers, and channel B's figures of two-channel buffers, as many as
// the spectrogram shows, so that saving the view can write them. Its room is
// reserved once; recording a buffer copies into it and allocates nothing.
// User-interface thread only.
#pragma once

#include "analysis/AnalysisState.h"
#include "analysis/Distortion.h"
#include "analysis/Measurements.h"
#include "analysis/SecondChannel.h"
#include "analysis/SoundLevel.h"

#include <array>
#include <optional>
#include <vector>

namespace wellenschau {

// A buffer's own sound levels in dB re full scale (TLevelTime::Buffer):
// A- and C-weighted, and each third-octave band unweighted.
struct TBufferSoundLevel {
    double ADb = 0.0;
    double CDb = 0.0;
    std::array<double, 30> ThirdOctaveDb{};

    static TBufferSoundLevel Of(const TSoundLevelMeter& meter);
};

class TLevelHistory {
public:
    struct TEntry {
        int Buffer = 0;       // counted from 1 since the window was made
        double Seconds = 0.0;  // start of the buffer since then
        TMeasurements Measurements;
        std::optional<TDistortion> Distortion;  // none without a tone
        std::optional<TBufferSoundLevel> SoundLevel;  // none unless measured
        std::optional<TChannelBFigures> ChannelB;     // none for one channel
    };

    // Room for `capacity` buffers of `rowCount` row levels each.
    TLevelHistory(int capacity, int rowCount);

    // Keeps the row levels of the buffer just analysed, dropping the oldest
    // when full. sampleCount is the buffer's length in samples.
    void Add(const AnalysisState& state, const TMeasurements& measurements,
             const std::optional<TDistortion>& distortion, int sampleCount,
             const std::optional<TBufferSoundLevel>& soundLevel = std::nullopt,
             const std::optional<TChannelBFigures>& channelB = std::nullopt);

    // The kept buffers, oldest first: index 0 .. Count() - 1.
    int Count() const { return FCount; }
    const TEntry& Entry(int index) const;
    // Row levels of a kept buffer, rows 0 .. rowCount - 1.
    const double* Levels(int index) const;

private:
    int Slot(int index) const { return (FFirst + index) % FCapacity; }

    int FCapacity;
    int FRowCount;
    std::vector<TEntry> FEntries;
    std::vector<double> FLevels;  // FCapacity x FRowCount
    int FFirst = 0;
    int FCount = 0;
    int FBuffers = 0;
    std::int64_t FSamples = 0;
};

}  // namespace wellenschau
