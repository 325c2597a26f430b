// Reading sound files as 16-bit mono at 44100 Hz: bit-exact passing of
// 16-bit mono files, mix-down and conversion of other encodings and channel
// counts, resampling, and clear errors for files that cannot be read.
#include "audio/SoundFileReader.h"
#include "support/DamagedSoundFile.h"
#include "support/TempPath.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

namespace wellenschau {
namespace {

using ::testing::HasSubstr;
using test::TDamage;
using test::TempPath;


// A file written with libsndfile, removed at the end of the test.
class TTempSoundFile {
public:
    TTempSoundFile(const std::string& name, int format, int rate, int channels)
        : FPath(TempPath(name)), FInfo{0, rate, channels, format, 0, 0} {
        FFile = sf_open(FPath.c_str(), SFM_WRITE, &FInfo);
        EXPECT_NE(FFile, nullptr) << sf_strerror(nullptr);
    }
    ~TTempSoundFile() {
        Close();
        std::filesystem::remove(FPath);
    }
    // Interleaved frames, ±1 full scale, converted by libsndfile.
    void WriteDoubles(const std::vector<double>& frames) {
        sf_command(FFile, SFC_SET_CLIPPING, nullptr, SF_TRUE);
        sf_writef_double(FFile, frames.data(), Frames(frames.size()));
    }
    void WriteShorts(const std::vector<short>& frames) { sf_writef_short(FFile, frames.data(), Frames(frames.size())); }
    void WriteInts(const std::vector<int>& frames) { sf_writef_int(FFile, frames.data(), Frames(frames.size())); }
    void WriteFloats(const std::vector<float>& frames) { sf_writef_float(FFile, frames.data(), Frames(frames.size())); }
    void Close() {
        if (FFile != nullptr) sf_close(FFile);
        FFile = nullptr;
    }
    const std::string& Path() const { return FPath; }

private:
    sf_count_t Frames(std::size_t values) const { return static_cast<sf_count_t>(values) / FInfo.channels; }

