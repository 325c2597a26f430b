// A sound level meter on the recorded samples: frequency-weighted levels
// (A, C, Z; see Weighting.h) and octave and third-octave band levels
// (IEC 61260-1, base-10 midband frequencies; see BandFilterBank.h), each
// over the last buffer, time-weighted Fast and Slow, and as the equivalent
// level since the restart (see TimeWeighting.h). Levels are in dB relative
// to full scale like the RMS readout: a full-scale sine reads 0 dB.
//
// An octave band's level is the power sum of its three third octaves. A
// band's weighted level is its unweighted level plus the weighting at its
// exact midband frequency.
//
// Pure computation without Qt; all memory is made by the constructor, so
// Process allocates nothing. One thread per meter (the user interface's).
#pragma once

#include "BandFilterBank.h"
#include "FilterDesign.h"
#include "TimeWeighting.h"
#include "Weighting.h"

#include <array>
#include <cstdint>
#include <limits>

namespace wellenschau {

// 1/1 octave: 10 bands 31.5 Hz .. 16 kHz; 1/3 octave: 30 bands 25 Hz .. 20 kHz.
enum class TBandSet { Octave, ThirdOctave };

inline constexpr double SoundLevelSampleRate = 44100.0;

int BandCount(TBandSet set);
// The exact base-10 midband frequency in Hz: 1000 * 10^(3x / 10) for an
// octave, 1000 * 10^(x / 10) for a third octave.
double BandMidband(TBandSet set, int band);
// The nominal midband frequency: "25", "31.5", ..., "20000".
const char* BandName(TBandSet set, int band);

// The meter's state between buffers (filter memories and levels) can be
// saved and restored (TCarriedState), to analyse a kept buffer again.
class TSoundLevelMeter : public TCarriedState<TSoundLevelMeter> {
public:
    TSoundLevelMeter();  // at SoundLevelSampleRate

    // Fast, Slow and Leq begin again; the filters keep their state.
    void Restart();
    // One buffer of samples (full scale 32768).
    void Process(const std::int16_t* samples, int count);

    // -infinity for digital silence.
    double Level(TWeighting w, TLevelTime t) const;
    double BandLevel(TBandSet set, int band, TWeighting w, TLevelTime t) const;

private:
    friend class TCarriedState<TSoundLevelMeter>;
    template <typename TSelf, typename TVisit>
    static void EachState(TSelf& self, TVisit& visit) {
        visit(self.FFilters);
        visit(self.FUnweighted);
    }

    void ProcessChunk(const std::int16_t* samples, int count);
    const TTimeWeighted& Weighted(TWeighting w) const;

    // The third octaves, then the A and C weightings.
    TBandFilterBank FFilters;
    TTimeWeighted FUnweighted;
    std::array<double, TBandFilterBank::ChunkLength> FChunk{};
};

}  // namespace wellenschau
