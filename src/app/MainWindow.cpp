#include "MainWindow.h"

#include "AnalyserView.h"
#include "BandPanel.h"
#include "ImageWidget.h"
#include "ReadoutLine.h"
#include "StatusLine.h"
#include "audio/AudioIn.h"
#include "audio/CallBackWinIn.h"
#include "chart/ChartWidget.h"
#include "core/CheckedMath.h"
#include "palette/PaletteParser.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QToolButton>

#include <cstdio>

namespace wellenschau {

namespace {

// The translation context of this file's texts.
struct TForm1Text {
    Q_DECLARE_TR_FUNCTIONS(TForm1Text)
};

// Client area of the window.
constexpr int ClientWidth = 790;
constexpr int ClientHeight = 560;

}  // namespace

void TForm1::TBackgroundCheckCaption::SetCaption(const char* Caption) {
    FCheckBox->setText(QString::fromUtf8(Caption));
}

TForm1::TForm1(TWaveInService& waveIn) : FInstrument(std::make_unique<TInstrument>()) {
    setWindowTitle("Wellenschau");
    QFont windowFont("Liberation Sans");
    windowFont.setPixelSize(11);
    setFont(windowFont);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);

    CreateCharts();
    CreateToolBar();
    AudioIn1 = new TAudioIn(this, waveIn);
    AudioIn1->SetBufferSize(4096);
    AudioIn1->SetNumBuffers(2);
    AudioIn1->SetFrameRate(1000);
    AudioIn1->SetWaveDevice(0);
    ConnectHandlers();
    SetTabOrder();
    FInstrument->SetBackgroundCaption(FBackgroundCaption);
    FInstrument->AddBufferObserver(FBufferView);
    FormCreate(this);
    CreateViews();
}

TForm1::~TForm1() {
    // The widgets that show the instrument's charts and pictures go before
    // the instrument, which the window's members outlive otherwise.
    for (TChartWidget* chart : {Chart1, Chart2, Chart3}) delete chart;
}

// The charts, pictures and analysis are set up by the instrument.
void TForm1::FormCreate(QObject*) {
    resize(ClientWidth, ClientHeight);
    AlignControls();
    AudioIn1->SetBufferSize(TInstrument::BufferBytes);
}

void TForm1::FormShow(QObject*) {
    LoadPicLutFromMemo(Image1, MemoLut, CBLut->itemText(0));
    LoadPicLutFromMemo(Image2, MemoLut, CBLut->itemText(0));
    CBLut->hide();
    Image1->repaint();
}

void TForm1::FormClose(QObject*) { AudioIn1->StopNow(); }

void TForm1::StartButtonClick(QObject*) {
    AudioIn1->SetFrameRate(RoundToInt(FInstrument->Analysis().SampleRate));
    if (AudioIn1->Start(AudioIn1)) {
        FInstrument->RestartSoundLevel();
        FStatusLine->Clear();
        AlignControls();
        ShowRecording(true);
    } else {
        // Start refuses while a device is open: that is a click on Pause.
        const bool pause = AudioIn1->DeviceOpen();
        AudioIn1->StopNow();
        ShowRecording(false);
        if (!pause)
            ShowAudioProblem(TForm1Text::tr("Die Aufnahme ließ sich nicht starten: %1")
                                 .arg(QString::fromStdString(AudioIn1->ErrorMessage())));
    }
}

void TForm1::ShowAudioProblem(const QString& text) {
    FStatusLine->Show(text);
    AlignControls();
    std::fputs(qPrintable("wellenschau: " + text + '\n'), stderr);
}

void TForm1::ShowRecording(bool recording) {
    if (recording) {
        StartButton->hide();
        PauseButton->show();
    } else {
        PauseButton->hide();
        StartButton->show();
    }
}

void TForm1::AudioIn1Stop(QObject* Sender) {
    // The close of an earlier recording must leave a newer one alone.
    if (Sender != AudioIn1->CallbackWindow() || AudioIn1->DeviceOpen()) return;
    ShowRecording(false);
    if (!AudioIn1->LostMessage().empty())
        ShowAudioProblem(
            TForm1Text::tr("Die Aufnahme wurde beendet: %1").arg(QString::fromStdString(AudioIn1->LostMessage())));
}

bool TForm1::AudioIn1BufferFilled(char* Buffer, int& Size) {
    QCoreApplication::processEvents();
    FFeed.Handle(Buffer, Size);
    return true;
}

void TForm1::ShowMeasurements() {
    const TInstrument& shown = ShownInstrument();
    FReadout->ShowMeasurements(shown.LastMeasurements(), shown.LastDistortion(), AudioIn1->SkippedBuffers(),
                               FAnalyserView->ReadoutLevels());
}

TInstrument& TForm1::ShownInstrument() { return FAnalyserView ? FAnalyserView->ShownInstrument() : *FInstrument; }

void TForm1::ShowBuffer() {
    FAnalyserView->FollowHistory();
    if (!FAnalyserView->Frozen()) ShowFigures();
}

void TForm1::ShowFigures() {
    ShowMeasurements();
    const TInstrument& instrument = ShownInstrument();
    FAnalyserView->ShowHarmonics(instrument.LastDistortion());
    FAnalyserView->ShowChannelB(instrument.LastChannelB());
    FAnalyserView->ShowBandLevels();
    // Image1, Chart1, Chart2 and the analyser view's band chart at once:
    // one pass of the window's painting and one copy to the screen for
    // them all, instead of one each.
    Image1->update();
    QRegion shown;
    for (const QWidget* picture : {static_cast<QWidget*>(Image1), static_cast<QWidget*>(Chart1),
                                   static_cast<QWidget*>(Chart2),
                                   static_cast<QWidget*>(FAnalyserView->Bands().ChartWidget)})
        if (picture->isVisible()) shown += QRect(picture->mapTo(this, QPoint(0, 0)), picture->size());
    repaint(shown);
}

void TForm1::LoadPicLutFromMemo(TImageWidget* Image, QPlainTextEdit* Memo, const QString& Name) {
    LoadPaletteIntoImage(Image->Picture(), Memo->toPlainText().split('\n'), Name);
    Image->repaint();
}

void TForm1::SBPaletteClick(QObject*) {
    CBLut->show();
    CBLut->showPopup();
}

void TForm1::CBLutChange(QObject*) {
    const QString name = CBLut->currentText();
    LoadPicLutFromMemo(Image1, MemoLut, name);
    LoadPicLutFromMemo(Image2, MemoLut, name);
    FAnalyserView->FollowPalette();
    CBLut->hide();
    Image1->repaint();
}

void TForm1::ButtonstoreClick(QObject*) { FInstrument->TakeSnapshot(); }

void TForm1::ButtoneraseClick(QObject*) { FInstrument->EraseSnapshot(); }

void TForm1::CheckBackgroundClick(QObject*) {
    CheckBackground->setText(QString::fromUtf8(FInstrument->SetBackgroundSubtraction(CheckBackground->isChecked())));
}

void TForm1::CheckAverageClick(QObject*) { FInstrument->SetPeakHold(CheckAverage->isChecked()); }

void TForm1::CheckBoxfastClick(QObject*) { FInstrument->SetFastTimeBase(CheckBoxfast->isChecked()); }

void TForm1::CheckBoxColorsClick(QObject*) { FInstrument->SetWhiteScheme(CheckBoxColors->isChecked()); }

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow(this);
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormClose(this);
    event->accept();
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    AlignControls();
}

}  // namespace wellenschau
