// Choosing the sound server's sources by name, on a private PulseAudio
// server and, where it starts headless, PipeWire's: two fed capture sources
// and the monitor of a null output, each with a tone of its own. Each chosen
// source records its own tone into the WAV file; the list names all three
// by description; a source that appears shows up in the analyser view's
// chooser; one that goes ends the recording, naming it.
#include "AppTestSupport.h"
#include "app/Instrument.h"
#include "app/StatusLine.h"
#include "audio/CaptureRecording.h"
#include "audio/InputDevices.h"
#include "audio/SoundFileReader.h"
#include "chart/FastLineSeries.h"
#include "support/PipeWireServer.h"
#include "support/PulseAudioServer.h"
#include "support/TempPath.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QToolButton>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <vector>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

constexpr int Rate = 44100;
constexpr double Amplitude = 12000.0;

// A source of the test, the tone it gets and how the server describes it.
struct TToneSource {
    const char* Name;
    const char* Description;
    double ToneHz;
};

const TToneSource InputA{"tone_a", "Eingang-A", 500.0};
const TToneSource InputB{"tone_b", "Eingang-B", 2000.0};
// The null output's description; its monitor is named after the output.
const TToneSource Monitor{"speakers.monitor", "Lautsprecher", 5000.0};

TSampleFeeder::TSampleAt Tone(double hz) {
    return [hz](std::int64_t i) {
        return static_cast<std::int16_t>(std::lround(Amplitude * std::sin(2 * std::numbers::pi * hz * i / Rate)));
    };
}

void RunEventLoopUntil(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// A 16-bit mono WAV file of `seconds` of a tone.
void WriteToneFile(const std::string& path, double hz, int seconds) {
    SF_INFO info{};
    info.samplerate = Rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) throw std::runtime_error("cannot write " + path);
    std::vector<std::int16_t> samples(static_cast<std::size_t>(seconds) * Rate);
    const auto tone = Tone(hz);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = tone(static_cast<std::int64_t>(i));
    sf_write_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
}

// The frequency of the loudest spectrum point of one buffer taken from the
// middle of a recorded WAV file, as the program's analysis finds it.
double DominantFrequency(const std::string& path) {
    constexpr int BufferSamples = TInstrument::BufferBytes / 2;
    TSoundFileReader reader(path);
    std::vector<std::int16_t> samples(BufferSamples);
    // The third buffer, clear of how the recording began.
    for (int buffer = 0; buffer < 3; ++buffer)
        if (reader.Read(samples.data(), BufferSamples) != BufferSamples) return 0.0;
    TInstrument instrument;
    instrument.HandleBuffer(reinterpret_cast<const char*>(samples.data()), TInstrument::BufferBytes);
    return LoudestFrequency(instrument.SLeft);
}

// The server with the three tones playing.
class DeviceChoiceTest : public ::testing::TestWithParam<TServerKind> {
protected:
    void SetUp() override {
        try {
            Server = GetParam().Make();
        } catch (const std::exception& error) {
            GTEST_SKIP() << GetParam().Name << " does not start here: " << error.what();
        }
        for (const TToneSource* source : {&InputA, &InputB}) {
            const QString fifo = Folder.FilePath(source->Name);
            Modules.push_back(Pactl({"load-module", "module-pipe-source", QString("source_name=%1").arg(source->Name),
                                     "file=" + fifo, "format=s16le", QString("rate=%1").arg(Rate), "channels=1",
                                     QString("source_properties=device.description=%1").arg(source->Description)}));
            Feeders.push_back(std::make_unique<TSampleFeeder>(fifo, Tone(source->ToneHz)));
        }
        Pactl({"load-module", "module-null-sink", "sink_name=speakers",
               QString("sink_properties=device.description=%1").arg(Monitor.Description)});
        WriteToneFile(Folder.Path("monitor.wav"), Monitor.ToneHz, 60);
        Player.setProcessChannelMode(QProcess::MergedChannels);
        Player.start("paplay", {"--device=speakers", Folder.FilePath("monitor.wav")});
        ASSERT_TRUE(Player.waitForStarted(5000));
    }

    void TearDown() override { EndProcess(Player); }

    // Records from the device named `name` for a while, as the analyser
    // view's chooser makes the window do, into `wav`.
    void Record(TForm1& form, const std::string& name, const std::string& wav) {
        const std::optional<int> number = FindInputDevice(ListInputDevices(), name);
        ASSERT_TRUE(number) << name;
        TCaptureRecording recording(wav);
        form.AudioIn1->SetRecording(&recording);
        form.ChooseInputDevice(*number);
        form.StartButton->click();
        ASSERT_TRUE(form.StartButton->isHidden()) << form.AudioIn1->ErrorMessage();
        RunEventLoopUntil([] { return false; }, 1500);
        form.PauseButton->click();
        recording.Finish();
        form.AudioIn1->SetRecording(nullptr);
    }

    TTempFolder Folder;
    std::unique_ptr<TSoundServer> Server;
    std::vector<QString> Modules;
    std::vector<std::unique_ptr<TSampleFeeder>> Feeders;
    QProcess Player;
};

