#include "audio/PortAudioWaveIn.h"

#include "audio/ServerSources.h"

#include <QCoreApplication>

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <pthread.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <optional>
#include <string_view>
#include <thread>

namespace wellenschau {

namespace {

// The translation context of this file's texts.
struct TPortAudioWaveInText {
    Q_DECLARE_TR_FUNCTIONS(TPortAudioWaveInText)
};

using namespace std::chrono_literals;

// PortAudio's error numbers lie in −10000 … −9972; our code is their
// negation, which keeps them apart from the service's own small codes.
constexpr TMMResult PortAudioCodeFirst = 9000;
constexpr TMMResult PortAudioCodeLast = 11000;

TMMResult PortAudioCode(PaError error) { return static_cast<TMMResult>(-error); }

// How long a call waits for PortAudio while the closer still works on a
// stream; only a hung sound server takes that long.
constexpr auto PortAudioWait = 2s;
// How long the shut-down waits for the last streams to close.
constexpr auto ShutdownWait = 3s;
// How long a recording stream may deliver nothing before it counts as
// lost. PortAudio calls back every few tens of milliseconds while data
// flows; checked every 100 ms, a loss is noticed within 0.8 s.
constexpr auto NoDataLimit = 700ms;
// Before the first data a device may take longer: a headset switching its
// profile for the microphone, a server waking a suspended source.
constexpr auto FirstDataLimit = 3s;

// ALSA and JACK print every device they probe and fail to open, which on
// most machines is many lines for nothing; the program reports its own
// failures through the error texts.
void IgnoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}
void IgnoreJackMessage(const char*) {}

void SilenceSoundLibraries() {
    snd_lib_error_set_handler(&IgnoreAlsaMessage);
    jack_set_error_function(&IgnoreJackMessage);
    jack_set_info_function(&IgnoreJackMessage);
}

// PortAudio's callback thread: copy and wake, nothing else. `queue` is the
// device's TWaveInQueue, handed to PortAudio at open. Cancellation is held
// off so that an abort never ends Record half-way, which would leave the
// queue believing Record still runs.
int StreamCallback(const void* input, void*, unsigned long frameCount, const PaStreamCallbackTimeInfo*,
                   PaStreamCallbackFlags, void* queue) {
    int previousState = 0;
    pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, &previousState);
    auto& target = *static_cast<TWaveInQueue*>(queue);
    if (input != nullptr) target.Record(static_cast<const char*>(input), frameCount * target.BytesPerFrame());
    pthread_setcancelstate(previousState, nullptr);
    return paContinue;
}

// Sets an environment variable for as long as it lives, then puts back
// what was there. ALSA's pulse plugin reads PULSE_SOURCE when PortAudio
// opens the stream, which is the only way to tell it the source.
class TScopedVariable {
public:
    TScopedVariable(const char* name, const std::string& value) : FName(name) {
        if (const char* earlier = std::getenv(name)) FEarlier = earlier;
        setenv(name, value.c_str(), 1);
    }
    ~TScopedVariable() {
        if (FEarlier) {
            setenv(FName, FEarlier->c_str(), 1);
        } else {
            unsetenv(FName);
        }
    }
    TScopedVariable(const TScopedVariable&) = delete;
    TScopedVariable& operator=(const TScopedVariable&) = delete;

private:
    const char* FName;
    std::optional<std::string> FEarlier;
};

}  // namespace

// Stops and closes streams on its own thread, one after the other. It
// aborts rather than stops: a stop waits for data that may never come.
class TPortAudioWaveIn::TStreamCloser {
public:
    explicit TStreamCloser(std::shared_ptr<std::timed_mutex> portAudioLock) : FShared(std::make_shared<TShared>()) {
        FShared->PortAudioLock = std::move(portAudioLock);
        FThread = std::thread(&TStreamCloser::Run, FShared);
    }

    ~TStreamCloser() { Shutdown(); }

    void Close(std::unique_ptr<TDevice> device) {
        std::lock_guard lock(FShared->Lock);
        FShared->Pending.push_back(std::move(device));
        FShared->Changed.notify_all();
    }

    // Closes what was handed over and ends the thread, waiting a bounded
    // time: if the sound system hangs, the thread is left behind rather than
    // the program. True when every stream was closed.
    bool Shutdown() {
        if (!FThread.joinable()) return FCleanShutdown;
        std::unique_lock lock(FShared->Lock);
        FShared->Stopping = true;
        FShared->Changed.notify_all();
        FCleanShutdown = FShared->Changed.wait_for(lock, ShutdownWait, [&] { return FShared->Finished; });
        lock.unlock();
        if (FCleanShutdown) {
            FThread.join();
        } else {
            FThread.detach();
        }
        return FCleanShutdown;
    }

private:
    // Shared with the thread, which may outlive this object after a hang.
    struct TShared {
        std::shared_ptr<std::timed_mutex> PortAudioLock;
        std::mutex Lock;
        std::condition_variable Changed;
        std::deque<std::unique_ptr<TDevice>> Pending;
        bool Stopping = false;
        bool Finished = false;
    };

