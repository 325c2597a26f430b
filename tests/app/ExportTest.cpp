// The program itself, started as a user would start it: sound files of
// every kind through --export, checked against an instrument fed with the
// same samples in the same process; bad input; --record.
#include "AppTestSupport.h"
#include "ProgramRun.h"
#include "app/ExportFiles.h"
#include "app/Instrument.h"
#include "audio/FileWaveIn.h"
#include "audio/SoundFileReader.h"
#include "chart/FastLineSeries.h"
#include "support/TempPath.h"

#include <QCryptographicHash>
#include <QDir>
#include <QImage>
#include <QToolButton>
#include <QFile>

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

double Sweep(double t) { return 0.7 * std::sin(2 * std::numbers::pi * (100.0 + 4000.0 * t) * t); }
double Silence(double) { return 0.0; }
// A 1 kHz tone at -6 dBFS with its 2nd harmonic at -40 dBc and its 3rd at
// -60 dBc: THD = 10 log10(1e-4 + 1e-6) dB.
double Distorted(double t) {
    const double w = 2 * std::numbers::pi * 1000.0 * t;
    return 0.5 * (std::sin(w) + 0.01 * std::sin(2 * w) + 0.001 * std::sin(3 * w));
}

std::vector<QByteArray> Lines(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    std::vector<QByteArray> lines;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.isEmpty()) lines.push_back(line);
    return lines;
}

// "x,y" lines of a series, as the export writes them.
void ExpectSeries(const std::vector<QByteArray>& lines, const TFastLineSeries& series) {
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(series.PointCount()) + 1);
    for (int i = 0; i < series.PointCount(); ++i) {
        const QList<QByteArray> cells = lines[static_cast<std::size_t>(i) + 1].split(',');
        ASSERT_EQ(cells.size(), 2);
        EXPECT_EQ(cells[0].toDouble(), series.XValue(i));
        EXPECT_EQ(cells[1].toDouble(), series.YValue(i));
    }
}

class ExportTest : public ::testing::TestWithParam<TWavSpec> {
protected:
    TTempFolder Dir;
};

// The same file through an instrument in this process: every buffer's row
// levels, then the last buffer's series.
TEST_P(ExportTest, FilesMatchTheHandlerOnTheSameSamples) {
    const QString wav = WriteWav(Dir.FilePath("in.wav"), GetParam());
    const QString out = Dir.FilePath("out");
    const TRun run = RunProgram({"--input", wav, "--export", out});
    ASSERT_EQ(run.ExitCode, 0) << run.Errors.toStdString();

    const auto reference = std::make_unique<TInstrument>();
    TSoundFileReader reader(wav.toStdString());
    const std::vector<QByteArray> levels = Lines(out + "/levels.csv");
    ASSERT_GE(levels.size(), 2u);
    EXPECT_TRUE(levels[0].startsWith("buffer,row1,row2,"));
    for (std::size_t buffer = 1; buffer < levels.size(); ++buffer) {
        TSamples samples(4096, 0);
        ASSERT_GT(reader.Read(samples.data(), 4096), 0);
        reference->HandleBuffer(reinterpret_cast<const char*>(samples.data()), TInstrument::BufferBytes);
        const QList<QByteArray> cells = levels[buffer].split(',');
        ASSERT_EQ(cells.size(), 195);
        EXPECT_EQ(cells[0].toInt(), static_cast<int>(buffer));
        for (int row = 1; row < 195; ++row)
            EXPECT_EQ(cells[row].toDouble(), reference->Analysis().RowLevel[row]) << buffer << " " << row;
    }
    TSamples rest(16);
    EXPECT_EQ(reader.Read(rest.data(), 16), 0) << "the export stopped early";
    ExpectSeries(Lines(out + "/trace.csv"), reference->FastLineSeries1);
    ExpectSeries(Lines(out + "/spectrum.csv"), reference->SLeft);

    for (const char* name : {"oscilloscope.png", "spectrum.png", "spectrogram.png", "spectrogram-image.png"})
        EXPECT_TRUE(QFile::exists(out + "/" + name)) << name;
    EXPECT_FALSE(QFile::exists(out + "/harmonics.csv")) << "the distortion files are asked for";
    EXPECT_TRUE(Lines(out + "/measurements.csv")[0].endsWith(",note"));
    const QImage oscilloscope(out + "/oscilloscope.png");
    EXPECT_EQ(oscilloscope.size(), QSize(790, 535));
    EXPECT_EQ(QImage(out + "/spectrum.png").size(), QSize(429, 345));
    EXPECT_EQ(QImage(out + "/spectrogram.png").size(), QSize(360, 346));
    const QImage picture(out + "/spectrogram-image.png");
    EXPECT_EQ(picture.size(), QSize(304, 300));
    EXPECT_EQ(picture.format(), QImage::Format_Indexed8);
    EXPECT_EQ(picture.color(217), qRgb(255, 127, 0));  // Rainbow
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ExportTest,
    ::testing::Values(TWavSpec{"Tone16Mono44k", 44100, 1, SF_FORMAT_PCM_16, Tone},
                      TWavSpec{"SweepU8Stereo44k", 44100, 2, SF_FORMAT_PCM_U8, Sweep},
                      TWavSpec{"Silence24Mono48k", 48000, 1, SF_FORMAT_PCM_24, Silence},
                      TWavSpec{"ToneFloatStereo48k", 48000, 2, SF_FORMAT_FLOAT, Tone}),
    [](const ::testing::TestParamInfo<TWavSpec>& info) { return std::string(info.param.Name); });

