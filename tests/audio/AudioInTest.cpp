// Recording with the audio component on a simulated device: the road of a
// buffer, stopping, draining, failures and handlers that run the event loop.
#include "AudioTestSupport.h"

#include "audio/AudioIn.h"
#include "audio/CallBackWinIn.h"
#include "audio/SimulatedWaveIn.h"
#include "core/Errors.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <stdexcept>

namespace wellenschau {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using test::RunPostedEvents;
using test::TFailingGlobalMemory;

constexpr int Samples = 4096;

// One buffer whose samples count up from `first`.
std::array<std::int16_t, Samples> Ramp(std::int16_t first) {
    std::array<std::int16_t, Samples> samples{};
    for (int i = 0; i < Samples; ++i) samples[i] = static_cast<std::int16_t>(first + i);
    return samples;
}

// The component as the main window owns and configures it, on a simulated
// device. Each delivered buffer is noted by its first sample and size.
class AudioInTest : public ::testing::Test {
protected:
    AudioInTest() {
        test::TestApplication().HandlerErrors.clear();
        AudioIn1 = new TAudioIn(&Owner, Device, Memory);
        AudioIn1->SetBufferSize(4096);
        AudioIn1->SetNumBuffers(2);
        AudioIn1->SetFrameRate(1000);
        AudioIn1->SetWaveDevice(0);
        AudioIn1->SetBufferSize(8192);
        AudioIn1->SetOnBufferFilled([this](char* Buffer, int& Size) { return Filled(Buffer, Size); });
        AudioIn1->SetOnStart([this](QObject* Sender) { Starts.push_back(Sender); });
        AudioIn1->SetOnStop([this](QObject* Sender) { Stops.push_back(Sender); });
    }

    bool StartClick() {
        AudioIn1->SetFrameRate(44100);
        return AudioIn1->Start(AudioIn1);
    }

    HWAVEIN Handle() const { return Device.LastOpenedHandle(); }
    bool Fill(std::int16_t first) { return Device.FillNextSamples(Handle(), Ramp(first)); }
    // For each ramp: the device returns the next buffer filled with it, and
    // the loop runs.
    void Record(std::initializer_list<std::int16_t> firsts) {
        for (const std::int16_t first : firsts) {
            ASSERT_TRUE(Fill(first));
            RunPostedEvents();
        }
    }
    int CallCount(TWaveInCall call) const {
        int count = 0;
        for (const auto& record : Device.Calls()) count += record.Call == call ? 1 : 0;
        return count;
    }

    virtual bool Filled(char* Buffer, int& Size) {
        const auto* samples = reinterpret_cast<const std::int16_t*>(Buffer);
        Delivered.push_back(samples[0]);
        Sizes.push_back(Size);
        for (int i = 1; i < Size / 2; ++i) {
            if (samples[i] != static_cast<std::int16_t>(samples[0] + i)) ++BrokenBuffers;
        }
        if (Handler) return Handler(Size);
        return true;
    }

