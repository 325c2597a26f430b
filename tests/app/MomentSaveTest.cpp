// Saving a moment of the kept history: the WAV holds exactly the span's
// samples, the files beside it are those of the program's own --export of
// that WAV, and a refused or failed save leaves nothing behind.
#include "ProgramRun.h"
#include "analysis/SoundHistory.h"
#include "app/ExportFiles.h"
#include "app/MomentSave.h"
#include "core/Errors.h"
#include "support/TempPath.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <sndfile.h>

#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <numbers>
#include <vector>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

constexpr int RowCount = 512;

// A history of `buffers` buffers (more than it keeps) of a gliding tone,
// channel B at a third of A; the last buffer is short.
std::unique_ptr<TSoundHistory> FilledHistory(int channels, int buffers = 12) {
    auto history = std::make_unique<TSoundHistory>(8, channels, RowCount);
    std::vector<std::int16_t> a(TSoundHistory::BufferSamples), b(TSoundHistory::BufferSamples);
    const std::vector<std::uint8_t> column(RowCount, 7);
    for (int buffer = 0, t = 0; buffer < buffers; ++buffer) {
        for (std::size_t i = 0; i < a.size(); ++i, ++t) {
            const double seconds = t / 44100.0;
            a[i] = static_cast<std::int16_t>(20000 * std::sin(2 * std::numbers::pi * (200 + 300 * seconds) * seconds));
            b[i] = static_cast<std::int16_t>(a[i] / 3);
        }
        const int n = buffer + 1 == buffers ? 1000 : TSoundHistory::BufferSamples;
        history->Add(a.data(), channels == 2 ? b.data() : nullptr, n, column.data());
    }
    return history;
}

// The frames of a WAV file, channels interleaved.
std::vector<std::int16_t> WavSamples(const QString& path, int& channels) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.toLocal8Bit().constData(), SFM_READ, &info);
    EXPECT_NE(file, nullptr) << path.toStdString();
    if (file == nullptr) return {};
    channels = info.channels;
    std::vector<std::int16_t> samples(static_cast<std::size_t>(info.frames * info.channels));
    EXPECT_EQ(sf_readf_short(file, samples.data(), info.frames), info.frames);
    sf_close(file);
    return samples;
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

    int channels = 0;
    const std::vector<std::int16_t> saved = WavSamples(folder + "/" + MomentWavName, channels);
    ASSERT_EQ(channels, moment.Channels);
    std::vector<std::int16_t> expected;
    for (std::int64_t number = moment.First; number <= moment.Last; ++number) {
        const std::size_t count = history->Samples(number, 0).size();
        for (std::size_t i = 0; i < count; ++i)
            for (int channel = 0; channel < channels; ++channel) expected.push_back(history->Samples(number, channel)[i]);
    }
    EXPECT_EQ(saved, expected);

    QStringList arguments = {"--input", folder + "/" + MomentWavName, "--export", Dir.FilePath("export"),
                             "--channels", QString::number(moment.Channels)};
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

// What makes a save refuse or fail, and that it then leaves the folder as
// it found it.
struct TRefusalCase {
    const char* Name;
    std::int64_t First, Last;
    const char* Present;     // a file already in the folder, or null
    rlim_t FileSizeLimit;    // a disk that fills after this many bytes of a file, or 0
    const char* Message;     // part of the error's message
};

class MomentRefusalTest : public ::testing::TestWithParam<TRefusalCase> {
protected:
    TTempFolder Dir;
};

// Writes past the limit fail with EFBIG, as on a full disk, while the
// object lives.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes) {
        if (bytes == 0) return;
        ::getrlimit(RLIMIT_FSIZE, &FBefore);
        FHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, FBefore.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        FSet = true;
    }
    ~TFileSizeLimit() {
        if (!FSet) return;
        ::setrlimit(RLIMIT_FSIZE, &FBefore);
        std::signal(SIGXFSZ, FHandler);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
    rlimit FBefore{};
    void (*FHandler)(int) = nullptr;
    bool FSet = false;
};

TEST_P(MomentRefusalTest, LeavesTheFolderAsItWas) {
    const TRefusalCase& refusal = GetParam();
    const auto history = FilledHistory(1);
    const QString folder = Dir.FilePath("moment");
    QDir().mkpath(folder);
    if (refusal.Present != nullptr) {
        QFile present(folder + "/" + refusal.Present);
        ASSERT_TRUE(present.open(QIODevice::WriteOnly));
        present.write("earlier");
    }
    const QStringList before = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    try {
        const TFileSizeLimit limit(refusal.FileSizeLimit);
        SaveMoment(*history, refusal.First, refusal.Last, TOptions{}, folder);
        FAIL() << "saved";
    } catch (const EWellenschauError& error) {
        EXPECT_NE(QString::fromUtf8(error.what()).indexOf(refusal.Message), -1) << error.what();
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), before);
    if (refusal.Present != nullptr) {
        EXPECT_EQ(Contents(folder + "/" + refusal.Present), "earlier");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MomentRefusalTest,
    ::testing::Values(TRefusalCase{"EarlierMoment", 5, 6, "moment.wav", 0, "gibt es schon 'moment.wav'"},
                      TRefusalCase{"EarlierExport", 5, 6, "levels.csv", 0, "gibt es schon 'levels.csv'"},
                      TRefusalCase{"DroppedBuffer", 3, 6, nullptr, 0, "Puffer 4 bis 11"},
                      TRefusalCase{"NotYetRecorded", 10, 12, nullptr, 0, "nicht (mehr) im Verlauf"},
                      TRefusalCase{"Reversed", 7, 6, nullptr, 0, "nicht (mehr) im Verlauf"},
                      TRefusalCase{"DiskFullInTheWav", 5, 8, nullptr, 20000, "moment.wav"},
                      TRefusalCase{"DiskFullInTheExport", 5, 5, nullptr, 9000, "lässt sich nicht schreiben"}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
