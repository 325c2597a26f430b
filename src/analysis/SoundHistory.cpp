#include "SoundHistory.h"

#include "core/Errors.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace wellenschau {

TSoundHistory::TSoundHistory(int capacity, int channels, int rowCount)
    : FCapacity(capacity), FChannels(channels), FRowCount(rowCount) {
    if (capacity < 1 || (channels != 1 && channels != 2) || rowCount < 1) throw ERangeError();
    const auto buffers = static_cast<std::size_t>(capacity);
    FSamples.reset(new std::int16_t[buffers * static_cast<std::size_t>(channels) * BufferSamples]);
    FColumns.reset(new std::uint8_t[buffers * static_cast<std::size_t>(rowCount)]);
    FLengths.reset(new std::uint16_t[buffers]);
}

int TSoundHistory::CapacityFor(double minutes, double sampleRate) {
    const double buffers = std::ceil(minutes * 60.0 * sampleRate / BufferSamples);
    return std::max(1, static_cast<int>(buffers));
}

void TSoundHistory::Add(const void* channelA, const void* channelB, int n, const std::uint8_t* column) {
    if (n < 1 || n > BufferSamples || (FChannels == 2 && channelB == nullptr)) throw ERangeError();
    const std::size_t slot = Slot(FEnd);
    std::int16_t* samples = FSamples.get() + slot * static_cast<std::size_t>(FChannels) * BufferSamples;
    const std::size_t bytes = static_cast<std::size_t>(n) * sizeof(std::int16_t);
    std::memcpy(samples, channelA, bytes);
    if (FChannels == 2) std::memcpy(samples + BufferSamples, channelB, bytes);
    std::copy_n(column, FRowCount, FColumns.get() + slot * static_cast<std::size_t>(FRowCount));
    FLengths[slot] = static_cast<std::uint16_t>(n);
    ++FEnd;
    FCount = std::min(FCount + 1, FCapacity);
}

void TSoundHistory::Clear() { FCount = 0; }

std::span<const std::int16_t> TSoundHistory::Samples(std::int64_t number, int channel) const {
    CheckKept(number);
    if (channel < 0 || channel >= FChannels) throw ERangeError();
    const std::size_t slot = Slot(number);
    const std::int16_t* samples =
        FSamples.get() + (slot * static_cast<std::size_t>(FChannels) + static_cast<std::size_t>(channel)) * BufferSamples;
    return {samples, FLengths[slot]};
}

std::span<const std::uint8_t> TSoundHistory::Column(std::int64_t number) const {
    CheckKept(number);
    return {FColumns.get() + Slot(number) * static_cast<std::size_t>(FRowCount), static_cast<std::size_t>(FRowCount)};
}

std::size_t TSoundHistory::ReservedBytes() const {
    const auto buffers = static_cast<std::size_t>(FCapacity);
    return buffers * (static_cast<std::size_t>(FChannels) * BufferSamples * sizeof(std::int16_t) +
                      static_cast<std::size_t>(FRowCount) + sizeof(std::uint16_t));
}

std::size_t TSoundHistory::Slot(std::int64_t number) const {
    return static_cast<std::size_t>(number % FCapacity);
}

void TSoundHistory::CheckKept(std::int64_t number) const {
    if (!Kept(number)) throw ERangeError();
}

}  // namespace wellenschau
