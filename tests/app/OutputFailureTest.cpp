// What the program writes when things go wrong: a full disk leaves the
// earlier export as it was and says why; a recording never destroys the
// input, an export file or (unasked) any existing file; a folder that
// cannot be made says why; a signal stops the run in order; a stalled disk
// holds up neither Pause nor closing the window.
#include "AppTestSupport.h"
#include "ProgramRun.h"
#include "app/ExportFiles.h"
#include "app/Session.h"
#include "audio/CaptureRecording.h"
#include "audio/SoundFileReader.h"
#include "core/Errors.h"
#include "support/TempPath.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <string>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

using namespace std::chrono_literals;

// Every regular file below `folder` with its size and a digest of its
// bytes (links and pipes left out), to tell that nothing was replaced, cut
// or added.
std::map<std::string, std::string> Files(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file() || entry.is_symlink()) continue;
        QFile file(QString::fromStdString(entry.path().string()));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        files[entry.path().string()] = std::to_string(bytes.size()) + " bytes, " +
                                       QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(16).toStdString();
    }
    return files;
}

// The file-size limit of this process for the files a test writes in it,
// as a full disk would refuse them; put back when the object goes.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes) : FHandler(::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &FBefore);
        const rlimit limit{bytes, FBefore.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &FBefore);
        ::signal(SIGXFSZ, FHandler);
    }

private:
    sighandler_t FHandler;
    rlimit FBefore{};
};

class OutputFailureTest : public ::testing::Test {
protected:
    TTempFolder Dir;
    const QString Input = WriteWav(Dir.FilePath("in.wav"), {"", 44100, 1, SF_FORMAT_PCM_16, Tone}, 1.0);
    const QString Out = Dir.FilePath("out");
};

// A file of the set meets a full disk (a file-size limit) while the run
// goes on or at its end: exit 1, the file and the German reason, and the
// earlier export's files exactly as they were, with no temporary file left.
TEST_F(OutputFailureTest, AFullDiskPutsNoneOfTheNewFilesInPlaceAndSaysWhy) {
    ASSERT_EQ(RunProgram({"--input", Input, "--export", Out, "--buffers", "3"}).ExitCode, 0);
    const auto before = Files(Out.toStdString());
    const struct {
        QStringList Options;
        rlim_t Limit;
        const char* File;
    } cases[] = {
        {{"--buffers", "1", "--palette", "Grey"}, 10000, "oscilloscope.png"},  // a picture at the end
        {{"--palette", "Grey"}, 30000, "levels.csv"},                         // the levels while running
        {{"--buffers", "1", "--distortion"}, 10000, "oscilloscope.png"},
    };
    for (const auto& c : cases) {
        const TRun run = RunProgram(QStringList{"--input", Input, "--export", Out} + c.Options, c.Limit);
        EXPECT_EQ(run.ExitCode, 1) << c.File;
        EXPECT_TRUE(run.Errors.contains("Die Datei '" + Out + "/" + c.File +
                                        "' lässt sich nicht schreiben: Die Datei ist zu groß"))
            << run.Errors.toStdString();
        EXPECT_EQ(Files(Out.toStdString()), before) << c.File;
    }
}

// Ctrl+S meets a full disk: the window's error handler gets the reason, and
// the files saved before stay as they were.
TEST_F(OutputFailureTest, SavingTheViewOntoAFullDiskSaysWhyAndKeepsTheEarlierFiles) {
    TWindowOnSimulatedDevice window;
    window.Form->StartButton->click();
    for (int i = 0; i < 3; ++i) window.Record(PeakBuffer(static_cast<std::int16_t>(1000 * (i + 1))));
    window.Form->SaveViewTo(Out);
    const auto before = Files(Out.toStdString());
    window.Record(PeakBuffer(20000));
    std::string message;
    {
        const TFileSizeLimit limit(6000);
        try {
            window.Form->SaveViewTo(Out);
        } catch (const EWellenschauError& error) {
            message = error.what();
        }
    }
    EXPECT_NE(message.find("lässt sich nicht schreiben: Die Datei ist zu groß"), std::string::npos) << message;
    EXPECT_EQ(Files(Out.toStdString()), before);
    window.Form->PauseButton->click();
}

