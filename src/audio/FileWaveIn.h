// TFileWaveIn: a wave-input service whose one device (number 0) plays a
// sound file instead of recording a sound card. Each open reads the file
// from its start through a TSoundFileReader (16 bits, at the rate and with
// the channels asked for at open: mono, or stereo from a file of two or
// more channels, which keeps its first two; stereo from a mono file fails
// with FILEERR_FILE and the reader's message); queued buffers are filled from it and returned in queue
// order, each with its Data notification, like any other device.
//
// Two paces:
//  - RealTime: a buffer comes back when its duration has passed since Start,
//    counted over the whole recording, so the file plays as a microphone
//    would deliver it. A buffer queued late (the receiver was busy) comes
//    back at once; no sample is skipped.
//  - AsFastAsPossible: every queued buffer is filled and returned at once,
//    for processing a file faster than real time.
//
// At the end of the file the last buffer with samples is completed with
// zeros; the recording file, if any, gets exactly the file's samples. Buffers still queued, or queued again before that last buffer was
// handled, come back zero-filled with BytesRecorded 0. Queuing the last
// buffer (or any returned after it) again fails with FILEERR_ENDOFFILE
// ("Ende der Datei erreicht"), which makes the audio component drain and
// close by itself. A read error inside the file ends it the same way with
// FILEERR_FILE and the reader's message, and so does a file of which not
// one sample can be decoded; a file that ends before the length its header
// states ends with FILEERR_SHORT and a warning saying how much was read.
// EndCode tells afterwards how the latest play of the file ended.
//
// User-interface thread only: the real-time pace runs on a timer of the
// thread's event loop. Reset returns the queued buffers and Close stops the
// timer and closes the file; neither waits for anything.
#pragma once

#include "audio/QueuedWaveIn.h"
#include "audio/SoundFileReader.h"

#include <QTimer>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace wellenschau {

// The end of the file has been played.
constexpr TMMResult FILEERR_ENDOFFILE = 100;
// The file cannot be opened, holds no samples, or failed while reading;
// ErrorText gives the most recent such message, naming the file.
constexpr TMMResult FILEERR_FILE = 101;
// The file ended before the length its header states; everything that
// could be read has been played. ErrorText gives the warning.
constexpr TMMResult FILEERR_SHORT = 102;

enum class TFilePace { RealTime, AsFastAsPossible };

// What one open device plays. A returned buffer carries its return number
// in TWaveHdr::Reserved (the service's field), so that queuing it again can
// be told apart from queuing one that came back before the file ended.
struct TFileStream {
    using TClock = std::chrono::steady_clock;

    std::unique_ptr<TSoundFileReader> Reader;
    int Rate = 0;
    int Channels = 1;
    // Drives the real-time pace; none for the fast one.
    std::unique_ptr<QTimer> Timer;
    // The moment the first sample would have been recorded.
    TClock::time_point StartTime;
    std::int64_t FramesReturned = 0;
    std::uintptr_t Returns = 0;
    // Return number of the last buffer that carried samples of the file.
    std::uintptr_t LastFileReturn = 0;
    bool AtEnd = false;
    TMMResult EndCode = FILEERR_ENDOFFILE;
};

class TFileWaveIn : public TQueuedWaveIn<TFileStream> {
public:
    explicit TFileWaveIn(std::string path, TFilePace pace = TFilePace::RealTime);
    ~TFileWaveIn() override;
    TFileWaveIn(const TFileWaveIn&) = delete;
    TFileWaveIn& operator=(const TFileWaveIn&) = delete;

    TMMResult AddBuffer(HWAVEIN handle, TWaveHdr* header) override;
    TMMResult Start(HWAVEIN handle) override;
    TMMResult Reset(HWAVEIN handle) override;
    std::string ErrorText(TMMResult code) const override;
    bool EndsRegularly(TMMResult code) const override { return code == FILEERR_ENDOFFILE; }

    const std::string& Path() const { return FPath; }
    TFilePace Pace() const { return FPace; }
    // How the latest open's play of the file ended: FILEERR_ENDOFFILE,
    // FILEERR_SHORT or FILEERR_FILE (ErrorText of it gives the message);
    // MMSYSERR_NOERROR while it has not ended.
    TMMResult EndCode() const { return FEndCode; }

protected:
    TMMResult OpenStream(TDevice& device, int deviceId, const TWaveFormatEx& format) override;
    TMMResult StartStream(TDevice& device) override;
    void ReleaseStream(std::unique_ptr<TDevice> device) override;

private:
    using TClock = TFileStream::TClock;
    // Returns every queued buffer that is due, in queue order; with the
    // real-time pace arms the timer for the next one.
    void Pump(TDevice& device);
    // When the buffer at the head of the queue is due.
    TClock::time_point DueTime(const TFileStream& stream, const TWaveHdr& header) const;
    // Fills `header` from the file and returns it, or ends the file.
    void ReturnFromFile(TDevice& device, TWaveHdr& header);
    // Returns `header` empty and zero-filled: the file has ended.
    static void ReturnAfterEnd(TDevice& device, TWaveHdr& header);
    static void MarkReturned(TFileStream& stream, TWaveHdr& header);
    // The file's end has been reached (or its reading failed) with `code`.
    void EndFile(TFileStream& stream, TMMResult code);
    std::string NoSamplesText() const;

    std::string FPath;
    TFilePace FPace;
    std::string FLastFileError;
    TMMResult FEndCode = MMSYSERR_NOERROR;
};

}  // namespace wellenschau
