// TCaptureRecording: the WAV file of --record, fed on the capture side.
// The sound callback hands every captured byte to a lock-free ring
// (Capture); a writer thread of its own appends the ring's contents to a
// TWavRecorder in blocks, so the file grows without gaps while the
// user-interface thread may be late with its buffers. The WAV is valid at
// every moment (the recorder corrects its header after every append).
//
// A failed write ends the writing: the file keeps what was written before,
// Failure() gives the recorder's message, and later bytes are dropped.
//
// Threads: Capture from the one capture thread of the device that records
// (the devices of one component record one after the other); CaptureAll,
// Flush, Finish and the queries from the user-interface thread.
#pragma once

#include "audio/SampleRing.h"
#include "audio/WavRecorder.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace wellenschau {

class TCaptureRecording {
public:
    // Ring of about 11.9 s at 44100 Hz: the writer stays ahead unless the
    // disk stalls for longer than that.
    static constexpr std::size_t DefaultRingBytes = std::size_t{1} << 20;

    // Creates the WAV file (see TWavRecorder; throws EWavRecordError) and
    // starts the writer thread.
    explicit TCaptureRecording(const std::string& path, std::size_t ringBytes = DefaultRingBytes);
    // Finish.
    ~TCaptureRecording();
    TCaptureRecording(const TCaptureRecording&) = delete;
    TCaptureRecording& operator=(const TCaptureRecording&) = delete;

    // Capture thread: copies and returns at once. Bytes the ring cannot
    // take are lost and counted (LostBytes).
    void Capture(const char* bytes, std::size_t count);
    // User-interface thread (a file played as fast as possible): waits for
    // room instead of losing bytes, unless writing has failed.
    void CaptureAll(const char* bytes, std::size_t count);
    // Waits until everything captured so far is in the file (or writing
    // has failed).
    void Flush();
    // Flushes, ends the writer thread and closes the file. Idempotent.
    void Finish();

    const std::string& Path() const { return FPath; }
    // Sample bytes in the file.
    std::uint64_t WrittenBytes() const { return FWrittenBytes.load(); }
    // Bytes the capture thread offered while the ring was full.
    std::uint64_t LostBytes() const { return FLostBytes.load(); }
    // The recorder's message once a write has failed; empty before.
    std::string Failure() const;
    bool Failed() const { return FFailed.load(); }

private:
    void Run();
    // Appends whole blocks from the ring, and with `all` the rest as well.
    void Drain(bool all);
    void Append(std::size_t count);

    std::string FPath;
    TWavRecorder FRecorder;
    TSampleRing FRing;
    std::atomic<std::uint64_t> FCapturedBytes{0};
    std::atomic<std::uint64_t> FWrittenBytes{0};
    std::atomic<std::uint64_t> FLostBytes{0};
    std::atomic<bool> FFailed{false};

    // Between the user-interface thread and the writer only; the capture
    // thread never touches them.
    mutable std::mutex FLock;
    std::condition_variable FWake;      // the writer: work or an end
    std::condition_variable FProgress;  // waiters: bytes written or failure
    std::uint64_t FFlushWanted = 0;     // captured total a Flush waits for
    bool FStopping = false;
    std::string FFailure;
    char FBlock[8192];  // the writer's copy of one block
    std::thread FWriter;
};

}  // namespace wellenschau