// --distortion: the figures of every buffer and of the whole run, against
// the signal's true THD and harmonics; the file's last buffer, completed
// with zeros, stays out of the whole run's figures.
TEST(DistortionExportTest, FiguresOfEveryBufferAndOfTheWholeRun) {
    TTempFolder dir;
    const QString wav = WriteWav(dir.FilePath("in.wav"), {"", 44100, 1, SF_FORMAT_PCM_16, Distorted}, 1.05);
    const QString out = dir.FilePath("out");
    ASSERT_EQ(RunProgram({"--input", wav, "--export", out, "--distortion"}).ExitCode, 0);
    const double thd = 10 * std::log10(1e-4 + 1e-6);
    const std::vector<QByteArray> measurements = Lines(out + "/measurements.csv");
    ASSERT_EQ(measurements.size(), 13u);
    EXPECT_TRUE(measurements[0].endsWith(",note,thd_db,thdn_db,snr_db,sinad_db"));
    const std::vector<QByteArray> harmonics = Lines(out + "/harmonics.csv");
    ASSERT_EQ(harmonics.size(), 13u);
    const QList<QByteArray> summary = Lines(out + "/summary.csv")[1].split(',');
    ASSERT_EQ(summary.size(), 16);
    struct TCheck {
        QByteArray Cell;
        double Truth, Tolerance;
    };
    const QList<QByteArray> buffer5 = measurements[5].split(','), harmonics5 = harmonics[5].split(',');
    for (const TCheck& check : {TCheck{buffer5[7], thd, 0.2}, TCheck{harmonics5[1], -40, 0.3},
                                TCheck{harmonics5[2], -60, 0.3}, TCheck{summary[0], 1000, 0.01},
                                TCheck{summary[2], thd, 0.2}, TCheck{summary[7], -40, 0.3}, TCheck{summary[8], -60, 0.3}})
        EXPECT_NEAR(check.Cell.toDouble(), check.Truth, check.Tolerance) << check.Cell.toStdString();
    EXPECT_TRUE(harmonics5[3].startsWith("<")) << "the 4th harmonic lies in the noise";
    const std::vector<QByteArray> spectrum = Lines(out + "/average-spectrum.csv");
    ASSERT_EQ(spectrum.size(), 195u);
    const auto loudest = std::max_element(spectrum.begin() + 1, spectrum.end(), [](const QByteArray& a, const QByteArray& b) {
        return a.split(',')[2].toDouble() < b.split(',')[2].toDouble();
    });
    EXPECT_NEAR(loudest->split(',')[1].toDouble(), 1000, 40);
}

