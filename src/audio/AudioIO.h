// TAudioIO: the common part of the audio components. Holds the recording
// format, the memory of the buffer headers and sample buffers, the ring
// state and the events OnStart/OnStop. The recording itself is TAudioIn's.
//
// User-interface thread only.
#pragma once

#include "audio/GlobalMemory.h"
#include "audio/WaveIn.h"
#include "core/FixedArray.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <string>

namespace wellenschau {

// An event without arguments besides its sender.
using TNotifyEvent = std::function<void(QObject* Sender)>;

class TAudioIO : public QObject {
public:
    // There are always this many header and buffer slots.
    static constexpr int MaxBuffers = 4;

    // The owner (a window) frees the component. All memory comes from
    // `memory`, which must outlive the component.
    explicit TAudioIO(QObject* AOwner, TGlobalMemory& memory = DefaultGlobalMemory());
    ~TAudioIO() override;
    TAudioIO(const TAudioIO&) = delete;
    TAudioIO& operator=(const TAudioIO&) = delete;

    // Bytes per buffer: writing stores max(value, 512) as the requested size
    // and allocates the buffers again; reading gives the requested size
    // rounded down to whole frames.
    int BufferSize() const { return FBufferSize; }
    void SetBufferSize(int value);
    // Buffers in the ring, 2 … 4; takes effect at the next open.
    int NumBuffers() const { return FNumBuffers; }
    void SetNumBuffers(int value);
    // Sample rate in Hz; a negative value is a range error.
    int FrameRate() const { return static_cast<int>(FWaveFormat.SamplesPerSec); }
    void SetFrameRate(int value);
    bool Stereo() const { return FWaveFormat.Channels == 2; }
    void SetStereo(bool value);
    // Bits per sample: up to 8 gives 8, anything larger 16.
    std::uint16_t Quantization() const { return FWaveFormat.BitsPerSample; }
    void SetQuantization(std::uint16_t value);
    // The input device as the service numbers them; opening needs 0 or more.
    int WaveDevice() const { return FWaveDevice; }
    void SetWaveDevice(int value) { FWaveDevice = value; }

    const TNotifyEvent& OnStart() const { return FOnStart; }
    void SetOnStart(TNotifyEvent handler) { FOnStart = std::move(handler); }
    const TNotifyEvent& OnStop() const { return FOnStop; }
    void SetOnStop(TNotifyEvent handler) { FOnStop = std::move(handler); }

    // Text of the most recent failure; a later success does not clear it.
    const std::string& ErrorMessage() const { return FErrorMessage; }

    // Ends the recording at once.
    virtual void StopNow();
    // Stops delivering; the device closes once its buffers have come back.
    virtual void StopWhenDrained();

    // The state, for the owner's display and for diagnostics.
    const TWaveFormatEx& WaveFormat() const { return FWaveFormat; }
    int RingIndex() const { return FRingIndex; }
    int QueuedCount() const { return FQueuedCount; }
    bool InProgress() const { return FInProgress; }
    bool Accepting() const { return FAccepting; }

protected:
    // Block alignment, bytes per second and the effective buffer size from
    // the format and the requested size.
    void UpdateFormat();
    // Points the first FNumBuffers headers at their buffers, length
    // FBufferSize, everything else cleared.
    bool InitHeaders();
    bool AllocateHeaders();
    bool AllocateBuffers();
    void FreeHeaders();
    void FreeBuffers();
    // Allocates what an open needs and an earlier allocation left out:
    // headers that failed, buffers for slots added by a later NumBuffers,
    // or buffers grown by a later format change.
    bool EnsureMemory();
    // True while a device is open: the buffers must then stay where they are.
    virtual bool DeviceBusy() const { return false; }

    int FBufferSize = 0;
    int FRequestedSize = 0;
    int FNumBuffers = 0;
    TWaveFormatEx FWaveFormat;
    TNotifyEvent FOnStart;
    TNotifyEvent FOnStop;
    int FWaveDevice = 0;
    TFixedArray<HGLOBAL, MaxBuffers> FHeaderMemory;
    TFixedArray<TWaveHdr*, MaxBuffers> FHeaders;
    TFixedArray<char*, MaxBuffers> FBuffers;
    TFixedArray<HGLOBAL, MaxBuffers> FBufferMemory;
    int FRingIndex = 0;
    bool FAccepting = false;
    std::string FErrorMessage;
    bool FInProgress = false;
    int FQueuedCount = 0;
    // Buffers in the ring of the open device (FNumBuffers at its open).
    int FRingSize = 0;
    // Bytes of every allocated buffer; 0 when none are allocated.
    int FAllocatedSize = 0;

private:
    // Stores `format` with its derived values; changes nothing on overflow.
    void ApplyFormat(TWaveFormatEx format);

    TGlobalMemory& FMemory;
};

}  // namespace wellenschau