    TSimulatedWaveIn Device;
    TFailingGlobalMemory Memory;
    QObject Owner;
    TAudioIn* AudioIn1 = nullptr;
    std::vector<std::int16_t> Delivered;
    std::vector<int> Sizes;
    int BrokenBuffers = 0;
    std::vector<QObject*> Starts;
    std::vector<QObject*> Stops;
    // Extra behaviour of the buffer handler, after noting the buffer.
    std::function<bool(int& Size)> Handler;
};

TEST_F(AudioInTest, StartOpensDeviceZeroAndQueuesBothBuffersAfterStarting) {
    ASSERT_TRUE(StartClick());
    EXPECT_EQ(Device.LastDeviceId(), 0);
    const TWaveFormatEx& format = Device.LastFormat();
    EXPECT_EQ(format.FormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(format.Channels, 1);
    EXPECT_EQ(format.SamplesPerSec, 44100u);
    EXPECT_EQ(format.AvgBytesPerSec, 88200u);
    EXPECT_EQ(format.BlockAlign, 2);
    EXPECT_EQ(format.BitsPerSample, 16);
    std::vector<TWaveInCall> calls;
    for (const auto& record : Device.Calls()) calls.push_back(record.Call);
    EXPECT_THAT(calls, ElementsAre(TWaveInCall::Open, TWaveInCall::PrepareHeader, TWaveInCall::PrepareHeader,
                                   TWaveInCall::Start, TWaveInCall::AddBuffer, TWaveInCall::AddBuffer));
    const auto queued = Device.QueuedBuffers(Handle());
    ASSERT_EQ(queued.size(), 2u);
    EXPECT_EQ(queued[0]->BufferLength, 8192u);
    EXPECT_NE(queued[0]->Data, queued[1]->Data);
    EXPECT_TRUE(AudioIn1->DeviceOpen());
    EXPECT_TRUE(AudioIn1->Accepting());
    EXPECT_TRUE(AudioIn1->InProgress());
    EXPECT_EQ(AudioIn1->RingIndex(), 0);
    EXPECT_EQ(AudioIn1->QueuedCount(), 2);
}

TEST_F(AudioInTest, EventsComeFromTheLoopWithTheReceiverAsSender) {
    ASSERT_TRUE(StartClick());
    EXPECT_TRUE(Starts.empty()) << "OnStart is not raised inside Start";
    RunPostedEvents();
    ASSERT_EQ(Starts.size(), 1u);
    EXPECT_EQ(Starts[0], AudioIn1->CallbackWindow());
    EXPECT_NE(Starts[0], AudioIn1);
    AudioIn1->StopNow();
    EXPECT_TRUE(Stops.empty()) << "OnStop is not raised inside StopNow";
    RunPostedEvents();
    ASSERT_EQ(Stops.size(), 1u);
    EXPECT_EQ(Stops[0], Starts[0]);
}

TEST_F(AudioInTest, EveryBufferIsDeliveredInOrderAndRequeued) {
    ASSERT_TRUE(StartClick());
    Record({100, 200, 300, 400, 500});
    EXPECT_THAT(Delivered, ElementsAre(100, 200, 300, 400, 500));
    EXPECT_THAT(Sizes, ElementsAre(8192, 8192, 8192, 8192, 8192));
    EXPECT_EQ(BrokenBuffers, 0);
    EXPECT_EQ(AudioIn1->QueuedCount(), 2);
    EXPECT_EQ(AudioIn1->RingIndex(), 1);
    EXPECT_EQ(Device.QueuedBuffers(Handle()).size(), 2u);
}

TEST_F(AudioInTest, WithoutAHandlerEveryBufferIsRequeued) {
    AudioIn1->SetOnBufferFilled(nullptr);
    ASSERT_TRUE(StartClick());
    for (int i = 0; i < 10; ++i) Record({0});
    EXPECT_TRUE(AudioIn1->DeviceOpen());
    EXPECT_EQ(Device.QueuedBuffers(Handle()).size(), 2u);
}

TEST_F(AudioInTest, TheSizeAHandlerWritesHasNoEffect) {
    Handler = [](int& Size) {
        Size = 2;
        return true;
    };
    ASSERT_TRUE(StartClick());
    Record({1, 2, 3});
    EXPECT_THAT(Sizes, ElementsAre(8192, 8192, 8192));
    EXPECT_EQ(Device.QueuedBuffers(Handle())[0]->BufferLength, 8192u);
}

TEST_F(AudioInTest, ASecondStartIsRefusedAndTheRecordingGoesOn) {
    ASSERT_TRUE(StartClick());
    Record({10});
    const auto callsBefore = Device.Calls().size();
    EXPECT_FALSE(StartClick());
    EXPECT_EQ(AudioIn1->ErrorMessage(), "Wave Input device is already open");
    EXPECT_EQ(Device.Calls().size(), callsBefore);
    Record({20});
    EXPECT_THAT(Delivered, ElementsAre(10, 20));
}

TEST_F(AudioInTest, StopNowWithoutADeviceDoesNothing) {
    AudioIn1->StopNow();
    AudioIn1->StopWhenDrained();
    EXPECT_TRUE(Device.Calls().empty());
    EXPECT_FALSE(AudioIn1->DeviceOpen());
}

TEST_F(AudioInTest, AfterStopNowTheLateBuffersAreNotDelivered) {
    ASSERT_TRUE(StartClick());
    Record({1, 2});
    AudioIn1->StopNow();
    EXPECT_FALSE(AudioIn1->DeviceOpen()) << "Closed at once";
    EXPECT_EQ(Device.OpenDeviceCount(), 0);
    EXPECT_EQ(AudioIn1->QueuedCount(), 2);
    RunPostedEvents();
    EXPECT_THAT(Delivered, ElementsAre(1, 2));
    EXPECT_EQ(AudioIn1->QueuedCount(), 0);
    EXPECT_FALSE(AudioIn1->InProgress());
    EXPECT_EQ(Stops.size(), 1u);
    EXPECT_EQ(Device.CallsOnClosedHandles(), 0) << "the last late buffer closes nothing on the platform";
    EXPECT_EQ(CallCount(TWaveInCall::Close), 1);
}

TEST_F(AudioInTest, StopWhenDrainedDropsTheQueuedBuffersAndCloses) {
    ASSERT_TRUE(StartClick());
    Record({1});
    AudioIn1->StopWhenDrained();
    EXPECT_TRUE(AudioIn1->DeviceOpen());
    EXPECT_FALSE(AudioIn1->Accepting());
    Record({2});
    EXPECT_TRUE(AudioIn1->DeviceOpen()) << "Draining until the last buffer is back";
    EXPECT_TRUE(Stops.empty());
    Record({3});
    EXPECT_FALSE(AudioIn1->DeviceOpen());
    EXPECT_THAT(Delivered, ElementsAre(1));
    EXPECT_EQ(Stops.size(), 1u);
    EXPECT_EQ(Device.CallsOnClosedHandles(), 0);
}

TEST_F(AudioInTest, ADeclinedBufferLeavesTheRingAndTheNextOneEndsTheRecording) {
    bool declineNext = true;
    Handler = [&](int&) {
        const bool accept = !declineNext;
        declineNext = false;
        return accept;
    };
    ASSERT_TRUE(StartClick());
    Record({100});
    EXPECT_TRUE(AudioIn1->DeviceOpen());
    EXPECT_EQ(Device.QueuedBuffers(Handle()).size(), 1u);
    const HWAVEIN handle = Handle();
    Record({200});
    // The buffer the device returned is delivered, with its own content.
    EXPECT_THAT(Delivered, ElementsAre(100, 200));
    EXPECT_EQ(BrokenBuffers, 0);
    EXPECT_FALSE(AudioIn1->DeviceOpen());
    EXPECT_EQ(Stops.size(), 1u);
    EXPECT_EQ(Device.CallsOnClosedHandles(), 0);
    EXPECT_FALSE(Device.FillNextSamples(handle, Ramp(0)));
}

TEST_F(AudioInTest, AHandlerErrorReachesTheApplicationAndTheNextBufferIsFresh) {
    bool failNext = true;
    Handler = [&](int&) -> bool {
        if (failNext) {
            failNext = false;
            throw ERangeError();
        }
        return true;
    };
    ASSERT_TRUE(StartClick());
    Record({100});
    EXPECT_THAT(test::TestApplication().HandlerErrors, ElementsAre("Fehler bei Bereichsprüfung"));
    EXPECT_EQ(AudioIn1->RingIndex(), 0) << "not requeued";
    Record({200});
    EXPECT_THAT(Delivered, ElementsAre(100, 200));
    EXPECT_FALSE(AudioIn1->DeviceOpen());
}

// The main window's handler lets the loop run first; a buffer that came back
// meanwhile must wait for the running step.
TEST_F(AudioInTest, ABufferReturnedWhileTheHandlerRunsTheLoopWaitsForIt) {
    int depth = 0;
    int deepest = 0;
    int nestedDeliveries = 0;
    Handler = [&](int&) {
        ++depth;
        deepest = std::max(deepest, depth);
        QCoreApplication::processEvents();
        --depth;
        return true;
    };
    // Counts notifications that reach the receiver while a handler runs.
    struct TNestedCounter : QObject {
        int* Depth;
        int* Count;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == WaveInEventType(TWaveInMessage::Data) && *Depth > 0) ++*Count;
            return false;
        }
    } counter;
    counter.Depth = &depth;
    counter.Count = &nestedDeliveries;
    ASSERT_TRUE(StartClick());
    AudioIn1->CallbackWindow()->installEventFilter(&counter);
    // Both buffers come back before the loop runs.
    ASSERT_TRUE(Fill(100));
    ASSERT_TRUE(Fill(200));
    RunPostedEvents();
    ASSERT_TRUE(Fill(300));
    ASSERT_TRUE(Fill(400));
    RunPostedEvents();
    EXPECT_GT(nestedDeliveries, 0) << "the loop inside the handler dispatched a notification";
    EXPECT_EQ(deepest, 1) << "no step runs inside another";
    EXPECT_THAT(Delivered, ElementsAre(100, 200, 300, 400));
    EXPECT_EQ(BrokenBuffers, 0);
    EXPECT_EQ(AudioIn1->QueuedCount(), 2);
    EXPECT_EQ(AudioIn1->RingIndex(), 0);
    EXPECT_EQ(Device.QueuedBuffers(Handle()).size(), 2u);
}

