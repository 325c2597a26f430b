#include "audio/AudioIO.h"

#include "core/CheckedMath.h"
#include "core/Errors.h"

#include <algorithm>
#include <new>

namespace wellenschau {

namespace {

constexpr int MinimumBufferSize = 512;
constexpr unsigned HeaderFlags = GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT;
constexpr unsigned BufferFlags = GMEM_MOVEABLE | GMEM_DDESHARE;

}  // namespace

TAudioIO::TAudioIO(QObject* AOwner, TGlobalMemory& memory) : QObject(AOwner), FMemory(memory) {
    FNumBuffers = MaxBuffers;
    FRequestedSize = 8192;
    FInProgress = false;
    FWaveDevice = -1;
    FWaveFormat = TWaveFormatEx{};
    FWaveFormat.FormatTag = WAVE_FORMAT_PCM;
    FWaveFormat.BitsPerSample = 16;
    FWaveFormat.Channels = 1;
    FWaveFormat.SamplesPerSec = 22050;
    UpdateFormat();
    FBuffers.Fill(nullptr);
    AllocateHeaders();
    AllocateBuffers();
}

TAudioIO::~TAudioIO() {
    FreeBuffers();
    FreeHeaders();
}

void TAudioIO::SetBufferSize(int value) {
    FRequestedSize = std::max(value, MinimumBufferSize);
    UpdateFormat();
    // The open device is filling the present buffers; the next open
    // allocates them in the new size (EnsureMemory).
    if (DeviceBusy()) return;
    FreeBuffers();
    AllocateBuffers();
}

void TAudioIO::SetNumBuffers(int value) { FNumBuffers = std::clamp(value, 2, MaxBuffers); }

void TAudioIO::SetFrameRate(int value) {
    if (value < 0) throw ERangeError();
    TWaveFormatEx format = FWaveFormat;
    format.SamplesPerSec = static_cast<std::uint32_t>(value);
    ApplyFormat(format);
}

void TAudioIO::SetStereo(bool value) {
    TWaveFormatEx format = FWaveFormat;
    format.Channels = value ? 2 : 1;
    ApplyFormat(format);
}

void TAudioIO::SetQuantization(std::uint16_t value) {
    TWaveFormatEx format = FWaveFormat;
    format.BitsPerSample = value <= 8 ? 8 : 16;
    ApplyFormat(format);
}

void TAudioIO::StopNow() {
    FInProgress = false;
    FAccepting = false;
}

void TAudioIO::StopWhenDrained() { FAccepting = false; }

void TAudioIO::UpdateFormat() { ApplyFormat(FWaveFormat); }

void TAudioIO::ApplyFormat(TWaveFormatEx format) {
    format.BlockAlign = static_cast<std::uint16_t>(format.BitsPerSample / 8 * format.Channels);
    format.AvgBytesPerSec = CheckedMul<std::uint32_t>(format.BlockAlign, format.SamplesPerSec);
    FWaveFormat = format;
    FBufferSize = FRequestedSize - FRequestedSize % format.BlockAlign;
}

bool TAudioIO::InitHeaders() {
    UpdateFormat();
    for (int slot = 0; slot < FNumBuffers; ++slot) {
        *FHeaders[slot] = TWaveHdr{};
        FHeaders[slot]->Data = FBuffers[slot];
        FHeaders[slot]->BufferLength = static_cast<std::uint32_t>(FBufferSize);
    }
    return true;
}

bool TAudioIO::AllocateHeaders() {
    for (int slot = 0; slot < MaxBuffers; ++slot) {
        FHeaderMemory[slot] = FMemory.GlobalAlloc(HeaderFlags, sizeof(TWaveHdr));
        if (FHeaderMemory[slot] == 0) {
            FreeHeaders();
            FErrorMessage = "Error allocating wave header memory";
            return false;
        }
        void* address = FMemory.GlobalLock(FHeaderMemory[slot]);
        if (address == nullptr) {
            FreeHeaders();
            FErrorMessage = "Could not lock header memory for recording";
            return false;
        }
        FHeaders[slot] = new (address) TWaveHdr{};
    }
    return true;
}

void TAudioIO::FreeHeaders() {
    for (int slot = 0; slot < MaxBuffers; ++slot) {
        if (FHeaderMemory[slot] == 0) continue;
        if (FHeaders[slot] != nullptr) FMemory.GlobalUnlock(FHeaderMemory[slot]);
        FMemory.GlobalFree(FHeaderMemory[slot]);
        FHeaderMemory[slot] = 0;
        FHeaders[slot] = nullptr;
    }
}

bool TAudioIO::AllocateBuffers() {
    for (int slot = 0; slot < FNumBuffers; ++slot) {
        FBufferMemory[slot] = FMemory.GlobalAlloc(BufferFlags, static_cast<std::size_t>(FBufferSize));
        if (FBufferMemory[slot] == 0) {
            FreeBuffers();
            FErrorMessage = "Error allocating wave buffer memory";
            return false;
        }
        FBuffers[slot] = static_cast<char*>(FMemory.GlobalLock(FBufferMemory[slot]));
        if (FBuffers[slot] == nullptr) {
            FreeBuffers();
            FErrorMessage = "Error Locking wave buffer memory";
            return false;
        }
        // Without headers (their allocation failed) an open allocates both
        // again before it records.
        if (FHeaders[slot] != nullptr) FHeaders[slot]->Data = FBuffers[slot];
    }
    FAllocatedSize = FBufferSize;
    return true;
}

void TAudioIO::FreeBuffers() {
    for (int slot = 0; slot < MaxBuffers; ++slot) {
        if (FBufferMemory[slot] == 0) continue;
        if (FBuffers[slot] != nullptr) FMemory.GlobalUnlock(FBufferMemory[slot]);
        FMemory.GlobalFree(FBufferMemory[slot]);
        FBufferMemory[slot] = 0;
        FBuffers[slot] = nullptr;
        if (FHeaders[slot] != nullptr) FHeaders[slot]->Data = nullptr;
    }
    FAllocatedSize = 0;
}

bool TAudioIO::EnsureMemory() {
    if (FHeaders[0] == nullptr && !AllocateHeaders()) return false;
    bool buffersMissing = FAllocatedSize < FBufferSize;
    for (int slot = 0; slot < FNumBuffers; ++slot) buffersMissing = buffersMissing || FBuffers[slot] == nullptr;
    if (!buffersMissing) return true;
    FreeBuffers();
    return AllocateBuffers();
}

}  // namespace wellenschau