TEST_F(OutputFailureTest, AFolderThatCannotBeMadeSaysWhy) {
    QFile file(Dir.FilePath("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(QFile::link(Dir.FilePath("nowhere"), Dir.FilePath("dangling")));
    const QString longName(300, 'x');
    const struct {
        QString Folder;
        QString Reason;
    } cases[] = {
        {Dir.FilePath("file/out"), "'" + Dir.FilePath("file") + "' ist eine Datei, kein Ordner"},
        {Dir.FilePath("file"), "'" + Dir.FilePath("file") + "' ist eine Datei, kein Ordner"},
        {Dir.FilePath("dangling/out"), "'" + Dir.FilePath("dangling") + "' ist ein Verweis auf ein fehlendes Ziel"},
        {Dir.FilePath(longName), "Der Name ist zu lang"},
    };
    for (const auto& c : cases) {
        std::string message;
        try {
            TExportFiles::MakeFolder(c.Folder);
        } catch (const EWellenschauError& error) {
            message = error.what();
        }
        EXPECT_EQ(QString::fromStdString(message),
                  "Der Ordner '" + c.Folder + "' lässt sich nicht anlegen: " + c.Reason + ".");
    }
    TExportFiles::MakeFolder(Dir.FilePath("new/deeper"));
    EXPECT_TRUE(QFileInfo(Dir.FilePath("new/deeper")).isDir());
}

// Every way a recording could destroy a file is refused before anything is
// opened for writing; with --overwrite an existing recording is replaced.
TEST_F(OutputFailureTest, ARecordingNeverDestroysAFile) {
    ASSERT_EQ(RunProgram({"--input", Input, "--export", Out, "--buffers", "2"}).ExitCode, 0);
    ASSERT_TRUE(QFile::link(Input, Dir.FilePath("link.wav")));
    ASSERT_TRUE(QFile::link(Out + "/levels.csv", Dir.FilePath("levels-link")));
    ASSERT_EQ(::mkfifo(Dir.Path("pipe").c_str(), 0600), 0);
    const QString taken = Dir.FilePath("taken.wav");
    QFile earlier(taken);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("an earlier take");
    earlier.close();
    const QString other = Dir.FilePath("other");
    const QString isInput = "“ ist die Eingabedatei „";
    const QString exists = "Die Aufnahmedatei „" + taken + "“ gibt es schon; --overwrite ersetzt sie.";
    const struct {
        QStringList Arguments;
        QString Message;
    } cases[] = {
        {{"--input", Input, "--export", other, "--record", Input}, isInput},
        {{"--input", Input, "--export", other, "--record", Dir.FilePath("link.wav"), "--overwrite"}, isInput},
        {{"--input", Dir.FilePath("link.wav"), "--export", other, "--record", Input, "--overwrite"}, isInput},
        {{"--input", Input, "--record", Input, "--overwrite"}, isInput},  // the window, before any click
        {{"--input", Input, "--export", Out, "--record", Out + "/levels.csv", "--overwrite"},
         "ist die Datei „levels.csv“ des Exports"},
        {{"--input", Input, "--export", Out, "--record", Dir.FilePath("levels-link"), "--overwrite"},
         "ist die Datei „levels.csv“ des Exports"},
        {{"--input", Input, "--export", other, "--record", other + "/trace.csv"}, "ist die Datei „trace.csv“ des Exports"},
        {{"--input", Input, "--export", other, "--record", other + "/bands.csv", "--sound-level"},
         "ist die Datei „bands.csv“ des Exports"},
        {{"--input", Input, "--export", other, "--record", Dir.FilePath("pipe")}, "ist eine Pipe"},
        {{"--input", Input, "--export", other, "--record", taken}, exists},
        {{"--input", Input, "--record", taken}, exists},
    };
    const auto before = Files(Dir.Folder());
    for (const auto& c : cases) {
        const TRun run = RunProgram(c.Arguments);
        EXPECT_EQ(run.ExitCode, 1) << c.Arguments.join(' ').toStdString();
        EXPECT_TRUE(run.Errors.contains(c.Message)) << run.Errors.toStdString();
        EXPECT_FALSE(run.Errors.contains("Samples aufgenommen")) << run.Errors.toStdString();
        EXPECT_EQ(Files(Dir.Folder()), before) << c.Arguments.join(' ').toStdString();
    }
    const TRun replaced = RunProgram({"--input", Input, "--export", other, "--record", taken, "--overwrite"});
    EXPECT_EQ(replaced.ExitCode, 0) << replaced.Errors.toStdString();
    EXPECT_EQ(TSoundFileReader(taken.toStdString()).SourceFrames(), 44100);
}

// A write error ends the recording: the reason once, what could not be
// written, and nothing about a file too slow for the samples.
TEST_F(OutputFailureTest, AFailedRecordingGivesItsReasonOnce) {
    const QString input = WriteWav(Dir.FilePath("long.wav"), {"", 44100, 1, SF_FORMAT_PCM_16, Tone}, 3.0);
    const TRun run = RunProgram({"--input", input, "--export", Out, "--record", Dir.FilePath("rec.wav")}, 44 + 20480);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Errors.count("wurde angehalten: Die Datei ist zu groß."), 1) << run.Errors.toStdString();
    EXPECT_FALSE(run.Errors.contains("nicht schnell genug")) << run.Errors.toStdString();
    EXPECT_TRUE(run.Errors.contains("Samples ließen sich nicht mehr in die Datei schreiben.")) << run.Errors.toStdString();
}

// The number of samples the summary line reports.
qint64 RecordedSamples(const QString& errors) {
    const qsizetype end = errors.indexOf(" Samples aufgenommen");
    const qsizetype start = errors.lastIndexOf(' ', end - 1) + 1;
    return end < 0 ? -1 : errors.mid(start, end - start).toLongLong();
}

// A signal in the middle of an export with a recording: the recording
// finished and valid with every sample the summary counts, the export's
// files not put in place, exit 128 + the signal.
TEST_F(OutputFailureTest, ASignalStopsAnExportInOrder) {
    const QString input = WriteWav(Dir.FilePath("long.wav"), {"", 44100, 1, SF_FORMAT_PCM_16, Tone}, 180.0);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        const QString recorded = Dir.FilePath(QString("rec%1.wav").arg(signal));
        const QString out = Dir.FilePath(QString("out%1").arg(signal));
        QProcess program;
        program.start(WELLENSCHAU_EXECUTABLE, {"--input", input, "--export", out, "--record", recorded});
        ASSERT_TRUE(program.waitForStarted());
        for (int round = 0; round < 1000 && QFileInfo(recorded).size() < 200000; ++round) QThread::msleep(5);
        ASSERT_EQ(program.state(), QProcess::Running) << "the run ended before the signal";
        ::kill(static_cast<pid_t>(program.processId()), signal);
        ASSERT_TRUE(program.waitForFinished(10000));
        const QString errors = QString::fromUtf8(program.readAllStandardError());
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 128 + signal) << errors.toStdString();
        EXPECT_TRUE(errors.contains(QString("durch Signal %1 abgebrochen").arg(signal))) << errors.toStdString();
        EXPECT_FALSE(QFile::exists(out + "/levels.csv"));
        const qint64 samples = RecordedSamples(errors);
        EXPECT_GT(samples, 100000) << errors.toStdString();
        EXPECT_LT(samples, 180 * 44100);
        EXPECT_EQ(TSoundFileReader(recorded.toStdString()).SourceFrames(), samples);
    }
}

