// The files of a headless export: the three charts and the spectrogram
// picture as PNG, the last buffer's trace and spectrum, and the row levels
// and measurements of every buffer as CSV; asked for, the distortion
// figures too (columns of the measurements, the harmonics of every buffer,
// the whole run's figures and its power-averaged spectrum) and the sound
// levels (A and C columns of the measurements, the third-octave bands of
// every buffer, the run's equivalent levels in the summary), and for two
// channels channel B's measurements in the same columns (dot as
// decimal mark, shortest text that reads back as the same double, a header
// line). Each file is written under a temporary name; only when every file
// of the set is written and on the disk are they renamed into place, so a
// failed export (a full disk) leaves no half-written file behind and the
// files of an earlier export as they were. User-interface thread only.
#pragma once

#include "LevelHistory.h"
#include "analysis/Calibration.h"

#include <QDir>
#include <QSaveFile>

#include <memory>
#include <optional>
#include <vector>

namespace wellenschau {

struct TDistortion;
struct TFigure;
class TInstrument;
class TChart;

class TExportFiles {
public:
    // Opens levels.csv in `dir` for rowCount - 1 rows (row 0, the
    // direct-current bin, is not shown anywhere and not written), with
    // `distortion` the files of the distortion figures, and with
    // `soundLevel` those of the sound levels, in dB of its unit (dBV for a
    // calibration in volts), and with `channelB` measurements-b.csv.
    TExportFiles(const QDir& dir, int rowCount, bool distortion = false,
                 const std::optional<TCalibration>& soundLevel = std::nullopt, bool channelB = false);
    ~TExportFiles();

    // One line of levels.csv: the buffer's number and its row levels after
    // peak display and background treatment (rowLevels[1 .. rowCount - 1]).
    void AddLevels(int buffer, const double* rowLevels);

    // One line of measurements.csv: the buffer's number, its start in
    // seconds and what was measured; empty fields where there is no value.
    // With the distortion files, also the buffer's figures and its line of
    // harmonics.csv; with the sound level files, its A and C levels and its
    // line of bands.csv.
    void AddMeasurements(int buffer, double seconds, const TMeasurements& measurements,
                         const std::optional<TDistortion>& distortion,
                         const std::optional<TBufferSoundLevel>& soundLevel = std::nullopt);

    // The lines of a buffer the window keeps in its history: levels,
    // measurements and, with measurements-b.csv, channel B's measurements
    // (its sound level columns empty: channel B's are not measured).
    void AddBuffer(const TLevelHistory& history, int index);

    // Writes the instrument's pictures and the last buffer's data, then
    // puts every file in place.
    void Write(TInstrument& instrument);

    // The whole set for what the instrument shows now: pictures and data,
    // and the levels and measurements of the buffers the spectrogram still
    // shows; the sound level files when the instrument's meter is on, in
    // its calibration.
    static void WriteView(TInstrument& instrument, const QDir& dir, bool distortion);

    // Makes the folder and those above it, or says why it cannot (a file
    // or a broken link in the way, the system's reason).
    static void MakeFolder(const QString& folder);

    // The names of the set's files.
    static QStringList FileNames(bool distortion, bool soundLevel, bool channelB = false);

private:
    // A file opened under a temporary name in the export folder.
    std::unique_ptr<QSaveFile> Create(const QString& name);
    // A file of the set written in one piece, committed with the others.
    void WriteWhole(const QString& name, const QByteArray& text);
    void WritePicture(const QImage& picture, const QString& name);
    // A line of measurements.csv (or of measurements-b.csv) in FLine.
    void MakeMeasurementLine(int buffer, double seconds, const TMeasurements& measurements,
                             const std::optional<TDistortion>& distortion,
                             const std::optional<TBufferSoundLevel>& soundLevel);
    void AppendNumber(QByteArray& line, double value);
    void AppendField(QByteArray& line, const std::optional<double>& value);
    // A figure of the distortion analysis; "<" or ">" before a bound.
    void AppendFigure(QByteArray& line, const TFigure& figure, bool atMost);
    // THD, THD+N, SNR and SINAD, each after a comma; empty without a tone.
    void AppendDistortionFigures(QByteArray& line, const std::optional<TDistortion>& distortion);
    // The 2nd to 10th harmonics in dBc, each after a comma; empty beyond
    // the band and without a tone.
    void AppendHarmonics(QByteArray& line, const std::optional<TDistortion>& distortion);
    // A level in dB re full scale in the export's unit; empty for
    // silence (-infinity).
    void AppendLevel(QByteArray& line, double dbFullScale);
    void AddBands(int buffer, double seconds, const std::optional<TBufferSoundLevel>& soundLevel);
    // summary.csv: the distortion figures and the sound levels of the
    // whole run, as far as asked for.
    void WriteSummary(const TInstrument& instrument);
    void AppendDistortionSummary(QByteArray& header, QByteArray& line, const TInstrument& instrument);
    void AppendSoundLevelSummary(QByteArray& header, QByteArray& line, const TSoundLevelMeter& meter);
    void WriteAverageSpectrum(const TInstrument& instrument);

    QDir FDir;
    int FRowCount;
    std::unique_ptr<QSaveFile> FLevels;
    std::unique_ptr<QSaveFile> FMeasurements;
    std::unique_ptr<QSaveFile> FMeasurementsB;  // with two channels only
    std::unique_ptr<QSaveFile> FHarmonics;  // with the distortion files only
    std::unique_ptr<QSaveFile> FBands;      // with the sound level files only
    TCalibration FCalibration;
    std::vector<std::unique_ptr<QSaveFile>> FPending;
    QByteArray FLine;  // reused for every line of levels.csv
};

}  // namespace wellenschau
