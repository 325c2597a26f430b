#include "AnalyserView.h"

#include "DisplaySetup.h"
#include "ImageWidget.h"
#include "MainWindow.h"
#include "ReadoutLine.h"
#include "chart/ChartWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QToolButton>

namespace wellenschau {

namespace {

constexpr int RowHeight = 25;
constexpr int ReadoutHeight = 20;
// Share of the charts' height that the oscilloscope gets.
constexpr double OscilloscopeShare = 0.42;
const QSize MinimumSize(960, 640);
const QSize FirstSize(1280, 800);
// The legend picture sits this far right of the spectrum's plot.
constexpr int LegendGap = 4;
constexpr int LegendWidth = 7;

}  // namespace

TAnalyserView::TAnalyserView(TForm1& form) : FForm(form) {
    FRow = new QWidget(&form);
    FRow->setAutoFillBackground(true);
    FDeviceCaption = new QLabel("Eingang:", FRow);
    FDeviceCaption->setGeometry(460, 4, 52, 17);
    FDevices = new QComboBox(FRow);
    FDevices->setGeometry(514, 2, 270, 21);
    QObject::connect(FDevices, &QComboBox::activated, &form,
                     [this](int index) { FForm.ChooseInputDevice(FDevices->itemData(index).toInt()); });
    SetDevices({}, 0);
    FRow->hide();
}

void TAnalyserView::SetDevices(const std::vector<TInputDeviceInfo>& devices, int current) {
    FDevices->clear();
    for (const TInputDeviceInfo& device : devices) {
        FDevices->addItem(QString("%1  %2").arg(device.Number).arg(QString::fromStdString(device.Name)), device.Number);
        if (device.Number == current) FDevices->setCurrentIndex(FDevices->count() - 1);
    }
    FDeviceCaption->setVisible(!devices.empty());
    FDevices->setVisible(!devices.empty());
}

void TAnalyserView::Place(QWidget* widget, QWidget* parent, const QRect& geometry) {
    FStored.push_back({widget, widget->parentWidget(), widget->geometry(), widget->isHidden()});
    widget->setParent(parent);
    widget->setGeometry(geometry);
    widget->show();
}

void TAnalyserView::Enter() {
    if (FActive) return;
    FActive = true;
    FPlainSize = FForm.size();
    Place(FForm.CheckBackground, FRow, QRect(6, 4, 160, 17));
    Place(FForm.CheckAverage, FRow, QRect(172, 4, 140, 17));
    Place(FForm.SBPalette, FRow, QRect(318, 0, 29, 25));
    Place(FForm.CBLut, FRow, QRect(350, 2, 104, 21));
    // The window's width leaves room for the whole caption here.
    Place(FForm.CheckBoxColors, FForm.Panel2, QRect(688, 5, 140, 17));
    FForm.CBLut->setVisible(false);  // the palette button shows it, as in the plain window
    for (QWidget* dot : {FForm.Panel6, FForm.Panel7}) {
        FStored.push_back({dot, dot->parentWidget(), dot->geometry(), dot->isHidden()});
        dot->hide();
    }
    FRow->show();
    FForm.Chart1->show();
    FForm.Chart3->show();
    FForm.Image1->SetStretched(true);
    FForm.Image2->SetStretched(true);
    SetFrequencyLabelsSeparation(0);
    FReadoutWasVisible = FForm.ReadoutVisible();
    FForm.SetReadoutVisible(true);
    FForm.setMinimumSize(MinimumSize);
    if (FForm.width() < FirstSize.width() || FForm.height() < FirstSize.height()) FForm.resize(FirstSize);
    FollowPixelRatio();
    Arrange();
}

void TAnalyserView::Leave() {
    if (!FActive) return;
    FActive = false;
    for (auto it = FStored.rbegin(); it != FStored.rend(); ++it) {
        it->Widget->setParent(it->Parent);
        it->Widget->setGeometry(it->Geometry);
        it->Widget->setHidden(it->Hidden);
    }
    FStored.clear();
    FRow->hide();
    FForm.Image1->SetStretched(false);
    FForm.Image2->SetStretched(false);
    FForm.Image1->setGeometry(Image1Bounds);
    FForm.Image2->setGeometry(Image2Bounds);
    FForm.Chart1->setGeometry(Chart1Bounds);
    FForm.Chart3->setGeometry(Chart3Bounds);
    FForm.Chart1->Chart().SetSize(Chart1Bounds.width(), Chart1Bounds.height());
    FForm.Chart3->Chart().SetSize(Chart3Bounds.width(), Chart3Bounds.height());
    FForm.Chart1->hide();
    FForm.Chart3->hide();
    SetFrequencyLabelsSeparation(1);
    SetChartsPixelRatio(1);
    FForm.SetReadoutVisible(FReadoutWasVisible);
    FForm.setMinimumSize(0, 0);
    FForm.resize(FPlainSize);
}

// The stored layout keeps 1 %, and with it the rule that hides a text
// too close to the (empty) carrier label before it: 100, 1k and 10k. The
// analyser's larger charts have room for them, so its separation is 0.
void TAnalyserView::SetFrequencyLabelsSeparation(int percent) {
    FForm.Chart1->Chart().BottomAxis().SetLabelsSeparation(percent);
    FForm.Chart3->Chart().LeftAxis().SetLabelsSeparation(percent);
}

void TAnalyserView::FollowPixelRatio() {
    if (FActive) SetChartsPixelRatio(FForm.devicePixelRatioF());
}

void TAnalyserView::SetChartsPixelRatio(qreal ratio) {
    for (TChartWidget* chart : {FForm.Chart1, FForm.Chart2, FForm.Chart3}) chart->Chart().SetPixelRatio(ratio);
}

void TAnalyserView::Arrange() {
    if (!FActive) return;
    const int width = FForm.width();
    const int height = FForm.height();
    FForm.Panel2->setGeometry(0, 0, width, RowHeight);
    FRow->setGeometry(0, RowHeight, width, RowHeight);
    const int top = 2 * RowHeight;
    const int bottom = height - ReadoutHeight;
    FForm.Readout()->setGeometry(0, bottom, width, ReadoutHeight);
    const int scopeHeight = static_cast<int>((bottom - top) * OscilloscopeShare);
    FForm.Chart2->setGeometry(0, top, width, scopeHeight);
    const int lowerTop = top + scopeHeight;
    const QRect spectrum(0, lowerTop, width / 2, bottom - lowerTop);
    const QRect spectrogram(width / 2, lowerTop, width - width / 2, bottom - lowerTop);
    FForm.Chart1->setGeometry(spectrum);
    FForm.Chart3->setGeometry(spectrogram);
    FForm.Chart1->Chart().SetSize(spectrum.width(), spectrum.height());
    FForm.Chart3->Chart().SetSize(spectrogram.width(), spectrogram.height());
    PlacePictures();
}

// The pictures follow the plots: the spectrogram fills its plot inside the
// axis lines, the legend stands beside the spectrum's plot. A paint lays
// out the plots for the charts' new sizes.
void TAnalyserView::PlacePictures() {
    FForm.Chart3->Chart().Paint();
    const TRect plot = FForm.Chart3->Chart().PlotRect();
    FForm.Image1->setGeometry(plot.Left + 1, plot.Top + 1, plot.Width() - 1, plot.Height() - 1);
    FForm.Chart1->Chart().Paint();
    const TRect spectrumPlot = FForm.Chart1->Chart().PlotRect();
    FForm.Image2->setGeometry(spectrumPlot.Right + LegendGap, spectrumPlot.Top, LegendWidth, spectrumPlot.Height() + 1);
}

}  // namespace wellenschau