// The window as the program runs it, playing a file and recording it: a
// signal closes it as the user would; the recording holds every sample the
// summary counts and the program ends with 128 + the signal.
TEST_F(OutputFailureTest, ASignalClosesTheWindowInOrder) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        TOptions options;
        options.InputFile = Input;
        options.RecordFile = Dir.FilePath(QString("window%1.wav").arg(signal));
        QTimer::singleShot(100ms, [] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (auto* form = dynamic_cast<TForm1*>(widget)) form->StartButton->click();
        });
        QTimer::singleShot(600ms, [signal] { ::raise(signal); });
        testing::internal::CaptureStderr();
        const int status = RunWindow(Application(), options);
        const QString errors = QString::fromStdString(testing::internal::GetCapturedStderr());
        EXPECT_EQ(status, 128 + signal) << errors.toStdString();
        const qint64 samples = RecordedSamples(errors);
        EXPECT_GT(samples, 4096) << errors.toStdString();
        EXPECT_EQ(TSoundFileReader(options.RecordFile.toStdString()).SourceFrames(), samples);
    }
}

// A disk that stops answering for 10 s: Pause and closing the window (with
// the end of the recording) each return within a second, and the recording
// knows what it could not write. The bounds are part of the requirement,
// not a speed measurement.
TEST_F(OutputFailureTest, AStalledDiskHoldsUpNeitherPauseNorClosing) {
    TCaptureRecording recording(Dir.Path("stalled.wav"));
    TWindowOnSimulatedDevice window;
    window.Form->AudioIn1->SetRecording(&recording);
    window.Form->StartButton->click();
    recording.StallWriter(10s);
    // The simulated device's buffers, handed to the recording as the sound
    // callback of a real device hands them.
    const TSamples samples = PeakBuffer(1000);
    const auto capture = [&] {
        recording.Capture(reinterpret_cast<const char*>(samples.data()), samples.size() * 2);
        return window.Record(samples);
    };
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(capture());
    QElapsedTimer clock;
    clock.start();
    window.Form->PauseButton->click();
    EXPECT_LT(clock.elapsed(), 1000) << "Pause";
    EXPECT_FALSE(window.Form->AudioIn1->DeviceOpen());
    window.Form->StartButton->click();
    ASSERT_TRUE(capture());
    clock.restart();
    window.Form->close();
    recording.Finish();
    EXPECT_LT(clock.elapsed(), 1000) << "closing";
    EXPECT_TRUE(recording.Failed());
    EXPECT_EQ(recording.UnwrittenBytes(), 6u * 8192);
    EXPECT_EQ(recording.WrittenBytes(), 0u);
    EXPECT_NE(recording.Failure().find("Der Datenträger antwortet nicht"), std::string::npos);
    window.Form->AudioIn1->SetRecording(nullptr);
}

}  // namespace
