#include "audio/CaptureRecording.h"

#include <algorithm>
#include <chrono>

namespace wellenschau {

namespace {

// How often the writer looks into the ring when nobody wakes it.
constexpr auto WriterPeriod = std::chrono::milliseconds(10);

}  // namespace

TCaptureRecording::TCaptureRecording(const std::string& path, std::size_t ringBytes)
    : FPath(path), FRecorder(path), FRing(ringBytes), FWriter(&TCaptureRecording::Run, this) {}

TCaptureRecording::~TCaptureRecording() { Finish(); }

void TCaptureRecording::Capture(const char* bytes, std::size_t count) {
    const std::size_t taken = FRing.Write(bytes, count);
    FCapturedBytes.fetch_add(taken, std::memory_order_relaxed);
    if (taken < count) FLostBytes.fetch_add(count - taken, std::memory_order_relaxed);
}

void TCaptureRecording::CaptureAll(const char* bytes, std::size_t count) {
    while (count > 0 && !FFailed.load()) {
        const std::size_t taken = FRing.Write(bytes, count);
        FCapturedBytes.fetch_add(taken, std::memory_order_relaxed);
        bytes += taken;
        count -= taken;
        if (count == 0) return;
        std::unique_lock lock(FLock);
        FWake.notify_one();
        FProgress.wait_for(lock, WriterPeriod, [&] { return FRing.Room() > 0 || FFailed.load(); });
    }
    if (count > 0) FLostBytes.fetch_add(count, std::memory_order_relaxed);
}

void TCaptureRecording::Flush() {
    std::unique_lock lock(FLock);
    if (!FWriter.joinable()) return;
    const std::uint64_t wanted = FCapturedBytes.load();
    FFlushWanted = std::max(FFlushWanted, wanted);
    FWake.notify_one();
    FProgress.wait(lock, [&] { return FWrittenBytes.load() >= wanted || FFailed.load(); });
}

void TCaptureRecording::Finish() {
    {
        std::lock_guard lock(FLock);
        if (!FWriter.joinable()) return;
        FStopping = true;
        FWake.notify_one();
    }
    FWriter.join();
    if (FRecorder.IsOpen()) {
        try {
            FRecorder.Close();
        } catch (const EWavRecordError& error) {
            std::lock_guard lock(FLock);
            FFailure = error.what();
            FFailed = true;
        }
    }
}

std::string TCaptureRecording::Failure() const {
    std::lock_guard lock(FLock);
    return FFailure;
}

void TCaptureRecording::Run() {
    std::unique_lock lock(FLock);
    for (;;) {
        const bool stopping = FStopping;
        const bool all = stopping || FFlushWanted > FWrittenBytes.load();
        lock.unlock();
        Drain(all);
        lock.lock();
        FProgress.notify_all();
        if (stopping) return;
        FWake.wait_for(lock, WriterPeriod);
    }
}

void TCaptureRecording::Drain(bool all) {
    while (!FFailed.load()) {
        const std::size_t available = FRing.Available();
        // Whole samples only: an odd byte waits for its partner.
        const std::size_t count = available >= sizeof FBlock ? sizeof FBlock : all ? available & ~std::size_t{1} : 0;
        if (count == 0) return;
        Append(count);
    }
}

void TCaptureRecording::Append(std::size_t count) {
    FRing.Read(FBlock, count);
    try {
        FRecorder.Append(FBlock, static_cast<int>(count));
        FWrittenBytes.fetch_add(count);
    } catch (const EWavRecordError& error) {
        std::lock_guard lock(FLock);
        FFailure = error.what();
        FFailed = true;
    }
}

}  // namespace wellenschau
