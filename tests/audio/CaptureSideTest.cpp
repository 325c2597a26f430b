// The capture side of a recording: the lock-free ring between the sound
// callback and the writer, the queue that counts the buffers a late
// receiver skipped, and the recording file that gets every byte.
#include "AudioTestSupport.h"
#include "support/CounterSignal.h"
#include "support/TempPath.h"

#include "audio/CaptureRecording.h"
#include "audio/QueuedWaveIn.h"
#include "audio/SampleRing.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <filesystem>
#include <chrono>
#include <numeric>
#include <thread>
#include <vector>

namespace wellenschau {
namespace {

std::vector<char> Bytes(std::size_t count, char first) {
    std::vector<char> bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

TEST(SampleRingTest, RefusesWhatDoesNotFitAndWrapsAround) {
    TSampleRing ring(10);  // rounded up to 16
    EXPECT_EQ(ring.Capacity(), 16u);
    const std::vector<char> first = Bytes(12, 1);
    EXPECT_EQ(ring.Write(first.data(), first.size()), 12u);
    EXPECT_EQ(ring.Write(first.data(), first.size()), 4u) << "only the room that is left";
    EXPECT_EQ(ring.Room(), 0u);
    std::array<char, 10> out{};
    EXPECT_EQ(ring.Read(out.data(), out.size()), 10u);
    EXPECT_EQ(out[9], 10);
    // The next write crosses the end of the storage.
    const std::vector<char> second = Bytes(10, 50);
    EXPECT_EQ(ring.Write(second.data(), second.size()), 10u);
    std::array<char, 16> rest{};
    EXPECT_EQ(ring.Read(rest.data(), rest.size()), 16u);
    const std::array<char, 16> expected = {11, 12, 1, 2, 3, 4, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59};
    EXPECT_EQ(rest, expected);
    EXPECT_EQ(ring.Available(), 0u);
}

// A producer and a consumer thread at full speed: every byte arrives once,
// in order (the sanitizer build watches the two threads).
TEST(SampleRingTest, TwoThreadsPassEveryByteInOrder) {
    TSampleRing ring(256);
    constexpr int Total = 1 << 16;
    std::thread producer([&ring] {
        // Pieces of 7 bytes, so that writes straddle the end of the storage.
        std::array<char, 7> piece{};
        for (int sent = 0; sent < Total;) {
            for (int i = 0; i < 7; ++i) piece[i] = static_cast<char>((sent + i) % 251);
            const std::size_t wanted = std::min<std::size_t>(piece.size(), Total - sent);
            const std::size_t taken = ring.Write(piece.data(), wanted);
            if (taken == 0) std::this_thread::yield();
            sent += static_cast<int>(taken);
        }
    });
    int received = 0;
    int wrong = 0;
    std::array<char, 64> chunk{};
    while (received < Total) {
        const std::size_t count = ring.Read(chunk.data(), chunk.size());
        if (count == 0) std::this_thread::yield();
        for (std::size_t i = 0; i < count; ++i, ++received)
            if (chunk[i] != static_cast<char>(received % 251)) ++wrong;
    }
    producer.join();
    EXPECT_EQ(wrong, 0);
}

// The queue of one device: buffers of 8 bytes.
class WaveInQueueTest : public ::testing::Test {
protected:
    WaveInQueueTest() {
        for (std::size_t i = 0; i < Headers.size(); ++i) {
            Headers[i].Data = Storage[i].data();
            Headers[i].BufferLength = 8;
            Headers[i].Flags = WHDR_PREPARED;
        }
        Queue.StartRecording();
    }
    ~WaveInQueueTest() override { test::RunPostedEvents(); }

    // First: the queue's wake-up needs the application's event loop.
    QCoreApplication& Application = test::TestApplication();
    QObject Receiver;
    TWaveInQueue Queue{&Receiver, 2};
    std::array<std::array<char, 8>, 2> Storage{};
    std::array<TWaveHdr, 2> Headers{};
};

TEST_F(WaveInQueueTest, WithNoBufferQueuedWholeBufferLengthsAreSkipped) {
    const std::vector<char> stream = Bytes(40, 0);
    ASSERT_EQ(Queue.Add(Headers[0]), MMSYSERR_NOERROR);
    Queue.Record(stream.data(), 13);  // fills buffer 0, skips from byte 8 on
    EXPECT_EQ(Queue.SkippedBuffers(), 1);
    ASSERT_EQ(Queue.Add(Headers[1]), MMSYSERR_NOERROR);
    Queue.Record(stream.data() + 13, 27);  // ends the skipped stretch at 16, fills 16 … 23, skips 24 … 31, 32 …
    EXPECT_EQ(Queue.SkippedBuffers(), 3);
    EXPECT_EQ(Storage[0][7], 7);
    EXPECT_EQ(Storage[1][0], 16) << "the next buffer starts a whole buffer length later";
    EXPECT_EQ(Storage[1][7], 23);
    EXPECT_EQ(Queue.RecordedBytes(), 40u);
}

TEST_F(WaveInQueueTest, BeforeTheFirstBufferNothingCountsAsSkipped) {
    const std::vector<char> stream = Bytes(20, 0);
    Queue.Record(stream.data(), stream.size());
    EXPECT_EQ(Queue.SkippedBuffers(), 0);
}

TEST_F(WaveInQueueTest, TheRecordingFileGetsEveryByteSkippedOrNot) {
    const test::TTempFolder folder;
    std::vector<std::int16_t> signal(5000);
    for (std::size_t i = 0; i < signal.size(); ++i) signal[i] = test::SlowCounter(static_cast<std::int64_t>(i));
    {
        TCaptureRecording recording(folder.Path("all.wav"));
        Queue.SetRecording(&recording);
        ASSERT_EQ(Queue.Add(Headers[0]), MMSYSERR_NOERROR);
        Queue.Record(reinterpret_cast<const char*>(signal.data()), signal.size() * 2);
        recording.Flush();
        EXPECT_EQ(recording.WrittenBytes(), signal.size() * 2) << "a flush writes what is less than a block";
        Queue.SetRecording(nullptr);
    }
    EXPECT_EQ(test::ReadSamples(folder.Path("all.wav")), signal);
}

// A disk that stops answering (the writer's hook blocks it) holds neither
// a flush nor the end of a recording for longer than their limits, and the
// recording counts what it could not write; once the disk answers again,
// the writer left on its own still writes what it held.
TEST(CaptureRecordingTest, AStalledDiskHoldsFlushAndFinishOnlyForTheirLimits) {
    using namespace std::chrono_literals;
    const test::TTempFolder folder;
    const std::string path = folder.Path("stalled.wav");
    const std::vector<char> bytes = Bytes(64 * 1024, 0);
    {
        TCaptureRecording recording(path);
        recording.StallWriter(1500ms);
        recording.Capture(bytes.data(), bytes.size());
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(recording.Flush());
        EXPECT_FALSE(recording.Failed()) << "a slow flush is no failure";
        recording.Finish();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << "a pause and a close together";
        EXPECT_TRUE(recording.Failed());
        EXPECT_EQ(recording.Failure(),
                  "Die Aufnahme in „" + path + "“ wurde angehalten: Der Datenträger antwortet nicht.");
        EXPECT_EQ(recording.UnwrittenBytes(), bytes.size());
        EXPECT_EQ(recording.LostBytes(), 0u) << "the ring did not overflow";
    }
    // The disk answers again: the writer ends with every byte in the file.
    std::uintmax_t size = 0;
    for (int round = 0; round < 300 && size < bytes.size() + 44; ++round) {
        std::this_thread::sleep_for(10ms);
        size = std::filesystem::file_size(path);
    }
    EXPECT_GE(size, bytes.size() + 44) << "every captured byte and the header";
}

// After a failed write the capture side takes nothing more: what it offers
// counts as unwritten, not as lost to a full ring.
TEST(CaptureRecordingTest, AfterAFailedWriteNothingCountsAsLost) {
    using namespace std::chrono_literals;
    const test::TTempFolder folder;
    // A file-size limit just past the header stands in for a full disk.
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{1000, before.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    TCaptureRecording recording(folder.Path("full.wav"));
    const std::vector<char> bytes = Bytes(8192, 0);
    recording.Capture(bytes.data(), bytes.size());
    for (int round = 0; round < 200 && !recording.Failed(); ++round) std::this_thread::sleep_for(10ms);
    ASSERT_TRUE(recording.Failed());
    recording.Capture(bytes.data(), bytes.size());
    recording.CaptureAll(bytes.data(), bytes.size());
    recording.Finish();
    ::setrlimit(RLIMIT_FSIZE, &before);
    ::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(recording.LostBytes(), 0u);
    EXPECT_EQ(recording.UnwrittenBytes(), 3 * bytes.size());
    EXPECT_EQ(recording.WrittenBytes(), 0u);
}

}  // namespace
}  // namespace wellenschau
