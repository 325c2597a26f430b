// TWavRecorder: writes recorded sound to a WAV file (16-bit signed mono PCM,
// 44100 Hz, canonical 44-byte RIFF header) that is valid at every moment:
// each Append writes its samples with one unbuffered write and then corrects
// the header's two size fields. What Append has returned from is in the
// operating system's hands, so a killed program loses none of it.
//
// A failed write (unwritable path, full disk) throws EWavRecordError with a
// German message naming the file and the reason; the file keeps everything
// appended before and stays valid, and the recorder is closed. A recording
// that would grow past what the header can count (4 GiB) is refused the
// same way before anything is written.
//
// Not thread-safe: one thread at a time, any thread.
#pragma once

#include "core/Errors.h"

#include <cstdint>
#include <string>

namespace wellenschau {

class EWavRecordError : public EWellenschauError {
public:
    explicit EWavRecordError(const std::string& message) : EWellenschauError(message) {}
};

class TWavRecorder {
public:
    static constexpr int SampleRate = 44100;
    static constexpr int HeaderBytes = 44;
    // Most sample bytes the header's 32-bit RIFF size can count.
    static constexpr std::uint32_t MaxDataBytes = 0xFFFFFFFFu - (HeaderBytes - 8) - 1;

    // Creates (or truncates) `path` and writes the header of an empty
    // recording; throws EWavRecordError when that fails. `maxDataBytes`
    // lowers the size limit (at most MaxDataBytes).
    explicit TWavRecorder(const std::string& path, std::uint32_t maxDataBytes = MaxDataBytes);
    // Closes the file; errors are no longer reported here (see Close).
    ~TWavRecorder();
    TWavRecorder(const TWavRecorder&) = delete;
    TWavRecorder& operator=(const TWavRecorder&) = delete;

    // Appends `size` bytes of little-endian 16-bit samples (an even count)
    // and updates the header. Throws EWavRecordError when the recorder is
    // closed, the write fails or the limit would be passed.
    void Append(const char* bytes, int size);
    // Closes the file; throws EWavRecordError if the system reports an error.
    void Close();

    bool IsOpen() const { return FFile >= 0; }
    const std::string& Path() const { return FPath; }
    // Sample bytes written so far.
    std::uint32_t DataBytes() const { return FDataBytes; }

private:
    // Writes the header's two size fields for `dataBytes` sample bytes;
    // false on failure with errno set.
    bool WriteSizes(std::uint32_t dataBytes);
    // Writes all of `size` bytes at the end of the file; false on failure
    // with errno set.
    bool WriteAll(const char* bytes, std::size_t size);
    // Cuts the file back to the last complete state, closes it and throws
    // `message`.
    [[noreturn]] void Fail(const std::string& message);

    std::string FPath;
    std::uint32_t FMaxDataBytes;
    int FFile = -1;
    std::uint32_t FDataBytes = 0;
};

}  // namespace wellenschau