// A pause click handled inside the buffer handler stops at once; the rest of
// the step touches no closed device.
TEST_F(AudioInTest, AStopInsideTheHandlerLeavesTheClosedDeviceAlone) {
    Handler = [&](int&) {
        AudioIn1->StopNow();
        return true;
    };
    ASSERT_TRUE(StartClick());
    Record({100});
    EXPECT_FALSE(AudioIn1->DeviceOpen());
    EXPECT_THAT(Delivered, ElementsAre(100));
    EXPECT_EQ(AudioIn1->QueuedCount(), 0);
    EXPECT_EQ(Stops.size(), 1u);
    EXPECT_EQ(Device.CallsOnClosedHandles(), 0);
    EXPECT_EQ(CallCount(TWaveInCall::AddBuffer), 2);
}

TEST_F(AudioInTest, ARestartInsideTheHandlerKeepsTheNewRingInStep) {
    bool restart = true;
    Handler = [&](int&) {
        if (restart) {
            restart = false;
            AudioIn1->StopNow();
            EXPECT_TRUE(StartClick());
        }
        return true;
    };
    ASSERT_TRUE(StartClick());
    Record({100});
    EXPECT_TRUE(AudioIn1->DeviceOpen());
    EXPECT_EQ(AudioIn1->QueuedCount(), 2);
    EXPECT_EQ(Device.QueuedBuffers(Handle()).size(), 2u);
    Record({200, 300, 400});
    EXPECT_THAT(Delivered, ElementsAre(100, 200, 300, 400));
    EXPECT_EQ(Device.CallsOnClosedHandles(), 0);
    EXPECT_EQ(Stops.size(), 1u);
}

