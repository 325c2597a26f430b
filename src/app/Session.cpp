#include "Session.h"

#include "Application.h"
#include "ExportFiles.h"
#include "MainWindow.h"
#include "audio/AudioIn.h"
#include "audio/FileWaveIn.h"
#include "audio/PortAudioWaveIn.h"
#include "audio/SoundFileReader.h"
#include "audio/WavRecorder.h"
#include "palette/PaletteMemo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QScreen>

#include <cstdio>
#include <memory>

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

// Puts a tap around the window's buffer handler: every buffer goes into
// the WAV file first (when there is one), then through the handler, then to
// afterHandler. A write failure ends the recording: the file keeps what was
// written and the error's message reaches the user.
void TapBuffers(TForm1& form, TWavRecorder* recorder, std::function<void()> afterHandler) {
    form.AudioIn1->SetOnBufferFilled([&form, recorder, afterHandler](char* Buffer, int& Size) {
        if (recorder && recorder->IsOpen()) {
            try {
                recorder->Append(Buffer, Size);
            } catch (...) {
                recorder->Close();
                form.AudioIn1->StopNow();
                throw;
            }
        }
        const bool accepted = form.AudioIn1BufferFilled(Buffer, Size);
        if (afterHandler) afterHandler();
        return accepted;
    });
}

std::unique_ptr<TWavRecorder> OpenRecorder(const TOptions& options) {
    if (options.RecordFile.isEmpty()) return nullptr;
    return std::make_unique<TWavRecorder>(options.RecordFile.toStdString());
}

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
        const std::unique_ptr<TWavRecorder> recorder = OpenRecorder(options);

        TForm1 Form1(file ? static_cast<TWaveInService&>(*file) : DefaultWaveInService());
        if (options.Device) Form1.AudioIn1->SetWaveDevice(*options.Device);
        SetControls(Form1, options);
        if (recorder) TapBuffers(Form1, recorder.get(), {});
        // Centred on the screen when first shown.
        if (const QScreen* screen = Form1.screen())
            Form1.move(screen->availableGeometry().center() - Form1.rect().center());
        Form1.show();
        ChoosePalette(Form1, options);
        return application.exec();
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
        if (!QDir().mkpath(options.ExportDir))
            return Fail("Der Ordner '" + options.ExportDir + "' lässt sich nicht anlegen.");
        const std::unique_ptr<TWavRecorder> recorder = OpenRecorder(options);

        TForm1 Form1(*file);
        Form1.FormShow(&Form1);  // the start-up palette, as showing the window installs it
        SetControls(Form1, options);
        ChoosePalette(Form1, options);
        TExportFiles files(QDir(options.ExportDir), Form1.Analysis().RowCount);
        int handled = 0;
        TapBuffers(Form1, recorder.get(), [&] {
            files.AddLevels(++handled, Form1.Analysis());
            if (options.Buffers && handled >= *options.Buffers) Form1.AudioIn1->StopNow();
        });

        Form1.StartButtonClick(&Form1);
        if (!Form1.AudioIn1->DeviceOpen()) return Fail(QString::fromStdString(Form1.AudioIn1->ErrorMessage()));
        while (Form1.AudioIn1->DeviceOpen() && failure.isEmpty())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents();
        if (!failure.isEmpty()) return Fail(failure);
        if (handled == 0) return Fail("'" + options.InputFile + "' enthält keine Samples.");
        files.Write(Form1);
        return 0;
    } catch (const EWellenschauError& error) {
        return Fail(QString::fromUtf8(error.what()));
    }
}

}  // namespace wellenschau
