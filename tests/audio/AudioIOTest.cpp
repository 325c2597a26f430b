// Format, properties and memory of the audio component, without a device.
#include "AudioTestSupport.h"

#include "audio/AudioIn.h"
#include "audio/SimulatedWaveIn.h"
#include "core/Errors.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>

namespace wellenschau {
namespace {

using test::TFailingGlobalMemory;

class AudioIOTest : public ::testing::Test {
protected:
    AudioIOTest() { test::TestApplication(); }

    std::unique_ptr<TAudioIn> Create() { return std::make_unique<TAudioIn>(nullptr, Device, Memory); }

    TSimulatedWaveIn Device;
    TFailingGlobalMemory Memory;
};

TEST_F(AudioIOTest, CreationGivesTheInitialValuesAndAllMemory) {
    auto audio = Create();
    EXPECT_EQ(audio->BufferSize(), 8192);
    EXPECT_EQ(audio->NumBuffers(), 4);
    EXPECT_EQ(audio->FrameRate(), 22050);
    EXPECT_FALSE(audio->Stereo());
    EXPECT_EQ(audio->Quantization(), 16);
    EXPECT_EQ(audio->WaveDevice(), -1);
    EXPECT_EQ(audio->ErrorMessage(), "");
    EXPECT_FALSE(audio->DeviceOpen());
    EXPECT_EQ(audio->WaveFormat().FormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(audio->WaveFormat().BlockAlign, 2);
    EXPECT_EQ(audio->WaveFormat().AvgBytesPerSec, 44100u);
    EXPECT_EQ(audio->WaveFormat().ExtraSize, 0);
    // Four headers and four buffers, locked for their whole life.
    EXPECT_EQ(Memory.LiveBlocks(), 8);
    EXPECT_EQ(Memory.LockedBlocks(), 8);
    audio.reset();
    EXPECT_EQ(Memory.LiveBlocks(), 0);
    EXPECT_EQ(Memory.LockedBlocks(), 0);
}

TEST_F(AudioIOTest, BufferSizeIsAtLeast512AndWholeFrames) {
    auto audio = Create();
    audio->SetBufferSize(100);
    EXPECT_EQ(audio->BufferSize(), 512);
    audio->SetBufferSize(1001);
    EXPECT_EQ(audio->BufferSize(), 1000);
    audio->SetStereo(true);
    EXPECT_EQ(audio->BufferSize(), 1000);
    audio->SetStereo(false);
    audio->SetQuantization(8);
    EXPECT_EQ(audio->BufferSize(), 1001);
}

TEST_F(AudioIOTest, WritingBufferSizeAllocatesTheBuffersAgain) {
    auto audio = Create();
    audio->SetNumBuffers(2);
    const int before = Memory.Allocations();
    audio->SetBufferSize(2000);
    EXPECT_EQ(Memory.Allocations() - before, 2);
    EXPECT_EQ(Memory.LiveBlocks(), 4 + 2);
    audio->SetNumBuffers(9);
    EXPECT_EQ(audio->NumBuffers(), 4);
    audio->SetNumBuffers(1);
    EXPECT_EQ(audio->NumBuffers(), 2);
    EXPECT_EQ(Memory.Allocations() - before, 2) << "NumBuffers allocates nothing";
}

TEST_F(AudioIOTest, QuantizationIsEightOrSixteenBits) {
    auto audio = Create();
    audio->SetQuantization(12);
    EXPECT_EQ(audio->Quantization(), 16);
    audio->SetQuantization(0);
    EXPECT_EQ(audio->Quantization(), 8);
    audio->SetQuantization(9);
    EXPECT_EQ(audio->Quantization(), 16);
    audio->SetQuantization(8);
    EXPECT_EQ(audio->Quantization(), 8);
    EXPECT_EQ(audio->WaveFormat().BlockAlign, 1);
}

TEST_F(AudioIOTest, StereoDoublesTheBlockAlignment) {
    auto audio = Create();
    audio->SetFrameRate(44100);
    audio->SetStereo(true);
    EXPECT_TRUE(audio->Stereo());
    EXPECT_EQ(audio->WaveFormat().Channels, 2);
    EXPECT_EQ(audio->WaveFormat().BlockAlign, 4);
    EXPECT_EQ(audio->WaveFormat().AvgBytesPerSec, 176400u);
}

TEST_F(AudioIOTest, InvalidFrameRatesChangeNothing) {
    auto audio = Create();
    audio->SetFrameRate(44100);
    try {
        audio->SetFrameRate(-1);
        FAIL();
    } catch (const ERangeError& error) {
        EXPECT_STREQ(error.what(), "Fehler bei Bereichsprüfung");
    }
    EXPECT_EQ(audio->FrameRate(), 44100);
    // 4 bytes per frame times 2^31 - 1 does not fit the 32-bit byte rate.
    audio->SetStereo(true);
    EXPECT_THROW(audio->SetFrameRate(std::numeric_limits<int>::max()), EIntOverflow);
    EXPECT_EQ(audio->FrameRate(), 44100);
    EXPECT_EQ(audio->WaveFormat().AvgBytesPerSec, 176400u);
}

struct TAllocationFailure {
    bool Lock;      // the lock fails rather than the allocation
    int Nth;        // which call fails
    bool Headers;   // during creation (headers) or a BufferSize write (buffers)
    const char* Message;
};

class AudioIOAllocationFailureTest : public AudioIOTest, public ::testing::WithParamInterface<TAllocationFailure> {};

TEST_P(AudioIOAllocationFailureTest, ReleasesEverySlotAndLeavesItsText) {
    const TAllocationFailure failure = GetParam();
    std::unique_ptr<TAudioIn> audio;
    if (failure.Headers) {
        failure.Lock ? Memory.FailLock(failure.Nth) : Memory.FailAllocation(failure.Nth);
        audio = Create();
        EXPECT_EQ(Memory.LiveBlocks(), 4) << "only the four buffers remain";
    } else {
        audio = Create();
        failure.Lock ? Memory.FailLock(failure.Nth) : Memory.FailAllocation(failure.Nth);
        audio->SetBufferSize(4096);
        EXPECT_EQ(Memory.LiveBlocks(), 4) << "only the four headers remain";
        EXPECT_EQ(audio->BufferSize(), 4096);
    }
    EXPECT_EQ(audio->ErrorMessage(), failure.Message);
    EXPECT_EQ(Memory.LockedBlocks(), Memory.LiveBlocks());
    audio.reset();
    EXPECT_EQ(Memory.LiveBlocks(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    AllFourTexts, AudioIOAllocationFailureTest,
    ::testing::Values(TAllocationFailure{false, 3, true, "Error allocating wave header memory"},
                      TAllocationFailure{true, 2, true, "Could not lock header memory for recording"},
                      TAllocationFailure{false, 4, false, "Error allocating wave buffer memory"},
                      TAllocationFailure{true, 1, false, "Error Locking wave buffer memory"}));

}  // namespace
}  // namespace wellenschau