TEST_F(AudioInTest, ErrorMessageKeepsTheLastFailureAcrossLaterRecordings) {
    Device.FailNext(TWaveInCall::Open, MMSYSERR_ALLOCATED);
    EXPECT_FALSE(StartClick());
    const std::string busy = Device.ErrorText(MMSYSERR_ALLOCATED);
    EXPECT_EQ(AudioIn1->ErrorMessage(), busy);
    ASSERT_TRUE(StartClick());
    Record({1});
    AudioIn1->StopNow();
    RunPostedEvents();
    EXPECT_EQ(AudioIn1->ErrorMessage(), busy);
    // The pause click: Start refuses, then StopNow ends the recording.
    ASSERT_TRUE(StartClick());
    EXPECT_FALSE(StartClick());
    AudioIn1->StopNow();
    EXPECT_EQ(AudioIn1->ErrorMessage(), "Wave Input device is already open");
}

TEST_F(AudioInTest, FailuresWhileOpeningAndStartingCloseTheDevice) {
    Device.FailNext(TWaveInCall::PrepareHeader, MMSYSERR_NOMEM);
    EXPECT_FALSE(StartClick());
    EXPECT_EQ(AudioIn1->ErrorMessage(), Device.ErrorText(MMSYSERR_NOMEM));
    EXPECT_FALSE(AudioIn1->DeviceOpen());
    EXPECT_EQ(Device.OpenDeviceCount(), 0);

    Device.FailNext(TWaveInCall::Start, MMSYSERR_ERROR);
    EXPECT_FALSE(StartClick());
    EXPECT_EQ(AudioIn1->ErrorMessage(), "Error starting wave record: " + Device.ErrorText(MMSYSERR_ERROR));
    EXPECT_EQ(Device.OpenDeviceCount(), 0);

    Device.FailNext(TWaveInCall::Open, MMSYSERR_BADDEVICEID);
    EXPECT_FALSE(StartClick());
    EXPECT_EQ(AudioIn1->ErrorMessage(), Device.ErrorText(MMSYSERR_BADDEVICEID));
    EXPECT_EQ(Device.OpenDeviceCount(), 0);
    EXPECT_EQ(Device.CallsOnClosedHandles(), 0);
}