    static void Run(std::shared_ptr<TShared> shared) {
        std::unique_lock lock(shared->Lock);
        for (;;) {
            shared->Changed.wait(lock, [&] { return shared->Stopping || !shared->Pending.empty(); });
            if (shared->Pending.empty()) break;
            std::unique_ptr<TDevice> device = std::move(shared->Pending.front());
            shared->Pending.pop_front();
            lock.unlock();
            {
                std::lock_guard portAudio(*shared->PortAudioLock);
                Pa_AbortStream(device->Stream.Stream);
                Pa_CloseStream(device->Stream.Stream);
            }
            device.reset();
            lock.lock();
        }
        shared->Finished = true;
        shared->Changed.notify_all();
    }

    std::shared_ptr<TShared> FShared;
    std::thread FThread;
    bool FCleanShutdown = false;
};

TPortAudioWaveIn::TPortAudioWaveIn()
    : FPortAudioLock(std::make_shared<std::timed_mutex>()),
      FCloser(std::make_unique<TStreamCloser>(FPortAudioLock)) {}

// PortAudio is left initialised: the service lives until the process ends,
// and terminating PortAudio makes ALSA unload its plugins while memory they
// allocated is still in use, which leak checkers then report as lost. The
// streams themselves are all closed here.
TPortAudioWaveIn::~TPortAudioWaveIn() {
    CloseAll();
    FCloser->Shutdown();
}

std::string TPortAudioWaveIn::ErrorText(TMMResult code) const {
    if (code >= PortAudioCodeFirst && code <= PortAudioCodeLast) {
        return Pa_GetErrorText(-static_cast<PaError>(code));
    }
    if (code == PAERR_STREAMSTOPPED)
        return TPortAudioWaveInText::tr("Der Aufnahmestrom des Eingabegeräts ist stehen geblieben.").toStdString();
    if (code == PAERR_NODATA)
        return TPortAudioWaveInText::tr(
                   "Das Eingabegerät liefert keine Daten mehr (Tonserver beendet oder Gerät entfernt?).")
            .toStdString();
    if (code == PAERR_NOINPUTS) return NoInputDevicesText();
    if (code == PAERR_SOURCEVANISHED)
        return TPortAudioWaveInText::tr("Die Quelle \"%1\" ist verschwunden.")
            .arg(QString::fromStdString(FVanishedSource))
            .toStdString();
    return TQueuedWaveIn::ErrorText(code);
}

TMMResult TPortAudioWaveIn::EnsureInitialized() {
    if (FInitialized) return MMSYSERR_NOERROR;
    SilenceSoundLibraries();
    if (const PaError error = Pa_Initialize(); error != paNoError) return PortAudioCode(error);
    FInitialized = true;
    return MMSYSERR_NOERROR;
}

int TPortAudioWaveIn::PortAudioDeviceIndex(int deviceId) const {
    if (deviceId == 0) return Pa_GetDefaultInputDevice();
    int inputNumber = 0;
    for (int index = 0; index < Pa_GetDeviceCount(); ++index) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
        if (info != nullptr && info->maxInputChannels > 0 && ++inputNumber == deviceId) return index;
    }
    return paNoDevice;
}

int TPortAudioWaveIn::ServerSourceDeviceIndex() const {
    for (int index = 0; index < Pa_GetDeviceCount(); ++index) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
        if (info != nullptr && info->maxInputChannels > 0 && std::string_view(info->name) == "pulse") return index;
    }
    return Pa_GetDefaultInputDevice();
}

TMMResult TPortAudioWaveIn::CheckSource(const std::string& source) {
    if (source.empty() || ServerSources().HasSource(source)) return MMSYSERR_NOERROR;
    FVanishedSource = source;
    return PAERR_SOURCEVANISHED;
}

TMMResult TPortAudioWaveIn::MissingDevice() const {
    for (int index = 0; index < Pa_GetDeviceCount(); ++index) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
        if (info != nullptr && info->maxInputChannels > 0) return MMSYSERR_BADDEVICEID;
    }
    return PAERR_NOINPUTS;
}

