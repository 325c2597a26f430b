#include "audio/SoundFileReader.h"

#include "core/CheckedMath.h"

#include <sndfile.h>
#include <soxr.h>

#include <algorithm>
#include <cmath>

namespace wellenschau {

namespace {

// Samples (all channels together) read from the file at a time.
constexpr std::size_t ChunkSamples = 8192;

std::string Quoted(const std::string& path) { return "„" + path + "“"; }

std::string ResampleErrorText(const std::string& path, soxr_error_t error) {
    return "Die Datei " + Quoted(path) + " lässt sich nicht umrechnen: " + soxr_strerror(error);
}

// libsndfile's name of a container or encoding, empty when it has none.
std::string FormatInfoName(int format) {
    SF_FORMAT_INFO info{};
    info.format = format;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof(info)) != 0 || info.name == nullptr) return {};
    return info.name;
}

std::string ContainerAndEncoding(int format) {
    const std::string container = FormatInfoName(format & SF_FORMAT_TYPEMASK);
    const std::string encoding = FormatInfoName(format & SF_FORMAT_SUBMASK);
    if (container.empty() || encoding.empty()) return container + encoding;
    return container + ", " + encoding;
}

}  // namespace

std::int16_t ToSample16(double value) {
    if (std::isnan(value)) return 0;
    return static_cast<std::int16_t>(Round(std::clamp(value * 32768.0, -32768.0, 32767.0)));
}

void TSoundFileReader::TCloseFile::operator()(sf_private_tag* file) const { sf_close(file); }

void TSoundFileReader::TDeleteResampler::operator()(soxr* resampler) const { soxr_delete(resampler); }

TSoundFileReader::TSoundFileReader(const std::string& path, int targetRate) : FPath(path), FTargetRate(targetRate) {
    if (targetRate <= 0) throw ERangeError();
    SF_INFO info{};
    FFile.reset(sf_open(path.c_str(), SFM_READ, &info));
    if (!FFile) {
        throw ESoundFileError("Die Datei " + Quoted(path) + " lässt sich nicht lesen: " + sf_strerror(nullptr));
    }
    FSourceRate = info.samplerate;
    FChannels = info.channels;
    FSourceFrames = info.frames;
    FFormatName = ContainerAndEncoding(info.format);
    if (FSourceRate <= 0 || FChannels <= 0) {
        throw ESoundFileError("Die Datei " + Quoted(path) + " gibt keine gültige Abtastrate oder Kanalzahl an.");
    }
    // Integer encodings come as ±1 full scale; floating-point ones as stored.
    sf_command(FFile.get(), SFC_SET_NORM_DOUBLE, nullptr, SF_TRUE);

    FChunkFrames = std::max<std::size_t>(1, ChunkSamples / static_cast<std::size_t>(FChannels));
    if (FChannels > 1) FFrames.resize(FChunkFrames * static_cast<std::size_t>(FChannels));
    if (FSourceRate == FTargetRate) {
        FOutput.resize(FChunkFrames);
        return;
    }
    soxr_error_t error = nullptr;
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT64_I, SOXR_FLOAT64_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    FResampler.reset(soxr_create(FSourceRate, FTargetRate, 1, &error, &io, &quality, nullptr));
    if (error != nullptr || !FResampler) {
        throw ESoundFileError(ResampleErrorText(path, error));
    }
    FMono.resize(FChunkFrames);
    const double ratio = static_cast<double>(FTargetRate) / FSourceRate;
    FOutput.resize(std::max(FChunkFrames, static_cast<std::size_t>(std::ceil(FChunkFrames * ratio)) + 16));
}

TSoundFileReader::~TSoundFileReader() = default;

int TSoundFileReader::Read(std::int16_t* out, int count) {
    int produced = 0;
    while (produced < count) {
        if (FOutputUsed == FOutputCount) {
            if (FAtEnd || !Refill()) {
                FAtEnd = true;
                break;
            }
        }
        const std::size_t available = FOutputCount - FOutputUsed;
        const std::size_t taken = std::min(available, static_cast<std::size_t>(count - produced));
        const double* from = FOutput.data() + FOutputUsed;
        for (std::size_t i = 0; i < taken; ++i) out[produced + static_cast<int>(i)] = ToSample16(from[i]);
        FOutputUsed += taken;
        produced += static_cast<int>(taken);
    }
    return produced;
}

bool TSoundFileReader::AtEnd() {
    if (FOutputUsed < FOutputCount) return false;
    if (!FAtEnd && !Refill()) FAtEnd = true;
    return FAtEnd;
}

bool TSoundFileReader::Refill() {
    FOutputUsed = 0;
    if (FResampler) return RefillResampled();
    FOutputCount = ReadMono(FOutput.data());
    return FOutputCount > 0;
}

std::size_t TSoundFileReader::ReadMono(double* mono) {
    const auto chunk = static_cast<sf_count_t>(FChunkFrames);
    double* frames = FChannels == 1 ? mono : FFrames.data();
    const sf_count_t read = sf_readf_double(FFile.get(), frames, chunk);
    if (read <= 0) {
        if (sf_error(FFile.get()) != SF_ERR_NO_ERROR) throw ESoundFileError(ReadErrorText());
        return 0;
    }
    const auto count = static_cast<std::size_t>(read);
    if (FChannels == 1) return count;
    const auto channels = static_cast<std::size_t>(FChannels);
    for (std::size_t frame = 0; frame < count; ++frame) {
        const double* first = frames + frame * channels;
        double sum = 0.0;
        for (std::size_t channel = 0; channel < channels; ++channel) sum += first[channel];
        mono[frame] = sum / FChannels;
    }
    return count;
}

// Feeds the resampler until it gives output; at the end of the file it is
// flushed (null input) until it has nothing left.
bool TSoundFileReader::RefillResampled() {
    for (;;) {
        if (FMonoUsed == FMonoCount && !FFileAtEnd) {
            FMonoCount = ReadMono(FMono.data());
            FMonoUsed = 0;
            FFileAtEnd = FMonoCount == 0;
        }
        const double* input = FFileAtEnd ? nullptr : FMono.data() + FMonoUsed;
        std::size_t consumed = 0;
        std::size_t produced = 0;
        const soxr_error_t error = soxr_process(FResampler.get(), input, FMonoCount - FMonoUsed, &consumed,
                                                FOutput.data(), FOutput.size(), &produced);
        if (error != nullptr) throw ESoundFileError(ResampleErrorText(FPath, error));
        FMonoUsed += consumed;
        FOutputCount = produced;
        if (produced > 0) return true;
        if (FFileAtEnd) return false;
    }
}

std::string TSoundFileReader::ReadErrorText() const {
    return "Fehler beim Lesen der Datei " + Quoted(FPath) + ": " + sf_strerror(FFile.get());
}

}  // namespace wellenschau
