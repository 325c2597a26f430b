// The bookkeeping every wave-input backend shares: handles, prepared
// headers, the queue of buffers in the order they were added, returning
// buffers and posting the notifications. A backend names the state it keeps
// for each open device (its stream) as the template argument; the service
// owns one TDevice per open device, which holds the queue and that state
// side by side.
//
// The public operations run on the user-interface thread; TWaveInQueue's
// Record() may run on a backend's own thread (a sound callback), which
// must never wait for the user-interface thread nor allocate. The two share
// no lock: see TWaveInQueue.
#pragma once

#include "audio/SampleTap.h"
#include "audio/WakeSignal.h"
#include "audio/WaveInService.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace wellenschau {

// The queue of one open device: the buffers added and not yet returned, and
// whether recording runs. Every returned buffer is posted to the receiver.
//
// The queued headers sit in a fixed ring of slots with three running
// counts: added (written by the user-interface thread), filled (by the
// recording thread) and returned (by the user-interface thread). The
// recording thread fills the slot at `filled` while it lies before `added`,
// and publishes a full buffer by advancing `filled`; the user-interface
// thread returns everything before `filled` in order, sets the header
// flags and posts the notifications, woken by a TWakeSignal. Reset and
// Close stop the recording thread's use of the buffers by clearing the
// recording flag and then waiting until Record is not running: a wait of
// at most one Record call, and only ever by the user-interface thread.
class TWaveInQueue {
public:
    // Most buffers a device holds at a time; Add refuses more.
    static constexpr std::size_t Capacity = 32;

    TWaveInQueue(QObject* receiver, std::size_t bytesPerFrame);
    TWaveInQueue(const TWaveInQueue&) = delete;
    TWaveInQueue& operator=(const TWaveInQueue&) = delete;

    // False when the queue could not get its wake-up (no file descriptor
    // left); such a queue must not be opened.
    bool Usable() const { return FWake.Valid(); }
    // Bytes of one frame (all channels of one sample) in the device's format.
    std::size_t BytesPerFrame() const { return FBytesPerFrame; }
    // Gives the queue the handle of its device and posts Open.
    void Opened(HWAVEIN handle);

    // The service operations on this device; see TWaveInService.
    TMMResult Unprepare(TWaveHdr& header);
    TMMResult Add(TWaveHdr& header);
    void StartRecording();
    void Reset();
    // Posts Close and stops recording; WAVERR_STILLPLAYING while a buffer is
    // queued.
    TMMResult Close();
    // Forgets the queued buffers without returning them (service shut-down).
    void Abandon();

    // Copies recorded bytes into the buffers at the head of the queue; each
    // buffer that becomes full is returned. Outside Start … Reset bytes are
    // dropped. While no buffer is queued, bytes are dropped a whole buffer
    // length at a time, each such stretch counted as a skipped buffer, so
    // that every buffer the receiver gets starts a whole number of buffer
    // lengths into the recording. Every byte recorded also goes to the
    // recording file, if any. One thread at a time (the device's recording
    // thread); takes no lock, allocates nothing and never waits.
    void Record(const char* bytes, std::size_t count);
    // Hands the bytes of Record to `recording` as well (nullptr: none). Once
    // it returns, Record no longer uses the previous recording.
    void SetRecording(TCaptureRecording* recording);
    // For a device that fills its buffers itself (a file): passes `count`
    // bytes to the recording file, waiting for room. User-interface thread.
    void PassToRecording(const char* bytes, std::size_t count);
    // The newest frames Record was given, whether or not a buffer took
    // them.
    const TSampleTap& Tap() const { return FTap; }
    // Buffer lengths dropped while no buffer was queued.
    int SkippedBuffers() const { return FSkippedBuffers.load(std::memory_order_relaxed); }
    // Bytes recorded since the device was opened.
    std::uint64_t RecordedBytes() const { return FRecordedBytes.load(std::memory_order_relaxed); }
    // For a device that fills its buffers on the user-interface thread (no
    // Record elsewhere): the buffer at the head of the queue while
    // recording runs, else nullptr.
    TWaveHdr* RecordingHead();
    // For such a device: returns the buffer at the head of the queue as it
    // is; false when none.
    bool ReturnHead();
    // The queued buffers, oldest first.
    std::vector<TWaveHdr*> Queued();

private:
    // Returns, in queue order, every buffer the recording side has filled.
    void Collect();
    // Waits until no Record call is running; see the class comment.
    void WaitForRecord() const;
    // Copies up to `count` bytes into the buffer at the head; returns them.
    // Recording side.
    std::size_t FillHead(const char* bytes, std::size_t count);
    // Whether a queued buffer waits to be filled. Recording side.
    bool HeadQueued() const;
    TWaveHdr*& Slot(std::uint64_t index) { return FSlots[index % Capacity]; }