TEST_P(DeviceChoiceTest, EachSourceChosenByNameRecordsItsOwnTone) {
    TForm1 form(DefaultWaveInService());
    for (const TToneSource* source : {&InputA, &InputB, &Monitor}) {
        const std::string wav = Folder.Path(std::string(source->Name) + ".wav");
        Record(form, source->Name, wav);
        EXPECT_NEAR(DominantFrequency(wav), source->ToneHz, source->ToneHz * 0.05) << source->Name;
    }
}

TEST_P(DeviceChoiceTest, ListDevicesNamesEverySourceByItsDescription) {
    QProcess program;
    program.start(WELLENSCHAU_EXECUTABLE, {"--list-devices"});
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitCode(), 0);
    const QString list = QString::fromUtf8(program.readAllStandardOutput());
    EXPECT_TRUE(list.startsWith("0\tdefault\t(Standard)\n")) << list.toStdString();
    for (const char* line : {"\ttone_a\tEingang-A\n", "\ttone_b\tEingang-B\n", "\tspeakers.monitor\tMonitor von Lautsprecher\n"})
        EXPECT_TRUE(list.contains(line)) << line << " in\n" << list.toStdString();
    // The inputs come before the monitor.
    EXPECT_LT(list.indexOf("tone_b"), list.indexOf("speakers.monitor"));
}

TEST_P(DeviceChoiceTest, AnUnknownDeviceNameIsRefusedWithTheList) {
    QProcess program;
    program.start(WELLENSCHAU_EXECUTABLE, {"--device", "tone_z"});
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitCode(), 1);
    const QString error = QString::fromUtf8(program.readAllStandardError());
    EXPECT_TRUE(error.contains("wellenschau: Es gibt kein Eingabegerät \"tone_z\". Vorhanden sind:\n0\tdefault"))
        << error.toStdString();
    EXPECT_TRUE(error.contains("tone_b\tEingang-B")) << error.toStdString();
}

TEST_P(DeviceChoiceTest, ASourceThatAppearsShowsUpInTheChooser) {
    TForm1 form(DefaultWaveInService());
    form.FollowInputDevices();
    form.SetAnalyserView(true);
    const auto* chooser = form.findChild<QComboBox*>("InputDeviceChooser");
    ASSERT_NE(chooser, nullptr);
    EXPECT_NE(chooser->findText("Eingang-B", Qt::MatchContains), -1);
    EXPECT_EQ(chooser->findText("Eingang-C", Qt::MatchContains), -1);
    const QString module = Pactl({"load-module", "module-null-sink", "sink_name=third",
                                  "sink_properties=device.description=Eingang-C"});
    RunEventLoopUntil([&] { return chooser->findText("Eingang-C", Qt::MatchContains) != -1; }, 5000);
    EXPECT_NE(chooser->findText("Monitor von Eingang-C", Qt::MatchContains), -1);
    Pactl({"unload-module", module});
    RunEventLoopUntil([&] { return chooser->findText("Eingang-C", Qt::MatchContains) == -1; }, 5000);
    EXPECT_EQ(chooser->findText("Eingang-C", Qt::MatchContains), -1);
}

TEST_P(DeviceChoiceTest, ASourceThatGoesWhileRecordingEndsTheRecordingNamingIt) {
    TForm1 form(DefaultWaveInService());
    const std::optional<int> number = FindInputDevice(ListInputDevices(), InputB.Name);
    ASSERT_TRUE(number);
    form.AudioIn1->SetWaveDevice(*number);
    form.StartButton->click();
    ASSERT_TRUE(form.StartButton->isHidden()) << form.AudioIn1->ErrorMessage();
    RunEventLoopUntil([] { return false; }, 500);
    Pactl({"unload-module", Modules[1]});
    RunEventLoopUntil([&] { return !form.StartButton->isHidden(); }, 3000);
    EXPECT_FALSE(form.AudioIn1->DeviceOpen());
    EXPECT_EQ(form.StatusLine()->text(), "Die Aufnahme wurde beendet: Die Quelle \"tone_b\" ist verschwunden.");
    // Start cannot bring it back while it is gone.
    form.StartButton->click();
    EXPECT_FALSE(form.StartButton->isHidden());
    EXPECT_EQ(form.StatusLine()->text(),
              "Die Aufnahme ließ sich nicht starten: Die Quelle \"tone_b\" ist verschwunden.");
}

TEST(NoSoundServerTest, StartAndTheListSayThatThereIsNoInputDevice) {
    const TTempFolder folder;
    UseSoundServer(folder.FilePath("no-server"), QString::fromStdString(folder.Folder().string()));
    const QString none = QString::fromStdString(NoInputDevicesText());
    TForm1 form(DefaultWaveInService());
    ::testing::internal::CaptureStderr();
    form.StartButton->click();
    const std::string error = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(form.StartButton->isHidden());
    EXPECT_EQ(form.StatusLine()->text(), "Die Aufnahme ließ sich nicht starten: " + none);
    EXPECT_EQ(QString::fromStdString(error), "wellenschau: Die Aufnahme ließ sich nicht starten: " + none + "\n");

    QProcess program;
    program.start(WELLENSCHAU_EXECUTABLE, {"--list-devices"});
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(program.readAllStandardOutput()), none + "\n");
}

INSTANTIATE_TEST_SUITE_P(Servers, DeviceChoiceTest, ::testing::ValuesIn(ServerKinds), ServerKindName);

}  // namespace
