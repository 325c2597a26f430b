#include "MainWindow.h"

#include "DisplaySetup.h"
#include "Glyphs.h"
#include "AnalyserView.h"
#include "ImageWidget.h"
#include "ReadoutLine.h"
#include "StatusLine.h"
#include "audio/AudioIn.h"
#include "chart/ChartWidget.h"
#include "palette/PaletteMemo.h"
#include "palette/PaletteParser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QToolButton>

#include <array>

namespace wellenschau {

namespace {

// The translation context of this file's texts.
struct TForm1Text {
    Q_DECLARE_TR_FUNCTIONS(TForm1Text)
};

constexpr int ToolBarHeight = 25;

QToolButton* SpeedButton(QWidget* parent, const QString& caption, const QIcon& glyph, const QRect& bounds) {
    auto* button = new QToolButton(parent);
    button->setText(caption);
    button->setIcon(glyph);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    button->setGeometry(bounds);
    return button;
}

QCheckBox* CheckBox(QWidget* parent, const QString& caption, const QRect& bounds, bool checked, bool visible) {
    auto* box = new QCheckBox(caption, parent);
    box->setGeometry(bounds);
    box->setChecked(checked);
    box->setVisible(visible);
    return box;
}

// A 1 x 1 black panel without behaviour.
QWidget* DotPanel(QWidget* parent, QPoint place) {
    auto* panel = new QWidget(parent);
    panel->setGeometry(QRect(place, QSize(1, 1)));
    panel->setAutoFillBackground(true);
    QPalette colours = panel->palette();
    colours.setColor(QPalette::Window, Qt::black);
    panel->setPalette(colours);
    return panel;
}

TImageWidget* ImageOn(QImage& picture, QWidget* parent, const QRect& bounds) {
    auto* image = new TImageWidget(picture, parent);
    image->setGeometry(bounds);
    return image;
}

}  // namespace

void TForm1::CreateCharts() {
    TInstrument& instrument = *FInstrument;
    Chart1 = new TChartWidget(instrument.Chart1, this);
    Chart1->setGeometry(Chart1Bounds);
    Chart2 = new TChartWidget(instrument.Chart2, this);
    Chart3 = new TChartWidget(instrument.Chart3, this);
    Chart3->setGeometry(Chart3Bounds);
    Image2 = ImageOn(instrument.Image2, Chart1, Image2Bounds);
    Image1 = ImageOn(instrument.Image1, Chart3, Image1Bounds);
    Panel7 = DotPanel(Chart2, OscilloscopeMark);
    Panel6 = DotPanel(Chart3, SpectrogramMark);
    Chart1->hide();
    Chart3->hide();
}

void TForm1::CreateToolBar() {
    Panel2 = new QWidget(this);
    Panel2->setAutoFillBackground(true);
    Panel2->setFixedHeight(ToolBarHeight);
    StartButton = SpeedButton(Panel2, TForm1Text::tr("&Start"), StartGlyph(), QRect(0, 0, 64, 25));
    PauseButton = SpeedButton(Panel2, TForm1Text::tr("Pau&se"), PauseGlyph(), QRect(0, 0, 64, 25));
    PauseButton->hide();
    ButtonStore = SpeedButton(Panel2, TForm1Text::tr("S&chnappschuss"), SnapshotGlyph(), QRect(64, 0, 113, 25));
    Buttonerase = SpeedButton(Panel2, TForm1Text::tr("&Löschen"), EraseGlyph(), QRect(177, 0, 73, 25));
    CheckBackground = CheckBox(Panel2, TForm1Text::tr("&Hintergrundsubtraktion"), QRect(256, 5, 137, 17), false, false);
    CheckAverage = CheckBox(Panel2, TForm1Text::tr("S&pitzenwertanzeige"), QRect(390, 5, 121, 17), false, false);
    CheckAutoSkala = CheckBox(Panel2, TForm1Text::tr("Auto-Skala"), QRect(510, 5, 121, 17), true, true);
    CheckBoxfast = CheckBox(Panel2, TForm1Text::tr("3x schneller"), QRect(593, 5, 144, 17), false, true);
    CheckBoxColors = CheckBox(Panel2, TForm1Text::tr("weißer Hintergrund"), QRect(688, 5, 97, 17), false, true);
    SBPalette = SpeedButton(Panel2, QString(), PaletteGlyph(), QRect(700, 0, 29, 30));
    SBPalette->setIconSize(QSize(20, 20));
    SBPalette->setToolTip(TForm1Text::tr("Select a custom palette"));
    SBPalette->hide();
    MemoLut = new QPlainTextEdit(Panel2);
    MemoLut->setGeometry(296, 40, 81, 49);
    MemoLut->setPlainText(ShippedPaletteMemo().join('\n'));
    MemoLut->hide();
    CBLut = new QComboBox(Panel2);
    CBLut->setGeometry(566, 58, 97, 21);
    CBLut->addItems(PaletteNames());
    CBLut->setCurrentIndex(-1);
    CBLut->hide();
}

void TForm1::ConnectHandlers() {
    const auto click = [this](QToolButton* button, void (TForm1::*handler)(QObject*)) {
        connect(button, &QToolButton::clicked, this, [this, button, handler] { (this->*handler)(button); });
    };
    click(StartButton, &TForm1::StartButtonClick);
    click(PauseButton, &TForm1::StartButtonClick);
    click(ButtonStore, &TForm1::ButtonstoreClick);
    click(Buttonerase, &TForm1::ButtoneraseClick);
    click(SBPalette, &TForm1::SBPaletteClick);
    // A check box's handler runs after its state changed, also by code.
    const auto toggle = [this](QCheckBox* box, void (TForm1::*handler)(QObject*)) {
        connect(box, &QCheckBox::toggled, this, [this, box, handler] { (this->*handler)(box); });
    };
    toggle(CheckBackground, &TForm1::CheckBackgroundClick);
    toggle(CheckAverage, &TForm1::CheckAverageClick);
    toggle(CheckAutoSkala, &TForm1::CheckAverageClick);
    connect(CheckAutoSkala, &QCheckBox::toggled, this, [this](bool on) { FInstrument->SetAutoScale(on); });
    toggle(CheckBoxfast, &TForm1::CheckBoxfastClick);
    toggle(CheckBoxColors, &TForm1::CheckBoxColorsClick);
    connect(CBLut, &QComboBox::currentIndexChanged, this, [this] { CBLutChange(CBLut); });
    // Choosing the palette already chosen changes nothing but closes the chooser too.
    connect(CBLut, &QComboBox::activated, CBLut, &QWidget::hide);
    Image2->OnClick = [this](QObject* Sender) { SBPaletteClick(Sender); };
    AudioIn1->SetOnBufferFilled([this](char* Buffer, int& Size) { return AudioIn1BufferFilled(Buffer, Size); });
    AudioIn1->SetOnStop([this](QObject* Sender) { AudioIn1Stop(Sender); });
}

void TForm1::SetTabOrder() {
    // The window's controls, then those of the tool bar.
    const std::array<QWidget*, 11> order = {Chart1, Chart2, Chart3, Panel2, MemoLut, CBLut, CheckBackground,
                                            CheckAverage, CheckAutoSkala, CheckBoxfast, CheckBoxColors};
    for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void TForm1::AlignControls() {
    if (AnalyserView()) return FAnalyserView->Arrange();
    // The tool bar along the top, the oscilloscope filling the rest, less
    // the readout and status lines at the bottom while they show.
    const int statusHeight = FStatusLine && !FStatusLine->isHidden() ? TStatusLine::Height : 0;
    const int readoutHeight = ReadoutVisible() ? TReadoutLine::Height : 0;
    const int chartsBottom = height() - statusHeight - readoutHeight;
    Panel2->setGeometry(0, 0, width(), ToolBarHeight);
    Chart2->setGeometry(0, ToolBarHeight, width(), chartsBottom - ToolBarHeight);
    if (FReadout) FReadout->setGeometry(0, chartsBottom, width(), readoutHeight);
    if (FStatusLine) FStatusLine->setGeometry(0, height() - statusHeight, width(), statusHeight);
}

}  // namespace wellenschau
