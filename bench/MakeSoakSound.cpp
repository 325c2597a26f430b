// Writes the long test sound of the soak run (bench/soak.sh): SECONDS of
// 16-bit mono 44100 Hz, a tone whose pitch and level change every second
// over a little deterministic noise, so that every buffer differs. The file
// comes from the program's own WAV recorder, so that a recording of it made
// by the program is the same file byte for byte.
//
// Usage: make-soak-sound FILE SECONDS
#include "audio/WavRecorder.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace {

constexpr int Rate = wellenschau::TWavRecorder::SampleRate;

// One second of the sound, number `second`.
void FillSecond(std::vector<std::int16_t>& samples, long second, std::uint32_t& noise) {
    const double hz = 100.0 + static_cast<double>((second * 37) % 80) * 100.0;
    const double level = 0.1 + 0.8 * static_cast<double>((second * 13) % 10) / 10.0;
    for (int i = 0; i < Rate; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const double tone = level * std::sin(2 * std::numbers::pi * hz * i / Rate);
        const int jitter = static_cast<int>(noise >> 26) - 32;
        samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::lround(tone * 30000.0) + jitter);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fputs("usage: make-soak-sound FILE SECONDS\n", stderr);
        return 2;
    }
    const long seconds = std::strtol(argv[2], nullptr, 10);
    try {
        wellenschau::TWavRecorder recorder(argv[1]);
        std::vector<std::int16_t> samples(Rate);
        std::uint32_t noise = 1;
        for (long second = 0; second < seconds; ++second) {
            FillSecond(samples, second, noise);
            recorder.Append(reinterpret_cast<const char*>(samples.data()), Rate * 2);
        }
        recorder.Close();
    } catch (const wellenschau::EWavRecordError& error) {
        std::fprintf(stderr, "make-soak-sound: %s\n", error.what());
        return 1;
    }
    return 0;
}
