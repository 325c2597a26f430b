// The wave-input service on PortAudio. Device 0 is the system's default
// input. Where a PulseAudio-compatible server answers, devices 1, 2, …
// are its sources (see ServerSources.h), recorded through ALSA's pulse
// plugin, which records the source named in PULSE_SOURCE; otherwise they
// are PortAudio's devices that have inputs, in PortAudio's order (so the
// default input also appears under its own number). Error texts are
// PortAudio's. Private to the audio room: the rest of the program reaches
// it through DefaultWaveInService and InputDevices.h, so PortAudio's
// headers stay here.
//
// The public operations run on the user-interface thread. PortAudio's
// callback thread only copies samples into the buffer at the head of the
// queue and, when it is full, wakes the user-interface thread, which posts
// the notification (see TWaveInQueue). Streams are stopped and
// closed by a background thread, so neither Reset nor Close waits for the
// sound system, also when no data flows.
#pragma once

#include "audio/InputDevices.h"
#include "audio/QueuedWaveIn.h"

#include <portaudio.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace wellenschau {

// What each open device keeps: its PortAudio stream and what the watchdog
// (StreamHealth) last saw of it.
struct TPortAudioStream {
    using TClock = std::chrono::steady_clock;
    PaStream* Stream = nullptr;
    std::uint64_t SeenBytes = 0;
    std::uint64_t BytesAtStart = 0;
    // When recorded bytes were last seen to grow (or recording started).
    TClock::time_point LastProgress;
    // The server's source the stream records; empty for the default input
    // and for PortAudio's own devices.
    std::string Source;
};

class TPortAudioWaveIn : public TQueuedWaveIn<TPortAudioStream> {
public:
    TPortAudioWaveIn();
    ~TPortAudioWaveIn() override;
    TPortAudioWaveIn(const TPortAudioWaveIn&) = delete;
    TPortAudioWaveIn& operator=(const TPortAudioWaveIn&) = delete;

    std::string ErrorText(TMMResult code) const override;

    // The input devices under the numbers Open takes; entry 0 is the
    // default input. Empty when PortAudio cannot be initialised.
    std::vector<TInputDeviceInfo> InputDevices();

protected:
    TMMResult OpenStream(TDevice& device, int deviceId, const TWaveFormatEx& format) override;
    TMMResult StartStream(TDevice& device) override;
    void ReleaseStream(std::unique_ptr<TDevice> device) override;
    // The stream has failed when PortAudio says it is no longer active, or
    // when no data has come for NoDataLimit while recording runs: with the
    // ALSA pulse plugin a vanished sound server neither calls back nor
    // reports an error.
    TMMResult StreamHealth(TDevice& device) override;

private:
    class TStreamCloser;

    // Initialises PortAudio once; the caller holds FPortAudioLock.
    TMMResult EnsureInitialized();
    // PortAudio's index for one of our device numbers, or a negative value.
    int PortAudioDeviceIndex(int deviceId) const;
    // PortAudio's device through which a server source is recorded: ALSA's
    // pulse plugin, else the default input (which usually is that plugin).
    int ServerSourceDeviceIndex() const;
    // Why there is no device `deviceId`: none at all, or none of that number.
    TMMResult MissingDevice() const;
    // PAERR_SOURCEVANISHED when the server no longer has `source` (empty:
    // no source of the server, nothing to check).
    TMMResult CheckSource(const std::string& source);

    // PortAudio is not thread-safe: every call into it holds this lock.
    std::shared_ptr<std::timed_mutex> FPortAudioLock;
    bool FInitialized = false;
    std::unique_ptr<TStreamCloser> FCloser;
    // The source whose disappearance ended the latest recording, for its
    // error text.
    std::string FVanishedSource;
};

// The stream has stopped by itself.
constexpr TMMResult PAERR_STREAMSTOPPED = 200;
// The stream delivers no more data.
constexpr TMMResult PAERR_NODATA = 201;
// The sound system offers no input device at all.
constexpr TMMResult PAERR_NOINPUTS = 202;
// The server's source being recorded has gone.
constexpr TMMResult PAERR_SOURCEVANISHED = 203;

// PortAudio's input devices under the numbers its service opens them by;
// entry 0 is the default input. Empty when PortAudio cannot be initialised.
std::vector<TInputDeviceInfo> ListPortAudioInputDevices();

}  // namespace wellenschau
