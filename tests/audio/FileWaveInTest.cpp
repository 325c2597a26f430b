// Playing a sound file through the audio component: every sample of the
// file reaches the buffer handler in order, the last buffer is completed
// with silence, and the end of the file closes the device by itself.
#include "AudioTestSupport.h"

#include "audio/AudioIn.h"
#include "audio/FileWaveIn.h"
#include "audio/WavRecorder.h"
#include "support/DamagedSoundFile.h"
#include "support/TempPath.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <QEventLoop>
#include <QTimer>

#include <filesystem>
#include <string>
#include <vector>

namespace wellenschau {
namespace {

using ::testing::HasSubstr;
using test::TempPath;


// Distinct samples, so that a lost, doubled or reordered piece shows.
std::vector<std::int16_t> Counter(int count) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) samples[i] = static_cast<std::int16_t>(i * 13 + 1);
    return samples;
}

// A 16-bit mono 44100 Hz WAV file with `samples`, removed with the object.
class TTempWavFile {
public:
    TTempWavFile(const std::string& name, const std::vector<std::int16_t>& samples) : FPath(TempPath(name)) {
        TWavRecorder recorder(FPath);
        if (!samples.empty()) {
            recorder.Append(reinterpret_cast<const char*>(samples.data()), static_cast<int>(samples.size() * 2));
        }
    }
    ~TTempWavFile() { std::filesystem::remove(FPath); }
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};

// The component as the main window configures it, on a file device.
class FileWaveInTest : public ::testing::Test {
protected:
    void Use(TFileWaveIn& device, int bufferBytes = 8192) {
        test::TestApplication().HandlerErrors.clear();
        AudioIn1 = new TAudioIn(&Owner, device);
        AudioIn1->SetNumBuffers(2);
        AudioIn1->SetBufferSize(bufferBytes);
        AudioIn1->SetFrameRate(44100);
        AudioIn1->SetWaveDevice(0);
        AudioIn1->SetOnBufferFilled([this](char* Buffer, int& Size) {
            const auto* samples = reinterpret_cast<const std::int16_t*>(Buffer);
            Received.insert(Received.end(), samples, samples + Size / 2);
            ++Buffers;
            return Accept ? Accept(Buffers) : true;
        });
        AudioIn1->SetOnStop([this](QObject*) { ++Stops; });
    }

    // Dispatches posted notifications until the device has closed.
    void RunUntilStopped() {
        for (int round = 0; round < 1000 && Stops == 0; ++round) QCoreApplication::sendPostedEvents();
    }

    // Runs the event loop (timers included) until the device has closed, at
    // most `limitMs` milliseconds.
    void LoopUntilStopped(int limitMs) {
        QEventLoop loop;
        AudioIn1->SetOnStop([this, &loop](QObject*) {
            ++Stops;
            loop.quit();
        });
        QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
        loop.exec();
    }

    // The file's samples followed by silence up to a whole number of buffers.
    static std::vector<std::int16_t> Padded(std::vector<std::int16_t> samples, int bufferSamples) {
        samples.resize((samples.size() + bufferSamples - 1) / bufferSamples * bufferSamples, 0);
        return samples;
    }

    QObject Owner;
    TAudioIn* AudioIn1 = nullptr;
    std::vector<std::int16_t> Received;
    int Buffers = 0;
    int Stops = 0;
    // Result of the handler for the n-th buffer (from 1); all True if unset.
    std::function<bool(int)> Accept;
};

TEST_F(FileWaveInTest, EverySampleArrivesInOrderThenTheDeviceClosesByItself) {
    const auto samples = Counter(10000);
    const TTempWavFile file("short.wav", samples);
    TFileWaveIn device(file.Path(), TFilePace::AsFastAsPossible);
    Use(device);
    ASSERT_TRUE(AudioIn1->Start(AudioIn1)) << AudioIn1->ErrorMessage();
    RunUntilStopped();
    EXPECT_EQ(Buffers, 3);
    EXPECT_TRUE(Received == Padded(samples, 4096)) << "the last buffer is completed with zeros";
    EXPECT_EQ(Stops, 1);
    EXPECT_FALSE(AudioIn1->DeviceOpen());
    EXPECT_EQ(AudioIn1->ErrorMessage(), "Ende der Datei erreicht");
    EXPECT_EQ(device.OpenDeviceCount(), 0);
    EXPECT_TRUE(test::TestApplication().HandlerErrors.empty());
}