    // Read by both sides, written once at open.
    QObject* const FReceiver;
    const std::size_t FBytesPerFrame;

    // User-interface thread only.
    HWAVEIN FHandle = NoWaveIn;
    std::uint64_t FReturned = 0;
    TWakeSignal FWake;

    // Handed from the user-interface thread to the recording side.
    std::array<TWaveHdr*, Capacity> FSlots{};
    std::atomic<std::uint64_t> FAdded{0};
    std::atomic<bool> FRecording{false};  // between Start and Reset or Close
    std::atomic<TCaptureRecording*> FRecordingFile{nullptr};
    // Length of the buffers queued; what a skipped stretch drops.
    std::atomic<std::size_t> FBufferLength{0};

    // Written by the recording side; the user-interface thread writes
    // FFilled and FSkipRemaining only where no Record can touch them:
    // recording stopped and no Record running, or a device that has no
    // recording thread.
    std::atomic<bool> FInRecord{false};
    std::atomic<std::uint64_t> FFilled{0};
    std::atomic<std::uint64_t> FRecordedBytes{0};
    std::atomic<int> FSkippedBuffers{0};
    // Bytes still to drop of the stretch being skipped.
    std::size_t FSkipRemaining = 0;
    TSampleTap FTap;
};

// What Open checks before a backend sees the request: MMSYSERR_NOERROR when
// the device number, format and receiver can be used.
TMMResult CheckOpenArguments(int deviceId, const TWaveFormatEx& format, const QObject* receiver);
// The service's text for its own error codes.
std::string QueuedWaveInErrorText(TMMResult code);

template <typename TStream>
class TQueuedWaveIn : public TWaveInService {
public:
    TMMResult Open(HWAVEIN& handle, int deviceId, const TWaveFormatEx& format, QObject* receiver) override;
    TMMResult PrepareHeader(HWAVEIN handle, TWaveHdr* header) override;
    TMMResult UnprepareHeader(HWAVEIN handle, TWaveHdr* header) override;
    TMMResult AddBuffer(HWAVEIN handle, TWaveHdr* header) override;
    TMMResult Start(HWAVEIN handle) override;
    TMMResult Reset(HWAVEIN handle) override;
    TMMResult Close(HWAVEIN handle) override;
    TMMResult SetRecording(HWAVEIN handle, TCaptureRecording* recording) override;
    TMMResult CheckDevice(HWAVEIN handle, int& skippedBuffers) override;
    std::string ErrorText(TMMResult code) const override { return QueuedWaveInErrorText(code); }
    const TSampleTap* Tap(HWAVEIN handle) const override {
        const TDevice* device = Find(handle);
        return device == nullptr ? nullptr : &device->Queue.Tap();
    }

    // Number of devices currently open.
    int OpenDeviceCount() const { return static_cast<int>(FDevices.size()); }

protected:
    // One open device. Owned by the service while open; at close the backend
    // takes it over and may keep it a little longer (a stream stopped in the
    // background).
    struct TDevice {
        TDevice(QObject* receiver, std::size_t bytesPerFrame) : Queue(receiver, bytesPerFrame) {}
        TWaveInQueue Queue;
        TStream Stream{};
    };

    // Backend hooks, called on the user-interface thread.
    virtual TMMResult OpenStream(TDevice& device, int deviceId, const TWaveFormatEx& format) = 0;
    virtual TMMResult StartStream(TDevice& device) = 0;
    // Called once the device is closed: the backend ends its stream, now or
    // in the background, and then lets the device go.
    virtual void ReleaseStream(std::unique_ptr<TDevice> device) = 0;
    // Whether the device's stream still delivers (see CheckDevice); the
    // default trusts it.
    virtual TMMResult StreamHealth(TDevice&) { return MMSYSERR_NOERROR; }

