#include "audio/SimulatedWaveIn.h"

#include <algorithm>
#include <cstring>

namespace wellenschau {

template <typename Operation>
TMMResult TSimulatedWaveIn::Recorded(TWaveInCall call, HWAVEIN handle, Operation operation) {
    const bool handleWasOpen = Find(handle) != nullptr;
    TMMResult result;
    if (const auto failure = FPendingFailures.find(call); failure != FPendingFailures.end()) {
        result = failure->second;
        FPendingFailures.erase(failure);
    } else {
        result = operation();
    }
    FCalls.push_back({call, handle, handleWasOpen, result});
    return result;
}

TMMResult TSimulatedWaveIn::Open(HWAVEIN& handle, int deviceId, const TWaveFormatEx& format, QObject* receiver) {
    FLastDeviceId = deviceId;
    FLastFormat = format;
    return Recorded(TWaveInCall::Open, NoWaveIn, [&] {
        const TMMResult result = TQueuedWaveIn::Open(handle, deviceId, format, receiver);
        if (result == MMSYSERR_NOERROR) FLastOpened = handle;
        return result;
    });
}

TMMResult TSimulatedWaveIn::PrepareHeader(HWAVEIN handle, TWaveHdr* header) {
    return Recorded(TWaveInCall::PrepareHeader, handle, [&] { return TQueuedWaveIn::PrepareHeader(handle, header); });
}

TMMResult TSimulatedWaveIn::UnprepareHeader(HWAVEIN handle, TWaveHdr* header) {
    return Recorded(TWaveInCall::UnprepareHeader, handle,
                    [&] { return TQueuedWaveIn::UnprepareHeader(handle, header); });
}

TMMResult TSimulatedWaveIn::AddBuffer(HWAVEIN handle, TWaveHdr* header) {
    return Recorded(TWaveInCall::AddBuffer, handle, [&] { return TQueuedWaveIn::AddBuffer(handle, header); });
}

TMMResult TSimulatedWaveIn::Start(HWAVEIN handle) {
    return Recorded(TWaveInCall::Start, handle, [&] { return TQueuedWaveIn::Start(handle); });
}

TMMResult TSimulatedWaveIn::Reset(HWAVEIN handle) {
    return Recorded(TWaveInCall::Reset, handle, [&] { return TQueuedWaveIn::Reset(handle); });
}

TMMResult TSimulatedWaveIn::Close(HWAVEIN handle) {
    return Recorded(TWaveInCall::Close, handle, [&] { return TQueuedWaveIn::Close(handle); });
}

std::string TSimulatedWaveIn::ErrorText(TMMResult code) const {
    return "Simulated device: " + TQueuedWaveIn::ErrorText(code);
}

TMMResult TSimulatedWaveIn::OpenStream(TDevice&, int deviceId, const TWaveFormatEx&) {
    return deviceId < FDeviceCount ? MMSYSERR_NOERROR : MMSYSERR_BADDEVICEID;
}

bool TSimulatedWaveIn::FillNext(HWAVEIN handle, std::span<const char> bytes) {
    TDevice* device = Find(handle);
    if (device == nullptr) return false;
    TWaveHdr* header = device->Queue.RecordingHead();
    if (header == nullptr) return false;
    const std::size_t copied = std::min<std::size_t>(bytes.size(), header->BufferLength);
    std::memcpy(header->Data, bytes.data(), copied);
    header->BytesRecorded = static_cast<std::uint32_t>(copied);
    return device->Queue.ReturnHead();
}

bool TSimulatedWaveIn::FillNextSamples(HWAVEIN handle, std::span<const std::int16_t> samples) {
    return FillNext(handle, {reinterpret_cast<const char*>(samples.data()), samples.size_bytes()});
}

bool TSimulatedWaveIn::LoseDevice(HWAVEIN handle, TMMResult code) {
    TDevice* device = Find(handle);
    if (device == nullptr) return false;
    device->Stream.Health = code;
    return true;
}

void TSimulatedWaveIn::FailNext(TWaveInCall call, TMMResult code) { FPendingFailures[call] = code; }

int TSimulatedWaveIn::CallsOnClosedHandles() const {
    return static_cast<int>(std::count_if(FCalls.begin(), FCalls.end(), [](const TCallRecord& record) {
        return record.Call != TWaveInCall::Open && !record.HandleWasOpen;
    }));
}

std::vector<TWaveHdr*> TSimulatedWaveIn::QueuedBuffers(HWAVEIN handle) const {
    TDevice* device = Find(handle);
    return device == nullptr ? std::vector<TWaveHdr*>() : device->Queue.Queued();
}

}  // namespace wellenschau
