#include "audio/CaptureRecording.h"

#include "audio/SystemReason.h"

#include <QCoreApplication>

#include <algorithm>

namespace wellenschau {

namespace {

// The translation context of this file's texts.
struct TCaptureRecordingText {
    Q_DECLARE_TR_FUNCTIONS(TCaptureRecordingText)
};

// How often the writer looks into the ring when nobody wakes it.
constexpr auto WriterPeriod = std::chrono::milliseconds(10);

std::string DiskNotResponding(const std::string& path) {
    return Filled(TCaptureRecordingText::tr("Die Aufnahme in „%1“ wurde angehalten: Der Datenträger antwortet nicht."),
                  {path});
}

}  // namespace

TCaptureRecording::TCaptureRecording(const std::string& path, TWavRecorder::TExisting existing, std::size_t ringBytes,
                                     int channels)
    : FPath(path),
      FShared(std::make_shared<TShared>(path, existing, ringBytes, channels)),
      FWriter(&TCaptureRecording::Run, FShared) {}

TCaptureRecording::~TCaptureRecording() { Finish(); }

void TCaptureRecording::Capture(const char* bytes, std::size_t count) {
    TShared& shared = *FShared;
    if (shared.Failed.load(std::memory_order_relaxed)) {
        shared.DroppedBytes.fetch_add(count, std::memory_order_relaxed);
        return;
    }
    const std::size_t taken = shared.Ring.Write(bytes, count);
    shared.CapturedBytes.fetch_add(taken, std::memory_order_relaxed);
    if (taken < count) shared.LostBytes.fetch_add(count - taken, std::memory_order_relaxed);
}

void TCaptureRecording::CaptureAll(const char* bytes, std::size_t count) {
    TShared& shared = *FShared;
    auto lastProgress = std::chrono::steady_clock::now();
    while (count > 0 && !Failed()) {
        const std::size_t taken = shared.Ring.Write(bytes, count);
        shared.CapturedBytes.fetch_add(taken, std::memory_order_relaxed);
        bytes += taken;
        count -= taken;
        if (count == 0) return;
        if (taken > 0) lastProgress = std::chrono::steady_clock::now();
        if (std::chrono::steady_clock::now() - lastProgress > RoomLimit) {
            GiveUp();
            break;
        }
        std::unique_lock lock(shared.Lock);
        shared.Wake.notify_one();
        shared.Progress.wait_for(lock, WriterPeriod, [&] { return shared.Ring.Room() > 0 || shared.Failed.load(); });
    }
    // Not lost to a full ring: the writer failed or stopped answering.
    if (count > 0) shared.DroppedBytes.fetch_add(count, std::memory_order_relaxed);
}

bool TCaptureRecording::Flush() {
    TShared& shared = *FShared;
    std::unique_lock lock(shared.Lock);
    if (!FWriter.joinable()) return shared.WrittenBytes.load() >= shared.CapturedBytes.load();
    const std::uint64_t wanted = shared.CapturedBytes.load();
    shared.FlushWanted = std::max(shared.FlushWanted, wanted);
    shared.Wake.notify_one();
    return shared.Progress.wait_for(lock, FlushLimit, [&] {
        return shared.WrittenBytes.load() >= wanted || shared.Failed.load();
    }) && !shared.Failed.load();
}

void TCaptureRecording::Finish() {
    if (!FWriter.joinable()) return;
    TShared& shared = *FShared;
    std::unique_lock lock(shared.Lock);
    shared.Stopping = true;
    shared.Wake.notify_one();
    const bool finished = shared.Progress.wait_for(lock, FinishLimit, [&] { return shared.Finished; });
    lock.unlock();
    if (finished) {
        FWriter.join();
    } else {
        GiveUp();
        FWriter.detach();
    }
}

void TCaptureRecording::GiveUp() {
    if (FGivenUp.empty()) FGivenUp = DiskNotResponding(FPath);
}

std::uint64_t TCaptureRecording::UnwrittenBytes() const {
    const TShared& shared = *FShared;
    return shared.CapturedBytes.load() - shared.WrittenBytes.load() + shared.DroppedBytes.load();
}

void TCaptureRecording::StallWriter(std::chrono::milliseconds duration) { FShared->StallMs = duration.count(); }

std::string TCaptureRecording::Failure() const {
    std::lock_guard lock(FShared->Lock);
    return FShared->Failure.empty() ? FGivenUp : FShared->Failure;
}

void TCaptureRecording::TShared::Fail(const std::string& message) {
    std::lock_guard lock(Lock);
    if (Failed.load()) return;
    Failure = message;
    Failed = true;
}

void TCaptureRecording::Run(std::shared_ptr<TShared> shared) {
    std::unique_lock lock(shared->Lock);
    for (;;) {
        const bool stopping = shared->Stopping;
        const bool all = stopping || shared->FlushWanted > shared->WrittenBytes.load();
        lock.unlock();
        Drain(*shared, all);
        if (stopping) CloseFile(*shared);
        lock.lock();
        shared->Finished = stopping;
        shared->Progress.notify_all();
        if (stopping) return;
        shared->Wake.wait_for(lock, WriterPeriod);
    }
}

void TCaptureRecording::Drain(TShared& shared, bool all) {
    while (!shared.Failed.load()) {
        const std::size_t available = shared.Ring.Available();
        // Whole samples only: an odd byte waits for its partner.
        const std::size_t count = available >= sizeof shared.Block ? sizeof shared.Block
                                  : all                             ? available & ~std::size_t{1}
                                                                    : 0;
        if (count == 0) return;
        Append(shared, count);
    }
}

void TCaptureRecording::Append(TShared& shared, std::size_t count) {
    if (const std::int64_t stall = shared.StallMs.exchange(0); stall > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(stall));
    shared.Ring.Read(shared.Block, count);
    try {
        shared.Recorder.Append(shared.Block, static_cast<int>(count));
        shared.WrittenBytes.fetch_add(count);
    } catch (const EWavRecordError& error) {
        shared.Fail(error.what());
    }
}

void TCaptureRecording::CloseFile(TShared& shared) {
    try {
        shared.Recorder.Close();
    } catch (const EWavRecordError& error) {
        shared.Fail(error.what());
    }
}

}  // namespace wellenschau
