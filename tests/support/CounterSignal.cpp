#include "support/CounterSignal.h"

namespace wellenschau::test {

std::int16_t SlowCounter(std::int64_t index) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(index >> 2));
}

std::optional<std::int64_t> SlowCounterPosition(std::span<const std::int16_t> samples) {
    if (samples.size() < 4) return std::nullopt;
    // The first change of value tells the phase within the group of four.
    std::size_t change = 1;
    while (change < 4 && samples[change] == samples[0]) ++change;
    const std::int64_t first =
        4 * static_cast<std::int64_t>(static_cast<std::uint16_t>(samples[0])) + static_cast<std::int64_t>(4 - change) % 4;
    for (std::size_t k = 0; k < samples.size(); ++k)
        if (samples[k] != SlowCounter(first + static_cast<std::int64_t>(k))) return std::nullopt;
    return first;
}

std::int64_t SlowCounterDistance(std::int64_t earlier, std::int64_t later) {
    return ((later - earlier) % SlowCounterPeriod + SlowCounterPeriod) % SlowCounterPeriod;
}

}  // namespace wellenschau::test