// At both paces: at real-time pace the buffer queued behind the last one
// used to come back silent, and was delivered, before the end was seen.
class FileOfWholeBuffersTest : public FileWaveInTest, public ::testing::WithParamInterface<TFilePace> {};

TEST_P(FileOfWholeBuffersTest, GetsNoExtraSilentBuffer) {
    const auto samples = Counter(3 * 4096);
    const TTempWavFile file("whole.wav", samples);
    TFileWaveIn device(file.Path(), GetParam());
    Use(device);
    ASSERT_TRUE(AudioIn1->Start(AudioIn1));
    LoopUntilStopped(5000);
    RunUntilStopped();
    EXPECT_EQ(Buffers, 3);
    EXPECT_TRUE(Received == samples);
    EXPECT_EQ(Stops, 1);
}

INSTANTIATE_TEST_SUITE_P(Paces, FileOfWholeBuffersTest,
                         ::testing::Values(TFilePace::RealTime, TFilePace::AsFastAsPossible),
                         [](const ::testing::TestParamInfo<TFilePace>& info) {
                             return info.param == TFilePace::RealTime ? "RealTime" : "AsFastAsPossible";
                         });

TEST_F(FileWaveInTest, AtRealTimePaceTheFilePlaysThroughTheEventLoop) {
    const auto samples = Counter(40000);
    const TTempWavFile file("realtime.wav", samples);
    TFileWaveIn device(file.Path());
    // Buffers of 371 ms: none can be due before the loop runs.
    Use(device, 32768);
    ASSERT_TRUE(AudioIn1->Start(AudioIn1));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(Buffers, 0) << "no buffer before its time";
    LoopUntilStopped(10000);
    EXPECT_EQ(Buffers, 3);
    EXPECT_TRUE(Received == Padded(samples, 16384));
    EXPECT_EQ(Stops, 1);
    EXPECT_EQ(AudioIn1->ErrorMessage(), "Ende der Datei erreicht");
}

TEST_F(FileWaveInTest, OtherEncodingsArriveAsTheReaderConvertsThem) {
    const std::string path = TempPath("stereo48k.wav");
    {
        SF_INFO info{0, 48000, 2, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0, 0};
        SNDFILE* out = sf_open(path.c_str(), SFM_WRITE, &info);
        ASSERT_NE(out, nullptr);
        std::vector<float> frames;
        for (int i = 0; i < 2 * 20000; ++i) frames.push_back(static_cast<float>((i % 200) - 100) / 128.0f);
        sf_writef_float(out, frames.data(), 20000);
        sf_close(out);
    }
    const std::vector<std::int16_t> converted = test::ReadSamples(path);
    TFileWaveIn device(path, TFilePace::AsFastAsPossible);
    Use(device);
    ASSERT_TRUE(AudioIn1->Start(AudioIn1));
    RunUntilStopped();
    EXPECT_TRUE(Received == Padded(converted, 4096));
    EXPECT_EQ(Stops, 1);
    std::filesystem::remove(path);
}

TEST_F(FileWaveInTest, AHandlerThatDeclinesTheLastBufferStillEndsTheRecording) {
    const TTempWavFile file("declined.wav", Counter(10000));
    TFileWaveIn device(file.Path(), TFilePace::AsFastAsPossible);
    Use(device);
    Accept = [](int buffer) { return buffer != 3; };
    ASSERT_TRUE(AudioIn1->Start(AudioIn1));
    RunUntilStopped();
    EXPECT_EQ(Stops, 1);
    EXPECT_FALSE(AudioIn1->DeviceOpen());
    EXPECT_GE(Buffers, 3);
}

TEST_F(FileWaveInTest, StopNowEndsAtOnceAndTheNextStartPlaysFromTheBeginning) {
    const auto samples = Counter(10000);
    const TTempWavFile file("restart.wav", samples);
    TFileWaveIn device(file.Path());
    Use(device);
    ASSERT_TRUE(AudioIn1->Start(AudioIn1));
    AudioIn1->StopNow();
    EXPECT_FALSE(AudioIn1->DeviceOpen());
    EXPECT_EQ(device.OpenDeviceCount(), 0);
    test::RunPostedEvents();
    EXPECT_EQ(Stops, 1);
    EXPECT_EQ(Buffers, 0) << "buffers returned by the reset are not delivered";

    ASSERT_TRUE(AudioIn1->Start(AudioIn1));
    LoopUntilStopped(10000);
    EXPECT_EQ(Stops, 2);
    EXPECT_TRUE(Received == Padded(samples, 4096));
}

