// Hands recorded buffers to the instrument: a one-channel buffer as it
// is, a buffer of interleaved two-channel frames split into channel A
// (left) and channel B (right), in room reserved once. User-interface
// thread only; allocates nothing.
#pragma once

#include "Instrument.h"

#include <array>

namespace wellenschau {

class TBufferFeed {
public:
    explicit TBufferFeed(TInstrument& instrument) : FInstrument(instrument) {}

    // 1 or 2; with 2 the instrument's channel B is set up, with 1 dropped.
    void SetChannels(int channels);
    int Channels() const { return FChannels; }
    // Bytes the capture's buffer needs for one instrument buffer per channel.
    int CaptureBufferBytes() const { return TInstrument::BufferBytes * FChannels; }

    // Hands one recorded buffer (size in bytes) to the instrument. Two
    // channels need whole frames of 4 bytes, at most CaptureBufferBytes,
    // else ERangeError before anything changes.
    void Handle(const char* buffer, int size);

private:
    TInstrument& FInstrument;
    int FChannels = 1;
    std::array<char, TInstrument::BufferBytes> FChannelA{};
    std::array<char, TInstrument::BufferBytes> FChannelB{};
};

}  // namespace wellenschau
