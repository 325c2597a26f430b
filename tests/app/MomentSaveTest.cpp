// Saving a moment of the kept history: the WAV holds exactly the span's
// samples, the files beside it are those of the program's own --export of
// that WAV, and a refused or failed save leaves the folder as it was.
#include "ProgramRun.h"
#include "analysis/SoundHistory.h"
#include "app/ExportFiles.h"
#include "app/MomentSave.h"
#include "audio/SoundFileReader.h"
#include "core/Errors.h"
#include "support/TempPath.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <numbers>
#include <vector>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

// 12 buffers of a gliding tone, channel B at a third of A, of which the
// last 8 (4 .. 11) are kept; the newest buffer is short.
std::unique_ptr<TSoundHistory> FilledHistory(int channels) {
    auto history = std::make_unique<TSoundHistory>(8, channels, 512);
    std::vector<std::int16_t> a(TSoundHistory::BufferSamples), b(TSoundHistory::BufferSamples);
    const std::vector<std::uint8_t> column(512, 7);
    for (int buffer = 0, t = 0; buffer < 12; ++buffer) {
        for (std::size_t i = 0; i < a.size(); ++i, ++t) {
            const double seconds = t / 44100.0;
            a[i] = static_cast<std::int16_t>(20000 * std::sin(2 * std::numbers::pi * (200 + 300 * seconds) * seconds));
            b[i] = static_cast<std::int16_t>(a[i] / 3);
        }
        history->Add(a.data(), channels == 2 ? b.data() : nullptr, buffer == 11 ? 1000 : 4096, column.data());
    }
    return history;
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

struct TMomentCase {
    const char* Name;
    int Channels;
    std::int64_t First, Last;
    bool Distortion;
};

class MomentSaveTest : public ::testing::TestWithParam<TMomentCase> {
protected:
    TTempFolder Dir;
};

TEST_P(MomentSaveTest, SavesTheSpanAndTheExportOfIt) {
    const TMomentCase& moment = GetParam();
    const auto history = FilledHistory(moment.Channels);
    TOptions settings;
    settings.Distortion = moment.Distortion;
    const QString folder = Dir.FilePath("moment");
    SaveMoment(*history, moment.First, moment.Last, settings, folder);

    std::vector<std::int16_t> expected;
    for (std::int64_t number = moment.First; number <= moment.Last; ++number)
        for (std::size_t i = 0; i < history->Samples(number, 0).size(); ++i)
            for (int channel = 0; channel < moment.Channels; ++channel)
                expected.push_back(history->Samples(number, channel)[i]);
    const QString wav = folder + "/" + MomentWavName;
    TSoundFileReader reader(wav.toStdString(), 44100, moment.Channels);
    EXPECT_EQ(reader.SourceChannels(), moment.Channels);
    std::vector<std::int16_t> saved(expected.size() + 1);
    saved.resize(static_cast<std::size_t>(reader.Read(saved.data(), static_cast<int>(saved.size()))));
    EXPECT_EQ(saved, expected);

    QStringList arguments = {"--input", wav, "--export", Dir.FilePath("export"), "--channels",
                             QString::number(moment.Channels)};
    if (moment.Distortion) arguments << "--distortion";
    const TRun run = RunProgram(arguments);
    ASSERT_EQ(run.ExitCode, 0) << run.Errors.toStdString();
    const QStringList names = TExportFiles::FileNames(moment.Distortion, false, moment.Channels == 2);
    for (const QString& name : names)
        EXPECT_EQ(Contents(folder + "/" + name), Contents(Dir.FilePath("export/" + name))) << name.toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), names.size() + 1);
}

INSTANTIATE_TEST_SUITE_P(Spans, MomentSaveTest,
                         ::testing::Values(TMomentCase{"OneChannel", 1, 5, 8, false},
                                           TMomentCase{"OneBuffer", 1, 7, 7, false},
                                           TMomentCase{"TwoChannelsWithTheShortNewest", 2, 9, 11, true}),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TRefusalCase {
    const char* Name;
    std::int64_t First, Last;
    const char* Present;   // a file already in the folder, or null
    rlim_t FileSizeLimit;  // writes beyond this many bytes of a file fail as on a full disk; 0: none
    const char* Message;   // part of the error's message
};

class MomentRefusalTest : public ::testing::TestWithParam<TRefusalCase> {
protected:
    TTempFolder Dir;
};

// Saves under the case's file size limit, which is lifted again afterwards.
void SaveLimited(const TRefusalCase& refusal, const TSoundHistory& history, const QString& folder) {
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, SIG_IGN);
    if (refusal.FileSizeLimit > 0) {
        const rlimit limit{refusal.FileSizeLimit, before.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    try {
        SaveMoment(history, refusal.First, refusal.Last, TOptions{}, folder);
        ADD_FAILURE() << "saved";
    } catch (const EWellenschauError& error) {
        EXPECT_NE(QString::fromUtf8(error.what()).indexOf(refusal.Message), -1) << error.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &before);
}

TEST_P(MomentRefusalTest, LeavesTheFolderAsItWas) {
    const TRefusalCase& refusal = GetParam();
    const QString folder = Dir.FilePath("moment");
    QDir().mkpath(folder);
    const QString earlier = refusal.Present != nullptr ? folder + "/" + refusal.Present : QString();
    if (!earlier.isEmpty()) {
        QFile present(earlier);
        ASSERT_TRUE(present.open(QIODevice::WriteOnly) && present.write("earlier") == 7);
    }
    const QStringList before = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    SaveLimited(refusal, *FilledHistory(1), folder);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), before);
    if (!earlier.isEmpty()) {
        EXPECT_EQ(Contents(earlier), "earlier");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MomentRefusalTest,
    ::testing::Values(TRefusalCase{"EarlierMoment", 5, 6, "moment.wav", 0, "gibt es schon 'moment.wav'"},
                      TRefusalCase{"EarlierExport", 5, 6, "levels.csv", 0, "gibt es schon 'levels.csv'"},
                      TRefusalCase{"DroppedBuffer", 3, 6, nullptr, 0, "Puffer 4 bis 11"},
                      TRefusalCase{"NotYetRecorded", 10, 12, nullptr, 0, "nicht (mehr) im Verlauf"},
                      TRefusalCase{"Reversed", 7, 6, nullptr, 0, "Der Moment wurde nicht gespeichert: Die Puffer 7 bis 6"},
                      TRefusalCase{"DiskFullInTheWav", 5, 8, nullptr, 20000, "moment.wav"},
                      TRefusalCase{"DiskFullInTheExport", 5, 5, nullptr, 9000, "lässt sich nicht schreiben"}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
