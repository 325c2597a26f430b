#include "audio/QueuedWaveIn.h"

#include "audio/CaptureRecording.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>
#include <thread>

namespace wellenschau {

namespace {

bool ValidPcmFormat(const TWaveFormatEx& format) {
    return format.FormatTag == WAVE_FORMAT_PCM && (format.Channels == 1 || format.Channels == 2) &&
           (format.BitsPerSample == 8 || format.BitsPerSample == 16) &&
           format.BlockAlign == format.Channels * (format.BitsPerSample / 8) && format.SamplesPerSec > 0;
}

void Post(QObject* receiver, TWaveInMessage message, HWAVEIN handle, TWaveHdr* header) {
    QCoreApplication::postEvent(receiver, new TWaveInNotification(message, handle, header));
}

// Marks the calling thread as inside Record for as long as it lives. The
// store is sequentially consistent, and so are the stores of the flags
// Record reads next: either Record sees what the user-interface thread
// changed, or WaitForRecord sees Record running and waits for it.
class TRecordPresence {
public:
    explicit TRecordPresence(std::atomic<bool>& inRecord) : FInRecord(inRecord) { FInRecord.store(true); }
    ~TRecordPresence() { FInRecord.store(false, std::memory_order_release); }
    TRecordPresence(const TRecordPresence&) = delete;
    TRecordPresence& operator=(const TRecordPresence&) = delete;

private:
    std::atomic<bool>& FInRecord;
};

}  // namespace

TWaveInQueue::TWaveInQueue(QObject* receiver, std::size_t bytesPerFrame)
    : FReceiver(receiver), FBytesPerFrame(bytesPerFrame), FWake([this] { Collect(); }) {}

void TWaveInQueue::Opened(HWAVEIN handle) {
    FHandle = handle;
    Post(FReceiver, TWaveInMessage::Open, handle, nullptr);
}

TMMResult TWaveInQueue::Unprepare(TWaveHdr& header) {
    Collect();
    if ((header.Flags & WHDR_INQUEUE) != 0) return WAVERR_STILLPLAYING;
    header.Flags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

TMMResult TWaveInQueue::Add(TWaveHdr& header) {
    Collect();
    if ((header.Flags & WHDR_PREPARED) == 0) return WAVERR_UNPREPARED;
    if ((header.Flags & WHDR_INQUEUE) != 0) return WAVERR_STILLPLAYING;
    const std::uint64_t added = FAdded.load(std::memory_order_relaxed);
    if (added - FReturned == Capacity) return MMSYSERR_NOMEM;
    header.Flags = (header.Flags & ~WHDR_DONE) | WHDR_INQUEUE;
    header.BytesRecorded = 0;
    FBufferLength.store(header.BufferLength, std::memory_order_relaxed);
    Slot(added) = &header;
    FAdded.store(added + 1, std::memory_order_release);
    return MMSYSERR_NOERROR;
}

void TWaveInQueue::StartRecording() { FRecording.store(true); }

void TWaveInQueue::Reset() {
    FRecording.store(false);
    WaitForRecord();
    FSkipRemaining = 0;
    // Every queued buffer comes back as it is, the one being filled too.
    FFilled.store(FAdded.load(std::memory_order_relaxed), std::memory_order_relaxed);
    Collect();
}

TMMResult TWaveInQueue::Close() {
    Collect();
    if (FReturned != FAdded.load(std::memory_order_relaxed)) return WAVERR_STILLPLAYING;
    FRecording.store(false);
    WaitForRecord();
    FWake.Stop();
    Post(FReceiver, TWaveInMessage::Close, FHandle, nullptr);
    return MMSYSERR_NOERROR;
}

void TWaveInQueue::Abandon() {
    FRecording.store(false);
    WaitForRecord();
    FWake.Stop();
    const std::uint64_t added = FAdded.load(std::memory_order_relaxed);
    FFilled.store(added, std::memory_order_relaxed);
    FReturned = added;
}

void TWaveInQueue::Record(const char* bytes, std::size_t count) {
    const TRecordPresence presence(FInRecord);
    if (!FRecording.load()) return;
    FRecordedBytes.fetch_add(count, std::memory_order_relaxed);
    if (TCaptureRecording* recording = FRecordingFile.load()) recording->Capture(bytes, count);
    FTap.Write(bytes, count, static_cast<int>(FBytesPerFrame / 2));
    const std::uint64_t filledBefore = FFilled.load(std::memory_order_relaxed);
    while (count > 0) {
        if (FSkipRemaining == 0 && !HeadQueued()) {
            const std::size_t bufferLength = FBufferLength.load(std::memory_order_relaxed);
            // Before the first buffer was queued there is nothing to skip.
            if (bufferLength == 0) break;
            FSkipRemaining = bufferLength;
            FSkippedBuffers.fetch_add(1, std::memory_order_relaxed);
        }
        std::size_t used = 0;
        if (FSkipRemaining > 0) {
            used = std::min(count, FSkipRemaining);
            FSkipRemaining -= used;
        } else {
            used = FillHead(bytes, count);
        }
        bytes += used;
        count -= used;
    }
    if (FFilled.load(std::memory_order_relaxed) != filledBefore) FWake.Signal();
}

bool TWaveInQueue::HeadQueued() const {
    return FFilled.load(std::memory_order_relaxed) < FAdded.load(std::memory_order_acquire);
}

std::size_t TWaveInQueue::FillHead(const char* bytes, std::size_t count) {
    const std::uint64_t filled = FFilled.load(std::memory_order_relaxed);
    TWaveHdr& header = *Slot(filled);
    const std::size_t copied = std::min<std::size_t>(header.BufferLength - header.BytesRecorded, count);
    std::memcpy(header.Data + header.BytesRecorded, bytes, copied);
    header.BytesRecorded += static_cast<std::uint32_t>(copied);
    if (header.BytesRecorded == header.BufferLength) FFilled.store(filled + 1, std::memory_order_release);
    return copied;
}

void TWaveInQueue::SetRecording(TCaptureRecording* recording) {
    FRecordingFile.store(recording);
    WaitForRecord();
}

void TWaveInQueue::PassToRecording(const char* bytes, std::size_t count) {
    if (TCaptureRecording* recording = FRecordingFile.load()) recording->CaptureAll(bytes, count);
}

TWaveHdr* TWaveInQueue::RecordingHead() {
    Collect();
    const std::uint64_t filled = FFilled.load(std::memory_order_relaxed);
    if (!FRecording.load() || filled == FAdded.load(std::memory_order_relaxed)) return nullptr;
    return Slot(filled);
}

bool TWaveInQueue::ReturnHead() {
    Collect();
    const std::uint64_t filled = FFilled.load(std::memory_order_relaxed);
    if (filled == FAdded.load(std::memory_order_relaxed)) return false;
    FFilled.store(filled + 1, std::memory_order_relaxed);
    Collect();
    return true;
}

std::vector<TWaveHdr*> TWaveInQueue::Queued() {
    Collect();
    std::vector<TWaveHdr*> queued;
    for (std::uint64_t index = FReturned; index < FAdded.load(std::memory_order_relaxed); ++index) {
        queued.push_back(Slot(index));
    }
    return queued;
}

void TWaveInQueue::Collect() {
    const std::uint64_t filled = FFilled.load(std::memory_order_acquire);
    for (; FReturned < filled; ++FReturned) {
        TWaveHdr& header = *Slot(FReturned);
        header.Flags = (header.Flags & ~WHDR_INQUEUE) | WHDR_DONE;
        Post(FReceiver, TWaveInMessage::Data, FHandle, &header);
    }
}

void TWaveInQueue::WaitForRecord() const {
    while (FInRecord.load()) std::this_thread::yield();
}

TMMResult CheckOpenArguments(int deviceId, const TWaveFormatEx& format, const QObject* receiver) {
    if (deviceId < 0) return MMSYSERR_BADDEVICEID;
    if (receiver == nullptr) return MMSYSERR_INVALPARAM;
    if (!ValidPcmFormat(format)) return WAVERR_BADFORMAT;
    return MMSYSERR_NOERROR;
}

std::string QueuedWaveInErrorText(TMMResult code) {
    switch (code) {
        case MMSYSERR_NOERROR: return "The operation completed successfully.";
        case MMSYSERR_ERROR: return "An unspecified error occurred.";
        case MMSYSERR_BADDEVICEID: return "The specified device identifier is out of range.";
        case MMSYSERR_ALLOCATED: return "The specified device is already in use.";
        case MMSYSERR_INVALHANDLE: return "The specified device handle is invalid.";
        case MMSYSERR_NOMEM: return "Unable to allocate or lock memory.";
        case MMSYSERR_INVALPARAM: return "An invalid parameter was passed.";
        case WAVERR_BADFORMAT: return "The specified format is not supported.";
        case WAVERR_STILLPLAYING: return "The buffer is still in the queue.";
        case WAVERR_UNPREPARED: return "The header has not been prepared.";
        default: return "Unknown wave-input error " + std::to_string(code) + ".";
    }
}

}  // namespace wellenschau
