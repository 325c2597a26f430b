// Sound files as a user meets them when something went wrong: cut short,
// with random bytes in the middle, or with a header no sound can follow.
// Each is written afresh from a complete file of a tone, so that the tests
// need no stored samples.
#pragma once

#include <string>

namespace wellenschau::test {

enum class TDamage {
    None,             // a complete 4 s FLAC file
    FlacCutAt3000,    // FLAC, only its first 3000 bytes: its first frame fails
    FlacCutInHalf,    // FLAC, its first half: decoding stops early without an error
    FlacWithNoise,    // FLAC with 2000 random bytes a quarter into it: decoding fails there
    OggCutInHalf,     // Ogg/Vorbis, its first half (the page giving its length is gone)
    OggWithNoise,     // Ogg/Vorbis with 2000 random bytes a third into it
    WavCutInHalf,     // WAV, its first half: its header still gives the whole length
    AiffCutInHalf,    // AIFF, its first half
    NoSamplesLeft,    // a WAV of 3 samples at 2 GHz, which resampling to 44100 Hz turns into none
    ZeroHertz,        // a WAV whose header gives a rate of 0 Hz
    OneHertz,         // a 46-byte WAV of one sample at 1 Hz
};

// Writes the file `damage` describes to `path` (the random bytes are the
// same every time).
void WriteDamagedSoundFile(const std::string& path, TDamage damage);

// Seconds of sound in the complete files the damaged ones are made from.
constexpr double DamagedFileSeconds = 4.0;

}  // namespace wellenschau::test
