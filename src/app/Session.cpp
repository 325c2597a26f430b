#include "Session.h"

#include "Application.h"
#include "ExportFiles.h"
#include "LevelHistory.h"
#include "Instrument.h"
#include "MainWindow.h"
#include "audio/AudioIn.h"
#include "audio/CaptureRecording.h"
#include "audio/FileWaveIn.h"
#include "audio/InputDevices.h"
#include "audio/SoundFileReader.h"
#include "core/CheckedMath.h"
#include "palette/PaletteMemo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QScreen>

#include <cstdio>
#include <memory>
#include <optional>

namespace wellenschau {

namespace {

constexpr int Failed = 1;

int Fail(const QString& message) {
    std::fputs(qPrintable("wellenschau: " + message + '\n'), stderr);
    return Failed;
}

// The file device, once the file has been found readable as sound.
std::unique_ptr<TFileWaveIn> OpenInputFile(const QString& path, TFilePace pace) {
    TSoundFileReader probe(path.toStdString());  // raises a clear error for a bad file
    return std::make_unique<TFileWaveIn>(path.toStdString(), pace);
}

bool DeviceExists(int number) {
    for (const TInputDeviceInfo& device : ListPortAudioInputDevices())
        if (device.Number == number) return true;
    return false;
}

// Sets the check boxes the options name, as a click would.
void SetControls(TForm1& form, const TOptions& options) {
    if (options.Fast) form.CheckBoxfast->setChecked(true);
    if (options.NoAutoScale) form.CheckAutoSkala->setChecked(false);
    if (options.PeakHold) form.CheckAverage->setChecked(true);
}

// Chooses the palette in the palette chooser; the start-up palette must be
// in place already, since showing the window installs it.
void ChoosePalette(TForm1& form, const TOptions& options) {
    if (!options.Palette.isEmpty()) form.CBLut->setCurrentIndex(PaletteNames().indexOf(options.Palette));
}

// The settings of the options, for an instrument without a window: what
// the check boxes and the palette chooser would set. The start-up palette
// goes first, as in the window, for a palette that leaves colours alone.
void ApplyOptions(TInstrument& instrument, const TOptions& options) {
    instrument.SetFastTimeBase(options.Fast);
    instrument.SetAutoScale(!options.NoAutoScale);
    instrument.SetPeakHold(options.PeakHold);
    instrument.LoadPalette(ShippedPaletteMemo(), PaletteNames().first());
    if (!options.Palette.isEmpty()) instrument.LoadPalette(ShippedPaletteMemo(), options.Palette);
}

// --record: the WAV file, fed on the capture side with every sample the
// device delivers, also while the window is too busy to show them. It is
// made before the window, so that it outlives the window's recordings.
std::unique_ptr<TCaptureRecording> OpenRecording(const TOptions& options) {
    if (options.RecordFile.isEmpty()) return nullptr;
    return std::make_unique<TCaptureRecording>(options.RecordFile.toStdString());
}

// Ends the WAV file and reports it on standard error: its samples and the
// buffers the display skipped. Returns the write error's message, empty
// when the file is complete.
QString FinishRecording(TCaptureRecording* recording, const TAudioIn& audioIn) {
    if (recording == nullptr) return {};
    recording->Finish();
    std::fprintf(stderr, "wellenschau: %s: %llu Samples aufgenommen; die Anzeige hat %d Puffer übersprungen.\n",
                 recording->Path().c_str(), static_cast<unsigned long long>(recording->WrittenBytes() / 2),
                 audioIn.SkippedBuffers());
    if (const std::uint64_t lost = recording->LostBytes(); lost > 0)
        std::fprintf(stderr, "wellenschau: %llu Samples gingen verloren, weil die Datei nicht schnell genug "
                     "geschrieben wurde.\n", static_cast<unsigned long long>(lost / 2));
    return QString::fromStdString(recording->Failure());
}

// --export: the row levels and measurements of every handled buffer, and
// the end of the run after --buffers buffers.
class TExportRows final : public TBufferObserver {
public:
    TExportRows(const TInstrument& instrument, TAudioIn& capture, TExportFiles& files, std::optional<int> limit)
        : FInstrument(instrument), FCapture(capture), FFiles(files), FLimit(limit) {}

