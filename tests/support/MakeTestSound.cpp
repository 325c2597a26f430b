// Writes a short test sound, so that the program can be tried on a machine
// without sound hardware: 4 s of 16-bit mono at 44100 Hz, a 440 Hz tone at
// half of full scale for 1.5 s, then a sweep from 100 Hz to 10 kHz, then
// 0.5 s of silence.
// Usage: make-test-sound FILE.wav
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

constexpr int Rate = 44100;

double SampleAt(double t) {
    constexpr double toneEnd = 1.5, sweepEnd = 3.5;
    if (t < toneEnd) return 0.5 * std::sin(2 * std::numbers::pi * 440.0 * t);
    if (t < sweepEnd) {
        // Exponential sweep: the phase is the integral of the frequency.
        const double span = sweepEnd - toneEnd, ratio = 100.0, start = 100.0, s = t - toneEnd;
        const double phase = start * span / std::log(ratio) * (std::pow(ratio, s / span) - 1.0);
        return 0.7 * std::sin(2 * std::numbers::pi * phase);
    }
    return 0.0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("Usage: make-test-sound FILE.wav\n", stderr);
        return 2;
    }
    SF_INFO info{};
    info.samplerate = Rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(argv[1], SFM_WRITE, &info);
    if (file == nullptr) {
        std::fprintf(stderr, "make-test-sound: %s: %s\n", argv[1], sf_strerror(nullptr));
        return 1;
    }
    std::vector<double> samples(4 * Rate);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = SampleAt(static_cast<double>(i) / Rate);
    const bool complete = sf_write_double(file, samples.data(), static_cast<sf_count_t>(samples.size())) ==
                          static_cast<sf_count_t>(samples.size());
    sf_close(file);
    return complete ? 0 : 1;
}
