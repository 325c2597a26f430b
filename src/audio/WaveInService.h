// The wave-input service: opens an input device for a format, records into
// buffers the caller queues and hands every buffer back in queue order.
// Every open, every returned buffer and every close is posted to the
// receiver given at open as a TWaveInNotification, so the receiver's thread
// handles them in posting order, never inside the call that caused them.
//
// All operations are called from the receiver's (the user-interface) thread.
#pragma once

#include "audio/WaveIn.h"

#include <string>

class QObject;

namespace wellenschau {

class TCaptureRecording;
class TSampleTap;

class TWaveInService {
public:
    virtual ~TWaveInService() = default;

    // Opens device `deviceId` (0 = the default input) for `format`; on
    // success `handle` names the device and Open is posted to `receiver`.
    virtual TMMResult Open(HWAVEIN& handle, int deviceId, const TWaveFormatEx& format,
                           QObject* receiver) = 0;
    // Makes a header usable for queuing; once per header and open.
    virtual TMMResult PrepareHeader(HWAVEIN handle, TWaveHdr* header) = 0;
    // Undoes the preparation; fails for a header still queued.
    virtual TMMResult UnprepareHeader(HWAVEIN handle, TWaveHdr* header) = 0;
    // Appends a prepared buffer to the device's queue.
    virtual TMMResult AddBuffer(HWAVEIN handle, TWaveHdr* header) = 0;
    // Recording into the queued buffers begins.
    virtual TMMResult Start(HWAVEIN handle) = 0;
    // Recording stops; every queued buffer comes back, each with its own Data
    // notification. Never waits for the device.
    virtual TMMResult Reset(HWAVEIN handle) = 0;
    // Closes the device (no buffer may be queued) and posts Close. After it
    // returns the service touches none of the device's buffers again.
    virtual TMMResult Close(HWAVEIN handle) = 0;
    // From now on every byte the device records also goes to `recording`
    // (nullptr: to none), whether or not a buffer is queued for it.
    virtual TMMResult SetRecording(HWAVEIN handle, TCaptureRecording* recording) = 0;
    // MMSYSERR_NOERROR while the device records and its data keeps coming;
    // otherwise the code of why it does not (the stream failed, no data for
    // too long). `skippedBuffers` receives the number of buffer lengths the
    // device recorded while no buffer was queued: what the receiver, late
    // with its buffers, never got. Never waits for the device.
    virtual TMMResult CheckDevice(HWAVEIN handle, int& skippedBuffers) = 0;
    // A text for an error code, at most 255 characters.
    virtual std::string ErrorText(TMMResult code) const = 0;
    // True for the code with which AddBuffer says that the device's sound
    // has come to its regular end (a file played to its last sample); any
    // other refusal means the recording was lost.
    virtual bool EndsRegularly(TMMResult) const { return false; }
    // The newest samples the open device recorded, written as they come
    // (see TSampleTap); nullptr for a device that has none (one that fills
    // its buffers on the user-interface thread) or a handle not open. Valid
    // until the device is closed.
    virtual const TSampleTap* Tap(HWAVEIN) const { return nullptr; }
};

// The service of the platform's sound system (PortAudio), shared by the
// whole program.
TWaveInService& DefaultWaveInService();

}  // namespace wellenschau
