#include "audio/FileWaveIn.h"

#include "audio/SoundFileReader.h"

#include <QTimer>

#include <climits>
#include <cstring>

namespace wellenschau {

namespace {

constexpr int BytesPerSample = 2;

}  // namespace

// What one open device plays. A returned buffer carries its return number
// in TWaveHdr::Reserved (the service's field), so that queuing it again can
// be told apart from queuing one that came back before the file ended.
struct TFileWaveIn::TFileStream {
    std::unique_ptr<TSoundFileReader> Reader;
    int Rate = 0;
    // Drives the real-time pace; none for the fast one.
    std::unique_ptr<QTimer> Timer;
    // The moment the first sample would have been recorded.
    TClock::time_point StartTime;
    std::int64_t SamplesReturned = 0;
    std::uintptr_t Returns = 0;
    // Return number of the last buffer that carried samples of the file.
    std::uintptr_t LastFileReturn = 0;
    bool AtEnd = false;
    TMMResult EndCode = FILEERR_ENDOFFILE;
};

TFileWaveIn::TFileWaveIn(std::string path, TFilePace pace) : FPath(std::move(path)), FPace(pace) {}

TFileWaveIn::~TFileWaveIn() { CloseAll(); }

TMMResult TFileWaveIn::AddBuffer(HWAVEIN handle, TWaveHdr* header) {
    TDevice* device = Find(handle);
    if (device != nullptr && header != nullptr) {
        const TFileStream& stream = StreamOf(*device);
        // The buffer was handled after the file's last samples: the end has
        // been seen, so the receiver is told.
        if (stream.AtEnd && header->Reserved != 0 && header->Reserved >= stream.LastFileReturn) {
            return stream.EndCode;
        }
    }
    const TMMResult result = TQueuedWaveIn::AddBuffer(handle, header);
    if (result == MMSYSERR_NOERROR) Pump(*device);
    return result;
}

TMMResult TFileWaveIn::Start(HWAVEIN handle) {
    const TMMResult result = TQueuedWaveIn::Start(handle);
    if (result == MMSYSERR_NOERROR) Pump(*Find(handle));
    return result;
}

TMMResult TFileWaveIn::Reset(HWAVEIN handle) {
    if (TDevice* device = Find(handle); device != nullptr) {
        if (QTimer* timer = StreamOf(*device).Timer.get()) timer->stop();
    }
    return TQueuedWaveIn::Reset(handle);
}

std::string TFileWaveIn::ErrorText(TMMResult code) const {
    switch (code) {
        case FILEERR_ENDOFFILE: return "Ende der Datei erreicht";
        case FILEERR_FILE: return FLastFileError;
        default: return TQueuedWaveIn::ErrorText(code);
    }
}

TMMResult TFileWaveIn::OpenStream(TDevice& device, int deviceId, const TWaveFormatEx& format) {
    if (deviceId != 0) return MMSYSERR_BADDEVICEID;
    if (format.Channels != 1 || format.BitsPerSample != 16 || format.SamplesPerSec > INT_MAX) return WAVERR_BADFORMAT;
    auto stream = std::make_unique<TFileStream>();
    stream->Rate = static_cast<int>(format.SamplesPerSec);
    try {
        stream->Reader = std::make_unique<TSoundFileReader>(FPath, stream->Rate);
    } catch (const ESoundFileError& error) {
        FLastFileError = error.what();
        return FILEERR_FILE;
    }
    if (stream->Reader->SourceFrames() == 0) {
        FLastFileError = "Die Datei „" + FPath + "“ enthält keine Samples.";
        return FILEERR_FILE;
    }
    if (FPace == TFilePace::RealTime) {
        stream->Timer = std::make_unique<QTimer>();
        stream->Timer->setSingleShot(true);
        stream->Timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(stream->Timer.get(), &QTimer::timeout, [this, target = &device] { Pump(*target); });
    }
    device.Stream = stream.get();
    FStreams.emplace(&device, std::move(stream));
    return MMSYSERR_NOERROR;
}

TMMResult TFileWaveIn::StartStream(TDevice& device) {
    // Continue the schedule where a reset left it.
    TFileStream& stream = StreamOf(device);
    stream.StartTime = TClock::now() - std::chrono::microseconds(stream.SamplesReturned * 1'000'000 / stream.Rate);
    return MMSYSERR_NOERROR;
}

void TFileWaveIn::ReleaseStream(std::shared_ptr<TDevice> device) { FStreams.erase(device.get()); }

TFileWaveIn::TFileStream& TFileWaveIn::StreamOf(TDevice& device) {
    return *static_cast<TFileStream*>(device.Stream);
}

void TFileWaveIn::Pump(TDevice& device) {
    TFileStream& stream = StreamOf(device);
    for (;;) {
        TWaveHdr* head = nullptr;
        {
            std::lock_guard lock(device.Lock);
            if (!device.Recording || device.Head == nullptr) return;
            head = device.Head;
        }
        if (stream.AtEnd) {
            ReturnAfterEnd(device, stream, *head);
            continue;
        }
        if (FPace == TFilePace::RealTime) {
            const TClock::duration wait = DueTime(stream, *head) - TClock::now();
            if (wait > TClock::duration::zero()) {
                stream.Timer->start(std::chrono::ceil<std::chrono::milliseconds>(wait));
                return;
            }
        }
        ReturnFromFile(device, stream, *head);
    }
}

TFileWaveIn::TClock::time_point TFileWaveIn::DueTime(const TFileStream& stream, const TWaveHdr& header) const {
    const std::int64_t samplesThrough = stream.SamplesReturned + header.BufferLength / BytesPerSample;
    return stream.StartTime + std::chrono::microseconds(samplesThrough * 1'000'000 / stream.Rate);
}

void TFileWaveIn::ReturnFromFile(TDevice& device, TFileStream& stream, TWaveHdr& header) {
    const int capacity = static_cast<int>(header.BufferLength / BytesPerSample);
    int read = 0;
    try {
        read = stream.Reader->Read(reinterpret_cast<std::int16_t*>(header.Data), capacity);
    } catch (const ESoundFileError& error) {
        FLastFileError = error.what();
        stream.EndCode = FILEERR_FILE;
        read = 0;
    }
    if (read == 0) {
        stream.AtEnd = true;
        ReturnAfterEnd(device, stream, header);
        return;
    }
    const std::size_t filled = static_cast<std::size_t>(read) * BytesPerSample;
    std::memset(header.Data + filled, 0, header.BufferLength - filled);
    header.BytesRecorded = header.BufferLength;
    stream.SamplesReturned += capacity;
    MarkReturned(stream, header);
    stream.LastFileReturn = header.Reserved;
    stream.AtEnd = read < capacity;
    ReturnHead(device);
}

void TFileWaveIn::ReturnAfterEnd(TDevice& device, TFileStream& stream, TWaveHdr& header) {
    std::memset(header.Data, 0, header.BufferLength);
    header.BytesRecorded = 0;
    MarkReturned(stream, header);
    ReturnHead(device);
}

void TFileWaveIn::MarkReturned(TFileStream& stream, TWaveHdr& header) { header.Reserved = ++stream.Returns; }

}  // namespace wellenschau