    void BufferHandled(const char*, int) override {
        const TLevelHistory& history = FInstrument.History();
        FFiles.AddBuffer(history, history.Count() - 1);
        if (FLimit && history.Entry(history.Count() - 1).Buffer >= *FLimit) FCapture.StopNow();
    }

private:
    const TInstrument& FInstrument;
    TAudioIn& FCapture;
    TExportFiles& FFiles;
    std::optional<int> FLimit;
};

}  // namespace

int ListDevices() {
    const std::vector<TInputDeviceInfo> devices = ListPortAudioInputDevices();
    if (devices.empty()) std::puts("Keine Eingabegeräte gefunden.");
    for (const TInputDeviceInfo& device : devices)
        std::printf("%d\t%s%s\n", device.Number, device.Name.c_str(), device.IsDefault ? "\t(Standard)" : "");
    return 0;
}

int RunWindow(TApplication& application, const TOptions& options) {
    try {
        std::unique_ptr<TFileWaveIn> file;
        if (!options.InputFile.isEmpty()) file = OpenInputFile(options.InputFile, TFilePace::RealTime);
        if (options.Device && !DeviceExists(*options.Device))
            return Fail(QString("Es gibt kein Eingabegerät mit der Nummer %1 (siehe --list-devices).").arg(*options.Device));
        const std::unique_ptr<TCaptureRecording> recording = OpenRecording(options);
        TForm1 Form1(file ? static_cast<TWaveInService&>(*file) : DefaultWaveInService());
        Form1.AudioIn1->SetRecording(recording.get());
        if (options.Device) Form1.AudioIn1->SetWaveDevice(*options.Device);
        if (!file) Form1.SetInputDevices(ListPortAudioInputDevices());
        SetControls(Form1, options);
        if (options.Measurements) Form1.SetReadoutVisible(true);
        Form1.SetSaveDistortion(options.Distortion);
        if (options.Analyser) Form1.SetAnalyserView(true);
        // Centred on the screen when first shown.
        if (const QScreen* screen = Form1.screen())
            Form1.move(screen->availableGeometry().center() - Form1.rect().center());
        Form1.show();
        ChoosePalette(Form1, options);
        const int status = application.exec();
        Form1.AudioIn1->StopNow();
        if (const QString failure = FinishRecording(recording.get(), *Form1.AudioIn1); !failure.isEmpty())
            return Fail(failure);
        return status;
    } catch (const EWellenschauError& error) {
        return Fail(QString::fromUtf8(error.what()));
    }
}

int RunExport(TApplication& application, const TOptions& options) {
    QString failure;
    application.SetErrorReporter([&failure](const QString& message) {
        if (failure.isEmpty()) failure = message;
    });
    try {
        const std::unique_ptr<TFileWaveIn> file = OpenInputFile(options.InputFile, TFilePace::AsFastAsPossible);
        TExportFiles::MakeFolder(options.ExportDir);
        const std::unique_ptr<TCaptureRecording> recording = OpenRecording(options);
        const auto instrument = std::make_unique<TInstrument>();
        ApplyOptions(*instrument, options);
        instrument->SetDistortionAnalysis(options.Distortion);
        instrument->SetSoundLevel(options.SoundLevel);
        instrument->SetCalibration(options.Calibration);
        TAudioIn capture(nullptr, *file);
        capture.SetBufferSize(TInstrument::BufferBytes);
        capture.SetNumBuffers(2);
        capture.SetFrameRate(RoundToInt(instrument->Analysis().SampleRate));
        capture.SetWaveDevice(0);
        capture.SetRecording(recording.get());
        capture.SetOnBufferFilled([&instrument](char* buffer, int& size) {
            instrument->HandleBuffer(buffer, size);
            return true;
        });
        TExportFiles files(QDir(options.ExportDir), instrument->Analysis().RowCount, options.Distortion,
                           options.SoundLevel ? std::optional(options.Calibration) : std::nullopt);
        TExportRows rows(*instrument, capture, files, options.Buffers);
        instrument->AddBufferObserver(rows);

        TAudioIn* running = &capture;
        if (!capture.Start(running)) return Fail(QString::fromStdString(capture.ErrorMessage()));
        while (capture.DeviceOpen() && failure.isEmpty()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents();
        capture.StopNow();
        if (const QString written = FinishRecording(recording.get(), capture); !written.isEmpty()) return Fail(written);
        if (!failure.isEmpty()) return Fail(failure);
        if (instrument->History().Count() == 0) return Fail("'" + options.InputFile + "' enthält keine Samples.");
        files.Write(*instrument);
        return 0;
    } catch (const EWellenschauError& error) {
        return Fail(QString::fromUtf8(error.what()));
    }
}

}  // namespace wellenschau
