#include "support/DamagedSoundFile.h"

#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>
#include <stdexcept>
#include <vector>

namespace wellenschau::test {

namespace {

void WriteTone(const std::string& path, int format, int rate, int frames) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) throw std::runtime_error(sf_strerror(nullptr));
    std::vector<double> samples;
    // A tone with a noisy chirp on it, which compresses as badly as music.
    for (int i = 0; i < frames; ++i)
        samples.push_back(0.5 * std::sin(2 * std::numbers::pi * 440.0 * i / 44100.0) + 0.1 * std::sin(0.37 * i * i));
    sf_writef_double(file, samples.data(), frames);
    sf_close(file);
}

void WriteComplete(const std::string& path, int format) {
    WriteTone(path, format, 44100, static_cast<int>(DamagedFileSeconds * 44100));
}

std::vector<char> Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Save(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void Cut(const std::string& path, std::uintmax_t length) { std::filesystem::resize_file(path, length); }

void AddNoise(const std::string& path, std::size_t at) {
    std::vector<char> bytes = Bytes(path);
    std::mt19937 random(21);
    for (std::size_t i = at; i < at + 2000 && i < bytes.size(); ++i) bytes[i] = static_cast<char>(random());
    Save(path, bytes);
}

// The WAV header's sample rate, at byte 24 of a file libsndfile wrote.
void SetWavRate(const std::string& path, std::uint32_t rate) {
    std::vector<char> bytes = Bytes(path);
    for (int i = 0; i < 4; ++i) bytes[24 + i] = static_cast<char>(rate >> (8 * i));
    Save(path, bytes);
}

constexpr int Flac = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
constexpr int Ogg = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
constexpr int Wav = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
constexpr int Aiff = SF_FORMAT_AIFF | SF_FORMAT_PCM_16;

}  // namespace

void WriteDamagedSoundFile(const std::string& path, TDamage damage) {
    switch (damage) {
        case TDamage::None: WriteComplete(path, Flac); break;
        case TDamage::FlacCutAt3000:
            WriteComplete(path, Flac);
            Cut(path, 3000);
            break;
        case TDamage::FlacCutInHalf:
            WriteComplete(path, Flac);
            Cut(path, std::filesystem::file_size(path) / 2);
            break;
        case TDamage::FlacWithNoise:
            WriteComplete(path, Flac);
            AddNoise(path, std::filesystem::file_size(path) / 4);
            break;
        case TDamage::OggCutInHalf:
        case TDamage::WavCutInHalf:
        case TDamage::AiffCutInHalf:
            WriteComplete(path, damage == TDamage::OggCutInHalf ? Ogg : damage == TDamage::WavCutInHalf ? Wav : Aiff);
            Cut(path, std::filesystem::file_size(path) / 2);
            break;
        case TDamage::OggWithNoise:
            WriteComplete(path, Ogg);
            AddNoise(path, std::filesystem::file_size(path) / 3);
            break;
        case TDamage::NoSamplesLeft: WriteTone(path, Wav, 2'000'000'000, 3); break;
        case TDamage::ZeroHertz:
            WriteTone(path, Wav, 8000, 100);
            SetWavRate(path, 0);
            break;
        case TDamage::OneHertz: WriteTone(path, Wav, 1, 1); break;
    }
}

}  // namespace wellenschau::test