// --sound-level with and without a calibration, alone and with
// --distortion: a 1 kHz tone at -10 dBFS over 11 whole buffers reads -10
// dB re full scale A- and C-weighted and in its third octave, shifted by
// the calibration.
TEST(SoundLevelExportTest, LevelsOfEveryBufferAndOfTheWholeRun) {
    struct TCase {
        QStringList Options;
        double Offset;  // of the calibrated unit from dBFS
        bool Distortion;
    };
    const TCase cases[] = {
        {{"--sound-level"}, 0.0, false},
        {{"--spl-at-full-scale", "94"}, 94.0, false},
        {{"--volts-at-full-scale", "2", "--distortion"}, 20.0 * std::log10(2.0), true},
    };
    TTempFolder dir;
    const auto tone = [](double t) { return std::pow(10.0, -10.0 / 20.0) * std::sin(2 * std::numbers::pi * 1000.0 * t); };
    const QString wav = WriteWav(dir.FilePath("in.wav"), {"", 44100, 1, SF_FORMAT_PCM_16, tone}, 11 * 4096 / 44100.0);
    for (const TCase& c : cases) {
        const QString out = dir.FilePath("out" + QString::number(&c - cases));
        ASSERT_EQ(RunProgram(QStringList{"--input", wav, "--export", out} + c.Options).ExitCode, 0);
        const double expected = -10.0 + c.Offset;
        const std::string name = c.Options.join(' ').toStdString();

        const std::vector<QByteArray> bands = Lines(out + "/bands.csv");
        ASSERT_EQ(bands.size(), 12u) << name;
        const QList<QByteArray> bandColumns = bands[0].split(',');
        ASSERT_EQ(bandColumns.size(), 32) << name;
        EXPECT_EQ(bandColumns[0] + bandColumns[1] + bandColumns[2] + bandColumns[31], "buffertime_s2520000");
        const int column1k = static_cast<int>(bandColumns.indexOf("1000"));
        for (std::size_t b = 2; b < bands.size(); ++b) {
            EXPECT_NEAR(bands[b].split(',')[column1k].toDouble(), expected, 0.1) << name << " buffer " << b;
            EXPECT_LT(bands[b].split(',')[column1k - 3].toDouble(), expected - 50.0) << name << " the 500 Hz band";
        }

        const std::vector<QByteArray> measurements = Lines(out + "/measurements.csv");
        ASSERT_EQ(measurements.size(), 12u) << name;
        EXPECT_TRUE(measurements[0].endsWith(c.Distortion ? ",sinad_db,rms_a_db,rms_c_db" : ",note,rms_a_db,rms_c_db"))
            << name;
        const QList<QByteArray> buffer5 = measurements[5].split(',');
        EXPECT_NEAR(buffer5[buffer5.size() - 2].toDouble(), expected, 0.05) << name;
        EXPECT_NEAR(buffer5[buffer5.size() - 1].toDouble(), expected, 0.05) << name;

        const std::vector<QByteArray> summary = Lines(out + "/summary.csv");
        ASSERT_EQ(summary.size(), 2u) << name;
        const QList<QByteArray> header = summary[0].split(','), values = summary[1].split(',');
        ASSERT_EQ(header.size(), values.size()) << name;
        EXPECT_EQ(header.first(), c.Distortion ? "fundamental_hz" : "laeq_db") << name;
        for (const char* column : {"laeq_db", "lceq_db", "leq_1000"})
            EXPECT_NEAR(values[header.indexOf(column)].toDouble(), expected, 0.1) << name << " " << column;
        EXPECT_EQ(header.last(), "leq_20000") << name;
    }
}

// A sine at -20 dBFS of SineHz.
double SineHz = 1000;
double Sine(double t) { return 0.1 * std::sin(2 * std::numbers::pi * SineHz * t + 0.3); }

