// The bookkeeping every wave-input backend shares: handles, prepared
// headers, the queue of buffers in the order they were added, returning
// buffers and posting the notifications. A backend adds the stream that
// produces the samples and feeds them through Record().
//
// The public operations run on the user-interface thread; Record() may run on
// a backend's own thread (a sound callback). Each device has one short mutex
// between the two; nothing else is shared.
#pragma once

#include "audio/WaveInService.h"

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>

namespace wellenschau {

class TQueuedWaveIn : public TWaveInService {
public:
    TMMResult Open(HWAVEIN& handle, int deviceId, const TWaveFormatEx& format,
                   QObject* receiver) override;
    TMMResult PrepareHeader(HWAVEIN handle, TWaveHdr* header) override;
    TMMResult UnprepareHeader(HWAVEIN handle, TWaveHdr* header) override;
    TMMResult AddBuffer(HWAVEIN handle, TWaveHdr* header) override;
    TMMResult Start(HWAVEIN handle) override;
    TMMResult Reset(HWAVEIN handle) override;
    TMMResult Close(HWAVEIN handle) override;
    std::string ErrorText(TMMResult code) const override;

    // Number of devices currently open.
    int OpenDeviceCount() const { return static_cast<int>(FDevices.size()); }

protected:
    // One open device. Shared with a backend's stream, which may outlive the
    // close by a little (it is stopped in the background).
    struct TDevice {
        std::mutex Lock;  // guards everything below against Record()
        QObject* Receiver = nullptr;
        HWAVEIN Handle = NoWaveIn;
        std::size_t BytesPerFrame = 1;
        bool Recording = false;  // between Start and Reset or Close
        bool Closed = false;
        TWaveHdr* Head = nullptr;  // the queue, chained through TWaveHdr::Next
        TWaveHdr* Tail = nullptr;
        void* Stream = nullptr;  // the backend's stream, if it has one
    };

    // Backend hooks, called on the user-interface thread.
    virtual TMMResult OpenStream(TDevice& device, int deviceId, const TWaveFormatEx& format) = 0;
    virtual TMMResult StartStream(TDevice& device) = 0;
    // Called once the device is closed: the backend ends its stream, now or
    // in the background; `device` keeps the state alive for it.
    virtual void ReleaseStream(std::shared_ptr<TDevice> device) = 0;

    // Copies recorded bytes into the buffers at the head of the queue; each
    // buffer that becomes full is returned. Bytes without a queued buffer, or
    // outside Start … Reset, are dropped. Any thread.
    static void Record(TDevice& device, const char* bytes, std::size_t count);
    // Returns the buffer at the head of the queue as it is; false when none.
    static bool ReturnHead(TDevice& device);
    // Device behind an open handle, or nullptr.
    TDevice* Find(HWAVEIN handle) const;
    // Closes every open device without notifications (service shut-down).
    void CloseAll();

private:
    static void ReturnHeadLocked(TDevice& device);

    std::map<HWAVEIN, std::shared_ptr<TDevice>> FDevices;
    HWAVEIN FLastHandle = NoWaveIn;
};

}  // namespace wellenschau