std::vector<TInputDeviceInfo> TPortAudioWaveIn::InputDevices() {
    std::vector<TInputDeviceInfo> devices;
    std::unique_lock portAudio(*FPortAudioLock, PortAudioWait);
    if (!portAudio.owns_lock() || EnsureInitialized() != MMSYSERR_NOERROR) return devices;
    const PaDeviceIndex defaultIndex = Pa_GetDefaultInputDevice();
    if (defaultIndex >= 0) devices.push_back({0, Pa_GetDeviceInfo(defaultIndex)->name, {}, true, false, 0});
    int inputNumber = 0;
    for (int index = 0; index < Pa_GetDeviceCount(); ++index) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
        if (info == nullptr || info->maxInputChannels <= 0) continue;
        devices.push_back({++inputNumber, info->name, {}, index == defaultIndex, false, info->maxInputChannels});
    }
    return devices;
}

TMMResult TPortAudioWaveIn::OpenStream(TDevice& device, int deviceId, const TWaveFormatEx& format) {
    std::unique_lock portAudio(*FPortAudioLock, PortAudioWait);
    if (!portAudio.owns_lock()) return MMSYSERR_ALLOCATED;
    if (const TMMResult result = EnsureInitialized(); result != MMSYSERR_NOERROR) return result;
    const std::optional<std::string> source = deviceId > 0 ? ServerSources().SourceName(deviceId) : std::nullopt;
    if (const TMMResult vanished = CheckSource(source.value_or(std::string{}))) return vanished;
    const int index = source ? ServerSourceDeviceIndex() : PortAudioDeviceIndex(deviceId);
    if (index < 0) return MissingDevice();
    PaStreamParameters input{};
    input.device = index;
    input.channelCount = format.Channels;
    // 8-bit wave data is unsigned, 16-bit signed.
    input.sampleFormat = format.BitsPerSample == 8 ? paUInt8 : paInt16;
    input.suggestedLatency = Pa_GetDeviceInfo(index)->defaultHighInputLatency;
    PaStream* stream = nullptr;
    PaError error = paNoError;
    {
        std::optional<TScopedVariable> chosenSource;
        if (source) chosenSource.emplace("PULSE_SOURCE", *source);
        error = Pa_OpenStream(&stream, &input, nullptr, format.SamplesPerSec, paFramesPerBufferUnspecified, paNoFlag,
                              &StreamCallback, &device.Queue);
    }
    if (error != paNoError) return PortAudioCode(error);
    device.Stream.Stream = stream;
    device.Stream.Source = source.value_or(std::string{});
    return MMSYSERR_NOERROR;
}

TMMResult TPortAudioWaveIn::StartStream(TDevice& device) {
    std::unique_lock portAudio(*FPortAudioLock, PortAudioWait);
    if (!portAudio.owns_lock()) return MMSYSERR_ALLOCATED;
    TPortAudioStream& stream = device.Stream;
    stream.SeenBytes = stream.BytesAtStart = device.Queue.RecordedBytes();
    stream.LastProgress = TPortAudioStream::TClock::now();
    if (Pa_IsStreamActive(stream.Stream) == 1) return MMSYSERR_NOERROR;
    const PaError error = Pa_StartStream(stream.Stream);
    return error == paNoError ? MMSYSERR_NOERROR : PortAudioCode(error);
}

TMMResult TPortAudioWaveIn::StreamHealth(TDevice& device) {
    TPortAudioStream& stream = device.Stream;
    // The server would move the stream to another source, or end it
    // without a word: either way the chosen source is no longer recorded.
    if (const TMMResult vanished = CheckSource(stream.Source)) return vanished;
    const auto now = TPortAudioStream::TClock::now();
    if (const std::uint64_t recorded = device.Queue.RecordedBytes(); recorded != stream.SeenBytes) {
        stream.SeenBytes = recorded;
        stream.LastProgress = now;
    } else if (now - stream.LastProgress > (stream.SeenBytes == stream.BytesAtStart ? FirstDataLimit : NoDataLimit)) {
        return PAERR_NODATA;
    }
    // The closer may hold PortAudio while it aborts a dead stream: then the
    // next check asks again rather than making the user wait.
    std::unique_lock portAudio(*FPortAudioLock, std::try_to_lock);
    if (!portAudio.owns_lock()) return MMSYSERR_NOERROR;
    const PaError active = Pa_IsStreamActive(stream.Stream);
    if (active < 0) return PortAudioCode(active);
    return active == 0 ? PAERR_STREAMSTOPPED : MMSYSERR_NOERROR;
}

void TPortAudioWaveIn::ReleaseStream(std::unique_ptr<TDevice> device) { FCloser->Close(std::move(device)); }

namespace {

// The one PortAudio service of the program, made on first use.
TPortAudioWaveIn& PortAudioService() {
    static TPortAudioWaveIn service;
    return service;
}

}  // namespace

TWaveInService& DefaultWaveInService() { return PortAudioService(); }

std::vector<TInputDeviceInfo> ListPortAudioInputDevices() { return PortAudioService().InputDevices(); }

}  // namespace wellenschau
