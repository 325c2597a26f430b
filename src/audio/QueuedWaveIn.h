// The bookkeeping every wave-input backend shares: handles, prepared
// headers, the queue of buffers in the order they were added, returning
// buffers and posting the notifications. A backend names the state it keeps
// for each open device (its stream) as the template argument; the service
// owns one TDevice per open device, which holds the queue and that state
// side by side.
//
// The public operations run on the user-interface thread; TWaveInQueue's
// Record() may run on a backend's own thread (a sound callback). Each queue
// has one short mutex between the two; nothing else is shared.
#pragma once

#include "audio/WaveInService.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace wellenschau {

// The queue of one open device: the buffers added and not yet returned, and
// whether recording runs. Every returned buffer is posted to the receiver.
class TWaveInQueue {
public:
    TWaveInQueue(QObject* receiver, std::size_t bytesPerFrame) : FReceiver(receiver), FBytesPerFrame(bytesPerFrame) {}
    TWaveInQueue(const TWaveInQueue&) = delete;
    TWaveInQueue& operator=(const TWaveInQueue&) = delete;

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
    // recording file, if any. Any thread; allocates nothing.
    void Record(const char* bytes, std::size_t count);
    // Hands the bytes of Record to `recording` as well (nullptr: none).
    void SetRecording(TCaptureRecording* recording);
    // For a device that fills its buffers itself (a file): passes `count`
    // bytes to the recording file, waiting for room. User-interface thread.
    void PassToRecording(const char* bytes, std::size_t count);
    // Buffer lengths dropped while no buffer was queued.
    int SkippedBuffers() const;
    // Bytes recorded since the device was opened.
    std::uint64_t RecordedBytes() const;
    // The buffer at the head of the queue while recording runs, else nullptr.
    TWaveHdr* RecordingHead() const;
    // Returns the buffer at the head of the queue as it is; false when none.
    bool ReturnHead();
    // The queued buffers, oldest first.
    std::vector<TWaveHdr*> Queued() const;

private:
    void ReturnHeadLocked();
    // Copies up to `count` bytes into the buffer at the head; returns them.
    std::size_t FillHeadLocked(const char* bytes, std::size_t count);

    mutable std::mutex FLock;  // guards everything below against Record()
    QObject* FReceiver;
    HWAVEIN FHandle = NoWaveIn;
    std::size_t FBytesPerFrame;
    bool FRecording = false;  // between Start and Reset or Close
    TWaveHdr* FHead = nullptr;  // chained through TWaveHdr::Next
    TWaveHdr* FTail = nullptr;
    TCaptureRecording* FRecordingFile = nullptr;
    std::uint64_t FRecordedBytes = 0;
    // Length of the buffers queued; what a skipped stretch drops.
    std::size_t FBufferLength = 0;
    // Bytes still to drop of the stretch being skipped.
    std::size_t FSkipRemaining = 0;
    int FSkippedBuffers = 0;
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
