// TAudioIn: records PCM audio from a wave-input device into a ring of 2 to 4
// buffers and hands every filled buffer to OnBufferFilled; a True result
// gives the buffer back to the device. Failures give a False result and a
// text in ErrorMessage. The device's notifications arrive through a hidden
// receiver (TCallBackWinIn), so all of the component's work, events
// included, runs on the user-interface thread.
//
// While a recording runs, a watchdog on that thread asks the service every
// 100 ms whether the device still delivers; a device that failed or went
// silent (sound server gone, device removed), or a recording file that
// could not be written, ends the recording as if the device had closed by
// itself, with the reason in ErrorMessage and LostMessage.
//
// User-interface thread only.
#pragma once

#include "audio/AudioIO.h"
#include "audio/WaveInService.h"

#include <QTimer>

#include <memory>
#include <vector>

namespace wellenschau {

class TCallBackWinIn;
class TCaptureRecording;

// The handler of a filled buffer: its address and size in bytes. Whatever
// the handler writes into Size is discarded. True gives the buffer back.
using TBufferEvent = std::function<bool(char* Buffer, int& Size)>;

class TAudioIn : public TAudioIO {
public:
    // `service` (default: the sound system) and `memory` must outlive the
    // component.
    explicit TAudioIn(QObject* AOwner, TWaveInService& service = DefaultWaveInService(),
                      TGlobalMemory& memory = DefaultGlobalMemory());
    // Ends a recording that is still running, without events.
    ~TAudioIn() override;

    // Opens the device and starts recording; True when recording runs.
    // `Target` is the variable that holds this component.
    bool Start(TAudioIn*& Target);
    void StopNow() override;
    void StopWhenDrained() override;

    const TBufferEvent& OnBufferFilled() const { return FOnBufferFilled; }
    void SetOnBufferFilled(TBufferEvent handler) { FOnBufferFilled = std::move(handler); }

    // Replaces the wave-input service; refused (False) while a device is open.
    bool SetWaveInService(TWaveInService& service);

    // The file that gets every byte the following recordings capture, on
    // the capture side, also those the handler is too late for (nullptr:
    // none). Not owned; it must outlive the recordings. Refused (False)
    // while a device is open.
    bool SetRecording(TCaptureRecording* recording);
    TCaptureRecording* Recording() const { return FRecording; }
    // Buffers the handler never got because none was queued when the
    // device had filled one (the handler was late), over all recordings.
    int SkippedBuffers() const { return FSkippedBefore + FSkippedNow; }
    // The newest samples of the open device as they are recorded; nullptr
    // while none is open or the device has none (see TWaveInService::Tap).
    const TSampleTap* Tap() const { return FService->Tap(FWaveHandle); }
    // Why the device ended the latest recording by itself; empty when the
    // owner or the regular end of a file ended it (a file that fails or
    // ends short of its header gives its message). Cleared by the next open.
    const std::string& LostMessage() const { return FLostMessage; }

    bool DeviceOpen() const { return FDeviceOpen; }
    TCallBackWinIn* CallbackWindow() const { return FCallbackWindow; }
    // Receivers the component still keeps (the newest and those whose
    // notifications have not all been handled).
    int CallbackWindowCount() const { return static_cast<int>(FCallbackWindows.size()); }

    // A notification posted to `receiver`, dispatched by its event loop.
    void ReceiveNotification(TCallBackWinIn& receiver, TWaveInMessage message);

protected:
    virtual bool OpenDevice(TAudioIn*& Target);
    bool StartRecording();
    bool QueueBuffer();
    virtual bool DeliverBuffer(char* Buffer, int Size);
    virtual void CloseDevice();
    std::string WaveErrorText(TMMResult code) const;
    // The buffer-return step, run for every returned buffer.
    void ReturnBuffer();
    // Closes the device of the open that `open` served once no buffer of it
    // is queued any more.
    void CloseIfDrained(const TCallBackWinIn* open);

    // The watchdog's tick: ends the recording when the device is lost.
    void WatchDevice();
    void DeviceLost(const std::string& reason);
    // Takes the skip count of the device that is being closed.
    void CountSkipsAtClose();

    bool DeviceBusy() const override { return FDeviceOpen; }
    bool event(QEvent* event) override;

    bool FDeviceOpen = false;
    TCallBackWinIn* FCallbackWindow = nullptr;
    TBufferEvent FOnBufferFilled;
    HWAVEIN FWaveHandle = NoWaveIn;

private:
    struct TPendingNotification {
        TCallBackWinIn* Receiver;
        TWaveInMessage Message;
    };

    // Runs the held-back notifications in arrival order.
    void DispatchPending();
    // Forgets the notifications already handled, keeping the capacity.
    void DropHandledPending();
    void Dispatch(TCallBackWinIn& receiver, TWaveInMessage message);
    void ReleaseFinishedCallbackWindows();

    TWaveInService* FService;
    std::vector<std::unique_ptr<TCallBackWinIn>> FCallbackWindows;
    // Notifications wait here while one is being handled: a handler that
    // runs the event loop must not start a second buffer-return step inside
    // the first. Capacity is kept; only a burst of opens inside one handler
    // could grow it.
    std::vector<TPendingNotification> FPending;
    std::size_t FPendingNext = 0;
    bool FDispatching = false;
    bool FResumePosted = false;
    QTimer FWatchdog;
    TCaptureRecording* FRecording = nullptr;
    int FSkippedBefore = 0;  // recordings already closed
    int FSkippedNow = 0;     // the open device, as last asked
    std::string FLostMessage;
};

}  // namespace wellenschau
