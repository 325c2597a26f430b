#include "audio/SampleRing.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace wellenschau {

TSampleRing::TSampleRing(std::size_t capacityBytes)
    : FCapacity(std::bit_ceil(std::max<std::size_t>(capacityBytes, 1))),
      FBytes(std::make_unique<char[]>(FCapacity)) {}

std::size_t TSampleRing::Write(const char* bytes, std::size_t count) {
    const std::uint64_t written = FWritten.load(std::memory_order_relaxed);
    const std::uint64_t read = FRead.load(std::memory_order_acquire);
    const std::size_t copied = std::min(count, FCapacity - static_cast<std::size_t>(written - read));
    CopyIn(written, bytes, copied);
    FWritten.store(written + copied, std::memory_order_release);
    return copied;
}

std::size_t TSampleRing::Room() const {
    return FCapacity - static_cast<std::size_t>(FWritten.load(std::memory_order_relaxed) -
                                                FRead.load(std::memory_order_acquire));
}

std::size_t TSampleRing::Read(char* out, std::size_t count) {
    const std::uint64_t read = FRead.load(std::memory_order_relaxed);
    const std::uint64_t written = FWritten.load(std::memory_order_acquire);
    const std::size_t copied = std::min(count, static_cast<std::size_t>(written - read));
    CopyOut(read, out, copied);
    FRead.store(read + copied, std::memory_order_release);
    return copied;
}

std::size_t TSampleRing::Available() const {
    return static_cast<std::size_t>(FWritten.load(std::memory_order_acquire) -
                                    FRead.load(std::memory_order_relaxed));
}

void TSampleRing::CopyIn(std::uint64_t at, const char* from, std::size_t count) {
    const std::size_t start = static_cast<std::size_t>(at) & (FCapacity - 1);
    const std::size_t first = std::min(count, FCapacity - start);
    std::memcpy(FBytes.get() + start, from, first);
    std::memcpy(FBytes.get(), from + first, count - first);
}

void TSampleRing::CopyOut(std::uint64_t at, char* to, std::size_t count) const {
    const std::size_t start = static_cast<std::size_t>(at) & (FCapacity - 1);
    const std::size_t first = std::min(count, FCapacity - start);
    std::memcpy(to, FBytes.get() + start, first);
    std::memcpy(to + first, FBytes.get(), count - first);
}

}  // namespace wellenschau
