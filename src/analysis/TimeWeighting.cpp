#include "TimeWeighting.h"

#include <cmath>

namespace wellenschau {

namespace {

double Approach(double level, double mean, double seconds, double timeConstant) {
    const double decay = std::exp(-seconds / timeConstant);
    return level * decay + mean * (1.0 - decay);
}

}  // namespace

void TTimeWeighted::EndBuffer(double sampleRate) {
    if (FBufferCount == 0) return;
    FLast = FBufferSum / FBufferCount;
    const double seconds = FBufferCount / sampleRate;
    FFast = Approach(FFast, FLast, seconds, FastSeconds);
    FSlow = Approach(FSlow, FLast, seconds, SlowSeconds);
    FTotalSum += FBufferSum;
    FTotalCount += FBufferCount;
    FBufferSum = 0.0;
    FBufferCount = 0;
}

void TTimeWeighted::Restart() {
    FFast = 0.0;
    FSlow = 0.0;
    FTotalSum = 0.0;
    FTotalCount = 0.0;
}

double TTimeWeighted::MeanSquare(TLevelTime t) const {
    switch (t) {
    case TLevelTime::Buffer:
        return FLast;
    case TLevelTime::Fast:
        return FFast;
    case TLevelTime::Slow:
        return FSlow;
    case TLevelTime::Leq:
        break;
    }
    return FTotalCount > 0.0 ? FTotalSum / FTotalCount : 0.0;
}

}  // namespace wellenschau
