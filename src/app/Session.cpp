#include "Session.h"

#include "AnalyserView.h"
#include "Application.h"
#include "ExitStatus.h"
#include "BufferFeed.h"
#include "ExportFiles.h"
#include "InputDeviceText.h"
#include "LevelHistory.h"
#include "Instrument.h"
#include "MainWindow.h"
#include "PathBytes.h"
#include "RecordTarget.h"
#include "ScopePanel.h"
#include "StopSignals.h"
#include "audio/AudioIn.h"
#include "audio/CaptureRecording.h"
#include "audio/FileWaveIn.h"
#include "audio/InputDevices.h"
#include "audio/SoundFileReader.h"
#include "audio/SystemReason.h"
#include "core/CheckedMath.h"
#include "palette/PaletteMemo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QScreen>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <optional>

namespace wellenschau {

namespace {

// The translation context of this file's texts.
struct TSessionText {
    Q_DECLARE_TR_FUNCTIONS(TSessionText)
};

void Report(const QString& message) { std::fputs(qPrintable("wellenschau: " + message + '\n'), stderr); }

int Fail(const QString& message) {
    Report(message);
    return ExitError;
}

// The file device, once the file has been found readable as sound with
// `channels` channels; sourceChannels, if given, gets the file's own.
std::unique_ptr<TFileWaveIn> OpenInputFile(const QString& path, TFilePace pace, int channels,
                                           int* sourceChannels = nullptr) {
    // Raises a clear error for a bad file, and for one channel where two are asked.
    const TSoundFileReader probe(EncodePath(path), TSoundFileReader::DefaultRate, channels);
    if (sourceChannels != nullptr) *sourceChannels = probe.SourceChannels();
    return std::make_unique<TFileWaveIn>(EncodePath(path), pace);
}

// Why the device `number` cannot record two channels; empty when it can
// or its channels are not known.
QString TwoChannelRefusal(int number) {
    if (InputChannels(ListInputDevices(), number) != 1) return {};
    return TSessionText::tr("Das Eingabegerät %1 hat nur einen Kanal; --channels 2 braucht zwei.").arg(number);
}

// The number of the device --device names, or the list of those there are.
std::optional<int> ChosenDevice(const QString& choice, QString& refusal) {
    const std::vector<TInputDeviceInfo> devices = ListInputDevices();
    const std::optional<int> number = FindInputDevice(devices, choice.toStdString());
    if (!number)
        refusal = TSessionText::tr("Es gibt kein Eingabegerät \"%1\". Vorhanden sind:\n%2")
                      .arg(choice, DeviceListText(devices).trimmed());
    return number;
}

// The export's folder, made if need be. Qt's file classes name files in
// UTF-8 only, so a folder whose name holds other bytes is reached through
// an open descriptor of it (/proc/self/fd/N), below which the export's file
// names are plain ASCII.
class TExportFolder {
public:
    explicit TExportFolder(const QString& folder) : FPath(folder) {
        TExportFiles::MakeFolder(folder);
        if (!HasForeignBytes(folder)) return;
        FDescriptor = ::open(EncodePath(folder).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (FDescriptor < 0)
            throw EWellenschauError(TSessionText::tr("Der Ordner '%1' lässt sich nicht anlegen: %2")
                                        .arg(folder, QString::fromStdString(SystemReason(errno)))
                                        .toStdString());
        FPath = QString("/proc/self/fd/%1").arg(FDescriptor);
    }
    ~TExportFolder() {
        if (FDescriptor >= 0) ::close(FDescriptor);
    }
    TExportFolder(const TExportFolder&) = delete;
    TExportFolder& operator=(const TExportFolder&) = delete;

    // Where Qt's file classes find the folder.
    const QString& Path() const { return FPath; }

private:
    QString FPath;
    int FDescriptor = -1;
};

// Sets the check boxes the options name, as a click would.
void SetControls(TForm1& form, const TOptions& options) {
    if (options.Fast) form.CheckBoxfast->setChecked(true);
    if (options.NoAutoScale) form.CheckAutoSkala->setChecked(false);
    if (options.PeakHold) form.CheckAverage->setChecked(true);
    // The bench trigger lives in the analyser view.
    if (!options.Scope.PlainTrace()) {
        form.Analyser().Scope().SetSettings(options.Scope);
        form.SetAnalyserView(true);
    }
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
    if (!options.Scope.PlainTrace()) instrument.SetScope(options.Scope);
    instrument.LoadPalette(ShippedPaletteMemo(), PaletteNames().first());
    if (!options.Palette.isEmpty()) instrument.LoadPalette(ShippedPaletteMemo(), options.Palette);
}

// Ends the WAV file and reports it on standard error: its samples and the
// buffers the display skipped; samples lost to a full ring, and those a
// failed or stalled disk did not take. Returns the write error's message,
// empty when the file is complete.
QString FinishRecording(TCaptureRecording* recording, const TAudioIn& audioIn) {
    if (recording == nullptr) return {};
    recording->Finish();
    // The file's name byte for byte, as the user gave it.
    std::fprintf(stderr, "wellenschau: %s: %s\n", recording->Path().c_str(),
                 qPrintable(TSessionText::tr("%1 Samples aufgenommen; die Anzeige hat %2 Puffer übersprungen.")
                                .arg(recording->WrittenBytes() / 2)
                                .arg(audioIn.SkippedBuffers())));
    if (const std::uint64_t lost = recording->LostBytes(); lost > 0)
        Report(TSessionText::tr("%1 Samples gingen verloren, weil die Datei nicht schnell genug geschrieben wurde.")
                   .arg(lost / 2));
    if (recording->Failed() && recording->UnwrittenBytes() > 0)
        Report(TSessionText::tr("%1 Samples ließen sich nicht mehr in die Datei schreiben.")
                   .arg(recording->UnwrittenBytes() / 2));
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

// Keeps the first error that ends an event handler while it lives, instead
// of showing it; then the application's own reporter is back.
class THandlerErrors {
public:
    explicit THandlerErrors(TApplication& application)
        : FApplication(application), FPrevious(application.ErrorReporter()) {
        application.SetErrorReporter([this](const QString& message) {
            if (FFirst.isEmpty()) FFirst = message;
        });
    }
    ~THandlerErrors() { FApplication.SetErrorReporter(FPrevious); }
    THandlerErrors(const THandlerErrors&) = delete;
    THandlerErrors& operator=(const THandlerErrors&) = delete;

    // Empty while there was none.
    const QString& First() const { return FFirst; }

private:
    TApplication& FApplication;
    TApplication::TErrorReporter FPrevious;
    QString FFirst;
};

}  // namespace

int RunReportingErrors(const std::function<int()>& run) {
    try {
        return run();
    } catch (const EWellenschauError& error) {
        return Fail(ErrorMessage(error));
    } catch (const std::bad_alloc&) {
        return Fail(TSessionText::tr("Der Arbeitsspeicher reicht nicht aus; das Programm wurde beendet."));
    } catch (const std::exception& error) {
        return Fail(
            TSessionText::tr("Interner Fehler, das Programm wurde beendet: %1").arg(QString::fromUtf8(error.what())));
    }
}

int ListDevices() {
    std::fputs(qPrintable(DeviceListText(ListInputDevices())), stdout);
    return 0;
}

int RunWindow(TApplication& application, const TOptions& options) {
    return RunReportingErrors([&]() -> int {
        std::unique_ptr<TFileWaveIn> file;
        int fileChannels = 0;
        if (!options.InputFile.isEmpty())
            file = OpenInputFile(options.InputFile, TFilePace::RealTime, options.Channels, &fileChannels);
        std::optional<int> device;
        if (options.Device) {
            QString refusal;
            device = ChosenDevice(*options.Device, refusal);
            if (!device) return Fail(refusal);
        }
        if (options.Channels == 2 && !file)
            if (const QString refusal = TwoChannelRefusal(device.value_or(0)); !refusal.isEmpty()) return Fail(refusal);
        const std::unique_ptr<TCaptureRecording> recording = OpenRecording(options);
        TForm1 Form1(file ? static_cast<TWaveInService&>(*file) : DefaultWaveInService());
        // A signal closes the window as the user would; a dialog open
        // over it ends too.
        const TStopSignals stopSignals([&Form1](int) {
            Form1.close();
            QCoreApplication::quit();
        });
        Form1.AudioIn1->SetRecording(recording.get());
        if (device) Form1.AudioIn1->SetWaveDevice(*device);
        if (file) Form1.SetFileChannels(fileChannels);
        if (!file) Form1.FollowInputDevices();
        Form1.SetChannels(options.Channels);
        SetControls(Form1, options);
        if (options.Measurements) Form1.SetReadoutVisible(true);
        if (options.HistoryMinutes) Form1.Analyser().SetHistoryMinutes(*options.HistoryMinutes);
        Form1.SetSaveDistortion(options.Distortion);
        if (options.Analyser) Form1.SetAnalyserView(true);
        // Centred on the screen when first shown.
        if (const QScreen* screen = Form1.screen())
            Form1.move(screen->availableGeometry().center() - Form1.rect().center());
        Form1.show();
        ChoosePalette(Form1, options);
        const int status = application.exec();
        Form1.AudioIn1->StopNow();
        const QString failure = FinishRecording(recording.get(), *Form1.AudioIn1);
        if (!failure.isEmpty()) Report(failure);
        if (stopSignals.Received() != 0) return stopSignals.ExitStatus();
        return failure.isEmpty() ? status : ExitError;
    });
}

int ExportFile(TApplication& application, const TOptions& options, bool stopOnSignals, const TReport& report) {
    const THandlerErrors handlerErrors(application);
    const QString& failure = handlerErrors.First();
    const auto fail = [](const QString& message) { throw EWellenschauError(message.toStdString()); };

    const std::unique_ptr<TFileWaveIn> file =
        OpenInputFile(options.InputFile, TFilePace::AsFastAsPossible, options.Channels);
    const TExportFolder folder(options.ExportDir);
    const std::unique_ptr<TCaptureRecording> recording = OpenRecording(options);
    const auto instrument = std::make_unique<TInstrument>();
    ApplyOptions(*instrument, options);
    instrument->SetDistortionAnalysis(options.Distortion);
    instrument->SetSoundLevel(options.SoundLevel);
    instrument->SetCalibration(options.Calibration);
    TBufferFeed feed(*instrument);
    feed.SetChannels(options.Channels);
    TAudioIn capture(nullptr, *file);
    capture.SetStereo(options.Channels == 2);
    capture.SetBufferSize(feed.CaptureBufferBytes());
    capture.SetNumBuffers(2);
    capture.SetFrameRate(RoundToInt(instrument->Analysis().SampleRate));
    capture.SetWaveDevice(0);
    capture.SetRecording(recording.get());
    capture.SetOnBufferFilled([&feed](char* buffer, int& size) {
        feed.Handle(buffer, size);
        return true;
    });
    TExportFiles files(QDir(folder.Path()), instrument->Analysis().RowCount, options.Distortion,
                       options.SoundLevel ? std::optional(options.Calibration) : std::nullopt,
                       options.Channels == 2);
    TExportRows rows(*instrument, capture, files, options.Buffers);
    instrument->AddBufferObserver(rows);

    // A signal stops the run after the buffer in hand.
    std::optional<TStopSignals> stopSignals;
    if (stopOnSignals) stopSignals.emplace();
    const auto signalReceived = [&stopSignals] { return stopSignals ? stopSignals->Received() : 0; };
    TAudioIn* running = &capture;
    if (!capture.Start(running)) fail(QString::fromStdString(capture.ErrorMessage()));
    // The user's input waits, so that nothing of the window starts anew
    // while an export runs inside it.
    while (capture.DeviceOpen() && failure.isEmpty() && signalReceived() == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents);
    if (signalReceived() == 0) QCoreApplication::sendPostedEvents();
    capture.StopNow();
    const QString written = FinishRecording(recording.get(), capture);
    if (signalReceived() != 0) {
        if (!written.isEmpty()) report(written);
        report(TSessionText::tr("Der Export wurde durch Signal %1 abgebrochen; seine Dateien wurden nicht geschrieben.")
                   .arg(signalReceived()));
        return stopSignals->ExitStatus();
    }
    if (!written.isEmpty()) fail(written);
    if (!failure.isEmpty()) fail(failure);
    // A read error inside the file: nothing of the export is committed.
    if (file->EndCode() == FILEERR_FILE) fail(QString::fromStdString(file->ErrorText(FILEERR_FILE)));
    if (instrument->History().Count() == 0) fail(TSessionText::tr("'%1' enthält keine Samples.").arg(options.InputFile));
    files.Write(*instrument);
    if (file->EndCode() != FILEERR_SHORT) return ExitSuccess;
    report(QString::fromStdString(file->ErrorText(FILEERR_SHORT)));
    return ExitInputShort;
}

int RunExport(TApplication& application, const TOptions& options) {
    return RunReportingErrors([&] { return ExportFile(application, options, true, Report); });
}

}  // namespace wellenschau
