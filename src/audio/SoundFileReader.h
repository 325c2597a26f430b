// TSoundFileReader: streams a sound file as the program records sound:
// 16-bit signed mono samples at one sample rate (44100 Hz unless asked
// otherwise), or asked for two channels, interleaved pairs of the file's
// first two channels (left, right). Reads every format the installed
// libsndfile reads (WAV, FLAC, Ogg/Vorbis, AIFF, ...), for mono mixes the
// channels down to their mean, converts
// to 16 bits by rounding to the nearest value (an exact half to the even
// one) within -32768 … 32767, and resamples with libsoxr when the file has
// another rate. A 16-bit mono file at the target rate comes out bit for bit.
//
// All buffers are allocated at construction, bounded whatever the rates;
// Read allocates nothing (only the resampler may set itself up on its first
// use).
//
// Not thread-safe: one thread at a time, any thread.
#pragma once

#include "core/Errors.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct sf_private_tag;
struct soxr;

namespace wellenschau {

// A sound file that cannot be opened or read. The message names the file and
// gives libsndfile's (or libsoxr's) reason.
class ESoundFileError : public EWellenschauError {
public:
    explicit ESoundFileError(const std::string& message) : EWellenschauError(message) {}
};

class TSoundFileReader {
public:
    static constexpr int DefaultRate = 44100;

    // Opens `path` for reading, giving `channels` (1 or 2) samples per
    // frame; throws ESoundFileError when libsndfile cannot read it, when
    // two channels are asked of a file with one, or when the resampler
    // cannot be set up.
    explicit TSoundFileReader(const std::string& path, int targetRate = DefaultRate, int channels = 1);
    ~TSoundFileReader();
    TSoundFileReader(const TSoundFileReader&) = delete;
    TSoundFileReader& operator=(const TSoundFileReader&) = delete;

    // Writes up to `count` samples to `out` and returns how many it wrote:
    // `count` until the end of the file, fewer only at the end, then 0.
    // With two channels the samples are interleaved pairs and `count` must
    // be even.
    // Throws ESoundFileError on a read error inside the file; its message
    // names the file, how far it was read and the reason.
    int Read(std::int16_t* out, int count);
    // True when Read has nothing left to give. Reads ahead as far as needed
    // to know; throws ESoundFileError as Read does.
    bool AtEnd();

    // Facts about the source, for messages.
    const std::string& Path() const { return FPath; }
    int SourceRate() const { return FSourceRate; }
    int SourceChannels() const { return FChannels; }
    // Frames (samples per channel) as the file's header states them.
    std::int64_t SourceFrames() const { return FSourceFrames; }
    // Frames read from the file so far, and as seconds of the source.
    std::int64_t FramesRead() const { return FFramesRead; }
    double SecondsRead() const;
    // True once the end has been reached before the frames the header
    // states, or of an Ogg stream without its closing page (a damaged or
    // cut file); ShortText then says how much was read of how much.
    bool EndedShort() const;
    std::string ShortText() const;
    // libsndfile's names of container and encoding, e.g.
    // "WAV (Microsoft), Signed 16 bit PCM".
    const std::string& FormatName() const { return FFormatName; }
    int TargetRate() const { return FTargetRate; }
    // Samples per frame of what Read gives: 1 or 2.
    int Channels() const { return FOutChannels; }
    bool Resampling() const { return FResampler != nullptr; }

private:
    struct TCloseFile {
        void operator()(sf_private_tag* file) const;
    };
    struct TDeleteResampler {
        void operator()(soxr* resampler) const;
    };

    // Refills FOutput from the file (through the resampler if there is one);
    // false at the end.
    bool Refill();
    // Reads the next chunk of frames into `out`, mixed down to mono or as
    // pairs of the first two channels; returns the number of samples (all
    // channels), 0 at the end of the file.
    std::size_t ReadChunk(double* out);
    bool RefillResampled();
    std::string ReadErrorText() const;
    // False when libsndfile finds no length for the file.
    bool LengthKnown() const;

    std::string FPath;
    int FTargetRate;
    int FOutChannels;
    int FSourceRate = 0;
    int FChannels = 0;
    std::int64_t FSourceFrames = 0;
    std::int64_t FFramesRead = 0;
    int FFormat = 0;  // libsndfile's container and encoding
    std::string FFormatName;
    std::unique_ptr<sf_private_tag, TCloseFile> FFile;
    std::unique_ptr<soxr, TDeleteResampler> FResampler;

    std::size_t FChunkFrames = 0;
    // Interleaved frames as read, full scale ±1.
    std::vector<double> FFrames;
    // Samples of the chosen channels waiting for the resampler.
    std::vector<double> FSource;
    std::size_t FSourceUsed = 0;
    std::size_t FSourceCount = 0;
    bool FFileAtEnd = false;
    // Samples at the target rate, full scale ±1, not yet handed out.
    std::vector<double> FOutput;
    std::size_t FOutputUsed = 0;
    std::size_t FOutputCount = 0;
    bool FAtEnd = false;
};

// The 16-bit sample for a value of full scale ±1: value × 32768 rounded to
// the nearest integer (an exact half to the even one), limited to
// -32768 … 32767; NaN gives 0.
std::int16_t ToSample16(double value);

}  // namespace wellenschau
