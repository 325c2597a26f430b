#include "app/CommandLine.h"

#include <gtest/gtest.h>

using namespace wellenschau;

namespace {

TCommandLine Parse(QStringList arguments) {
    arguments.prepend("wellenschau");
    return ParseCommandLine(arguments);
}

TEST(CommandLineTest, NoOptionsIsThePlainWindow) {
    const TCommandLine line = Parse({});
    ASSERT_TRUE(line.Options);
    EXPECT_FALSE(line.Options->Headless());
    EXPECT_TRUE(line.Options->InputFile.isEmpty());
    EXPECT_FALSE(line.Options->Device);
    EXPECT_FALSE(line.Options->HistoryMinutes);
    EXPECT_EQ(Parse({"--history", "0.1"}).Options->HistoryMinutes, 0.1);
    EXPECT_EQ(Parse({"--history", "60"}).Options->HistoryMinutes, 60.0);
}

TEST(CommandLineTest, ExportWithEveryControl) {
    const TCommandLine line = Parse({"--input", "a.flac", "--export", "out", "--buffers", "7", "--palette", "Thermo2",
                                     "--fast", "--no-auto-scale", "--peak-hold", "--record", "r.wav"});
    ASSERT_TRUE(line.Options) << line.Text.toStdString();
    const TOptions& o = *line.Options;
    EXPECT_TRUE(o.Headless());
    EXPECT_EQ(o.InputFile, "a.flac");
    EXPECT_EQ(o.ExportDir, "out");
    EXPECT_EQ(o.Buffers, 7);
    EXPECT_EQ(o.Palette, "Thermo2");
    EXPECT_TRUE(o.Fast && o.NoAutoScale && o.PeakHold);
    EXPECT_EQ(o.RecordFile, "r.wav");
    EXPECT_FALSE(o.Overwrite);
    EXPECT_TRUE(Parse({"--record", "r.wav", "--overwrite"}).Options->Overwrite);
}

TEST(CommandLineTest, TriggerOptions) {
    EXPECT_TRUE(Parse({"--trigger", "peak"}).Options->Scope.PlainTrace());
    const TCommandLine line = Parse({"--trigger", "edge", "--trigger-level", "-12.5", "--trigger-slope", "falling",
                                     "--trigger-source", "B", "--trigger-position", "25"});
    ASSERT_TRUE(line.Options) << line.Text.toStdString();
    const TScopeSettings& s = line.Options->Scope;
    EXPECT_EQ(s.Trigger, TTriggerMode::Edge);
    EXPECT_EQ(s.LevelPercent, -12.5);
    EXPECT_EQ(s.Slope, TTriggerSlope::Falling);
    EXPECT_EQ(s.Source, TTriggerSource::B);
    EXPECT_EQ(s.PositionPercent, 25.0);
    EXPECT_EQ(Parse({"--trigger-position", "100"}).Options->Scope.PositionPercent, 100.0);
}

// Either calibration implies the sound level files; without one they are
// in dBFS.
TEST(CommandLineTest, SoundLevelAndItsCalibrations) {
    struct TCase {
        QStringList Arguments;
        TLevelUnit Unit;
        double FullScaleSpl, FullScaleVolts;
    };
    const TCase cases[] = {
        {{"--sound-level"}, TLevelUnit::Dbfs, 0.0, 0.0},
        {{"--spl-at-full-scale", "94"}, TLevelUnit::DbSpl, 94.0, 0.0},
        {{"--sound-level", "--spl-at-full-scale", "120.5"}, TLevelUnit::DbSpl, 120.5, 0.0},
        {{"--volts-at-full-scale", "1.228"}, TLevelUnit::DbV, 0.0, 1.228},
    };
    for (const TCase& c : cases) {
        const TCommandLine line = Parse(QStringList{"--input", "a.wav", "--export", "out"} + c.Arguments);
        ASSERT_TRUE(line.Options) << line.Text.toStdString();
        EXPECT_TRUE(line.Options->SoundLevel);
        EXPECT_EQ(line.Options->Calibration.Unit, c.Unit);
        EXPECT_EQ(line.Options->Calibration.FullScaleSpl, c.FullScaleSpl);
        EXPECT_EQ(line.Options->Calibration.FullScaleVolts, c.FullScaleVolts);
    }
    const TCommandLine plain = Parse({"--input", "a.wav", "--export", "out"});
    ASSERT_TRUE(plain.Options);
    EXPECT_FALSE(plain.Options->SoundLevel);
    EXPECT_FALSE(plain.Options->Calibration.Calibrated());
}

TEST(CommandLineTest, HelpAndVersionGoToStandardOutput) {
    const TCommandLine help = Parse({"--help"});
    EXPECT_FALSE(help.Options);
    EXPECT_EQ(help.ExitStatus, 0);
    EXPECT_TRUE(help.Text.contains("--export"));
    const TCommandLine version = Parse({"--version"});
    EXPECT_EQ(version.ExitStatus, 0);
    EXPECT_TRUE(version.Text.startsWith("Wellenschau "));
}

TEST(CommandLineTest, DeviceTakesANumberOrAName) {
    for (const char* device : {"0", "12", "pipein", "alsa_input.usb-Audio_CODEC.analog-stereo", "speakers.monitor"}) {
        const TCommandLine line = Parse({"--device", device});
        ASSERT_TRUE(line.Options) << device << ": " << line.Text.toStdString();
        EXPECT_EQ(line.Options->Device, QString(device));
    }
}

TEST(CommandLineTest, BadAndConflictingOptionsAreUsageErrors) {
    const QList<QStringList> bad = {
        {"--bogus"},
        {"stray"},
        {"--export", "out"},
        {"--input", "a.wav", "--device", "1"},
        {"--buffers", "3"},
        {"--list-devices", "--input", "a.wav"},
        {"--input", "a.wav", "--export", "out", "--buffers", "0"},
        {"--input", "a.wav", "--export", "out", "--buffers", "x"},
        {"--device", "-1"},
        {"--device", ""},
        {"--list-devices", "--device", "pipein"},
        {"--palette", "rainbow"},
        {"--input", ""},
        {"--input"},
        {"--overwrite"},
        {"--input", "a.wav", "--export", "out", "--overwrite"},
        {"--input", "a.wav", "--sound-level"},
        {"--input", "a.wav", "--export", "out", "--spl-at-full-scale", "94", "--volts-at-full-scale", "1"},
        {"--input", "a.wav", "--export", "out", "--spl-at-full-scale", "laut"},
        {"--input", "a.wav", "--export", "out", "--spl-at-full-scale", "inf"},
        {"--input", "a.wav", "--export", "out", "--volts-at-full-scale", "0"},
        {"--input", "a.wav", "--export", "out", "--volts-at-full-scale", "1,5"},
        {"--spl-at-full-scale", "94"},
        {"--trigger", "Flanke"},
        {"--trigger", "edge", "--trigger-level", "101"},
        {"--trigger", "edge", "--trigger-level", "x"},
        {"--trigger", "edge", "--trigger-slope", "up"},
        {"--trigger", "edge", "--trigger-source", "a"},
        {"--trigger-position", "-1"},
        {"--trigger-level", "10"},
        {"--trigger", "peak", "--trigger-slope", "rising"},
        {"--language", "fr"},
        {"--language", "DE"},
        {"--history", "0.05"},
        {"--history", "61"},
        {"--history", "zehn"},
    };
    for (const QStringList& arguments : bad) {
        const TCommandLine line = Parse(arguments);
        EXPECT_FALSE(line.Options) << arguments.join(' ').toStdString();
        EXPECT_EQ(line.ExitStatus, 2) << arguments.join(' ').toStdString();
        EXPECT_FALSE(line.Text.isEmpty());
    }
    EXPECT_TRUE(Parse({"--palette", "rainbow"}).Text.contains("Rainbow"));
}

}  // namespace
