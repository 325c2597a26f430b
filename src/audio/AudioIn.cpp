#include "audio/AudioIn.h"

#include "audio/CallBackWinIn.h"
#include "audio/CaptureRecording.h"
#include "core/Errors.h"

#include <QCoreApplication>

#include <algorithm>

namespace wellenschau {

namespace {

// Posted to the component itself when a handler's exception left
// notifications waiting.
const QEvent::Type ResumeNotifications = static_cast<QEvent::Type>(QEvent::registerEventType());

constexpr std::size_t PendingCapacity = 16;
constexpr int WatchdogIntervalMs = 100;
constexpr std::size_t ErrorTextSize = 256;

}  // namespace

TAudioIn::TAudioIn(QObject* AOwner, TWaveInService& service, TGlobalMemory& memory)
    : TAudioIO(AOwner, memory), FService(&service) {
    FPending.reserve(PendingCapacity);
    FWatchdog.setInterval(WatchdogIntervalMs);
    connect(&FWatchdog, &QTimer::timeout, this, [this] { WatchDevice(); });
}

TAudioIn::~TAudioIn() {
    if (FDeviceOpen) {
        FAccepting = false;
        FService->Reset(FWaveHandle);
        CloseDevice();
    }
    // Destroying the receivers discards the notifications still posted to them.
    FCallbackWindows.clear();
}

bool TAudioIn::Start(TAudioIn*& Target) { return OpenDevice(Target) && StartRecording(); }

void TAudioIn::StopNow() {
    if (!FDeviceOpen) return;
    FInProgress = false;
    FAccepting = false;
    FService->Reset(FWaveHandle);
    CloseDevice();
}

void TAudioIn::StopWhenDrained() {
    if (FDeviceOpen) FAccepting = false;
}

bool TAudioIn::SetWaveInService(TWaveInService& service) {
    if (FDeviceOpen) return false;
    FService = &service;
    return true;
}

bool TAudioIn::SetRecording(TCaptureRecording* recording) {
    if (FDeviceOpen) return false;
    FRecording = recording;
    return true;
}

bool TAudioIn::OpenDevice(TAudioIn*& Target) {
    if (FDeviceOpen) {
        FErrorMessage = "Wave Input device is already open";
        return false;
    }
    FRingIndex = 0;
    FRingSize = FNumBuffers;
    FLostMessage.clear();
    ReleaseFinishedCallbackWindows();
    FCallbackWindow = nullptr;
    FCallbackWindows.push_back(std::make_unique<TCallBackWinIn>(&Target));
    FCallbackWindow = FCallbackWindows.back().get();
    if (FWaveDevice < 0) throw ERangeError();
    if (!EnsureMemory()) return false;
    if (const TMMResult code = FService->Open(FWaveHandle, FWaveDevice, FWaveFormat, FCallbackWindow)) {
        FErrorMessage = WaveErrorText(code);
        return false;
    }
    FCallbackWindow->MarkOpened();
    FDeviceOpen = true;
    if (FRecording != nullptr) FService->SetRecording(FWaveHandle, FRecording);
    InitHeaders();
    for (int slot = 0; slot < FRingSize; ++slot) {
        if (const TMMResult code = FService->PrepareHeader(FWaveHandle, FHeaders[slot])) {
            FErrorMessage = WaveErrorText(code);
            CloseDevice();
            return false;
        }
    }
    FQueuedCount = 0;
    FAccepting = true;
    FInProgress = true;
    return true;
}

bool TAudioIn::StartRecording() {
    if (const TMMResult code = FService->Start(FWaveHandle)) {
        CloseDevice();
        FErrorMessage = "Error starting wave record: " + WaveErrorText(code);
        return false;
    }
    FInProgress = true;
    for (int count = 0; count < FRingSize; ++count) {
        if (!QueueBuffer()) {
            CloseDevice();
            return false;
        }
    }
    FWatchdog.start();
    return true;
}

bool TAudioIn::QueueBuffer() {
    // A stop inside the handler closed the device: there is no queue left.
    if (!FDeviceOpen) return false;
    TWaveHdr* header = FHeaders[FRingIndex];
    header->Flags = WHDR_PREPARED;
    if (const TMMResult code = FService->AddBuffer(FWaveHandle, header)) {
        FErrorMessage = WaveErrorText(code);
        if (!FService->EndsRegularly(code)) FLostMessage = FErrorMessage;
        StopWhenDrained();
        return false;
    }
    FRingIndex = (FRingIndex + 1) % FRingSize;
    FQueuedCount += 1;
    return true;
}

void TAudioIn::ReturnBuffer() {
    // The device returns buffers in queue order and buffers are queued in
    // ring order, so the returned one is the oldest of those queued. Once the
    // ring is full that is the slot at FRingIndex; after a declined buffer it
    // lies before it.
    const int returnedSlot = ((FRingIndex - FQueuedCount) % FRingSize + FRingSize) % FRingSize;
    const TCallBackWinIn* open = FCallbackWindow;
    FQueuedCount -= 1;
    FInProgress = FQueuedCount > 0;
    bool accepted = false;
    try {
        accepted = DeliverBuffer(FBuffers[returnedSlot], static_cast<int>(FHeaders[returnedSlot]->BufferLength));
    } catch (...) {
        // A failed handler keeps its buffer out of the queue, like a declined
        // one; when no other buffer is queued the recording has ended and
        // the device must close, or it would stay open with nothing to fill.
        CloseIfDrained(open);
        throw;
    }
    // The handler started a new recording: this step's device is gone.
    if (FCallbackWindow != open) return;
    if (accepted) QueueBuffer();
    CloseIfDrained(open);
}

void TAudioIn::CloseIfDrained(const TCallBackWinIn* open) {
    if (FCallbackWindow != open || FInProgress) return;
    FAccepting = false;
    CloseDevice();
}

bool TAudioIn::DeliverBuffer(char* Buffer, int Size) {
    if (!FAccepting) return false;
    if (!FOnBufferFilled) return true;
    int size = Size;
    return FOnBufferFilled(Buffer, size);
}

void TAudioIn::CloseDevice() {
    FInProgress = false;
    // After a stop the handle names a closed device; the service must not
    // see it again.
    if (FDeviceOpen) {
        for (int slot = 0; slot < FRingSize; ++slot) FService->UnprepareHeader(FWaveHandle, FHeaders[slot]);
        FService->Reset(FWaveHandle);
        CountSkipsAtClose();
        // The device records no more: what it captured goes into the file
        // before the close is announced, unless the disk stalls; then the
        // flush gives up after its limit and the writer goes on alone.
        if (FRecording != nullptr) FRecording->Flush();
        FService->Close(FWaveHandle);
    }
    FWatchdog.stop();
    FDeviceOpen = false;
    FWaveHandle = NoWaveIn;
}

void TAudioIn::CountSkipsAtClose() {
    FService->CheckDevice(FWaveHandle, FSkippedNow);
    FSkippedBefore += FSkippedNow;
    FSkippedNow = 0;
}

void TAudioIn::WatchDevice() {
    if (!FDeviceOpen) return;
    if (const TMMResult code = FService->CheckDevice(FWaveHandle, FSkippedNow)) {
        DeviceLost(WaveErrorText(code));
    } else if (FRecording != nullptr && FRecording->Failed()) {
        DeviceLost(FRecording->Failure());
    }
}

void TAudioIn::DeviceLost(const std::string& reason) {
    FErrorMessage = reason;
    FLostMessage = reason;
    StopNow();
}

std::string TAudioIn::WaveErrorText(TMMResult code) const {
    std::string text = FService->ErrorText(code);
    if (text.size() >= ErrorTextSize) text.resize(ErrorTextSize - 1);
    return text;
}

void TAudioIn::ReceiveNotification(TCallBackWinIn& receiver, TWaveInMessage message) {
    FPending.push_back({&receiver, message});
    if (FDispatching || FResumePosted) return;
    DispatchPending();
}

void TAudioIn::DispatchPending() {
    FDispatching = true;
    try {
        while (FPendingNext < FPending.size()) {
            const TPendingNotification next = FPending[FPendingNext++];
            Dispatch(*next.Receiver, next.Message);
            DropHandledPending();
        }
    } catch (...) {
        // The handler's error goes on to the application; what is still
        // waiting is handled once the event loop runs again, before anything
        // that arrives later.
        FDispatching = false;
        if (FPendingNext < FPending.size()) {
            FResumePosted = true;
            QCoreApplication::postEvent(this, new QEvent(ResumeNotifications));
        }
        throw;
    }
    FPending.clear();
    FPendingNext = 0;
    FDispatching = false;
}

void TAudioIn::DropHandledPending() {
    // A device that refills at once (a file played as fast as possible)
    // keeps one notification waiting behind the one being handled, so the
    // list never runs empty; without this it would grow by one entry per
    // buffer for as long as the recording runs.
    if (FPendingNext < PendingCapacity / 2) return;
    FPending.erase(FPending.begin(), FPending.begin() + static_cast<std::ptrdiff_t>(FPendingNext));
    FPendingNext = 0;
}

void TAudioIn::Dispatch(TCallBackWinIn& receiver, TWaveInMessage message) {
    switch (message) {
        case TWaveInMessage::Open:
            if (FOnStart) FOnStart(&receiver);
            break;
        case TWaveInMessage::Close:
            receiver.MarkClosed();
            if (FOnStop) FOnStop(&receiver);
            break;
        case TWaveInMessage::Data:
            // A buffer of an earlier open (its device is closed) is not this
            // ring's business.
            if (&receiver == FCallbackWindow) ReturnBuffer();
            break;
    }
}

bool TAudioIn::event(QEvent* event) {
    if (event->type() != ResumeNotifications) return TAudioIO::event(event);
    FResumePosted = false;
    if (!FDispatching) DispatchPending();
    return true;
}

void TAudioIn::ReleaseFinishedCallbackWindows() {
    // Inside a handler a receiver may be the one whose event is running.
    if (FDispatching) return;
    std::erase_if(FCallbackWindows,
                  [](const std::unique_ptr<TCallBackWinIn>& window) { return !window->AwaitsNotifications(); });
}

}  // namespace wellenschau
