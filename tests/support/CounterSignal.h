// A test signal whose samples tell where in the stream they lie: a 16-bit
// counter that advances every fourth sample, so that it repeats only after
// 262144 samples (5.9 s at 44100 Hz), longer than any gap a test makes.
// A lost, doubled or reordered sample breaks the pattern.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace wellenschau::test {

constexpr std::int64_t SlowCounterPeriod = std::int64_t{4} << 16;

// Sample `index` of the signal.
std::int16_t SlowCounter(std::int64_t index);

// Position in the signal (modulo the period) of the first of `samples`
// when all of them follow the signal without a gap; nothing otherwise.
std::optional<std::int64_t> SlowCounterPosition(std::span<const std::int16_t> samples);

// How far `later` lies after `earlier`, modulo the period.
std::int64_t SlowCounterDistance(std::int64_t earlier, std::int64_t later);

}  // namespace wellenschau::test
