// The real audio path: the component records from PortAudio's default input,
// which a private PulseAudio server feeds from a FIFO. These tests need
// pulseaudio installed; they fail, never skip, when it cannot be started.
#include "AudioTestSupport.h"
#include "support/CounterSignal.h"
#include "support/PulseAudioServer.h"
#include "support/TempPath.h"

#include "audio/AudioIn.h"
#include "audio/CaptureRecording.h"
#include "audio/PortAudioWaveIn.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace wellenschau {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int BufferBytes = 8192;
constexpr int WantedBuffers = 20;

class PortAudioRecordingTest : public ::testing::Test {
protected:
    // One server for all tests of the process: PortAudio reads its
    // configuration once. A server that does not come up fails the test.
    void SetUp() override {
        if (!Server) {
            ASSERT_NO_THROW(Server = std::make_unique<test::TPulseAudioServer>());
        }
    }
    static void TearDownTestSuite() { Server.reset(); }

    PortAudioRecordingTest() {
        AudioIn1 = new TAudioIn(&Owner);
        AudioIn1->SetNumBuffers(2);
        AudioIn1->SetWaveDevice(0);
        AudioIn1->SetBufferSize(BufferBytes);
        AudioIn1->SetOnStop([this](QObject*) {
            ++Stops;
            Loop.quit();
        });
        // Like the main window's handler: let the loop run first.
        AudioIn1->SetOnBufferFilled([this](char* Buffer, int& Size) {
            QCoreApplication::processEvents();
            Check(reinterpret_cast<const std::uint16_t*>(Buffer), Size);
            if (Delivered >= WantedBuffers) Loop.quit();
            return true;
        });
    }

    bool StartClick() {
        AudioIn1->SetFrameRate(44100);
        return AudioIn1->Start(AudioIn1);
    }

    // Every sample must follow its predecessor, across buffer boundaries too.
    void Check(const std::uint16_t* samples, int size) {
        ++Delivered;
        if (size != BufferBytes) ++WrongSizes;
        for (int i = 0; i < size / 2; ++i) {
            if (Previous && samples[i] != static_cast<std::uint16_t>(*Previous + 1)) ++Discontinuities;
            Previous = samples[i];
        }
    }

    // Runs the event loop until it is quit or `limit` has passed.
    void RunLoop(std::chrono::milliseconds limit) {
        QTimer::singleShot(limit, &Loop, &QEventLoop::quit);
        Loop.exec();
    }

    static std::unique_ptr<test::TPulseAudioServer> Server;
    test::TTestApplication& Application = test::TestApplication();
    QObject Owner;
    TAudioIn* AudioIn1 = nullptr;
    QEventLoop Loop;
    int Delivered = 0;
    int WrongSizes = 0;
    int Discontinuities = 0;
    int Stops = 0;
    std::optional<std::uint16_t> Previous;
};

std::unique_ptr<test::TPulseAudioServer> PortAudioRecordingTest::Server;

TEST_F(PortAudioRecordingTest, RecordsACounterWithoutLosingASample) {
    // A 16-bit counter: ..., 32767, -32768, ...
    test::TSampleFeeder feeder(Server->FifoPath(), [](std::int64_t i) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(i)); });
    ASSERT_TRUE(StartClick()) << AudioIn1->ErrorMessage();
    RunLoop(30s);
    ASSERT_GE(Delivered, WantedBuffers) << "buffers recorded in 30 s";
    EXPECT_EQ(Discontinuities, 0);
    EXPECT_EQ(WrongSizes, 0);

    EXPECT_EQ(AudioIn1->QueuedCount(), 2);
    AudioIn1->StopNow();
    const int deliveredAtStop = Delivered;
    EXPECT_FALSE(AudioIn1->DeviceOpen());
    RunLoop(10s);
    EXPECT_EQ(Stops, 1);
    EXPECT_EQ(Delivered, deliveredAtStop) << "late buffers are not delivered";
    EXPECT_EQ(AudioIn1->QueuedCount(), 0) << "both late notifications were handled";
    EXPECT_FALSE(AudioIn1->InProgress());
    EXPECT_FALSE(AudioIn1->Accepting());
}

