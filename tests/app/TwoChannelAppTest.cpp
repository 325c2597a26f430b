// Two channels through the program: the export of a stereo file, whose
// channel A files are those of its left channel alone; a private
// PulseAudio server whose default source plays one tone on the left and
// another on the right, recorded by the window in two channels and into
// the recording file; and one-channel inputs, which two channels refuse.
#include "AppTestSupport.h"
#include "ProgramRun.h"
#include "app/AnalyserView.h"
#include "app/BufferFeed.h"
#include "audio/AudioIn.h"
#include "audio/CaptureRecording.h"
#include "audio/SoundFileReader.h"
#include "support/PulseAudioServer.h"
#include "support/TempPath.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QToolButton>

#include <gtest/gtest.h>
#include <sndfile.h>

#include <array>
#include <cmath>
#include <numbers>
#include <vector>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

// The tones of the left and the right channel.
constexpr std::array<double, 2> ChannelHz = {1000.0, 3000.0};
constexpr double LeftHz = ChannelHz[0];
constexpr double RightHz = ChannelHz[1];

// Interleaved frames of both tones at a quarter of full scale.
std::int16_t TwoTones(std::int64_t i) {
    const double seconds = static_cast<double>(i / 2) / 44100.0;
    return static_cast<std::int16_t>(std::lround(8192 * std::sin(2 * std::numbers::pi * ChannelHz[i % 2] * seconds)));
}

void ProcessEventsFor(int milliseconds) {
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The dominant_dbfs field of a measurements file's second buffer.
double SecondBufferDominantDbfs(const QString& path) { return FileBytes(path).split('\n')[2].split(',')[5].toDouble(); }

TEST(TwoChannelExportTest, ChannelAIsTheExportOfTheLeftChannelByteForByte) {
    const TTempFolder dir;
    // The stereo file carries the tone on the left and a third of it on the right.
    const QString stereo = WriteWav(dir.FilePath("stereo.wav"), {"", 44100, 2, SF_FORMAT_PCM_16, Tone}, 1.0);
    const QString left = WriteWav(dir.FilePath("left.wav"), {"", 44100, 1, SF_FORMAT_PCM_16, Tone}, 1.0);
    const QString one = dir.FilePath("one"), two = dir.FilePath("two");
    ASSERT_EQ(RunProgram({"--input", left, "--export", one, "--distortion"}).ExitCode, 0);
    const TRun run = RunProgram({"--input", stereo, "--export", two, "--distortion", "--channels", "2"});
    ASSERT_EQ(run.ExitCode, 0) << run.Errors.toStdString();
    const QStringList names = QDir(one).entryList(QDir::Files);
    EXPECT_EQ(names.size(), 11);
    for (const QString& name : names)
        EXPECT_EQ(FileBytes(one + "/" + name), FileBytes(two + "/" + name)) << name.toStdString();
    const QString channelB = two + "/measurements-b.csv";
    EXPECT_EQ(FileBytes(channelB).split('\n')[0], FileBytes(two + "/measurements.csv").split('\n')[0]);
    EXPECT_NEAR(SecondBufferDominantDbfs(channelB), SecondBufferDominantDbfs(two + "/measurements.csv") -
                                                        20 * std::log10(3.0), 0.01);
    EXPECT_EQ(QDir(two).entryList(QDir::Files).size(), names.size() + 1);

    const TRun refused = RunProgram({"--input", left, "--export", dir.FilePath("three"), "--channels", "2"});
    EXPECT_EQ(refused.ExitCode, 1);
    EXPECT_TRUE(refused.Errors.contains("hat nur einen Kanal")) << refused.Errors.toStdString();
    EXPECT_TRUE(QDir(dir.FilePath("three")).entryList(QDir::Files).isEmpty());
}

// Channel A's and channel B's dominant tones of a window's last buffer.
void ExpectTones(TForm1& form) {
    EXPECT_NEAR(form.Instrument().LastMeasurements().DominantHz.value_or(0), LeftHz, 1.0);
    const std::optional<TChannelBFigures> channelB = form.Instrument().LastChannelB();
    ASSERT_TRUE(channelB);
    EXPECT_NEAR(channelB->Measurements.DominantHz.value_or(0), RightHz, 1.0);
    EXPECT_TRUE(form.findChild<QLabel*>("ChannelBReadout")->text().startsWith("Kanal B: Frequenz 3"));
}

// The check box turns a running recording into two channels; the next
// recording goes into a file of two channels.
TEST(TwoChannelServerTest, EachChannelShowsItsToneAndTheRecordingFileHoldsBoth) {
    TPulseAudioServer server(2);
    TSampleFeeder feeder(server.FifoPath(), TwoTones, 2);
    TForm1 form(DefaultWaveInService());
    form.FollowInputDevices();
    form.SetAnalyserView(true);
    form.show();
    form.StartButton->click();
    ASSERT_TRUE(form.AudioIn1->DeviceOpen()) << form.AudioIn1->ErrorMessage();
    ProcessEventsFor(600);
    EXPECT_FALSE(form.Instrument().LastChannelB());
    form.Analyser().TwoChannelsCheck()->click();
    EXPECT_TRUE(form.AudioIn1->DeviceOpen() && form.AudioIn1->Stereo());
    ProcessEventsFor(1200);
    form.PauseButton->click();
    ExpectTones(form);

    const TTempFolder dir;
    TCaptureRecording recording(dir.Path("take.wav"), TWavRecorder::TExisting::Replace,
                                TCaptureRecording::DefaultRingBytes, 2);
    form.AudioIn1->SetRecording(&recording);
    form.StartButton->click();
    ProcessEventsFor(1000);
    form.PauseButton->click();
    recording.Finish();
    // The file's frames, split as the window splits them, show the same tones.
    TSoundFileReader reader(dir.Path("take.wav"), 44100, 2);
    std::vector<std::int16_t> frames(2 * FftFrameLength);
    ASSERT_EQ(reader.Read(frames.data(), 2 * FftFrameLength), 2 * FftFrameLength);
    TInstrument instrument;
    TBufferFeed feed(instrument);
    feed.SetChannels(2);
    feed.Handle(reinterpret_cast<const char*>(frames.data()), feed.CaptureBufferBytes());
    EXPECT_NEAR(instrument.LastMeasurements().DominantHz.value_or(0), LeftHz, 1.0);
    EXPECT_NEAR(instrument.LastChannelB()->Measurements.DominantHz.value_or(0), RightHz, 1.0);
}

TEST(TwoChannelServerTest, AOneChannelSourceIsRefusedForTwoChannels) {
    TPulseAudioServer server;
    TForm1 form(DefaultWaveInService());
    form.FollowInputDevices();
    const QCheckBox* twoChannels = form.Analyser().TwoChannelsCheck();
    EXPECT_FALSE(twoChannels->isEnabled());
    EXPECT_EQ(twoChannels->toolTip(), "Das Gerät hat nur einen Kanal.");
    const TRun run = RunProgram({"--channels", "2"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Errors.contains("Das Eingabegerät 0 hat nur einen Kanal; --channels 2 braucht zwei."))
        << run.Errors.toStdString();
}

}  // namespace
