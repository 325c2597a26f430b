// TSampleTap: the newest samples of a capture, for a display that follows
// the sound more often than whole buffers come back. The capture thread
// writes every frame it records; the user-interface thread copies the
// newest frames whenever it likes. The writer never waits, allocates
// nothing and takes no lock: it announces how far it is about to write,
// stores the samples (relaxed atomics, so that a read racing with it is
// well defined) and then publishes the count of frames (release). A reader
// copies and then checks the announcement: when the writer may have
// overwritten part of the copy meanwhile, the read is refused and the
// reader tries again next time.
//
// Write: the capture thread only. Written, Latest: any other thread.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace wellenschau {

class TSampleTap {
public:
    // Frames kept: 0.37 s at 44100 Hz, four buffers of 4096.
    static constexpr std::size_t Capacity = 16384;
    // Channels kept per frame; further channels of a frame are left out.
    static constexpr int MostChannels = 2;

    // Stores the whole frames of `count` bytes of `channels` interleaved
    // little-endian 16-bit samples each.
    void Write(const char* bytes, std::size_t count, int channels);
    // Frames written since construction.
    std::uint64_t Written() const { return FWritten.load(std::memory_order_acquire); }
    // Channels of the frames written last.
    int Channels() const { return FChannels.load(std::memory_order_relaxed); }
    // Copies the newest `frames` samples of `channel` (0 or 1) into out,
    // oldest first, ending at frame `end` (exclusive, counted as Written);
    // false when fewer were written, when `frames` exceeds what the tap
    // can hold safely, or when the writer overwrote them during the copy.
    bool Latest(int channel, std::int16_t* out, std::size_t frames, std::uint64_t end) const;

private:
    std::array<std::atomic<std::int16_t>, Capacity * MostChannels> FSamples{};
    std::atomic<int> FChannels{1};
    // Frames the writer has begun to write (announced before the samples)
    // and has finished (published after them).
    alignas(64) std::atomic<std::uint64_t> FWriting{0};
    std::atomic<std::uint64_t> FWritten{0};
};

}  // namespace wellenschau
