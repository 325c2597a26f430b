// Inputs that go wrong, through the program as a user runs it and through
// the window: damaged and cut sound files, files with nothing to decode,
// folders, pipes and headers no sound can follow. Each ends with its own
// exit status and a message that says what happened; only what was read
// in full, or up to an early end the warning names, is committed.
#include "AppTestSupport.h"
#include "ProgramRun.h"
#include "app/ExitStatus.h"
#include "app/Session.h"
#include "app/StatusLine.h"
#include "core/Errors.h"
#include "audio/FileWaveIn.h"
#include "support/DamagedSoundFile.h"
#include "support/TempPath.h"

#include <QDir>
#include <QFile>
#include <QToolButton>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <functional>
#include <new>
#include <stdexcept>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

QString Damaged(const TTempFolder& dir, TDamage damage) {
    const QString path = dir.FilePath("input.sound");
    WriteDamagedSoundFile(path.toStdString(), damage);
    return path;
}

struct TInputCase {
    const char* Name;
    QString (*Input)(const TTempFolder& dir);
    int ExitStatus;
    const char* Message;
    // The export's files are in place afterwards; otherwise the folder
    // holds none of them.
    bool Committed;
};

class DamagedInputTest : public ::testing::TestWithParam<TInputCase> {
protected:
    TTempFolder Dir;
};

