// The mean square of one signal (a weighted level or a band) in the ways a
// sound level meter reads it: over the last buffer, time-weighted Fast and
// Slow, and the equivalent (mean) since the restart. Allocates nothing.
//
// Fast and Slow are exponential averages of the squared signal with time
// constants of 125 ms and 1 s (IEC 61672-1). They advance once per buffer,
// taking the buffer's mean square as constant over its duration:
// level = level * e^(-T / tau) + mean * (1 - e^(-T / tau)) for a buffer of
// T seconds, which is the continuous exponential average for a steady
// signal and for a change at a buffer's boundary.
#pragma once

namespace wellenschau {

enum class TLevelTime { Buffer, Fast, Slow, Leq };

inline constexpr double FastSeconds = 0.125;
inline constexpr double SlowSeconds = 1.0;

class TTimeWeighted {
public:
    // A buffer's samples, in any number of parts.
    void Add(double sumOfSquares, int count) {
        FBufferSum += sumOfSquares;
        FBufferCount += count;
    }
    // Closes the buffer whose samples Add received, at the signal's sample
    // rate. A buffer without samples changes nothing.
    void EndBuffer(double sampleRate);
    // Fast, Slow and the equivalent begin again at zero.
    void Restart();

    double MeanSquare(TLevelTime t) const;

private:
    double FBufferSum = 0.0;
    int FBufferCount = 0;
    double FLast = 0.0;
    double FFast = 0.0;
    double FSlow = 0.0;
    double FTotalSum = 0.0;
    double FTotalCount = 0.0;
};

}  // namespace wellenschau
