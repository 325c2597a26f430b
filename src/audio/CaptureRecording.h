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
// The user-interface thread never waits for the disk without bound. Flush
// gives up after FlushLimit and leaves what is not yet written to the
// writer. Finish gives up after FinishLimit, and CaptureAll waiting for
// room after RoomLimit: the recording then counts as failed (the disk does
// not respond) and the writer is left to finish on its own. Pausing and
// closing the window (a flush and a finish) so return within a second. If the disk comes
// back before the program ends, the writer still writes what the ring
// holds and closes the file; otherwise that much (at most the ring, about
// 12 s of sound) is lost, and the file keeps every block written before,
// with a header that counts them.
//
// Threads: Capture from the one capture thread of the device that records
// (the devices of one component record one after the other); CaptureAll,
// Flush, Finish and the queries from the user-interface thread.
#pragma once

#include "audio/SampleRing.h"
#include "audio/WavRecorder.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace wellenschau {

class TCaptureRecording {
public:
    // Ring of about 11.9 s at 44100 Hz: the writer stays ahead unless the
    // disk stalls for longer than that.
    static constexpr std::size_t DefaultRingBytes = std::size_t{1} << 20;
    // How long Flush waits for the writer.
    static constexpr std::chrono::milliseconds FlushLimit{250};
    // How long Finish waits for the writer.
    static constexpr std::chrono::milliseconds FinishLimit{500};
    // How long CaptureAll waits for the writer to make room.
    static constexpr std::chrono::milliseconds RoomLimit{3000};

    // Creates the WAV file of `channels` channels (see TWavRecorder;
    // throws EWavRecordError) and starts the writer thread.
    explicit TCaptureRecording(const std::string& path,
                               TWavRecorder::TExisting existing = TWavRecorder::TExisting::Replace,
                               std::size_t ringBytes = DefaultRingBytes, int channels = 1);
    // Finish.
    ~TCaptureRecording();
    TCaptureRecording(const TCaptureRecording&) = delete;
    TCaptureRecording& operator=(const TCaptureRecording&) = delete;

    // Capture thread: copies and returns at once. Bytes the ring cannot
    // take are lost and counted (LostBytes); once the recording has failed,
    // nothing is taken and the bytes count as unwritten.
    void Capture(const char* bytes, std::size_t count);
    // User-interface thread (a file played as fast as possible): waits for
    // room instead of losing bytes, unless writing has failed or the writer
    // has made no room for RoomLimit (then the recording fails).
    void CaptureAll(const char* bytes, std::size_t count);
    // Waits until everything captured so far is in the file, writing has
    // failed or FlushLimit has passed; true in the first case.
    bool Flush();
    // Flushes, ends the writer thread and closes the file, waiting at most
    // FinishLimit (see above). Idempotent.
    void Finish();

    const std::string& Path() const { return FPath; }
    // Sample bytes in the file.
    std::uint64_t WrittenBytes() const { return FShared->WrittenBytes.load(); }
    // Bytes the capture thread offered while the ring was full.
    std::uint64_t LostBytes() const { return FShared->LostBytes.load(); }
    // Bytes captured but not in the file because writing failed or the
    // disk stopped answering: what the ring held then and what came after.
    std::uint64_t UnwrittenBytes() const;
    // The recorder's message once a write has failed, or that the disk did
    // not respond; empty before.
    std::string Failure() const;
    bool Failed() const { return FShared->Failed.load() || !FGivenUp.empty(); }

    // Test hook: the writer's next block waits `duration` before it is
    // written, as a write to a disk that stopped answering would.
    void StallWriter(std::chrono::milliseconds duration);

private:
    // What the writer thread uses; shared, so that a writer stuck in the
    // disk may outlive this object.
    struct TShared {
        TShared(const std::string& path, TWavRecorder::TExisting existing, std::size_t ringBytes, int channels)
            : Recorder(path, existing, channels), Ring(ringBytes) {}

        // Keeps the first failure's message.
        void Fail(const std::string& message);

        TWavRecorder Recorder;
        TSampleRing Ring;
        std::atomic<std::uint64_t> CapturedBytes{0};
        std::atomic<std::uint64_t> WrittenBytes{0};
        std::atomic<std::uint64_t> LostBytes{0};
        std::atomic<std::uint64_t> DroppedBytes{0};  // offered after a failure
        std::atomic<bool> Failed{false};
        std::atomic<std::int64_t> StallMs{0};  // see StallWriter

        // Between the user-interface thread and the writer only; the
        // capture thread never touches them.
        mutable std::mutex Lock;
        std::condition_variable Wake;      // the writer: work or an end
        std::condition_variable Progress;  // waiters: bytes written, failure, end
        std::uint64_t FlushWanted = 0;     // captured total a Flush waits for
        bool Stopping = false;
        bool Finished = false;  // the writer has closed the file and ends
        std::string Failure;
        char Block[8192];  // the writer's copy of one block
    };

    static void Run(std::shared_ptr<TShared> shared);
    // Appends whole blocks from the ring, and with `all` the rest as well.
    static void Drain(TShared& shared, bool all);
    static void Append(TShared& shared, std::size_t count);
    static void CloseFile(TShared& shared);
    // Stops waiting for a writer stuck in the disk; it goes on by itself.
    void GiveUp();

    std::string FPath;
    // Why the user-interface thread stopped waiting for the writer; empty
    // while it has not.
    std::string FGivenUp;
    std::shared_ptr<TShared> FShared;
    std::thread FWriter;
};

}  // namespace wellenschau
