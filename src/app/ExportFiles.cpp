#include "ExportFiles.h"

#include "Instrument.h"
#include "MeasurementText.h"
#include "core/Errors.h"

#include <QImage>

#include <charconv>

namespace wellenschau {

namespace {

[[noreturn]] void CannotWrite(const QFileDevice& file) {
    throw EWellenschauError(QString("Die Datei '%1' lässt sich nicht schreiben: %2")
                                .arg(file.fileName(), file.errorString())
                                .toStdString());
}

void Put(QSaveFile& file, const QByteArray& bytes) {
    if (file.write(bytes) != bytes.size()) CannotWrite(file);
}

// h2_dbc .. h10_dbc, each after a comma.
QByteArray HarmonicColumns() {
    QByteArray columns;
    for (int order = 2; order <= HighestHarmonic; ++order) columns += ",h" + QByteArray::number(order) + "_dbc";
    return columns;
}

constexpr char DistortionColumns[] = ",thd_db,thdn_db,snr_db,sinad_db";

}  // namespace

TExportFiles::TExportFiles(const QDir& dir, int rowCount, bool distortion) : FDir(dir), FRowCount(rowCount) {
    FLevels = Create("levels.csv");
    FLine = "buffer";
    for (int row = 1; row < FRowCount; ++row) FLine += ",row" + QByteArray::number(row);
    FLine += '\n';
    Put(*FLevels, FLine);
    FMeasurements = Create("measurements.csv");
    const QByteArray columns = "buffer,time_s,rms_dbfs,peak_percent,dominant_hz,dominant_dbfs,note";
    Put(*FMeasurements, columns + (distortion ? DistortionColumns : "") + '\n');
    if (distortion) {
        FHarmonics = Create("harmonics.csv");
        Put(*FHarmonics, "buffer" + HarmonicColumns() + '\n');
    }
}

TExportFiles::~TExportFiles() = default;

std::unique_ptr<QSaveFile> TExportFiles::Create(const QString& name) {
    auto file = std::make_unique<QSaveFile>(FDir.filePath(name));
    if (!file->open(QIODevice::WriteOnly)) CannotWrite(*file);
    return file;
}

void TExportFiles::AppendNumber(QByteArray& line, double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    line.append(text, result.ptr - text);
}

void TExportFiles::AddLevels(int buffer, const double* rowLevels) {
    FLine.clear();
    FLine += QByteArray::number(buffer);
    for (int row = 1; row < FRowCount; ++row) {
        FLine += ',';
        AppendNumber(FLine, rowLevels[row]);
    }
    FLine += '\n';
    Put(*FLevels, FLine);
}

void TExportFiles::AppendField(QByteArray& line, const std::optional<double>& value) {
    line += ',';
    if (value) AppendNumber(line, *value);
}

void TExportFiles::AppendFigure(QByteArray& line, const TFigure& figure, bool atMost) {
    line += ',';
    if (figure.OnlyBound) line += atMost ? '<' : '>';
    AppendNumber(line, figure.Db);
}

void TExportFiles::AppendDistortionFigures(QByteArray& line, const std::optional<TDistortion>& distortion) {
    if (!distortion) {
        line += ",,,,";
        return;
    }
    if (distortion->Thd)
        AppendFigure(line, *distortion->Thd, true);
    else
        line += ',';
    AppendFigure(line, distortion->ThdPlusNoise, true);
    AppendFigure(line, distortion->Snr, false);
    AppendFigure(line, distortion->Sinad, false);
}

void TExportFiles::AppendHarmonics(QByteArray& line, const std::optional<TDistortion>& distortion) {
    const int count = distortion ? distortion->HarmonicCount : 0;
    for (int i = 0; i < HighestHarmonic - 1; ++i) {
        if (i < count)
            AppendFigure(line, distortion->Harmonics[static_cast<std::size_t>(i)].LevelDbc, true);
        else
            line += ',';
    }
}

void TExportFiles::AddMeasurements(int buffer, double seconds, const TMeasurements& measurements,
                                   const std::optional<TDistortion>& distortion) {
    FLine.clear();
    FLine += QByteArray::number(buffer);
    AppendField(FLine, seconds);
    AppendField(FLine, measurements.RmsDbfs);
    AppendField(FLine, measurements.PeakPercent);
    AppendField(FLine, measurements.DominantHz);
    AppendField(FLine, measurements.DominantDbfs);
    FLine += ',';
    if (measurements.DominantHz) FLine += NoteText(*measurements.DominantHz).toUtf8();
    if (FHarmonics) AppendDistortionFigures(FLine, distortion);
    FLine += '\n';
    Put(*FMeasurements, FLine);
    if (!FHarmonics) return;
    FLine = QByteArray::number(buffer);
    AppendHarmonics(FLine, distortion);
    FLine += '\n';
    Put(*FHarmonics, FLine);
}

void TExportFiles::WriteWhole(const QString& name, const QByteArray& text) {
    auto file = Create(name);
    Put(*file, text);
    FPending.push_back(std::move(file));
}

void TExportFiles::WritePicture(const QImage& picture, const QString& name) {
    auto file = Create(name);
    if (!picture.save(file.get(), "PNG")) CannotWrite(*file);
    FPending.push_back(std::move(file));
}

void TExportFiles::Write(TInstrument& instrument) {
    // The charts as the window shows them, the pictures placed on them included.
    WritePicture(instrument.ChartPicture(instrument.Chart2), "oscilloscope.png");
    WritePicture(instrument.ChartPicture(instrument.Chart1), "spectrum.png");
    WritePicture(instrument.ChartPicture(instrument.Chart3), "spectrogram.png");
    WritePicture(instrument.Image1, "spectrogram-image.png");

    const auto writeSeries = [this](const TFastLineSeries& series, const QString& name, const QByteArray& header) {
        QByteArray text = header + '\n';
        for (int i = 0; i < series.PointCount(); ++i) {
            AppendNumber(text, series.XValue(i));
            text += ',';
            AppendNumber(text, series.YValue(i));
            text += '\n';
        }
        WriteWhole(name, text);
    };
    writeSeries(instrument.FastLineSeries1, "trace.csv", "time_ms,amplitude_percent");
    writeSeries(instrument.SLeft, "spectrum.csv", "frequency_hz,level_db");

    if (FHarmonics) {
        WriteLongTerm(instrument);
        FPending.push_back(std::move(FHarmonics));
    }
    FPending.push_back(std::move(FLevels));
    FPending.push_back(std::move(FMeasurements));
    for (const auto& file : FPending)
        if (!file->commit()) CannotWrite(*file);
}

// summary.csv: the figures of the whole run's power-averaged spectrum;
// average-spectrum.csv: that spectrum's level in every row but row 0.
void TExportFiles::WriteLongTerm(const TInstrument& instrument) {
    const std::optional<TDistortion> whole = instrument.LongTermDistortion();
    QByteArray text = "fundamental_hz,fundamental_dbfs" + QByteArray(DistortionColumns) + ",enob_bits" +
                      HarmonicColumns() + '\n';
    if (whole) {
        AppendNumber(text, whole->FundamentalHz);
        text += ',';
        AppendNumber(text, whole->FundamentalDbfs);
    } else {
        text += ',';
    }
    AppendDistortionFigures(text, whole);
    if (whole)
        AppendFigure(text, whole->Enob, false);
    else
        text += ',';
    AppendHarmonics(text, whole);
    text += '\n';
    WriteWhole("summary.csv", text);

    std::vector<double> rowLevels(static_cast<std::size_t>(FRowCount));
    instrument.LongTermRowLevels(rowLevels);
    text = "row,frequency_hz,level_db\n";
    for (int row = 1; row < FRowCount; ++row) {
        text += QByteArray::number(row) + ',';
        AppendNumber(text, instrument.Analysis().RowFrequency[row]);
        text += ',';
        AppendNumber(text, rowLevels[static_cast<std::size_t>(row)]);
        text += '\n';
    }
    WriteWhole("average-spectrum.csv", text);
}

void TExportFiles::MakeFolder(const QString& folder) {
    if (!QDir().mkpath(folder))
        throw EWellenschauError(("Der Ordner '" + folder + "' lässt sich nicht anlegen.").toStdString());
}

void TExportFiles::AddBuffer(const TLevelHistory& history, int index) {
    const TLevelHistory::TEntry& entry = history.Entry(index);
    AddLevels(entry.Buffer, history.Levels(index));
    AddMeasurements(entry.Buffer, entry.Seconds, entry.Measurements, entry.Distortion);
}

void TExportFiles::WriteView(TInstrument& instrument, const QDir& dir, bool distortion) {
    TExportFiles files(dir, instrument.Analysis().RowCount, distortion);
    const TLevelHistory& history = instrument.History();
    for (int i = 0; i < history.Count(); ++i) files.AddBuffer(history, i);
    files.Write(instrument);
}

}  // namespace wellenschau
