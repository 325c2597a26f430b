// The sound callback's side of a device queue: Record takes no lock and
// allocates nothing, also when it fills buffers, skips and feeds the
// recording file; the user-interface thread still gets every filled buffer
// as a posted notification, in queue order, while the two threads run at
// the same time; and once Reset has returned the callback touches none of
// the buffers.
#include "AudioTestSupport.h"
#include "support/AllocationCounter.h"
#include "support/LockCounter.h"
#include "support/PostedEvents.h"
#include "support/TempPath.h"

#include "audio/CaptureRecording.h"
#include "audio/QueuedWaveIn.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <numeric>
#include <thread>
#include <vector>

namespace wellenschau {
namespace {

using namespace std::chrono_literals;

// The receiver of a device: keeps the buffer of every Data notification
// in the order they arrive and hands each to OnData.
class TDataLog : public QObject {
public:
    std::vector<TWaveHdr*> Returned;
    std::function<void(TWaveHdr&)> OnData;

protected:
    bool event(QEvent* event) override {
        if (event->type() != WaveInEventType(TWaveInMessage::Data)) return QObject::event(event);
        TWaveHdr* header = static_cast<TWaveInNotification*>(event)->Header();
        Returned.push_back(header);
        if (OnData) OnData(*header);
        return true;
    }
};

// A queue of 16-bit mono frames and `Count` buffers of `Length` bytes.
template <std::size_t Count, std::size_t Length>
class TQueueFixture : public ::testing::Test {
protected:
    TQueueFixture() {
        for (std::size_t i = 0; i < Count; ++i) {
            Headers[i].Data = Storage[i].data();
            Headers[i].BufferLength = Length;
            Headers[i].Flags = WHDR_PREPARED;
        }
        Queue.StartRecording();
    }
    ~TQueueFixture() override {
        Queue.Reset();
        test::RunPostedEvents();
    }

    // First: the queue's wake-up needs the application's event loop.
    QCoreApplication& Application = test::TestApplication();
    TDataLog Log;
    TWaveInQueue Queue{&Log, 2};
    std::array<std::array<char, Length>, Count> Storage{};
    std::array<TWaveHdr, Count> Headers{};
};

using RecordTest = TQueueFixture<2, 8>;

TEST_F(RecordTest, FillingSkippingAndRecordingTakeNoLockAndAllocateNothing) {
    const test::TTempFolder folder;
    TCaptureRecording recording(folder.Path("take.wav"));
    Queue.SetRecording(&recording);
    for (TWaveHdr& header : Headers) ASSERT_EQ(Queue.Add(header), MMSYSERR_NOERROR);
    std::vector<char> stream(40);
    std::iota(stream.begin(), stream.end(), 0);
    const std::function<void()> record = [&] {
        Queue.Record(stream.data(), 6);        // part of buffer 0
        Queue.Record(stream.data() + 6, 10);   // the rest of 0, all of 1
        Queue.Record(stream.data() + 16, 24);  // nothing queued: three skipped
    };
    int locks = -1;
    const int allocations = test::CountAllocations([&] { locks = test::CountLocks(record); });
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(locks, 0);
    EXPECT_EQ(Queue.SkippedBuffers(), 3);

    test::RunPostedEvents();
    EXPECT_EQ(Log.Returned, (std::vector<TWaveHdr*>{&Headers[0], &Headers[1]}));
    EXPECT_EQ(Storage[1][7], 15);
    EXPECT_EQ(Headers[1].Flags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
    Queue.SetRecording(nullptr);
    recording.Flush();
    EXPECT_EQ(recording.WrittenBytes(), stream.size()) << "the file gets the skipped bytes too";
}

// Sample `index` of a counter that wraps at 16 bits; the buffer length
// (32 samples) divides the period, so each buffer starts at a multiple of 32.
std::int16_t Counter(std::uint64_t index) { return static_cast<std::int16_t>(index & 0xFFFF); }

// The samples of a full buffer follow the counter from a whole buffer
// length on.
bool WholeCounterStretch(const TWaveHdr& header) {
    const auto* samples = reinterpret_cast<const std::uint16_t*>(header.Data);
    const std::size_t count = header.BufferLength / 2;
    if (samples[0] % count != 0) return false;
    for (std::size_t i = 1; i < count; ++i)
        if (samples[i] != static_cast<std::uint16_t>(samples[0] + i)) return false;
    return true;
}

using TwoThreadTest = TQueueFixture<4, 64>;

TEST_F(TwoThreadTest, TheRecordingThreadFillsWhatTheUserInterfaceThreadQueues) {
    constexpr std::size_t WantedBuffers = 400;
    std::deque<TWaveHdr*> expected;
    int broken = 0;
    auto queue = [&](TWaveHdr& header) {
        header.Flags = WHDR_PREPARED;
        ASSERT_EQ(Queue.Add(header), MMSYSERR_NOERROR);
        expected.push_back(&header);
    };
    Log.OnData = [&](TWaveHdr& header) {
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(&header, expected.front()) << "buffers come back in queue order";
        expected.pop_front();
        // Reset returns the buffer being filled as it is.
        if (header.BytesRecorded == header.BufferLength && !WholeCounterStretch(header)) ++broken;
        if (Log.Returned.size() < WantedBuffers) queue(header);
    };
    for (TWaveHdr& header : Headers) queue(header);

    std::atomic<bool> stop{false};
    std::atomic<std::uint64_t> recorded{0};
    int threadLocks = -1;
    int threadAllocations = -1;
    const std::function<void()> recordUntilStopped = [&] {
        std::array<std::int16_t, 7> chunk{};
        for (std::uint64_t next = 0; !stop.load();) {
            for (std::int16_t& sample : chunk) sample = Counter(next++);
            Queue.Record(reinterpret_cast<const char*>(chunk.data()), sizeof chunk);
            recorded.store(next);
            std::this_thread::yield();
        }
    };
    std::thread recorder([&] {
        threadAllocations = test::CountAllocations([&] { threadLocks = test::CountLocks(recordUntilStopped); });
    });
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (Log.Returned.size() < WantedBuffers && std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    Queue.Reset();
    ASSERT_TRUE(Queue.Queued().empty());
    // The buffers Reset returned are looked at before they are marked.
    test::RunPostedEvents();
    // The thread goes on recording: after Reset it must not touch a buffer.
    for (auto& bytes : Storage) bytes.fill('\x55');
    const std::uint64_t recordedAtReset = recorded.load();
    while (recorded.load() < recordedAtReset + 1000) std::this_thread::yield();
    stop = true;
    recorder.join();

    EXPECT_EQ(Log.Returned.size(), WantedBuffers + Headers.size() - 1) << "every buffer queued came back";
    EXPECT_TRUE(expected.empty()) << "Reset returned every queued buffer";
    EXPECT_EQ(broken, 0) << "a returned buffer holds a whole stretch of the recording";
    for (const auto& bytes : Storage)
        EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](char byte) { return byte == '\x55'; }));
    EXPECT_EQ(threadLocks, 0);
    EXPECT_EQ(threadAllocations, 0);
}

}  // namespace
}  // namespace wellenschau
