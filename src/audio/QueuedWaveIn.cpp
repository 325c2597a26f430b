#include "audio/QueuedWaveIn.h"

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

void Post(const QObject* receiver, TWaveInMessage message, HWAVEIN handle, TWaveHdr* header) {
    QCoreApplication::postEvent(const_cast<QObject*>(receiver), new TWaveInNotification(message, handle, header));
}

}  // namespace

TMMResult TQueuedWaveIn::Open(HWAVEIN& handle, int deviceId, const TWaveFormatEx& format, QObject* receiver) {
    if (deviceId < 0) return MMSYSERR_BADDEVICEID;
    if (receiver == nullptr) return MMSYSERR_INVALPARAM;
    if (!ValidPcmFormat(format)) return WAVERR_BADFORMAT;
    auto device = std::make_shared<TDevice>();
    device->Receiver = receiver;
    device->BytesPerFrame = format.BlockAlign;
    if (const TMMResult result = OpenStream(*device, deviceId, format); result != MMSYSERR_NOERROR) return result;
    device->Handle = ++FLastHandle;
    FDevices.emplace(device->Handle, device);
    handle = device->Handle;
    Post(receiver, TWaveInMessage::Open, handle, nullptr);
    return MMSYSERR_NOERROR;
}

TMMResult TQueuedWaveIn::PrepareHeader(HWAVEIN handle, TWaveHdr* header) {
    if (Find(handle) == nullptr) return MMSYSERR_INVALHANDLE;
    if (header == nullptr || header->Data == nullptr) return MMSYSERR_INVALPARAM;
    header->Flags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

TMMResult TQueuedWaveIn::UnprepareHeader(HWAVEIN handle, TWaveHdr* header) {
    TDevice* device = Find(handle);
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    if (header == nullptr) return MMSYSERR_INVALPARAM;
    std::lock_guard lock(device->Lock);
    if ((header->Flags & WHDR_INQUEUE) != 0) return WAVERR_STILLPLAYING;
    header->Flags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

TMMResult TQueuedWaveIn::AddBuffer(HWAVEIN handle, TWaveHdr* header) {
    TDevice* device = Find(handle);
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    if (header == nullptr || header->Data == nullptr || header->BufferLength == 0) return MMSYSERR_INVALPARAM;
    std::lock_guard lock(device->Lock);
    if ((header->Flags & WHDR_PREPARED) == 0) return WAVERR_UNPREPARED;
    if ((header->Flags & WHDR_INQUEUE) != 0) return WAVERR_STILLPLAYING;
    header->Flags = (header->Flags & ~WHDR_DONE) | WHDR_INQUEUE;
    header->BytesRecorded = 0;
    header->Next = nullptr;
    if (device->Tail != nullptr) {
        device->Tail->Next = header;
    } else {
        device->Head = header;
    }
    device->Tail = header;
    return MMSYSERR_NOERROR;
}

TMMResult TQueuedWaveIn::Start(HWAVEIN handle) {
    TDevice* device = Find(handle);
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    if (const TMMResult result = StartStream(*device); result != MMSYSERR_NOERROR) return result;
    std::lock_guard lock(device->Lock);
    device->Recording = true;
    return MMSYSERR_NOERROR;
}

TMMResult TQueuedWaveIn::Reset(HWAVEIN handle) {
    TDevice* device = Find(handle);
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    std::lock_guard lock(device->Lock);
    device->Recording = false;
    while (device->Head != nullptr) ReturnHeadLocked(*device);
    return MMSYSERR_NOERROR;
}

TMMResult TQueuedWaveIn::Close(HWAVEIN handle) {
    const auto found = FDevices.find(handle);
    if (found == FDevices.end()) return MMSYSERR_INVALHANDLE;
    std::shared_ptr<TDevice> device = found->second;
    {
        std::lock_guard lock(device->Lock);
        if (device->Head != nullptr) return WAVERR_STILLPLAYING;
        device->Recording = false;
        device->Closed = true;
        Post(device->Receiver, TWaveInMessage::Close, handle, nullptr);
    }
    FDevices.erase(found);
    ReleaseStream(std::move(device));
    return MMSYSERR_NOERROR;
}

std::string TQueuedWaveIn::ErrorText(TMMResult code) const {
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

void TQueuedWaveIn::Record(TDevice& device, const char* bytes, std::size_t count) {
    std::lock_guard lock(device.Lock);
    if (!device.Recording) return;
    while (count > 0 && device.Head != nullptr) {
        TWaveHdr& header = *device.Head;
        const std::size_t room = header.BufferLength - header.BytesRecorded;
        const std::size_t copied = std::min(room, count);
        std::memcpy(header.Data + header.BytesRecorded, bytes, copied);
        header.BytesRecorded += static_cast<std::uint32_t>(copied);
        bytes += copied;
        count -= copied;
        if (header.BytesRecorded == header.BufferLength) ReturnHeadLocked(device);
    }
}

bool TQueuedWaveIn::ReturnHead(TDevice& device) {
    std::lock_guard lock(device.Lock);
    if (device.Head == nullptr) return false;
    ReturnHeadLocked(device);
    return true;
}

void TQueuedWaveIn::ReturnHeadLocked(TDevice& device) {
    TWaveHdr* header = device.Head;
    device.Head = header->Next;
    if (device.Head == nullptr) device.Tail = nullptr;
    header->Next = nullptr;
    header->Flags = (header->Flags & ~WHDR_INQUEUE) | WHDR_DONE;
    Post(device.Receiver, TWaveInMessage::Data, device.Handle, header);
}

TQueuedWaveIn::TDevice* TQueuedWaveIn::Find(HWAVEIN handle) const {
    const auto found = FDevices.find(handle);
    return found == FDevices.end() ? nullptr : found->second.get();
}

void TQueuedWaveIn::CloseAll() {
    for (auto& [handle, device] : FDevices) {
        {
            std::lock_guard lock(device->Lock);
            device->Recording = false;
            device->Closed = true;
            device->Head = device->Tail = nullptr;
        }
        ReleaseStream(device);
    }
    FDevices.clear();
}

}  // namespace wellenschau
