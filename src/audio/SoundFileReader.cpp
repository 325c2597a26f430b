#include "audio/SoundFileReader.h"

#include "audio/SystemReason.h"
#include "core/CheckedMath.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>

#include <sndfile.h>
#include <soxr.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace wellenschau {

namespace {

// Samples (all channels together) read from the file at a time.
constexpr std::size_t ChunkSamples = 8192;
// At most this many resampled samples are made at a time, whatever the
// ratio of the rates: a file of 1 Hz would otherwise ask for 44100 samples
// per sample read. The resampler then takes only as much input as fits.
constexpr std::size_t MaxOutputChunk = 131072;

// The translation context of this file's texts.
struct TSoundFileReaderText {
    Q_DECLARE_TR_FUNCTIONS(TSoundFileReaderText)
};

QString Seconds(double seconds) { return QLocale().toString(seconds, 'f', 2); }

std::string UnreadableText(const std::string& path, const QString& reason) {
    return Filled(TSoundFileReaderText::tr("Die Datei „%1“ lässt sich nicht lesen: %2"), {path, reason.toStdString()});
}

// Refuses a folder, and a pipe, socket or device: libsndfile reads a file
// twice (once to recognise it, once from its start) and seeks in it, and a
// stream would be eaten by the first reading or block it for good. A path
// that does not exist is left to libsndfile's own message.
void RefuseNonRegularFile(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode)) return;
    if (S_ISDIR(status.st_mode))
        throw ESoundFileError(UnreadableText(path, TSoundFileReaderText::tr("Das ist ein Ordner.")));
    throw ESoundFileError(UnreadableText(
        path, TSoundFileReaderText::tr("Das ist keine gewöhnliche Datei, sondern eine Pipe, ein Socket oder ein Gerät; "
                                       "gelesen werden nur Dateien, in denen sich springen lässt.")));
}

// libsndfile's reason for a file it cannot open. It refuses a header
// without a sample rate of at least 1 Hz or without channels with a text
// about its own data structure, which says nothing to the user.
QString OpenFailureReason() {
    const std::string reason = sf_strerror(nullptr);
    if (reason.find("SF_INFO") != std::string::npos)
        return TSoundFileReaderText::tr("Ihr Kopf gibt eine Abtastrate von 0 Hz (oder darunter) oder keine Kanäle an.");
    return QString::fromStdString(reason);
}

// A value read as ±1 full scale that the resampler and the mix-down can
// take: not-a-number is silence, an infinity is full scale. Done before
// they run, so that one such value stays one sample instead of spreading
// over the resampler's whole filter length.
double Cleaned(double value) {
    if (std::isnan(value)) return 0.0;
    if (std::isinf(value)) return value > 0 ? 1.0 : -1.0;
    return value;
}

// The frames the header of a file cut before it was opened states. For a
// WAV or AIFF file whose sample data ends before the size its header
// gives, libsndfile quietly takes the frames that are there and notes the
// header's size in its log ("data : 264600 (should be 29956)"). A size of
// 2^31 or more is a writer's mark for a length it did not know, not a
// length. Returns `frames` when nothing was cut.
std::int64_t StatedFrames(SNDFILE* file, std::int64_t frames) {
    std::array<char, 8192> log{};
    sf_command(file, SFC_GET_LOG_INFO, log.data(), static_cast<int>(log.size() - 1));
    const QRegularExpressionMatch cut =
        QRegularExpression(R"(^\s*(?:data|SSND) : (\d+) \(should be (\d+)\))", QRegularExpression::MultilineOption)
            .match(QString::fromLatin1(log.data()));
    if (!cut.hasMatch() || frames <= 0) return frames;
    const std::int64_t stated = cut.captured(1).toLongLong(), there = cut.captured(2).toLongLong();
    const std::int64_t frameBytes = there / frames;
    if (frameBytes <= 0 || stated <= there || stated >= (std::int64_t{1} << 31)) return frames;
    return stated / frameBytes;
}

// Two channels asked of a file that has one.
std::string OneChannelText(const std::string& path) {
    return Filled(TSoundFileReaderText::tr("Die Datei „%1“ hat nur einen Kanal; für zwei Kanäle braucht es eine Datei "
                                           "mit mindestens zwei."),
                  {path});
}