TEST_F(AudioInTest, AFailedQueueWhileStartingEndsInClosed) {
    Device.FailNext(TWaveInCall::AddBuffer, MMSYSERR_INVALPARAM);
    EXPECT_FALSE(StartClick());
    EXPECT_EQ(AudioIn1->ErrorMessage(), Device.ErrorText(MMSYSERR_INVALPARAM));
    EXPECT_FALSE(AudioIn1->DeviceOpen());
    EXPECT_FALSE(AudioIn1->Accepting());
    RunPostedEvents();
    EXPECT_TRUE(Delivered.empty());
    EXPECT_EQ(Device.OpenDeviceCount(), 0);
}

TEST_F(AudioInTest, AFailedRequeueDrainsTheRecording) {
    ASSERT_TRUE(StartClick());
    Device.FailNext(TWaveInCall::AddBuffer, MMSYSERR_NOMEM);
    Record({1});
    EXPECT_EQ(AudioIn1->ErrorMessage(), Device.ErrorText(MMSYSERR_NOMEM));
    EXPECT_TRUE(AudioIn1->DeviceOpen());
    EXPECT_FALSE(AudioIn1->Accepting());
    Record({2});
    EXPECT_FALSE(AudioIn1->DeviceOpen());
    EXPECT_THAT(Delivered, ElementsAre(1));
}

TEST_F(AudioInTest, ANegativeDeviceIsARangeErrorBeforeAnythingOpens) {
    AudioIn1->SetWaveDevice(-1);
    EXPECT_THROW(StartClick(), ERangeError);
    EXPECT_TRUE(Device.Calls().empty());
    EXPECT_NE(AudioIn1->CallbackWindow(), nullptr);
    AudioIn1->SetWaveDevice(0);
    EXPECT_TRUE(StartClick());
}

TEST_F(AudioInTest, ReceiversAreReleasedOnceTheirNotificationsAreHandled) {
    for (int round = 0; round < 5; ++round) {
        ASSERT_TRUE(StartClick());
        Record({1});
        AudioIn1->StopNow();
        RunPostedEvents();
    }
    EXPECT_EQ(AudioIn1->CallbackWindowCount(), 1);
    EXPECT_EQ(Stops.size(), 5u);
}

// Start right after a stop, before the loop ran: the old receiver stays until
// its close is handled, and its late buffers do not touch the new ring.
TEST_F(AudioInTest, LateNotificationsOfAnEarlierOpenLeaveTheNewRecordingAlone) {
    ASSERT_TRUE(StartClick());
    AudioIn1->StopNow();
    ASSERT_TRUE(StartClick());
    EXPECT_EQ(AudioIn1->CallbackWindowCount(), 2);
    RunPostedEvents();
    EXPECT_TRUE(AudioIn1->DeviceOpen());
    EXPECT_EQ(AudioIn1->QueuedCount(), 2);
    EXPECT_EQ(Stops.size(), 1u);
    Record({7, 8, 9});
    EXPECT_THAT(Delivered, ElementsAre(7, 8, 9));
    AudioIn1->StopNow();
    RunPostedEvents();
    ASSERT_TRUE(StartClick());
    EXPECT_EQ(AudioIn1->CallbackWindowCount(), 1);
}