// A noise-free sine at -20 dBFS through the edge trigger: in trace.csv the
// trace reads the level at the trigger's share of the time shown, on the
// chosen slope.
TEST(TriggerExportTest, TheTraceCrossesTheLevelAtTheTriggerPosition) {
    struct TCase {
        double Hz;
        const char* Slope;
        double Level;
        double Position;
    };
    const TCase cases[] = {{50, "rising", 3, 25}, {1000, "falling", -3, 0}, {5000, "rising", 0, 100},
                           {440, "falling", 3, 60}};
    TTempFolder dir;
    for (const TCase& c : cases) {
        SineHz = c.Hz;
        const QString wav = WriteWav(dir.FilePath("in.wav"), {"", 44100, 1, SF_FORMAT_PCM_16, Sine}, 0.5);
        const QString out = dir.FilePath("out");
        ASSERT_EQ(RunProgram({"--input", wav, "--export", out, "--buffers", "2", "--trigger", "edge", "--trigger-level",
                              QString::number(c.Level), "--trigger-slope", c.Slope, "--trigger-position",
                              QString::number(c.Position)})
                      .ExitCode,
                  0);
        const std::vector<QByteArray> lines = Lines(out + "/trace.csv");
        ASSERT_EQ(lines[0], "time_ms,amplitude_percent");
        const double triggerMs = 40.8 * c.Position / 100;
        for (std::size_t i = 2; i < lines.size(); ++i) {
            const QList<QByteArray> before = lines[i - 1].split(','), after = lines[i].split(',');
            const double x0 = before[0].toDouble(), x1 = after[0].toDouble();
            if (x1 < triggerMs) continue;
            const double y0 = before[1].toDouble(), y1 = after[1].toDouble();
            EXPECT_NEAR(y0 + (y1 - y0) * (triggerMs - x0) / (x1 - x0), c.Level, 0.1) << c.Hz;
            EXPECT_EQ(y1 > y0, std::string(c.Slope) == "rising") << c.Hz;
            break;
        }
        EXPECT_LE(lines[1].split(',')[0].toDouble(), 0.0);
        EXPECT_GE(lines.back().split(',')[0].toDouble(), 40.8);
    }
}

// With two channels trace.csv holds channel B's amplitude at the same times.
TEST(TriggerExportTest, TwoChannelsGiveTheTraceOfB) {
    const auto instrument = std::make_unique<TInstrument>();
    std::vector<std::int16_t> a(4096), b(4096);
    for (std::size_t i = 0; i < a.size(); ++i) {
        a[i] = static_cast<std::int16_t>(i % 100 * 100);
        b[i] = static_cast<std::int16_t>(-a[i]);
    }
    instrument->HandleBuffer(reinterpret_cast<const char*>(a.data()), TInstrument::BufferBytes,
                             reinterpret_cast<const char*>(b.data()));
    TTempFolder dir;
    TExportFiles::WriteView(*instrument, QDir(dir.FilePath(".")), false);
    const std::vector<QByteArray> lines = Lines(dir.FilePath("trace.csv"));
    ASSERT_EQ(lines.size(), 602u);
    EXPECT_EQ(lines[0], "time_ms,amplitude_percent,amplitude_b_percent");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> cells = lines[i].split(',');
        ASSERT_EQ(cells.size(), 3);
        EXPECT_EQ(cells[2].toDouble(), -cells[1].toDouble());
    }
}

class ExportOptionsTest : public ::testing::Test {
protected:
    TTempFolder Dir;
};

TEST_F(ExportOptionsTest, ResampledToneStillPeaksAt1kHz) {
    const QString wav = WriteWav(Dir.FilePath("in.wav"), {"", 48000, 1, SF_FORMAT_PCM_16, Tone}, 2.0);
    const TRun run = RunProgram({"--input", wav, "--export", Dir.FilePath("out"), "--buffers", "5"});
    ASSERT_EQ(run.ExitCode, 0) << run.Errors.toStdString();
    double loudestLevel = -1e9, loudestFrequency = 0;
    for (const QByteArray& line : Lines(Dir.FilePath("out/spectrum.csv"))) {
        const QList<QByteArray> cells = line.split(',');
        bool ok = false;
        const double level = cells[1].toDouble(&ok);
        if (ok && level > loudestLevel) {
            loudestLevel = level;
            loudestFrequency = cells[0].toDouble();
        }
    }
    EXPECT_NEAR(loudestFrequency, 1000.0, 30.0);
    EXPECT_NEAR(loudestLevel, -3.3, 1.5);  // half scale, 2/3 of it is 0 dB
    EXPECT_EQ(Lines(Dir.FilePath("out/levels.csv")).size(), 6u);  // --buffers 5

    // The measurements of the last buffer: its start, the tone and its note.
    const std::vector<QByteArray> measured = Lines(Dir.FilePath("out/measurements.csv"));
    ASSERT_EQ(measured.size(), 6u);
    EXPECT_EQ(measured[0], "buffer,time_s,rms_dbfs,peak_percent,dominant_hz,dominant_dbfs,note");
    const QList<QByteArray> cells = measured[5].split(',');
    ASSERT_EQ(cells.size(), 7);
    EXPECT_EQ(cells[0], "5");
    EXPECT_DOUBLE_EQ(cells[1].toDouble(), 4 * 4096 / 44100.0);
    EXPECT_NEAR(cells[2].toDouble(), -6.02, 0.05);  // a full-scale sine's RMS reads 0 dBFS
    EXPECT_NEAR(cells[4].toDouble(), 1000.0, 0.01);
    EXPECT_NEAR(cells[5].toDouble(), -6.02, 0.05);
    EXPECT_EQ(cells[6].toStdString(), "B5 +21 ct");
}

