#include "SampleTap.h"

#include <algorithm>

namespace wellenschau {

namespace {

std::int16_t LittleEndianSample(const char* bytes) {
    const auto low = static_cast<std::uint8_t>(bytes[0]);
    const auto high = static_cast<std::uint8_t>(bytes[1]);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | high << 8));
}

// Room the writer may fill during a read before it reaches the frames
// being copied: a reader copies at most this much less than the capacity.
constexpr std::size_t WriterMargin = 4096;

}  // namespace

void TSampleTap::Write(const char* bytes, std::size_t count, int channels) {
    const std::size_t frameBytes = 2 * static_cast<std::size_t>(channels);
    const std::size_t frames = count / frameBytes;
    const int kept = std::min(channels, MostChannels);
    FChannels.store(kept, std::memory_order_relaxed);
    std::uint64_t written = FWritten.load(std::memory_order_relaxed);
    FWriting.store(written + frames, std::memory_order_relaxed);
    // A reader that sees any of the samples below sees the announcement.
    std::atomic_thread_fence(std::memory_order_release);
    for (std::size_t f = 0; f < frames; ++f, ++written) {
        const std::size_t slot = written % Capacity * MostChannels;
        for (int c = 0; c < kept; ++c)
            FSamples[slot + static_cast<std::size_t>(c)].store(LittleEndianSample(bytes + f * frameBytes + 2 * c),
                                                               std::memory_order_relaxed);
    }
    FWritten.store(written, std::memory_order_release);
}

bool TSampleTap::Latest(int channel, std::int16_t* out, std::size_t frames, std::uint64_t end) const {
    if (frames > Capacity - WriterMargin || end < frames || end > Written()) return false;
    const std::uint64_t first = end - frames;
    for (std::size_t i = 0; i < frames; ++i)
        out[i] = FSamples[(first + i) % Capacity * MostChannels + static_cast<std::size_t>(channel)].load(
            std::memory_order_relaxed);
    // The writer reached the copied frames only if it announced writing
    // a whole capacity beyond the first of them.
    std::atomic_thread_fence(std::memory_order_acquire);
    return FWriting.load(std::memory_order_relaxed) - first <= Capacity;
}

}  // namespace wellenschau
