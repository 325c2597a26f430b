// A wave-input device driven step by step from outside, for tests: the
// driver fills the next queued buffer with chosen bytes, makes a chosen call
// fail with a chosen code, and reads back every call that was made. Reset
// returns every queued buffer, as a real device does.
//
// Everything runs on the thread that owns the receivers.
#pragma once

#include "audio/QueuedWaveIn.h"

#include <map>
#include <span>
#include <vector>

namespace wellenschau {

enum class TWaveInCall { Open, PrepareHeader, UnprepareHeader, AddBuffer, Start, Reset, Close };

// A simulated device has no stream of its own: the driver fills its queue.
// What CheckDevice reports of it is the driver's choice too.
struct TSimulatedStream {
    TMMResult Health = MMSYSERR_NOERROR;
};

class TSimulatedWaveIn : public TQueuedWaveIn<TSimulatedStream> {
public:
    // One service call as it was made.
    struct TCallRecord {
        TWaveInCall Call;
        HWAVEIN Handle;     // NoWaveIn for Open
        bool HandleWasOpen;  // the handle named an open device at the call
        TMMResult Result;
    };

    TMMResult Open(HWAVEIN& handle, int deviceId, const TWaveFormatEx& format, QObject* receiver) override;
    TMMResult PrepareHeader(HWAVEIN handle, TWaveHdr* header) override;
    TMMResult UnprepareHeader(HWAVEIN handle, TWaveHdr* header) override;
    TMMResult AddBuffer(HWAVEIN handle, TWaveHdr* header) override;
    TMMResult Start(HWAVEIN handle) override;
    TMMResult Reset(HWAVEIN handle) override;
    TMMResult Close(HWAVEIN handle) override;
    std::string ErrorText(TMMResult code) const override;

    // Copies `bytes` (at most the buffer's length) to the start of the buffer
    // at the head of the device's queue and returns it. False when the device
    // is not recording or has no buffer queued.
    bool FillNext(HWAVEIN handle, std::span<const char> bytes);
    // Fills the next buffer with 16-bit samples.
    bool FillNextSamples(HWAVEIN handle, std::span<const std::int16_t> samples);
    // The next call of `call` fails with `code` and has no other effect.
    void FailNext(TWaveInCall call, TMMResult code);
    // From now on CheckDevice reports `code` for the device, as for a
    // device that was lost. False when the handle is not open.
    bool LoseDevice(HWAVEIN handle, TMMResult code);
    // Number of input devices; Open accepts 0 … count − 1.
    void SetDeviceCount(int count) { FDeviceCount = count; }

    const std::vector<TCallRecord>& Calls() const { return FCalls; }
    // Calls (other than Open) made with a handle that named no open device.
    int CallsOnClosedHandles() const;
    // Buffers in the queue of an open device, oldest first.
    std::vector<TWaveHdr*> QueuedBuffers(HWAVEIN handle) const;
    HWAVEIN LastOpenedHandle() const { return FLastOpened; }
    int LastDeviceId() const { return FLastDeviceId; }
    const TWaveFormatEx& LastFormat() const { return FLastFormat; }

protected:
    TMMResult OpenStream(TDevice& device, int deviceId, const TWaveFormatEx& format) override;
    TMMResult StartStream(TDevice&) override { return MMSYSERR_NOERROR; }
    void ReleaseStream(std::unique_ptr<TDevice>) override {}
    TMMResult StreamHealth(TDevice& device) override { return device.Stream.Health; }

private:
    // Runs one call unless a failure is pending for it, and records it.
    template <typename Operation>
    TMMResult Recorded(TWaveInCall call, HWAVEIN handle, Operation operation);

    std::map<TWaveInCall, TMMResult> FPendingFailures;
    std::vector<TCallRecord> FCalls;
    int FDeviceCount = 1;
    HWAVEIN FLastOpened = NoWaveIn;
    int FLastDeviceId = -1;
    TWaveFormatEx FLastFormat;
};

}  // namespace wellenschau
