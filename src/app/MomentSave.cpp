#include "MomentSave.h"

#include "Application.h"
#include "ExportFiles.h"
#include "Instrument.h"
#include "MainWindow.h"
#include "PathBytes.h"
#include "RecordTarget.h"
#include "Session.h"
#include "analysis/SoundHistory.h"
#include "audio/WavRecorder.h"
#include "core/Errors.h"
#include "palette/PaletteMemo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>

#include <unistd.h>

#include <string>
#include <vector>

namespace wellenschau {

namespace {

// The translation context of this file's texts.
struct TMomentSaveText {
    Q_DECLARE_TR_FUNCTIONS(TMomentSaveText)
};

[[noreturn]] void Refuse(const QString& message) { throw EWellenschauError(message.toStdString()); }

// A file this save made, removed again unless the save completes.
class TMadeFile {
public:
    explicit TMadeFile(std::string path) : FPath(std::move(path)) {}
    ~TMadeFile() {
        if (!FKept) ::unlink(FPath.c_str());
    }
    TMadeFile(const TMadeFile&) = delete;
    TMadeFile& operator=(const TMadeFile&) = delete;

    void Keep() { FKept = true; }

private:
    std::string FPath;
    bool FKept = false;
};

void CheckSpan(const TSoundHistory& history, std::int64_t first, std::int64_t last) {
    if (first > last || !history.Kept(first) || !history.Kept(last))
        Refuse(TMomentSaveText::tr("Die Puffer %1 bis %2 sind nicht (mehr) im Verlauf; er hält die Puffer %3 bis %4.")
                   .arg(first)
                   .arg(last)
                   .arg(history.First())
                   .arg(history.End() - 1));
}

// Refuses a folder that holds any file of the moment already.
void CheckFree(const QDir& folder, const QStringList& names) {
    for (const QString& name : names)
        if (NameTaken(folder.filePath(name)))
            Refuse(TMomentSaveText::tr("Im Ordner '%1' gibt es schon '%2'; ein Moment ersetzt keine Datei. "
                                       "Bitte einen anderen Ordner wählen.")
                       .arg(folder.path(), name));
}

// The span's samples, channels interleaved frame by frame.
void WriteSamples(TWavRecorder& recorder, const TSoundHistory& history, std::int64_t first, std::int64_t last) {
    const int channels = history.Channels();
    std::vector<std::int16_t> frames(static_cast<std::size_t>(TSoundHistory::BufferSamples * channels));
    for (std::int64_t number = first; number <= last; ++number) {
        for (int channel = 0; channel < channels; ++channel) {
            const std::span<const std::int16_t> samples = history.Samples(number, channel);
            for (std::size_t i = 0; i < samples.size(); ++i)
                frames[i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(channel)] = samples[i];
        }
        const auto bytes = static_cast<int>(history.Samples(number, 0).size() * sizeof(std::int16_t)) * channels;
        recorder.Append(reinterpret_cast<const char*>(frames.data()), bytes);
    }
    recorder.Close();
}

void WriteMoment(const TSoundHistory& history, std::int64_t first, std::int64_t last, const TOptions& settings,
                 const QString& folder) {
    CheckSpan(history, first, last);
    TOptions options = settings;
    options.Channels = history.Channels();
    options.InputFile = QDir(folder).filePath(MomentWavName);
    options.ExportDir = folder;
    options.RecordFile.clear();
    options.Buffers.reset();
    TExportFiles::MakeFolder(folder);
    CheckFree(QDir(folder), TExportFiles::FileNames(options.Distortion, options.SoundLevel, options.Channels == 2)
                                << MomentWavName);

    const std::string wavPath = EncodePath(options.InputFile);
    TWavRecorder recorder(wavPath, TWavRecorder::TExisting::Refuse, options.Channels);
    TMadeFile wav(wavPath);
    WriteSamples(recorder, history, first, last);
    // A file written here ends where its header says, and no signal stops
    // the run: there is nothing to warn of.
    ExportFile(dynamic_cast<TApplication&>(*QCoreApplication::instance()), options, false, [](const QString&) {});
    wav.Keep();
}

}  // namespace

void SaveMoment(const TSoundHistory& history, std::int64_t first, std::int64_t last, const TOptions& settings,
                const QString& folder) {
    try {
        WriteMoment(history, first, last, settings, folder);
    } catch (const EWellenschauError& error) {
        Refuse(TMomentSaveText::tr("Der Moment wurde nicht gespeichert: %1").arg(ErrorMessage(error)));
    }
}

TOptions WindowExportSettings(TForm1& form) {
    TOptions settings;
    settings.Palette = PaletteNames().value(form.CBLut->currentIndex());
    settings.Fast = form.CheckBoxfast->isChecked();
    settings.NoAutoScale = !form.CheckAutoSkala->isChecked();
    settings.PeakHold = form.CheckAverage->isChecked();
    settings.Distortion = form.SaveDistortion();
    const TInstrument& instrument = form.Instrument();
    settings.Scope = instrument.Scope.Settings();
    settings.SoundLevel = instrument.SoundLevelOn();
    settings.Calibration = instrument.Calibration();
    return settings;
}

QString SaveMomentCaption() { return TMomentSaveText::tr("Moment speichern …"); }

void AskAndSaveMoment(QWidget* parent, const TSoundHistory& history, std::int64_t first, std::int64_t last,
                      const TOptions& settings) {
    const QString folder =
        QFileDialog::getExistingDirectory(parent, TMomentSaveText::tr("Ordner für den gespeicherten Moment wählen"));
    if (!folder.isEmpty()) SaveMoment(history, first, last, settings, folder);
}

}  // namespace wellenschau
