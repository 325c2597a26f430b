// TWavRecorder: writes recorded sound to a WAV file (16-bit signed PCM,
// 44100 Hz, mono or two interleaved channels) through libsndfile, valid at every moment: each Append writes
// its samples unbuffered and libsndfile then corrects the header. What
// Append has returned from is in the operating system's hands, so a killed
// program loses none of it.
//
// The file is written as RF64 that libsndfile keeps downgraded to a plain
// RIFF WAV while it is smaller than 4 GiB; a longer recording turns into
// RF64 (64-bit sizes) instead of stopping. The header therefore reserves
// room for the 64-bit sizes from the start and describes the samples in the
// extensible format record; the samples themselves are the appended bytes.
//
// A failed write (unwritable path, full disk) throws EWavRecordError with a
// German message naming the file and the reason; the file keeps everything
// appended before and stays valid, and the recorder is closed.
//
// Not thread-safe: one thread at a time, any thread.
#pragma once

#include "core/Errors.h"

#include <cstdint>
#include <string>

// libsndfile's handle of an open sound file.
struct sf_private_tag;

namespace wellenschau {

class EWavRecordError : public EWellenschauError {
public:
    explicit EWavRecordError(const std::string& message) : EWellenschauError(message) {}
};

class TWavRecorder {
public:
    static constexpr int SampleRate = 44100;

    // What happens to a file that is already there.
    enum class TExisting { Replace, Refuse };

    // Creates `path` (or truncates it, with TExisting::Replace) and writes
    // the header of an empty recording; throws EWavRecordError when that
    // fails or when `path` cannot seek (see Unseekable).
    explicit TWavRecorder(const std::string& path, TExisting existing = TExisting::Replace, int channels = 1);
    // Closes the file; errors are no longer reported here (see Close).
    ~TWavRecorder();
    TWavRecorder(const TWavRecorder&) = delete;
    TWavRecorder& operator=(const TWavRecorder&) = delete;

    // Why `path` cannot take a recording, found before opening it: a pipe
    // or a socket (the header is rewritten after every append, which needs
    // a file to seek in). Empty when it can.
    static std::string Unseekable(const std::string& path);

    // Appends `size` bytes of little-endian 16-bit samples (an even count)
    // and updates the header. Throws EWavRecordError when the recorder is
    // closed or the write fails.
    void Append(const char* bytes, int size);
    // Closes the file; throws EWavRecordError if the system reports an error.
    void Close();

    bool IsOpen() const { return FFile >= 0; }
    const std::string& Path() const { return FPath; }
    // Sample bytes written so far.
    std::uint64_t DataBytes() const { return FDataBytes; }

private:
    // libsndfile reaches the file through these (its virtual file), so
    // that the reason of a failed write is the system's own (FError), not
    // libsndfile's text. Counts and offsets are libsndfile's 64-bit counts.
    static std::int64_t FileLength(void* recorder);
    static std::int64_t Seek(std::int64_t offset, int whence, void* recorder);
    static std::int64_t Read(void* bytes, std::int64_t count, void* recorder);
    static std::int64_t Write(const void* bytes, std::int64_t count, void* recorder);
    static std::int64_t Tell(void* recorder);

    // Cuts the file back to the last complete state, closes it and throws
    // `message`.
    [[noreturn]] void Fail(const std::string& message);
    // Ends libsndfile's use of the file and closes it; the system's error
    // number of a failed close, else 0.
    int CloseFile();

    std::string FPath;
    int FFile = -1;
    sf_private_tag* FSound = nullptr;
    // Where the samples start: the header's length.
    std::uint64_t FDataOffset = 0;
    std::uint64_t FDataBytes = 0;
    // The system's error number of the first failed write, 0 before.
    int FError = 0;
};

}  // namespace wellenschau