    std::string FPath;
    SF_INFO FInfo;
    SNDFILE* FFile = nullptr;
};

// Everything the reader gives, read in pieces of `piece` samples.
std::vector<std::int16_t> ReadAll(TSoundFileReader& reader, int piece = 1000) {
    std::vector<std::int16_t> samples;
    std::vector<std::int16_t> buffer(static_cast<std::size_t>(piece));
    for (;;) {
        const int count = reader.Read(buffer.data(), piece);
        samples.insert(samples.end(), buffer.begin(), buffer.begin() + count);
        if (count < piece) break;
    }
    EXPECT_EQ(reader.Read(buffer.data(), piece), 0) << "nothing after the end";
    return samples;
}

std::vector<std::int16_t> ReadAll(const std::string& path) {
    TSoundFileReader reader(path);
    return ReadAll(reader);
}

// The test signals, ±1 full scale: a tone, a sweep and silence one after
// the other, `seconds` long in all.
double Tone(double t) { return 0.6 * std::sin(2 * std::numbers::pi * 440 * t); }
double Sweep(double t) { return 0.9 * std::sin(2 * std::numbers::pi * (100 + 4000 * t) * t); }

std::vector<double> TestSignal(int rate, int channels, double seconds) {
    const int frames = static_cast<int>(seconds * rate);
    std::vector<double> signal;
    for (int frame = 0; frame < frames; ++frame) {
        const double t = static_cast<double>(frame) / rate;
        const int part = frame * 3 / frames;  // 0 tone, 1 sweep, 2 silence
        const double left = part == 0 ? Tone(t) : part == 1 ? Sweep(t) : 0.0;
        signal.push_back(left);
        // The right channel differs, so that a mix-down error shows.
        if (channels == 2) signal.push_back(part == 2 ? 0.0 : 0.25 * Sweep(2 * t));
    }
    return signal;
}

// What the file holds as libsndfile reads it, mixed and converted by the
// rules written out here independently.
std::vector<std::int16_t> ExpectedMono(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    std::vector<double> frames(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_double(file, frames.data(), info.frames);
    sf_close(file);
    std::vector<std::int16_t> mono;
    for (std::size_t frame = 0; frame < frames.size(); frame += static_cast<std::size_t>(info.channels)) {
        double sum = 0;
        for (int channel = 0; channel < info.channels; ++channel) sum += frames[frame + channel];
        const double scaled = std::nearbyint(sum / info.channels * 32768.0);
        mono.push_back(static_cast<std::int16_t>(std::clamp(scaled, -32768.0, 32767.0)));
    }
    return mono;
}

// Frequency between `low` and `high` (1 Hz steps) with the largest
// Hann-windowed DFT magnitude of `samples` at `rate`, and that magnitude
// relative to full scale.
std::pair<int, double> Peak(const std::vector<std::int16_t>& samples, int rate, int low, int high) {
    const std::size_t n = samples.size();
    int bestFrequency = low;
    double best = 0;
    for (int frequency = low; frequency <= high; ++frequency) {
        double re = 0;
        double im = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const double window = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / n);
            const double phase = 2 * std::numbers::pi * frequency * i / rate;
            re += window * samples[i] * std::cos(phase);
            im += window * samples[i] * std::sin(phase);
        }
        const double magnitude = std::sqrt(re * re + im * im) / (n / 4.0) / 32768.0;
        if (magnitude > best) {
            best = magnitude;
            bestFrequency = frequency;
        }
    }
    return {bestFrequency, best};
}

TEST(SoundFileReaderTest, SixteenBitMono44100ComesOutBitForBitInAnyPieces) {
    std::vector<short> samples;
    for (const double value : TestSignal(44100, 1, 1.0)) samples.push_back(static_cast<short>(value * 32767));
    samples.insert(samples.end(), {-32768, 32767, -1, 1, 0});
    for (const int format : {SF_FORMAT_WAV, SF_FORMAT_AIFF, SF_FORMAT_FLAC}) {
        SCOPED_TRACE(format);
        TTempSoundFile file("exact", format | SF_FORMAT_PCM_16, 44100, 1);
        file.WriteShorts(samples);
        file.Close();
        TSoundFileReader reader(file.Path());
        EXPECT_FALSE(reader.Resampling());
        const std::vector<short> wanted(samples.begin(), samples.end());
        const auto got = ReadAll(reader, 4096);
        EXPECT_TRUE(std::equal(got.begin(), got.end(), wanted.begin(), wanted.end()));
        TSoundFileReader again(file.Path());
        const auto inOddPieces = ReadAll(again, 7);
        EXPECT_TRUE(std::equal(inOddPieces.begin(), inOddPieces.end(), wanted.begin(), wanted.end()));
    }
}

TEST(SoundFileReaderTest, ReadGivesFullCountsUntilTheEndThenTheRestThenNothing) {
    TTempSoundFile file("counts", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2);
    file.WriteShorts(std::vector<short>(2 * 10000, 5));
    file.Close();
    TSoundFileReader reader(file.Path());
    std::vector<std::int16_t> buffer(4096);
    EXPECT_EQ(reader.Read(buffer.data(), 4096), 4096);
    EXPECT_EQ(reader.Read(buffer.data(), 4096), 4096);
    EXPECT_EQ(reader.Read(buffer.data(), 4096), 10000 - 8192);
    EXPECT_EQ(reader.Read(buffer.data(), 4096), 0);
    EXPECT_EQ(reader.Read(buffer.data(), 4096), 0);
}

// Stereo means round to the nearest value, an exact half to the even one.
TEST(SoundFileReaderTest, StereoIsTheRoundedMeanOfBothChannels) {
    TTempSoundFile file("mean", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2);
    file.WriteShorts({3, 4, 1, 2, 2, 3, -3, -4, 32767, 32767, -32768, -32768, 32767, -32768, 1000, -1000, 7, 0});
    file.Close();
    EXPECT_THAT(ReadAll(file.Path()), ::testing::ElementsAre(4, 2, 2, -4, 32767, -32768, 0, 0, 4));
}

TEST(SoundFileReaderTest, TwentyFourBitSamplesAreRoundedToSixteen) {
    TTempSoundFile file("pcm24", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 44100, 1);
    // libsndfile takes 24-bit values in the upper bits of an int.
    std::vector<int> values;
    for (const int value24 : {384, 640, -384, 128, 383, 385, 0x7FFFFF, -0x800000}) values.push_back(value24 * 256);
    file.WriteInts(values);
    file.Close();
    // value / 256, rounded: 1.5 → 2, 2.5 → 2, -1.5 → -2, 0.5 → 0, ...
    EXPECT_THAT(ReadAll(file.Path()), ::testing::ElementsAre(2, 2, -2, 0, 1, 2, 32767, -32768));
}

TEST(SoundFileReaderTest, UnsignedEightBitSamplesAreScaledUp) {
    TTempSoundFile file("u8", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 44100, 1);
    // Stored as (value >> 8) + 128; these have a zero low byte.
    file.WriteShorts({0, 256, -256, 32512, -32768});
    file.Close();
    EXPECT_THAT(ReadAll(file.Path()), ::testing::ElementsAre(0, 256, -256, 32512, -32768));
}

TEST(SoundFileReaderTest, FloatSamplesAreClampedAndNotANumberIsSilence) {
    TTempSoundFile file("float", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 1);
    file.WriteFloats({1.0f, -1.0f, 2.0f, -3.0f, 0.5f, 1.0f / 65536, 3.0f / 65536, -1.0f / 65536,
                      std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()});
    file.Close();
    EXPECT_THAT(ReadAll(file.Path()), ::testing::ElementsAre(32767, -32768, 32767, -32768, 16384, 0, 2, 0, 0, 32767));
}

struct TEncodingCase {
    const char* Name;
    int Format;
    int Channels;
};

class SoundFileReaderEncodingTest : public ::testing::TestWithParam<TEncodingCase> {};

TEST_P(SoundFileReaderEncodingTest, ToneSweepAndSilenceAreMixedAndConvertedSampleBySample) {
    const TEncodingCase& encoding = GetParam();
    TTempSoundFile file(encoding.Name, SF_FORMAT_WAV | encoding.Format, 44100, encoding.Channels);
    file.WriteDoubles(TestSignal(44100, encoding.Channels, 1.5));
    file.Close();
    TSoundFileReader reader(file.Path());
    EXPECT_EQ(reader.SourceChannels(), encoding.Channels);
    EXPECT_EQ(reader.SourceFrames(), 66150);
    const auto got = ReadAll(reader, 4096);
    const auto wanted = ExpectedMono(file.Path());
    ASSERT_EQ(got.size(), 66150u);
    EXPECT_TRUE(got == wanted);
    // The last third is silence in every encoding.
    EXPECT_TRUE(std::all_of(got.end() - 20000, got.end(), [](std::int16_t sample) { return sample == 0; }));
}

INSTANTIATE_TEST_SUITE_P(Encodings, SoundFileReaderEncodingTest,
                         ::testing::Values(TEncodingCase{"u8_mono", SF_FORMAT_PCM_U8, 1},
                                           TEncodingCase{"u8_stereo", SF_FORMAT_PCM_U8, 2},
                                           TEncodingCase{"pcm16_stereo", SF_FORMAT_PCM_16, 2},
                                           TEncodingCase{"pcm24_mono", SF_FORMAT_PCM_24, 1},
                                           TEncodingCase{"pcm24_stereo", SF_FORMAT_PCM_24, 2},
                                           TEncodingCase{"float_mono", SF_FORMAT_FLOAT, 1},
                                           TEncodingCase{"float_stereo", SF_FORMAT_FLOAT, 2}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(SoundFileReaderTest, A48kHzToneResampledTo44100StillPeaksAtItsFrequency) {
    for (const int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        TTempSoundFile file("resample", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, channels);
        std::vector<double> frames;
        for (int frame = 0; frame < 96000; ++frame) {
            const double value = 0.5 * std::sin(2 * std::numbers::pi * 1000 * frame / 48000.0);
            for (int channel = 0; channel < channels; ++channel) frames.push_back(value);
        }
        file.WriteDoubles(frames);
        file.Close();
        TSoundFileReader reader(file.Path());
        EXPECT_TRUE(reader.Resampling());
        EXPECT_EQ(reader.SourceRate(), 48000);
        const auto samples = ReadAll(reader, 4096);
        // Two seconds at the new rate, the resampler's tail flushed.
        EXPECT_NEAR(static_cast<double>(samples.size()), 88200.0, 2.0);
        const std::vector<std::int16_t> middle(samples.begin() + 22050, samples.begin() + 22050 + 8820);
        const auto [frequency, magnitude] = Peak(middle, 44100, 900, 1100);
        EXPECT_EQ(frequency, 1000);
        EXPECT_NEAR(magnitude, 0.5, 0.01);
    }
}

// Two channels are the file's first two as interleaved pairs, bit for bit
// at the file's own rate; a one-channel file cannot give them.
TEST(SoundFileReaderTest, TwoChannelsAreTheFirstTwoOfTheFile) {
    for (const int channels : {2, 3}) {
        TTempSoundFile file("pairs" + std::to_string(channels), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, channels);
        std::vector<short> frames, expected;
        for (int frame = 0; frame < 5000; ++frame)
            for (int channel = 0; channel < channels; ++channel) {
                const auto value = static_cast<short>(frame * (channel + 1) - 7000);
                frames.push_back(value);
                if (channel < 2) expected.push_back(value);
            }
        file.WriteShorts(frames);
        file.Close();
        TSoundFileReader reader(file.Path(), 44100, 2);
        EXPECT_EQ(reader.Channels(), 2);
        const std::vector<std::int16_t> samples = ReadAll(reader, 1000);
        EXPECT_TRUE(std::equal(samples.begin(), samples.end(), expected.begin(), expected.end())) << channels;
    }
    TTempSoundFile mono("mono", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1);
    mono.WriteShorts({1, 2, 3});
    mono.Close();
    EXPECT_THAT([&] { TSoundFileReader(mono.Path(), 44100, 2); },
                ::testing::ThrowsMessage<ESoundFileError>(HasSubstr("hat nur einen Kanal")));
}

// The resampler keeps the two channels apart.
TEST(SoundFileReaderTest, TwoChannelsAreResampledEachOnItsOwn) {
    TTempSoundFile file("resample-pairs", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 2);
    std::vector<double> frames;
    for (int frame = 0; frame < 48000; ++frame)
        for (const double hz : {1000.0, 3000.0})
            frames.push_back(0.5 * std::sin(2 * std::numbers::pi * hz * frame / 48000.0));
    file.WriteDoubles(frames);
    file.Close();
    TSoundFileReader reader(file.Path(), 44100, 2);
    const std::vector<std::int16_t> samples = ReadAll(reader, 4096);
    EXPECT_NEAR(static_cast<double>(samples.size()), 88200.0, 4.0);
    std::vector<std::int16_t> left, right;
    for (std::size_t i = 22050; i < 22050 + 2 * 4410; i += 2) {
        left.push_back(samples[i]);
        right.push_back(samples[i + 1]);
    }
    EXPECT_EQ(Peak(left, 44100, 500, 3500).first, 1000);
    EXPECT_EQ(Peak(right, 44100, 500, 3500).first, 3000);
}

TEST(SoundFileReaderTest, ATargetRateOtherThan44100CanBeAskedFor) {
    TTempSoundFile file("rate", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 1);
    file.WriteDoubles(TestSignal(44100, 1, 1.0));
    file.Close();
    TSoundFileReader reader(file.Path(), 22050);
    EXPECT_EQ(reader.TargetRate(), 22050);
    EXPECT_NEAR(static_cast<double>(ReadAll(reader).size()), 22050.0, 2.0);
}

TEST(SoundFileReaderTest, SourceFactsNameRateChannelsFramesAndFormat) {
    TTempSoundFile file("facts", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000, 2);
    file.WriteDoubles(TestSignal(48000, 2, 0.5));
    file.Close();
    TSoundFileReader reader(file.Path());
    EXPECT_EQ(reader.Path(), file.Path());
    EXPECT_EQ(reader.SourceRate(), 48000);
    EXPECT_EQ(reader.SourceChannels(), 2);
    EXPECT_EQ(reader.SourceFrames(), 24000);
    EXPECT_EQ(reader.FormatName(), "WAV (Microsoft), Signed 24 bit PCM");
}

// A missing file and a text file: the message names the file and gives the
// library's reason. A folder, a pipe (refused before it is opened, which
// would block) and a device, and a header without a rate: our own reason.
TEST(SoundFileReaderTest, UnreadableFilesAreClearErrors) {
    const std::string text = TempPath("notes.wav");
    std::ofstream(text) << "Dies ist keine Tondatei, sondern ein Text.\n";
    const std::string folder = TempPath("folder.wav");
    std::filesystem::create_directory(folder);
    const std::string pipe = TempPath("pipe.wav");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string zeroHertz = TempPath("zero-hertz.wav");
    test::WriteDamagedSoundFile(zeroHertz, TDamage::ZeroHertz);
    const std::pair<std::string, const char*> cases[] = {{TempPath("does-not-exist.wav"), "No such file"},
                                                         {text, "Format not recognised"},
                                                         {folder, "Das ist ein Ordner."},
                                                         {pipe, "keine gewöhnliche Datei, sondern eine Pipe"},
                                                         {"/dev/null", "keine gewöhnliche Datei"},
                                                         {zeroHertz, "gibt eine Abtastrate von 0 Hz"}};
    for (const auto& [path, reason] : cases) {
        try {
            TSoundFileReader reader(path);
            ADD_FAILURE() << "opened " << path;
        } catch (const ESoundFileError& error) {
            EXPECT_THAT(error.what(), HasSubstr("Die Datei „" + path + "“ lässt sich nicht lesen: "));
            EXPECT_THAT(error.what(), HasSubstr(reason));
        }
    }
    for (const std::string& path : {text, folder, pipe, zeroHertz}) std::filesystem::remove(path);
}

struct TDamageCase {
    const char* Name;
    TDamage Damage;
    // What reading it to the end gives: the read error's or the warning's
    // text, empty for a complete file.
    const char* Outcome;
};

class DamagedSoundFileTest : public ::testing::TestWithParam<TDamageCase> {};

// A read error names the file, how far it was read and libsndfile's reason;
// a file that ends early says how much was read of how much its header
// states.
TEST_P(DamagedSoundFileTest, ReadingToTheEndTellsWhatWentWrong) {
    const std::string path = TempPath(std::string(GetParam().Name) + ".sound");
    test::WriteDamagedSoundFile(path, GetParam().Damage);
    TSoundFileReader reader(path);
    std::string outcome;
    try {
        ReadAll(reader, 4096);
        if (reader.EndedShort()) outcome = reader.ShortText();
    } catch (const ESoundFileError& error) {
        outcome = error.what();
    }
    if (*GetParam().Outcome == '\0') {
        EXPECT_EQ(outcome, "");
        EXPECT_EQ(reader.FramesRead(), reader.SourceFrames());
    } else {
        EXPECT_THAT(outcome, HasSubstr("„" + path + "“"));
        EXPECT_THAT(outcome, HasSubstr(GetParam().Outcome));
        EXPECT_LT(reader.SecondsRead(), test::DamagedFileSeconds);
    }
    std::filesystem::remove(path);
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedSoundFileTest,
    ::testing::Values(TDamageCase{"complete", TDamage::None, ""},
                      TDamageCase{"flac_cut_at_3000", TDamage::FlacCutAt3000, "nach 0.00 s: Error : flac decoder lost sync"},
                      TDamageCase{"flac_cut_in_half", TDamage::FlacCutInHalf, "ihr Kopf gibt 4.00 s an"},
                      TDamageCase{"flac_with_noise", TDamage::FlacWithNoise, "nach 0.93 s: Error : flac decoder lost sync"},
                      TDamageCase{"ogg_cut_in_half", TDamage::OggCutInHalf, "ohne ihre letzte Seite"},
                      TDamageCase{"ogg_with_noise", TDamage::OggWithNoise, "ihr Kopf gibt 4.00 s an"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TNonFiniteCase {
    const char* Name;
    int Rate;
    int Channels;
    float Value;
    // What the value reads as: the same file with this value instead gives
    // the same samples.
    float Equivalent;
    int ReadChannels = 1;  // channels asked of the reader
};

class NonFiniteSampleTest : public ::testing::TestWithParam<TNonFiniteCase> {};

// Cleaned before the mix-down and the resampler, one bad value changes one
// sample's worth of sound, not the resampler's whole filter length.
TEST_P(NonFiniteSampleTest, ReadsAsSilenceOrFullScaleAtItsOwnPlace) {
    const TNonFiniteCase& c = GetParam();
    auto samplesWith = [&c](float value) {
        TTempSoundFile file(std::string(c.Name) + "-" + std::to_string(value), SF_FORMAT_WAV | SF_FORMAT_FLOAT, c.Rate,
                            c.Channels);
        std::vector<float> frames;
        for (int frame = 0; frame < 4000; ++frame)
            for (int channel = 0; channel < c.Channels; ++channel)
                frames.push_back(static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * 440 * frame / c.Rate)));
        frames[2000 * static_cast<std::size_t>(c.Channels)] = value;
        file.WriteFloats(frames);
        file.Close();
        TSoundFileReader reader(file.Path(), TSoundFileReader::DefaultRate, c.ReadChannels);
        return ReadAll(reader);
    };
    EXPECT_TRUE(samplesWith(c.Value) == samplesWith(c.Equivalent));
}

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float Infinity = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(Values, NonFiniteSampleTest,
                         ::testing::Values(TNonFiniteCase{"nan_48k", 48000, 1, NaN, 0.0f},
                                           TNonFiniteCase{"inf_48k", 48000, 1, Infinity, 1.0f},
                                           TNonFiniteCase{"minus_inf_48k_stereo", 48000, 2, -Infinity, -1.0f},
                                           TNonFiniteCase{"nan_44k_stereo", 44100, 2, NaN, 0.0f},
                                           TNonFiniteCase{"inf_22k", 22050, 1, Infinity, 1.0f},
                                           TNonFiniteCase{"nan_48k_two_channels", 48000, 2, NaN, 0.0f, 2},
                                           TNonFiniteCase{"inf_44k_two_channels", 44100, 3, Infinity, 1.0f, 2}),
                         [](const auto& info) { return std::string(info.param.Name); });

// One sample at 1 Hz is a second of sound at 44100 Hz, read through a
// resampler whose output is made a bounded piece at a time.
TEST(SoundFileReaderTest, OneSampleAtOneHertzIsASecondAt44100) {
    const std::string path = TempPath("one-hertz.wav");
    test::WriteDamagedSoundFile(path, TDamage::OneHertz);
    EXPECT_EQ(std::filesystem::file_size(path), 46u);
    TSoundFileReader reader(path);
    EXPECT_EQ(reader.SourceRate(), 1);
    EXPECT_NEAR(static_cast<double>(ReadAll(reader, 4096).size()), 44100.0, 100.0);
    std::filesystem::remove(path);
}

TEST(SoundFileReaderTest, ATruncatedFileGivesWhatItHolds) {
    TTempSoundFile file("truncated", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1);
    std::vector<short> samples(1000);
    for (int i = 0; i < 1000; ++i) samples[i] = static_cast<short>(i - 500);
    file.WriteShorts(samples);
    file.Close();
    std::filesystem::resize_file(file.Path(), 44 + 2 * 600 + 1);
    TSoundFileReader reader(file.Path());
    EXPECT_EQ(reader.SourceFrames(), 1000);  // as the header states
    const auto got = ReadAll(reader);
    ASSERT_EQ(got.size(), 600u);
    EXPECT_TRUE(std::equal(got.begin(), got.end(), samples.begin()));
    EXPECT_TRUE(reader.EndedShort());
}

TEST(SoundFileReaderTest, ConversionRoundsHalvesToEvenAndClamps) {
    EXPECT_EQ(ToSample16(0.5 / 32768), 0);
    EXPECT_EQ(ToSample16(1.5 / 32768), 2);
    EXPECT_EQ(ToSample16(-2.5 / 32768), -2);
    EXPECT_EQ(ToSample16(32767.5 / 32768), 32767);
    EXPECT_EQ(ToSample16(-1.1), -32768);
    EXPECT_EQ(ToSample16(-std::numeric_limits<double>::infinity()), -32768);
    EXPECT_EQ(ToSample16(std::numeric_limits<double>::quiet_NaN()), 0);
}

}  // namespace
}  // namespace wellenschau
