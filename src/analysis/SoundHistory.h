// The kept history of a recording: the samples of the last minutes, one or
// two channels, and for every kept buffer its spectrogram column (the
// colour index of each spectrum row, as the spectrogram picture shows it).
// Buffers are numbered from 0 since the history began, so a number stays
// valid while the oldest buffers are dropped. The room for the whole
// length is reserved once; pages are touched only as they fill, so the
// memory used grows with what is kept. Adding a buffer copies and
// allocates nothing. User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

namespace wellenschau {

class TSoundHistory {
public:
    // Samples of one kept buffer per channel, the most a buffer may have.
    static constexpr int BufferSamples = 4096;

    // Room for `capacity` buffers (at least 1) of `channels` channels (1 or
    // 2) and `rowCount` spectrum rows; else ERangeError.
    TSoundHistory(int capacity, int channels, int rowCount);

    // Buffers of BufferSamples samples that hold `minutes` of sound at
    // `sampleRate`, rounded up; at least 1.
    static int CapacityFor(double minutes, double sampleRate);

    // Keeps one buffer of n 16-bit samples per channel (1 .. BufferSamples;
    // channelB null for one channel, required for two; at any alignment, so
    // a recorded buffer's bytes go straight in) and its column of rowCount
    // colour indices, dropping the oldest buffer when full. ERangeError
    // before anything changes on a wrong n or a missing channel B.
    void Add(const void* channelA, const void* channelB, int n, const std::uint8_t* column);
    // Forgets every kept buffer; the numbering goes on.
    void Clear();

    int Capacity() const { return FCapacity; }
    int Channels() const { return FChannels; }
    int RowCount() const { return FRowCount; }
    // Number of the oldest kept buffer and one past the newest: a buffer
    // `number` is kept when First() <= number < End().
    std::int64_t First() const { return FEnd - FCount; }
    std::int64_t End() const { return FEnd; }
    int Count() const { return FCount; }
    bool Kept(std::int64_t number) const { return number >= First() && number < FEnd; }

    // A kept buffer's samples of channel 0 (A) or 1 (B), its n samples, and
    // its column; ERangeError for a buffer not kept or a channel not there.
    std::span<const std::int16_t> Samples(std::int64_t number, int channel) const;
    std::span<const std::uint8_t> Column(std::int64_t number) const;

    // Bytes reserved for samples, columns and lengths at full capacity.
    std::size_t ReservedBytes() const;

private:
    std::size_t Slot(std::int64_t number) const;
    void CheckKept(std::int64_t number) const;

    int FCapacity;
    int FChannels;
    int FRowCount;
    // Created without initialising, so that untouched pages stay unused.
    std::unique_ptr<std::int16_t[]> FSamples;  // capacity x channels x BufferSamples
    std::unique_ptr<std::uint8_t[]> FColumns;  // capacity x rowCount
    std::unique_ptr<std::uint16_t[]> FLengths; // samples per channel of each buffer
    std::int64_t FEnd = 0;
    int FCount = 0;
};

}  // namespace wellenschau