TEST_F(ExportOptionsTest, ControlsAndRecording) {
    const QString wav = WriteWav(Dir.FilePath("in.wav"), {"", 44100, 1, SF_FORMAT_PCM_16, Sweep});
    const QString recorded = Dir.FilePath("rec.wav");
    const TRun run = RunProgram({"--input", wav, "--export", Dir.FilePath("out"), "--fast", "--no-auto-scale",
                                 "--peak-hold", "--palette", "Grey", "--record", recorded});
    ASSERT_EQ(run.ExitCode, 0) << run.Errors.toStdString();
    EXPECT_EQ(Lines(Dir.FilePath("out/trace.csv")).size(), 1804u);  // every sample
    // The grey palette: every pixel of the spectrogram is a grey, some not black.
    const QImage picture(Dir.FilePath("out/spectrogram-image.png"));
    ASSERT_FALSE(picture.isNull());
    bool someLight = false;
    for (int y = 0; y < picture.height(); ++y) {
        const QColor colour = picture.pixelColor(0, y);
        EXPECT_TRUE(colour.red() == colour.green() && colour.green() == colour.blue()) << y;
        someLight = someLight || colour.red() > 100;
    }
    EXPECT_TRUE(someLight);

    // The recording holds exactly the file's samples, without the zeros
    // that complete the handler's last buffer (the file is not a whole
    // number of buffers long).
    TSoundFileReader original(wav.toStdString()), copy(recorded.toStdString());
    EXPECT_EQ(copy.SourceRate(), 44100);
    EXPECT_EQ(copy.SourceChannels(), 1);
    ASSERT_NE(original.SourceFrames() % 4096, 0);
    std::vector<std::int16_t> a(100000, 1), b(100000, 2);
    const int originalCount = original.Read(a.data(), 100000);
    const int copyCount = copy.Read(b.data(), 100000);
    ASSERT_EQ(copyCount, originalCount);
    a.resize(static_cast<std::size_t>(originalCount));
    b.resize(static_cast<std::size_t>(copyCount));
    EXPECT_TRUE(a == b);
    EXPECT_TRUE(run.Errors.contains("44100 Samples aufgenommen; die Anzeige hat 0 Puffer übersprungen"))
        << run.Errors.toStdString();
}

