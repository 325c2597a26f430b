#include "audio/FileWaveIn.h"

#include "audio/SystemReason.h"

#include <QCoreApplication>

#include <climits>
#include <cstring>

namespace wellenschau {

namespace {

// The translation context of this file's texts.
struct TFileWaveInText {
    Q_DECLARE_TR_FUNCTIONS(TFileWaveInText)
};

constexpr int BytesPerSample = 2;

}  // namespace

TFileWaveIn::TFileWaveIn(std::string path, TFilePace pace) : FPath(std::move(path)), FPace(pace) {}

TFileWaveIn::~TFileWaveIn() { CloseAll(); }

TMMResult TFileWaveIn::AddBuffer(HWAVEIN handle, TWaveHdr* header) {
    TDevice* device = Find(handle);
    if (device != nullptr && header != nullptr) {
        const TFileStream& stream = device->Stream;
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
        if (QTimer* timer = device->Stream.Timer.get()) timer->stop();
    }
    return TQueuedWaveIn::Reset(handle);
}

std::string TFileWaveIn::ErrorText(TMMResult code) const {
    switch (code) {
        case FILEERR_ENDOFFILE: return TFileWaveInText::tr("Ende der Datei erreicht").toStdString();
        case FILEERR_FILE:
        case FILEERR_SHORT: return FLastFileError;
        default: return TQueuedWaveIn::ErrorText(code);
    }
}

TMMResult TFileWaveIn::OpenStream(TDevice& device, int deviceId, const TWaveFormatEx& format) {
    if (deviceId != 0) return MMSYSERR_BADDEVICEID;
    if (format.Channels < 1 || format.Channels > 2 || format.BitsPerSample != 16 || format.SamplesPerSec > INT_MAX)
        return WAVERR_BADFORMAT;
    TFileStream& stream = device.Stream;
    stream.Rate = static_cast<int>(format.SamplesPerSec);
    stream.Channels = format.Channels;
    FEndCode = MMSYSERR_NOERROR;
    try {
        stream.Reader = std::make_unique<TSoundFileReader>(FPath, stream.Rate, stream.Channels);
    } catch (const ESoundFileError& error) {
        FLastFileError = error.what();
        return FILEERR_FILE;
    }
    if (stream.Reader->SourceFrames() == 0) {
        FLastFileError = NoSamplesText();
        return FILEERR_FILE;
    }
    if (FPace == TFilePace::RealTime) {
        stream.Timer = std::make_unique<QTimer>();
        stream.Timer->setSingleShot(true);
        stream.Timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(stream.Timer.get(), &QTimer::timeout, [this, target = &device] { Pump(*target); });
    }
    return MMSYSERR_NOERROR;
}

TMMResult TFileWaveIn::StartStream(TDevice& device) {
    // Continue the schedule where a reset left it.
    TFileStream& stream = device.Stream;
    stream.StartTime = TClock::now() - std::chrono::microseconds(stream.FramesReturned * 1'000'000 / stream.Rate);
    return MMSYSERR_NOERROR;
}

// The device goes, and with it the timer and the open file.
void TFileWaveIn::ReleaseStream(std::unique_ptr<TDevice>) {}

void TFileWaveIn::Pump(TDevice& device) {
    TFileStream& stream = device.Stream;
    for (;;) {
        TWaveHdr* head = device.Queue.RecordingHead();
        if (head == nullptr) return;
        if (stream.AtEnd) {
            ReturnAfterEnd(device, *head);
            continue;
        }
        if (FPace == TFilePace::RealTime) {
            const TClock::duration wait = DueTime(stream, *head) - TClock::now();
            if (wait > TClock::duration::zero()) {
                stream.Timer->start(std::chrono::ceil<std::chrono::milliseconds>(wait));
                return;
            }
        }
        ReturnFromFile(device, *head);
    }
}

TFileWaveIn::TClock::time_point TFileWaveIn::DueTime(const TFileStream& stream, const TWaveHdr& header) const {
    const std::int64_t framesThrough = stream.FramesReturned + header.BufferLength / (BytesPerSample * stream.Channels);
    return stream.StartTime + std::chrono::microseconds(framesThrough * 1'000'000 / stream.Rate);
}

void TFileWaveIn::ReturnFromFile(TDevice& device, TWaveHdr& header) {
    TFileStream& stream = device.Stream;
    const int capacity = static_cast<int>(header.BufferLength / BytesPerSample);
    int read = 0;
    bool atEnd = true;
    TMMResult endCode = FILEERR_ENDOFFILE;
    try {
        read = stream.Reader->Read(reinterpret_cast<std::int16_t*>(header.Data), capacity);
        // Knowing the end with the last buffer that carries samples keeps a
        // buffer queued behind it from being filled with silence first.
        atEnd = read < capacity || stream.Reader->AtEnd();
        if (atEnd && stream.Reader->EndedShort()) {
            FLastFileError = stream.Reader->ShortText();
            endCode = FILEERR_SHORT;
        }
    } catch (const ESoundFileError& error) {
        FLastFileError = error.what();
        endCode = FILEERR_FILE;
    }
    // Not one sample decoded: the file is as good as empty.
    if (read == 0 && stream.FramesReturned == 0 && endCode != FILEERR_FILE) {
        FLastFileError = NoSamplesText();
        endCode = FILEERR_FILE;
    }
    if (atEnd || read == 0) EndFile(stream, endCode);
    if (read == 0) {
        ReturnAfterEnd(device, header);
        return;
    }
    const std::size_t filled = static_cast<std::size_t>(read) * BytesPerSample;
    // The recording file gets the file's samples, not the padding.
    device.Queue.PassToRecording(header.Data, filled);
    std::memset(header.Data + filled, 0, header.BufferLength - filled);
    header.BytesRecorded = header.BufferLength;
    stream.FramesReturned += capacity / stream.Channels;
    MarkReturned(stream, header);
    stream.LastFileReturn = header.Reserved;
    device.Queue.ReturnHead();
}

void TFileWaveIn::EndFile(TFileStream& stream, TMMResult code) {
    stream.AtEnd = true;
    stream.EndCode = code;
    FEndCode = code;
}

std::string TFileWaveIn::NoSamplesText() const {
    return Filled(TFileWaveInText::tr("Die Datei „%1“ enthält keine Samples."), {FPath});
}

void TFileWaveIn::ReturnAfterEnd(TDevice& device, TWaveHdr& header) {
    std::memset(header.Data, 0, header.BufferLength);
    header.BytesRecorded = 0;
    MarkReturned(device.Stream, header);
    device.Queue.ReturnHead();
}

void TFileWaveIn::MarkReturned(TFileStream& stream, TWaveHdr& header) { header.Reserved = ++stream.Returns; }

}  // namespace wellenschau