TEST_F(PortAudioRecordingTest, AStalledHandlerSkipsBuffersWhileTheRecordingFileKeepsEverySample) {
    test::TSampleFeeder feeder(Server->FifoPath(), test::SlowCounter);
    const test::TTempFolder folder;
    TCaptureRecording recording(folder.Path("stalled.wav"));
    ASSERT_TRUE(AudioIn1->SetRecording(&recording));
    // Where each buffer the handler got starts in the signal; the third
    // one blocks the user-interface thread for 2 s.
    std::vector<std::int64_t> starts;
    AudioIn1->SetOnBufferFilled([&](char* Buffer, int& Size) {
        QCoreApplication::processEvents();
        const auto position = test::SlowCounterPosition({reinterpret_cast<const std::int16_t*>(Buffer),
                                                         static_cast<std::size_t>(Size / 2)});
        if (!position) ++Discontinuities;
        starts.push_back(position.value_or(-1));
        if (starts.size() == 3) std::this_thread::sleep_for(2s);
        if (starts.size() >= 30) Loop.quit();
        return true;
    });
    ASSERT_TRUE(StartClick()) << AudioIn1->ErrorMessage();
    RunLoop(30s);
    AudioIn1->StopNow();
    AudioIn1->SetRecording(nullptr);
    ASSERT_GE(starts.size(), 30u);
    ASSERT_EQ(Discontinuities, 0);

    // The display lost whole buffers, as many as the component counted.
    int skipped = 0;
    for (std::size_t i = 1; i < starts.size(); ++i) {
        const std::int64_t distance = test::SlowCounterDistance(starts[i - 1], starts[i]);
        ASSERT_EQ(distance % 4096, 0) << i;
        skipped += static_cast<int>(distance / 4096) - 1;
    }
    EXPECT_EQ(AudioIn1->SkippedBuffers(), skipped);
    RecordProperty("SkippedBuffers", skipped);
    EXPECT_GE(skipped, 15) << "a 2 s stall is about 21 buffers, two of them queued";

    // The file holds the signal without a gap, the stall included.
    recording.Finish();
    EXPECT_TRUE(recording.Failure().empty()) << recording.Failure();
    EXPECT_EQ(recording.LostBytes(), 0u);
    const std::vector<std::int16_t> written = test::ReadSamples(folder.Path("stalled.wav"));
    EXPECT_GE(written.size(), 32u * 4096);
    EXPECT_TRUE(test::SlowCounterPosition(written).has_value());
}

TEST_F(PortAudioRecordingTest, StopsAtOnceWhenNoDataFlows) {
    ASSERT_TRUE(StartClick()) << AudioIn1->ErrorMessage();
    RunLoop(300ms);
    EXPECT_EQ(Delivered, 0);
    const auto before = Clock::now();
    AudioIn1->StopNow();
    // Not a speed measurement: a stop that waits for data never returns.
    EXPECT_LT(Clock::now() - before, 1s);
    RunLoop(10s);
    EXPECT_EQ(Stops, 1);
    EXPECT_FALSE(AudioIn1->DeviceOpen());
    EXPECT_EQ(AudioIn1->QueuedCount(), 0);
}

TEST_F(PortAudioRecordingTest, ADeviceThatStopsDeliveringEndsTheRecordingWithin1s) {
    auto feeder = std::make_unique<test::TSampleFeeder>(Server->FifoPath(), test::SlowCounter);
    ASSERT_TRUE(StartClick()) << AudioIn1->ErrorMessage();
    RunLoop(1s);
    ASSERT_GT(Delivered, 3);
    feeder.reset();
    const auto silent = Clock::now();
    RunLoop(5s);
    EXPECT_LT(Clock::now() - silent, 1s) << "the stop of the device ended the loop";
    EXPECT_EQ(Stops, 1);
    EXPECT_FALSE(AudioIn1->DeviceOpen());
    EXPECT_EQ(AudioIn1->LostMessage(), AudioIn1->ErrorMessage());
    EXPECT_THAT(AudioIn1->LostMessage(), ::testing::HasSubstr("keine Daten"));
}

TEST_F(PortAudioRecordingTest, ListsTheDefaultInputAsDeviceZero) {
    const auto devices = ListPortAudioInputDevices();
    ASSERT_GE(devices.size(), 2u);
    EXPECT_EQ(devices[0].Number, 0);
    EXPECT_TRUE(devices[0].IsDefault);
    for (std::size_t i = 1; i < devices.size(); ++i) EXPECT_EQ(devices[i].Number, static_cast<int>(i));
}

}  // namespace
}  // namespace wellenschau
