#include "audio/QueuedWaveIn.h"

#include "audio/CaptureRecording.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>

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

}  // namespace

void TWaveInQueue::Opened(HWAVEIN handle) {
    {
        std::lock_guard lock(FLock);
        FHandle = handle;
    }
    Post(FReceiver, TWaveInMessage::Open, handle, nullptr);
}

TMMResult TWaveInQueue::Unprepare(TWaveHdr& header) {
    std::lock_guard lock(FLock);
    if ((header.Flags & WHDR_INQUEUE) != 0) return WAVERR_STILLPLAYING;
    header.Flags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

TMMResult TWaveInQueue::Add(TWaveHdr& header) {
    std::lock_guard lock(FLock);
    if ((header.Flags & WHDR_PREPARED) == 0) return WAVERR_UNPREPARED;
    if ((header.Flags & WHDR_INQUEUE) != 0) return WAVERR_STILLPLAYING;
    header.Flags = (header.Flags & ~WHDR_DONE) | WHDR_INQUEUE;
    header.BytesRecorded = 0;
    header.Next = nullptr;
    FBufferLength = header.BufferLength;
    if (FTail != nullptr) {
        FTail->Next = &header;
    } else {
        FHead = &header;
    }
    FTail = &header;
    return MMSYSERR_NOERROR;
}

void TWaveInQueue::StartRecording() {
    std::lock_guard lock(FLock);
    FRecording = true;
}

void TWaveInQueue::Reset() {
    std::lock_guard lock(FLock);
    FRecording = false;
    FSkipRemaining = 0;
    while (FHead != nullptr) ReturnHeadLocked();
}

TMMResult TWaveInQueue::Close() {
    std::lock_guard lock(FLock);
    if (FHead != nullptr) return WAVERR_STILLPLAYING;
    FRecording = false;
    Post(FReceiver, TWaveInMessage::Close, FHandle, nullptr);
    return MMSYSERR_NOERROR;
}

void TWaveInQueue::Abandon() {
    std::lock_guard lock(FLock);
    FRecording = false;
    FHead = FTail = nullptr;
}

void TWaveInQueue::Record(const char* bytes, std::size_t count) {
    std::lock_guard lock(FLock);
    if (!FRecording) return;
    FRecordedBytes += count;
    if (FRecordingFile != nullptr) FRecordingFile->Capture(bytes, count);
    while (count > 0) {
        if (FSkipRemaining == 0 && FHead == nullptr) {
            // Before the first buffer was queued there is nothing to skip.
            if (FBufferLength == 0) return;
            FSkipRemaining = FBufferLength;
            ++FSkippedBuffers;
        }
        std::size_t used = 0;
        if (FSkipRemaining > 0) {
            used = std::min(count, FSkipRemaining);
            FSkipRemaining -= used;
        } else {
            used = FillHeadLocked(bytes, count);
        }
        bytes += used;
        count -= used;
    }
}

std::size_t TWaveInQueue::FillHeadLocked(const char* bytes, std::size_t count) {
    TWaveHdr& header = *FHead;
    const std::size_t copied = std::min<std::size_t>(header.BufferLength - header.BytesRecorded, count);
    std::memcpy(header.Data + header.BytesRecorded, bytes, copied);
    header.BytesRecorded += static_cast<std::uint32_t>(copied);
    if (header.BytesRecorded == header.BufferLength) ReturnHeadLocked();
    return copied;
}

void TWaveInQueue::SetRecording(TCaptureRecording* recording) {
    std::lock_guard lock(FLock);
    FRecordingFile = recording;
}

void TWaveInQueue::PassToRecording(const char* bytes, std::size_t count) {
    TCaptureRecording* recording = nullptr;
    {
        std::lock_guard lock(FLock);
        recording = FRecordingFile;
    }
    if (recording != nullptr) recording->CaptureAll(bytes, count);
}

int TWaveInQueue::SkippedBuffers() const {
    std::lock_guard lock(FLock);
    return FSkippedBuffers;
}

std::uint64_t TWaveInQueue::RecordedBytes() const {
    std::lock_guard lock(FLock);
    return FRecordedBytes;
}

TWaveHdr* TWaveInQueue::RecordingHead() const {
    std::lock_guard lock(FLock);
    return FRecording ? FHead : nullptr;
}

bool TWaveInQueue::ReturnHead() {
    std::lock_guard lock(FLock);
    if (FHead == nullptr) return false;
    ReturnHeadLocked();
    return true;
}

std::vector<TWaveHdr*> TWaveInQueue::Queued() const {
    std::vector<TWaveHdr*> queued;
    std::lock_guard lock(FLock);
    for (TWaveHdr* header = FHead; header != nullptr; header = header->Next) queued.push_back(header);
    return queued;
}

void TWaveInQueue::ReturnHeadLocked() {
    TWaveHdr* header = FHead;
    FHead = header->Next;
    if (FHead == nullptr) FTail = nullptr;
    header->Next = nullptr;
    header->Flags = (header->Flags & ~WHDR_INQUEUE) | WHDR_DONE;
    Post(FReceiver, TWaveInMessage::Data, FHandle, header);
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