TEST_F(AudioInTest, MoreBuffersThanAllocatedAreAllocatedAtTheNextOpen) {
    AudioIn1->SetNumBuffers(4);
    ASSERT_TRUE(StartClick());
    EXPECT_EQ(Device.QueuedBuffers(Handle()).size(), 4u);
    Record({1, 2, 3, 4, 5});
    EXPECT_THAT(Delivered, ElementsAre(1, 2, 3, 4, 5));
    EXPECT_EQ(BrokenBuffers, 0);
}

TEST_F(AudioInTest, WithoutHeadersRecordingIsRefusedUntilMemoryIsBack) {
    Memory.FailAllocation(1, true);
    auto* audio = new TAudioIn(&Owner, Device, Memory);
    audio->SetWaveDevice(0);
    EXPECT_EQ(audio->ErrorMessage(), "Error allocating wave buffer memory");
    EXPECT_FALSE(audio->Start(audio));
    EXPECT_EQ(audio->ErrorMessage(), "Error allocating wave header memory");
    EXPECT_TRUE(Device.Calls().empty());
    Memory.FailAllocation(0);
    EXPECT_TRUE(audio->Start(audio));
    audio->StopNow();
}

TEST_F(AudioInTest, BufferSizeWrittenWhileRecordingWaitsForTheNextOpen) {
    ASSERT_TRUE(StartClick());
    char* const first = Device.QueuedBuffers(Handle())[0]->Data;
    AudioIn1->SetBufferSize(1024);
    EXPECT_EQ(Device.QueuedBuffers(Handle())[0]->Data, first) << "the device's buffers stay";
    EXPECT_EQ(Memory.SizeOf(first), 8192u);
    Record({1, 2});
    EXPECT_THAT(Sizes, ElementsAre(8192, 8192));
    AudioIn1->StopNow();
    RunPostedEvents();
    ASSERT_TRUE(StartClick());
    Record({3});
    EXPECT_THAT(Sizes, ElementsAre(8192, 8192, 1024));
}

TEST_F(AudioInTest, AFormatChangeWhileRecordingKeepsTheOpenBufferSize) {
    AudioIn1->SetBufferSize(1001);
    ASSERT_TRUE(StartClick());
    AudioIn1->SetQuantization(8);
    EXPECT_EQ(AudioIn1->BufferSize(), 1001);
    Record({1});
    EXPECT_THAT(Sizes, ElementsAre(1000));
    AudioIn1->StopNow();
    RunPostedEvents();
    ASSERT_TRUE(StartClick());
    EXPECT_EQ(Device.LastFormat().BitsPerSample, 8);
    EXPECT_GE(Memory.SizeOf(Device.QueuedBuffers(Handle())[0]->Data), 1001u);
}

TEST_F(AudioInTest, DestroyingWhileRecordingClosesTheDeviceAndFreesAll) {
    ASSERT_TRUE(StartClick());
    Record({1});
    const HWAVEIN handle = Handle();
    delete AudioIn1;
    AudioIn1 = nullptr;
    EXPECT_EQ(Device.OpenDeviceCount(), 0);
    EXPECT_EQ(Memory.LiveBlocks(), 0);
    RunPostedEvents();
    EXPECT_TRUE(Stops.empty());
    EXPECT_FALSE(Device.FillNextSamples(handle, Ramp(0)));
    EXPECT_EQ(Device.CallsOnClosedHandles(), 0);
}

TEST_F(AudioInTest, UnassignedStartAndStopEventsDoNothing) {
    AudioIn1->SetOnStart(nullptr);
    AudioIn1->SetOnStop(nullptr);
    ASSERT_TRUE(StartClick());
    Record({1});
    AudioIn1->StopNow();
    RunPostedEvents();
    EXPECT_THAT(Delivered, ElementsAre(1));
    EXPECT_FALSE(AudioIn1->DeviceOpen());
}

}  // namespace
}  // namespace wellenschau
