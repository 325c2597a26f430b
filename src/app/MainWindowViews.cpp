// The window's opt-in parts: the analyser view, the readout line with the
// values under the pointer, the device chooser and saving what is shown.
#include "AnalyserView.h"
#include "ExportFiles.h"
#include "ImageWidget.h"
#include "MainWindow.h"
#include "PointerValues.h"
#include "ReadoutLine.h"
#include "StatusLine.h"
#include "audio/AudioIn.h"
#include "chart/ChartWidget.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QShortcut>

namespace wellenschau {

namespace {

// The translation context of this file's texts.
struct TForm1Text {
    Q_DECLARE_TR_FUNCTIONS(TForm1Text)
};

// The window's device pixel ratio may have changed: it was shown (until
// then it has the primary screen's), it moved to another screen, or (from
// Qt 6.6 on) its screen's ratio changed.
bool PixelRatioMayHaveChanged(const QEvent& event) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    if (event.type() == QEvent::DevicePixelRatioChange) return true;
#endif
    return event.type() == QEvent::Show || event.type() == QEvent::ScreenChangeInternal;
}

}  // namespace

void TForm1::CreateViews() {
    FStatusLine = new TStatusLine(this);
    FReadout = new TReadoutLine(this);
    FReadout->Watch(Chart2, [this](QPoint p) { return OscilloscopePointerText(Chart2->Chart(), p.x(), p.y()); });
    FReadout->Watch(Chart1, [this](QPoint p) { return SpectrumPointerText(Chart1->Chart(), p.x(), p.y()); });
    FReadout->Watch(Image1, [this](QPoint p) {
        const double bufferSeconds =
            AudioIn1->BufferSize() / AudioIn1->WaveFormat().BlockAlign / FInstrument->Analysis().SampleRate;
        return SpectrogramPointerText(Chart3->Chart(), Image1->ShownPicture(), Image1->PicturePixelAt(p),
                                      Image1->y() + p.y(), bufferSeconds);
    });
    FAnalyserView = std::make_unique<TAnalyserView>(*this);
    new QShortcut(Qt::Key_F2, this, [this] { SetAnalyserView(!AnalyserView()); });
    new QShortcut(Qt::Key_F3, this, [this] {
        if (!AnalyserView()) SetReadoutVisible(!ReadoutVisible());
    });
    new QShortcut(QKeySequence::Save, this, [this] { SaveView(); });
}

void TForm1::SetAnalyserView(bool on) {
    if (on)
        FAnalyserView->Enter();
    else
        FAnalyserView->Leave();
    AlignControls();
}

bool TForm1::event(QEvent* event) {
    if (FAnalyserView && PixelRatioMayHaveChanged(*event)) FAnalyserView->FollowPixelRatio();
    return QWidget::event(event);
}

void TForm1::PlacePictures(const TPicturePlaces& places) {
    FInstrument->SetPicturePlaces(places);
    Image1->setGeometry(places.Spectrogram);
    Image2->setGeometry(places.Legend);
    Panel6->setVisible(places.Marks);
    Panel7->setVisible(places.Marks);
}

bool TForm1::AnalyserView() const { return FAnalyserView && FAnalyserView->Active(); }

bool TForm1::ReadoutVisible() const { return FReadout && !FReadout->isHidden(); }

void TForm1::SetReadoutVisible(bool visible) {
    FReadout->setVisible(visible);
    ShowMeasurements();
    AlignControls();
}

void TForm1::SetInputDevices(const std::vector<TInputDeviceInfo>& devices) {
    FAnalyserView->SetDevices(devices, AudioIn1->WaveDevice());
}

void TForm1::FollowInputDevices() {
    SetInputDevices(ListInputDevices());
    WatchInputDevices(*this, [this] { SetInputDevices(ListInputDevices()); });
}

void TForm1::ChooseInputDevice(int number) {
    const bool recording = AudioIn1->DeviceOpen();
    if (recording) AudioIn1->StopNow();
    AudioIn1->SetWaveDevice(number);
    FAnalyserView->FollowDevice();
    if (recording) StartButtonClick(this);
}

void TForm1::SetChannels(int channels) {
    if (channels == FFeed.Channels()) return;
    const bool recording = AudioIn1->DeviceOpen();
    if (recording) AudioIn1->StopNow();
    FFeed.SetChannels(channels);
    AudioIn1->SetStereo(channels == 2);
    AudioIn1->SetBufferSize(FFeed.CaptureBufferBytes());
    FAnalyserView->ShowChannels(channels);
    if (recording) StartButtonClick(this);
}

void TForm1::SetFileChannels(int channels) { FAnalyserView->SetFileChannels(channels); }

void TForm1::SaveViewTo(const QString& folder) {
    TExportFiles::MakeFolder(folder);
    TExportFiles::WriteView(*FInstrument, QDir(folder), FSaveDistortion);
}

void TForm1::SaveView() {
    const QString folder =
        QFileDialog::getExistingDirectory(this, TForm1Text::tr("Ordner für Bilder und Daten wählen"));
    if (!folder.isEmpty()) SaveViewTo(folder);
}

}  // namespace wellenschau