    // Device behind an open handle, or nullptr.
    TDevice* Find(HWAVEIN handle) const;
    // Closes every open device without notifications (service shut-down).
    void CloseAll();

private:
    std::map<HWAVEIN, std::unique_ptr<TDevice>> FDevices;
    HWAVEIN FLastHandle = NoWaveIn;
};

template <typename TStream>
TMMResult TQueuedWaveIn<TStream>::Open(HWAVEIN& handle, int deviceId, const TWaveFormatEx& format,
                                       QObject* receiver) {
    if (const TMMResult result = CheckOpenArguments(deviceId, format, receiver); result != MMSYSERR_NOERROR) {
        return result;
    }
    auto device = std::make_unique<TDevice>(receiver, format.BlockAlign);
    if (!device->Queue.Usable()) return MMSYSERR_NOMEM;
    if (const TMMResult result = OpenStream(*device, deviceId, format); result != MMSYSERR_NOERROR) return result;
    handle = ++FLastHandle;
    device->Queue.Opened(handle);
    FDevices.emplace(handle, std::move(device));
    return MMSYSERR_NOERROR;
}

template <typename TStream>
TMMResult TQueuedWaveIn<TStream>::PrepareHeader(HWAVEIN handle, TWaveHdr* header) {
    if (Find(handle) == nullptr) return MMSYSERR_INVALHANDLE;
    if (header == nullptr || header->Data == nullptr) return MMSYSERR_INVALPARAM;
    header->Flags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

template <typename TStream>
TMMResult TQueuedWaveIn<TStream>::UnprepareHeader(HWAVEIN handle, TWaveHdr* header) {
    TDevice* device = Find(handle);
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    if (header == nullptr) return MMSYSERR_INVALPARAM;
    return device->Queue.Unprepare(*header);
}

template <typename TStream>
TMMResult TQueuedWaveIn<TStream>::AddBuffer(HWAVEIN handle, TWaveHdr* header) {
    TDevice* device = Find(handle);
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    if (header == nullptr || header->Data == nullptr || header->BufferLength == 0) return MMSYSERR_INVALPARAM;
    return device->Queue.Add(*header);
}

template <typename TStream>
TMMResult TQueuedWaveIn<TStream>::Start(HWAVEIN handle) {
    TDevice* device = Find(handle);
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    if (const TMMResult result = StartStream(*device); result != MMSYSERR_NOERROR) return result;
    device->Queue.StartRecording();
    return MMSYSERR_NOERROR;
}

template <typename TStream>
TMMResult TQueuedWaveIn<TStream>::Reset(HWAVEIN handle) {
    TDevice* device = Find(handle);
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    device->Queue.Reset();
    return MMSYSERR_NOERROR;
}

template <typename TStream>
TMMResult TQueuedWaveIn<TStream>::Close(HWAVEIN handle) {
    const auto found = FDevices.find(handle);
    if (found == FDevices.end()) return MMSYSERR_INVALHANDLE;
    if (const TMMResult result = found->second->Queue.Close(); result != MMSYSERR_NOERROR) return result;
    std::unique_ptr<TDevice> device = std::move(found->second);
    FDevices.erase(found);
    ReleaseStream(std::move(device));
    return MMSYSERR_NOERROR;
}

template <typename TStream>
TMMResult TQueuedWaveIn<TStream>::SetRecording(HWAVEIN handle, TCaptureRecording* recording) {
    TDevice* device = Find(handle);
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    device->Queue.SetRecording(recording);
    return MMSYSERR_NOERROR;
}

template <typename TStream>
TMMResult TQueuedWaveIn<TStream>::CheckDevice(HWAVEIN handle, int& skippedBuffers) {
    TDevice* device = Find(handle);
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    skippedBuffers = device->Queue.SkippedBuffers();
    return StreamHealth(*device);
}

template <typename TStream>
typename TQueuedWaveIn<TStream>::TDevice* TQueuedWaveIn<TStream>::Find(HWAVEIN handle) const {
    const auto found = FDevices.find(handle);
    return found == FDevices.end() ? nullptr : found->second.get();
}

template <typename TStream>
void TQueuedWaveIn<TStream>::CloseAll() {
    for (auto& [handle, device] : FDevices) {
        device->Queue.Abandon();
        ReleaseStream(std::move(device));
    }
    FDevices.clear();
}

}  // namespace wellenschau