TEST_F(ExportOptionsTest, BadInputFailsClearlyAndWritesNothing) {
    const QString wav = WriteWav(Dir.FilePath("in.wav"), {"", 44100, 1, SF_FORMAT_PCM_16, Tone}, 0.2);
    QFile text(Dir.FilePath("notes.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a sound\n");
    text.close();
    const QString out = Dir.FilePath("out");
    struct TCase {
        QStringList Arguments;
        const char* Message;
    };
    const std::vector<TCase> cases = {
        {{"--input", Dir.FilePath("missing.wav"), "--export", out}, "missing.wav"},
        {{"--input", text.fileName(), "--export", out}, "notes.txt"},
        {{"--input", wav, "--export", text.fileName() + "/out"}, "lässt sich nicht anlegen"},
        {{"--input", wav, "--export", out, "--palette", "Purple"}, "Unbekannte Palette 'Purple'"},
        {{"--export", out}, "--export braucht --input"},
        {{"--input", wav, "--device", "2"}, "schließen sich aus"},
        {{"--device", "99"}, "Es gibt kein Eingabegerät \"99\". Vorhanden sind:\n"},
        {{"--device", "Mikrofon"}, "Es gibt kein Eingabegerät \"Mikrofon\". Vorhanden sind:\n"},
        {{"--input", wav, "--export", out, "--record", Dir.FilePath("no/such/dir/r.wav")}, "r.wav"},
    };
    for (const TCase& c : cases) {
        const TRun run = RunProgram(c.Arguments);
        EXPECT_NE(run.ExitCode, 0) << c.Message;
        EXPECT_TRUE(run.Errors.contains(QString::fromUtf8(c.Message))) << run.Errors.toStdString();
        EXPECT_TRUE(!QDir(out).exists() || QDir(out).isEmpty()) << c.Message;
    }
}

TEST_F(ExportOptionsTest, FullDiskStopsTheRecordingAndKeepsWhatWasWritten) {
    const QString wav = WriteWav(Dir.FilePath("in.wav"), {"", 44100, 1, SF_FORMAT_PCM_16, Tone}, 2.0);
    const QString recorded = Dir.FilePath("rec.wav");
    // Room for the header and two and a half buffers.
    const TRun run = RunProgram({"--input", wav, "--export", Dir.FilePath("out"), "--record", recorded}, 44 + 20480);
    EXPECT_NE(run.ExitCode, 0);
    EXPECT_TRUE(run.Errors.contains("rec.wav")) << run.Errors.toStdString();
    EXPECT_FALSE(QFile::exists(Dir.FilePath("out/levels.csv")));
    TSoundFileReader kept(recorded.toStdString());
    EXPECT_EQ(kept.SourceFrames(), 2 * 4096);
    std::vector<std::int16_t> samples(2 * 4096);
    EXPECT_EQ(kept.Read(samples.data(), 2 * 4096), 2 * 4096);
}

// Digest of a file's bytes, or of a picture's pixel indices and colour
// table (independent of how the PNG encoder compresses them).
std::string Digest(const QString& path) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (path.endsWith(".png")) {
        const QImage picture(path);
        for (int y = 0; y < picture.height(); ++y)
            hash.addData(QByteArrayView(picture.constScanLine(y), picture.bytesPerLine()));
        for (QRgb colour : picture.colorTable()) hash.addData(QByteArray::number(colour));
    } else {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        hash.addData(file.readAll());
    }
    return hash.result().toHex().left(16).toStdString();
}

// Everything the analysis computes for a fixed sound, pinned to the last
// bit: the row levels of every buffer, the last trace and spectrum, the
// spectrogram's colour indices.
TEST_F(ExportOptionsTest, ResultsArePinned) {
    const QString wav = WriteWav(Dir.FilePath("in.wav"), {"", 44100, 1, SF_FORMAT_PCM_16, Sweep}, 3.0);
    const TRun run = RunProgram({"--input", wav, "--export", Dir.FilePath("out"), "--peak-hold"});
    ASSERT_EQ(run.ExitCode, 0) << run.Errors.toStdString();
    const struct {
        const char* File;
        const char* Digest;
    } pinned[] = {
        {"levels.csv", "32022a8ecdb81087"},
        {"spectrum.csv", "55433715041d30b4"},
        {"trace.csv", "364fc0eca883010f"},
        {"spectrogram-image.png", "24b936baf64db856"},
    };
    for (const auto& p : pinned) EXPECT_EQ(Digest(Dir.FilePath("out/") + p.File), p.Digest) << p.File;
}

TEST(FileInputTest, EndOfTheFileEndsTheRecordingInTheWindow) {
    TTempFolder dir;
    const QString wav = WriteWav(dir.FilePath("in.wav"), {"", 44100, 1, SF_FORMAT_PCM_16, Tone}, 0.5);
    TFileWaveIn device(wav.toStdString(), TFilePace::AsFastAsPossible);
    TForm1 form(device);
    form.StartButton->click();
    ASSERT_TRUE(form.AudioIn1->DeviceOpen());
    for (int round = 0; round < 100 && form.AudioIn1->DeviceOpen(); ++round) RunPostedEvents();
    EXPECT_FALSE(form.AudioIn1->DeviceOpen());
    EXPECT_FALSE(form.StartButton->isHidden());
    EXPECT_TRUE(form.PauseButton->isHidden());
    EXPECT_EQ(form.AudioIn1->ErrorMessage(), "Ende der Datei erreicht");
}

}  // namespace
