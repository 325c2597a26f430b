#include "BufferFeed.h"

#include "core/Errors.h"

#include <cstring>

namespace wellenschau {

namespace {

constexpr int SampleBytes = 2;

}  // namespace

void TBufferFeed::SetChannels(int channels) {
    if (channels < 1 || channels > 2) throw ERangeError();
    FChannels = channels;
    FInstrument.SetTwoChannels(channels == 2);
}

void TBufferFeed::Handle(const char* buffer, int size) {
    if (FChannels == 1) {
        FInstrument.HandleBuffer(buffer, size);
        return;
    }
    if (size < 0 || size % (2 * SampleBytes) != 0 || size > CaptureBufferBytes()) throw ERangeError();
    const int frames = size / (2 * SampleBytes);
    for (int frame = 0; frame < frames; ++frame) {
        const char* left = buffer + 2 * SampleBytes * frame;
        std::memcpy(FChannelA.data() + SampleBytes * frame, left, SampleBytes);
        std::memcpy(FChannelB.data() + SampleBytes * frame, left + SampleBytes, SampleBytes);
    }
    FInstrument.HandleBuffer(FChannelA.data(), frames * SampleBytes, FChannelB.data());
}

}  // namespace wellenschau
