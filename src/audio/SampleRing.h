// TSampleRing: a lock-free ring of bytes between exactly one producer
// thread and one consumer thread. The producer (a sound callback) never
// waits and never allocates: what does not fit is refused, and the caller
// decides what that means. The capacity is fixed at construction.
//
// Write, Room: the producer's thread. Read, Available: the consumer's.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace wellenschau {

class TSampleRing {
public:
    // `capacityBytes` is rounded up to a power of two.
    explicit TSampleRing(std::size_t capacityBytes);
    TSampleRing(const TSampleRing&) = delete;
    TSampleRing& operator=(const TSampleRing&) = delete;

    std::size_t Capacity() const { return FCapacity; }
    // Copies as many of `count` bytes as fit and returns that number.
    std::size_t Write(const char* bytes, std::size_t count);
    // Bytes the producer can write now.
    std::size_t Room() const;
    // Copies up to `count` of the oldest bytes out and returns that number.
    std::size_t Read(char* out, std::size_t count);
    // Bytes the consumer can read now.
    std::size_t Available() const;

private:
    // Copies between the ring at position `at` (counted from the start of
    // the stream) and `outside`, wrapping at the end of the storage.
    void CopyIn(std::uint64_t at, const char* from, std::size_t count);
    void CopyOut(std::uint64_t at, char* to, std::size_t count) const;

    std::size_t FCapacity;
    std::unique_ptr<char[]> FBytes;
    // Totals since construction; each is written by one side only. Apart
    // from each other so that the two threads do not share a cache line.
    alignas(64) std::atomic<std::uint64_t> FWritten{0};
    alignas(64) std::atomic<std::uint64_t> FRead{0};
};

}  // namespace wellenschau