TEST_F(FileWaveInTest, AFileThatCannotBePlayedRefusesTheStartWithItsReason) {
    TFileWaveIn missing(TempPath("missing.wav"));
    Use(missing);
    EXPECT_FALSE(AudioIn1->Start(AudioIn1));
    EXPECT_THAT(AudioIn1->ErrorMessage(), HasSubstr("„" + missing.Path() + "“ lässt sich nicht lesen"));
    EXPECT_FALSE(AudioIn1->DeviceOpen());

    const TTempWavFile empty("empty.wav", {});
    TFileWaveIn silent(empty.Path());
    ASSERT_TRUE(AudioIn1->SetWaveInService(silent));
    EXPECT_FALSE(AudioIn1->Start(AudioIn1));
    EXPECT_EQ(AudioIn1->ErrorMessage(), "Die Datei „" + empty.Path() + "“ enthält keine Samples.");
    test::RunPostedEvents();
    EXPECT_EQ(Buffers, 0);
}

struct TFileEndCase {
    const char* Name;
    test::TDamage Damage;
    TMMResult EndCode;
    const char* Message;
};

class FileEndTest : public FileWaveInTest, public ::testing::WithParamInterface<TFileEndCase> {};

// Only the regular end leaves no reason behind: a read error, a file that
// decodes to nothing and one that ends before its header's length end the
// recording as a lost device does, with the message for the window.
TEST_P(FileEndTest, TheEndTellsHowTheFileEnded) {
    const TFileEndCase& c = GetParam();
    const std::string path = TempPath(std::string(c.Name) + ".sound");
    test::WriteDamagedSoundFile(path, c.Damage);
    TFileWaveIn device(path, TFilePace::AsFastAsPossible);
    Use(device);
    EXPECT_EQ(device.EndCode(), MMSYSERR_NOERROR);
    ASSERT_TRUE(AudioIn1->Start(AudioIn1)) << AudioIn1->ErrorMessage();
    RunUntilStopped();
    EXPECT_EQ(Stops, 1);
    EXPECT_EQ(device.EndCode(), c.EndCode);
    EXPECT_THAT(AudioIn1->ErrorMessage(), HasSubstr(c.Message));
    EXPECT_EQ(AudioIn1->LostMessage(), c.EndCode == FILEERR_ENDOFFILE ? "" : AudioIn1->ErrorMessage());
    std::filesystem::remove(path);
}

INSTANTIATE_TEST_SUITE_P(
    Ends, FileEndTest,
    ::testing::Values(TFileEndCase{"complete", test::TDamage::None, FILEERR_ENDOFFILE, "Ende der Datei erreicht"},
                      TFileEndCase{"read_error", test::TDamage::FlacCutAt3000, FILEERR_FILE, "lost sync"},
                      TFileEndCase{"nothing_decodes", test::TDamage::NoSamplesLeft, FILEERR_FILE, "enthält keine Samples"},
                      TFileEndCase{"short", test::TDamage::FlacCutInHalf, FILEERR_SHORT, "ihr Kopf gibt 4.00 s an"}),
    [](const auto& info) { return std::string(info.param.Name); });

// Stereo asks two channels of the file, which a mono file cannot give.
TEST_F(FileWaveInTest, OnlyDeviceZeroInSixteenBitsIsOffered) {
    const TTempWavFile file("format.wav", Counter(100));
    TFileWaveIn device(file.Path());
    Use(device);
    AudioIn1->SetStereo(true);
    EXPECT_FALSE(AudioIn1->Start(AudioIn1));
    EXPECT_THAT(AudioIn1->ErrorMessage(), ::testing::HasSubstr("hat nur einen Kanal"));
    AudioIn1->SetQuantization(8);
    EXPECT_FALSE(AudioIn1->Start(AudioIn1));
    EXPECT_EQ(AudioIn1->ErrorMessage(), device.ErrorText(WAVERR_BADFORMAT));
    AudioIn1->SetQuantization(16);
    AudioIn1->SetStereo(false);
    AudioIn1->SetWaveDevice(1);
    EXPECT_FALSE(AudioIn1->Start(AudioIn1));
    EXPECT_EQ(AudioIn1->ErrorMessage(), device.ErrorText(MMSYSERR_BADDEVICEID));
    EXPECT_EQ(device.ErrorText(FILEERR_ENDOFFILE), "Ende der Datei erreicht");
}

}  // namespace
}  // namespace wellenschau