TEST_P(DamagedInputTest, ExportEndsWithItsStatusAndMessage) {
    const TInputCase& c = GetParam();
    const QString out = Dir.FilePath("out");
    const TRun run = RunProgram({"--input", c.Input(Dir), "--export", out});
    EXPECT_EQ(run.ExitCode, c.ExitStatus) << run.Errors.toStdString();
    EXPECT_TRUE(run.Errors.contains(QString::fromUtf8(c.Message))) << run.Errors.toStdString();
    if (c.Committed) {
        EXPECT_TRUE(QFile::exists(out + "/levels.csv"));
        EXPECT_TRUE(QFile::exists(out + "/spectrogram.png"));
    } else {
        EXPECT_TRUE(QDir(out).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, DamagedInputTest,
    ::testing::Values(
        TInputCase{"complete", [](const TTempFolder& d) { return Damaged(d, TDamage::None); }, 0, "", true},
        TInputCase{"read_error", [](const TTempFolder& d) { return Damaged(d, TDamage::FlacCutAt3000); }, 1,
                   "nach 0.00 s: Error : flac decoder lost sync", false},
        TInputCase{"cut_in_half", [](const TTempFolder& d) { return Damaged(d, TDamage::FlacCutInHalf); }, 3,
                   "ihr Kopf gibt 4.00 s an", true},
        TInputCase{"random_bytes", [](const TTempFolder& d) { return Damaged(d, TDamage::OggWithNoise); }, 3,
                   "ihr Kopf gibt 4.00 s an", true},
        TInputCase{"ogg_cut", [](const TTempFolder& d) { return Damaged(d, TDamage::OggCutInHalf); }, 3,
                   "ohne ihre letzte Seite", true},
        TInputCase{"wav_cut", [](const TTempFolder& d) { return Damaged(d, TDamage::WavCutInHalf); }, 3,
                   "endet nach 2.00 s, ihr Kopf gibt 4.00 s an", true},
        TInputCase{"aiff_cut", [](const TTempFolder& d) { return Damaged(d, TDamage::AiffCutInHalf); }, 3,
                   "endet nach 2.00 s, ihr Kopf gibt 4.00 s an", true},
        TInputCase{"nothing_decodes", [](const TTempFolder& d) { return Damaged(d, TDamage::NoSamplesLeft); }, 1,
                   "enthält keine Samples", false},
        TInputCase{"zero_hertz", [](const TTempFolder& d) { return Damaged(d, TDamage::ZeroHertz); }, 1,
                   "Abtastrate von 0 Hz", false},
        TInputCase{"one_hertz", [](const TTempFolder& d) { return Damaged(d, TDamage::OneHertz); }, 0, "", true},
        TInputCase{"folder",
                   [](const TTempFolder& d) {
                       QDir().mkpath(d.FilePath("folder.wav"));
                       return d.FilePath("folder.wav");
                   },
                   1, "Das ist ein Ordner.", false},
        TInputCase{"named_pipe",
                   [](const TTempFolder& d) {
                       ::mkfifo(d.Path("pipe.wav").c_str(), 0600);
                       return d.FilePath("pipe.wav");
                   },
                   1, "keine gewöhnliche Datei, sondern eine Pipe", false},
        // The program's standard input is a pipe from the test.
        TInputCase{"standard_input", [](const TTempFolder&) { return QString("/dev/stdin"); }, 1,
                   "keine gewöhnliche Datei", false}),
    [](const auto& info) { return std::string(info.param.Name); });

// A file of one sample at 1 Hz once made the reader ask for 2.9 GB at once.
TEST(InputMemoryTest, ASecondFromOneSampleAtOneHertzStaysSmall) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's own memory would be measured";
#else
    TTempFolder dir;
    const TRun run = RunProgram({"--input", Damaged(dir, TDamage::OneHertz), "--export", dir.FilePath("out")});
    EXPECT_EQ(run.ExitCode, 0) << run.Errors.toStdString();
    rusage usage{};
    ASSERT_EQ(::getrusage(RUSAGE_CHILDREN, &usage), 0);
    EXPECT_LT(usage.ru_maxrss, 100 * 1024) << "largest resident size of the program, kB";
#endif
}

struct TWindowCase {
    const char* Name;
    TDamage Damage;
    const char* Message;
};

class DamagedInputWindowTest : public ::testing::TestWithParam<TWindowCase> {};

// The window ends the recording and says why in its status line.
TEST_P(DamagedInputWindowTest, StatusLineTellsWhyTheRecordingEnded) {
    TTempFolder dir;
    TFileWaveIn device(Damaged(dir, GetParam().Damage).toStdString(), TFilePace::AsFastAsPossible);
    TForm1 form(device);
    form.StartButton->click();
    ASSERT_TRUE(form.AudioIn1->DeviceOpen());
    for (int round = 0; round < 100 && form.AudioIn1->DeviceOpen(); ++round) RunPostedEvents();
    EXPECT_FALSE(form.AudioIn1->DeviceOpen());
    EXPECT_FALSE(form.StartButton->isHidden());
    EXPECT_FALSE(form.StatusLine()->isHidden());
    EXPECT_TRUE(form.StatusLine()->text().startsWith("Die Aufnahme wurde beendet: ")) << form.StatusLine()->text().toStdString();
    EXPECT_TRUE(form.StatusLine()->text().contains(QString::fromUtf8(GetParam().Message)))
        << form.StatusLine()->text().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Inputs, DamagedInputWindowTest,
                         ::testing::Values(TWindowCase{"read_error", TDamage::FlacCutAt3000, "flac decoder lost sync"},
                                           TWindowCase{"cut_in_half", TDamage::FlacCutInHalf, "ihr Kopf gibt 4.00 s an"},
                                           TWindowCase{"nothing_decodes", TDamage::NoSamplesLeft,
                                                       "enthält keine Samples"}),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TEndOfRunCase {
    const char* Name;
    std::function<int()> Run;
    int ExitStatus;
    const char* Message;  // on standard error
};

class EndOfRunTest : public ::testing::TestWithParam<TEndOfRunCase> {};

// Whatever ends a run, it ends with a message and a status.
TEST_P(EndOfRunTest, AnExceptionIsToldAndGivesTheErrorStatus) {
    ::testing::internal::CaptureStderr();
    const int status = RunReportingErrors(GetParam().Run);
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, GetParam().ExitStatus);
    EXPECT_NE(errors.find(GetParam().Message), std::string::npos) << errors;
}

INSTANTIATE_TEST_SUITE_P(
    Ends, EndOfRunTest,
    ::testing::Values(
        TEndOfRunCase{"status", [] { return int{ExitInputShort}; }, ExitInputShort, ""},
        TEndOfRunCase{"own_error", []() -> int { throw EWellenschauError("Eigener Grund"); }, ExitError,
                      "wellenschau: Eigener Grund\n"},
        TEndOfRunCase{"out_of_memory", []() -> int { throw std::bad_alloc(); }, ExitError,
                      "wellenschau: Der Arbeitsspeicher reicht nicht aus"},
        TEndOfRunCase{"other", []() -> int { throw std::logic_error("vector::at"); }, ExitError,
                      "wellenschau: Interner Fehler, das Programm wurde beendet: vector::at"}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
