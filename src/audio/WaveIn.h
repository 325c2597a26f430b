// Records, status codes and notifications shared by the audio input
// component and the wave-input services that stand behind it. The layout
// follows the classic wave-input interface: a format record handed over at
// open, one header per buffer, status 0 for success.
#pragma once

#include <QEvent>

#include <cstdint>

namespace wellenschau {

// Result of every service call: 0 for success, otherwise an error code whose
// text the service gives (TWaveInService::ErrorText).
using TMMResult = std::uint32_t;

// An open device. Handles are never reused, so a closed one stays invalid.
using HWAVEIN = std::uint32_t;
constexpr HWAVEIN NoWaveIn = 0;

constexpr TMMResult MMSYSERR_NOERROR = 0;
constexpr TMMResult MMSYSERR_ERROR = 1;
constexpr TMMResult MMSYSERR_BADDEVICEID = 2;
constexpr TMMResult MMSYSERR_ALLOCATED = 4;
constexpr TMMResult MMSYSERR_INVALHANDLE = 5;
constexpr TMMResult MMSYSERR_NOMEM = 7;
constexpr TMMResult MMSYSERR_INVALPARAM = 11;
constexpr TMMResult WAVERR_BADFORMAT = 32;
constexpr TMMResult WAVERR_STILLPLAYING = 33;
constexpr TMMResult WAVERR_UNPREPARED = 34;

constexpr std::uint16_t WAVE_FORMAT_PCM = 1;

// The recording format handed to the device at open (packed, as the
// platform record it stands for).
#pragma pack(push, 1)
struct TWaveFormatEx {
    std::uint16_t FormatTag = WAVE_FORMAT_PCM;
    std::uint16_t Channels = 1;
    std::uint32_t SamplesPerSec = 22050;
    std::uint32_t AvgBytesPerSec = 44100;
    std::uint16_t BlockAlign = 2;
    std::uint16_t BitsPerSample = 16;
    std::uint16_t ExtraSize = 0;
};
#pragma pack(pop)

// Header flags.
constexpr std::uint32_t WHDR_DONE = 0x01;      // the device has returned the buffer
constexpr std::uint32_t WHDR_PREPARED = 0x02;  // prepared for queuing
constexpr std::uint32_t WHDR_INQUEUE = 0x10;   // in the device's queue

// Describes one sample buffer to the device. While a buffer is queued the
// service owns the header; `Next` and `Reserved` are the service's.
struct TWaveHdr {
    char* Data = nullptr;
    std::uint32_t BufferLength = 0;
    std::uint32_t BytesRecorded = 0;
    std::uintptr_t User = 0;
    std::uint32_t Flags = 0;
    std::uint32_t Loops = 0;
    TWaveHdr* Next = nullptr;
    std::uintptr_t Reserved = 0;
};

// The three notifications a device posts to its receiver.
enum class TWaveInMessage { Open = 0x3BE, Close = 0x3BF, Data = 0x3C0 };

// Event type under which a notification is posted.
QEvent::Type WaveInEventType(TWaveInMessage message);

// A posted notification. Handle and header name the device and, for Data,
// the returned buffer; the audio component needs neither.
class TWaveInNotification : public QEvent {
public:
    TWaveInNotification(TWaveInMessage message, HWAVEIN handle, TWaveHdr* header)
        : QEvent(WaveInEventType(message)), FMessage(message), FHandle(handle), FHeader(header) {}

    TWaveInMessage Message() const { return FMessage; }
    HWAVEIN Handle() const { return FHandle; }
    TWaveHdr* Header() const { return FHeader; }

private:
    TWaveInMessage FMessage;
    HWAVEIN FHandle;
    TWaveHdr* FHeader;
};

}  // namespace wellenschau