std::string ResampleErrorText(const std::string& path, soxr_error_t error) {
    return Filled(TSoundFileReaderText::tr("Die Datei „%1“ lässt sich nicht umrechnen: %2"),
                  {path, soxr_strerror(error)});
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

TSoundFileReader::TSoundFileReader(const std::string& path, int targetRate, int channels)
    : FPath(path), FTargetRate(targetRate), FOutChannels(channels) {
    if (targetRate <= 0 || channels < 1 || channels > 2) throw ERangeError();
    RefuseNonRegularFile(path);
    SF_INFO info{};
    FFile.reset(sf_open(path.c_str(), SFM_READ, &info));
    if (!FFile) throw ESoundFileError(UnreadableText(path, OpenFailureReason()));
    FSourceRate = info.samplerate;
    FChannels = info.channels;
    FSourceFrames = StatedFrames(FFile.get(), info.frames);
    FFormat = info.format;
    FFormatName = ContainerAndEncoding(info.format);
    if (FSourceRate <= 0 || FChannels <= 0) {
        throw ESoundFileError(Filled(
            TSoundFileReaderText::tr("Die Datei „%1“ gibt keine gültige Abtastrate oder Kanalzahl an."), {path}));
    }
    if (FChannels < FOutChannels) throw ESoundFileError(OneChannelText(path));
    // Integer encodings come as ±1 full scale; floating-point ones as stored.
    sf_command(FFile.get(), SFC_SET_NORM_DOUBLE, nullptr, SF_TRUE);

    FChunkFrames = std::max<std::size_t>(1, ChunkSamples / static_cast<std::size_t>(FChannels));
    const auto outChannels = static_cast<std::size_t>(FOutChannels);
    if (FChannels != FOutChannels) FFrames.resize(FChunkFrames * static_cast<std::size_t>(FChannels));
    if (FSourceRate == FTargetRate) {
        FOutput.resize(FChunkFrames * outChannels);
        return;
    }
    soxr_error_t error = nullptr;
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT64_I, SOXR_FLOAT64_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    FResampler.reset(soxr_create(FSourceRate, FTargetRate, static_cast<unsigned>(FOutChannels), &error, &io, &quality, nullptr));
    if (error != nullptr || !FResampler) {
        throw ESoundFileError(ResampleErrorText(path, error));
    }
    FSource.resize(FChunkFrames * outChannels);
    const double ratio = static_cast<double>(FTargetRate) / FSourceRate;
    const double wanted = std::min(std::ceil(FChunkFrames * ratio) + 16, static_cast<double>(MaxOutputChunk));
    FOutput.resize(std::max(FChunkFrames, static_cast<std::size_t>(wanted)) * outChannels);
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
    FOutputCount = ReadChunk(FOutput.data());
    return FOutputCount > 0;
}

std::size_t TSoundFileReader::ReadChunk(double* out) {
    const auto chunk = static_cast<sf_count_t>(FChunkFrames);
    double* frames = FChannels == FOutChannels ? out : FFrames.data();
    const sf_count_t read = sf_readf_double(FFile.get(), frames, chunk);
    if (read <= 0) {
        if (sf_error(FFile.get()) != SF_ERR_NO_ERROR) throw ESoundFileError(ReadErrorText());
        return 0;
    }
    FFramesRead += read;
    const auto count = static_cast<std::size_t>(read);
    const auto channels = static_cast<std::size_t>(FChannels);
    std::transform(frames, frames + count * channels, frames, Cleaned);
    if (FChannels == FOutChannels) return count * channels;
    for (std::size_t frame = 0; frame < count; ++frame) {
        const double* first = frames + frame * channels;
        if (FOutChannels == 2) {
            out[2 * frame] = first[0];
            out[2 * frame + 1] = first[1];
            continue;
        }
        double sum = 0.0;
        for (std::size_t channel = 0; channel < channels; ++channel) sum += first[channel];
        out[frame] = sum / FChannels;
    }
    return count * static_cast<std::size_t>(FOutChannels);
}

// Feeds the resampler until it gives output; at the end of the file it is
// flushed (null input) until it has nothing left.
bool TSoundFileReader::RefillResampled() {
    for (;;) {
        if (FSourceUsed == FSourceCount && !FFileAtEnd) {
            FSourceCount = ReadChunk(FSource.data());
            FSourceUsed = 0;
            FFileAtEnd = FSourceCount == 0;
        }
        // The resampler counts frames, the buffers samples.
        const auto channels = static_cast<std::size_t>(FOutChannels);
        const double* input = FFileAtEnd ? nullptr : FSource.data() + FSourceUsed;
        std::size_t consumed = 0;
        std::size_t produced = 0;
        const soxr_error_t error = soxr_process(FResampler.get(), input, (FSourceCount - FSourceUsed) / channels,
                                                &consumed, FOutput.data(), FOutput.size() / channels, &produced);
        if (error != nullptr) throw ESoundFileError(ResampleErrorText(FPath, error));
        FSourceUsed += consumed * channels;
        FOutputCount = produced * channels;
        if (produced > 0) return true;
        if (FFileAtEnd) return false;
    }
}

bool TSoundFileReader::LengthKnown() const { return FSourceFrames != SF_COUNT_MAX; }

// An Ogg stream states its length in its last page; libsndfile finds no
// length when that page is missing, which means the file was cut.
bool TSoundFileReader::EndedShort() const {
    if (!FAtEnd) return false;
    if (!LengthKnown()) return (FFormat & SF_FORMAT_TYPEMASK) == SF_FORMAT_OGG;
    return FFramesRead < FSourceFrames;
}

std::string TSoundFileReader::ShortText() const {
    const std::string seconds = Seconds(SecondsRead()).toStdString();
    if (!LengthKnown())
        return Filled(
            TSoundFileReaderText::tr("Die Datei „%1“ endet nach %2 s ohne ihre letzte Seite, die ihre Länge angibt; "
                                     "ausgewertet ist, was sich lesen ließ."),
            {FPath, seconds});
    return Filled(TSoundFileReaderText::tr("Die Datei „%1“ endet nach %2 s, ihr Kopf gibt %3 s an; "
                                           "ausgewertet ist, was sich lesen ließ."),
                  {FPath, seconds, Seconds(static_cast<double>(FSourceFrames) / FSourceRate).toStdString()});
}

double TSoundFileReader::SecondsRead() const { return static_cast<double>(FFramesRead) / FSourceRate; }

std::string TSoundFileReader::ReadErrorText() const {
    return Filled(TSoundFileReaderText::tr("Fehler beim Lesen der Datei „%1“ nach %2 s: %3"),
                  {FPath, Seconds(SecondsRead()).toStdString(), sf_strerror(FFile.get())});
}

}  // namespace wellenschau
