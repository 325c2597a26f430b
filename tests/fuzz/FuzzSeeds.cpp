// Writes the fuzz target's first inputs into a folder: small valid files
// of every kind the reader is meant for (WAV in several encodings, rates
// and channel counts, FLAC, Ogg/Vorbis, AIFF), each a fraction of a second
// of a tone, so that the fuzzer starts from files that reach deep into the
// reader and the analysis.
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

namespace {

struct TSeed {
    const char* Name;
    int Format;
    int Rate;
    int Channels;
    int Frames;
};

constexpr TSeed Seeds[] = {
    {"pcm16-mono.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1, 1200},
    {"float-stereo-48k.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, 600},
    {"u8-8k.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 8000, 1, 400},
    {"pcm24-1hz.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1, 1, 2},
    {"mono.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 1, 1500},
    {"stereo.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 2, 1500},
    {"pcm16-stereo.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 22050, 2, 500},
};

bool Write(const std::string& path, const TSeed& seed) {
    SF_INFO info{};
    info.samplerate = seed.Rate;
    info.channels = seed.Channels;
    info.format = seed.Format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) return false;
    std::vector<double> frames;
    for (int frame = 0; frame < seed.Frames; ++frame)
        for (int channel = 0; channel < seed.Channels; ++channel)
            frames.push_back(0.5 * std::sin(2 * std::numbers::pi * 1000.0 * frame / 44100.0 * (channel + 1)));
    const bool complete = sf_writef_double(file, frames.data(), seed.Frames) == seed.Frames;
    return sf_close(file) == 0 && complete;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: wellenschau-fuzz-seeds FOLDER\n", stderr);
        return 2;
    }
    for (const TSeed& seed : Seeds) {
        const std::string path = std::string(argv[1]) + "/" + seed.Name;
        if (!Write(path, seed)) {
            std::fprintf(stderr, "wellenschau-fuzz-seeds: %s: %s\n", path.c_str(), sf_strerror(nullptr));
            return 1;
        }
    }
    return 0;
}
