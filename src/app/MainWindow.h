// TForm1: Wellenschau's one window. It shows what the instrument owns
// (the three charts, the spectrogram and legend pictures, the analysis)
// and sends the user's settings to it; it holds the tool bar, the hidden
// palette controls, the audio-input component AudioIn1 and the handlers
// of all of them, the buffer handler AudioIn1BufferFilled included, which
// hands every buffer to the instrument. User-interface thread only.
#pragma once

#include "BufferFeed.h"
#include "Instrument.h"

#include <QWidget>

#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QToolButton;

namespace wellenschau {

class TAudioIn;
class TChartWidget;
class TAnalyserView;
class TImageWidget;
class TReadoutLine;
class TStatusLine;
struct TInputDeviceInfo;
class TWaveInService;

class TForm1 : public QWidget {
public:
    // Builds the window from its stored layout and runs FormCreate.
    // `waveIn` is the sound service the recordings use; it must outlive
    // the window.
    explicit TForm1(TWaveInService& waveIn);
    ~TForm1() override;

    // What the window shows and records into.
    TInstrument& Instrument() { return *FInstrument; }

    // Controls and components, in their declaration order. Widgets belong
    // to their Qt parent; the charts and pictures they show to the
    // instrument.
    TChartWidget* Chart1;
    TChartWidget* Chart2;
    TChartWidget* Chart3;
    TImageWidget* Image1;
    TImageWidget* Image2;
    TAudioIn* AudioIn1;
    QWidget* Panel6;
    QWidget* Panel7;
    QWidget* Panel2;
    QToolButton* SBPalette;
    QToolButton* StartButton;
    QToolButton* PauseButton;
    QToolButton* ButtonStore;
    QToolButton* Buttonerase;
    QPlainTextEdit* MemoLut;
    QComboBox* CBLut;
    QCheckBox* CheckBackground;
    QCheckBox* CheckAverage;
    QCheckBox* CheckAutoSkala;
    QCheckBox* CheckBoxfast;
    QCheckBox* CheckBoxColors;

    // The two arrangements of the window: the plain oscilloscope of the
    // stored layout, and the analyser view (F2 switches).
    void SetAnalyserView(bool on);
    bool AnalyserView() const;
    // The analyser view's own parts: band levels, calibration.
    TAnalyserView& Analyser() { return *FAnalyserView; }
    // The measurement readout line: always in the analyser view; in the
    // plain window only when asked for (F3).
    TReadoutLine* Readout() { return FReadout; }
    bool ReadoutVisible() const;
    void SetReadoutVisible(bool visible);
    // Puts the pictures and marks where a view shows them, on screen and in
    // what the instrument saves.
    void PlacePictures(const TPicturePlaces& places);
    // The input devices the analyser view's chooser offers.
    void SetInputDevices(const std::vector<TInputDeviceInfo>& devices);
    // Offers the sound system's input devices in the chooser, and those the
    // sound server adds or removes while the window lives.
    void FollowInputDevices();
    // Records from another device; a running recording goes on from it.
    void ChooseInputDevice(int number);
    // Records one channel, or two (left as channel A, right as channel B);
    // a running recording goes on in the new format.
    void SetChannels(int channels);
    int Channels() const { return FFeed.Channels(); }
    // The channels of the sound file the window plays instead of a device.
    void SetFileChannels(int channels);
    // Writes what the window shows (pictures, data, the spectrogram's
    // buffers) into folder; SaveView asks for the folder (Ctrl+S).
    void SaveViewTo(const QString& folder);
    void SaveView();
    // The last buffer's measurements in the readout (again after a
    // change of how it states levels).
    void ShowMeasurements();
    // The instrument whose buffer the window shows: the live one, or the
    // analyser view's look back while it holds a kept moment.
    TInstrument& ShownInstrument();
    // The shown instrument's last buffer in the readout, the analyser
    // view's lines and band chart, and the spectrogram picture and the
    // charts that change with every buffer painted at once.
    void ShowFigures();
    // Whether saving the view writes the distortion figures too.
    void SetSaveDistortion(bool save) { FSaveDistortion = save; }
    bool SaveDistortion() const { return FSaveDistortion; }

    // Handlers, in their declaration order.
    void StartButtonClick(QObject* Sender);
    bool AudioIn1BufferFilled(char* Buffer, int& Size);
    void FormClose(QObject* Sender);
    void FormCreate(QObject* Sender);
    void LoadPicLutFromMemo(TImageWidget* Image, QPlainTextEdit* Memo, const QString& Name);
    void SBPaletteClick(QObject* Sender);
    void CBLutChange(QObject* Sender);
    void FormShow(QObject* Sender);
    void ButtonstoreClick(QObject* Sender);
    void CheckBackgroundClick(QObject* Sender);
    void CheckAverageClick(QObject* Sender);
    void ButtoneraseClick(QObject* Sender);
    void CheckBoxfastClick(QObject* Sender);
    void CheckBoxColorsClick(QObject* Sender);

    // A close of the device: a recording that ended by itself leaves the
    // window in Idle with the Start button shown, and says why when the
    // device was lost.
    void AudioIn1Stop(QObject* Sender);

    // The line that says why a recording did not start or ended; hidden
    // while there is nothing to say.
    TStatusLine* StatusLine() const { return FStatusLine; }

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Shows every buffer the instrument has analysed.
    class TBufferView final : public TBufferObserver {
    public:
        explicit TBufferView(TForm1& form) : FForm(form) {}
        void BufferHandled(const char*, int) override { FForm.ShowBuffer(); }

    private:
        TForm1& FForm;
    };

    // Sets the caption of CheckBackground when the background is learned.
    class TBackgroundCheckCaption final : public TBackgroundCaption {
    public:
        explicit TBackgroundCheckCaption(QCheckBox*& checkBox) : FCheckBox(checkBox) {}
        void SetCaption(const char* Caption) override;

    private:
        QCheckBox*& FCheckBox;
    };

    void CreateToolBar();
    void CreateViews();
    void CreateCharts();
    void ConnectHandlers();
    void SetTabOrder();
    // The tool bar along the top, the oscilloscope filling the rest.
    void AlignControls();
    // Shows the button of the run state: Pause while recording, else Start.
    void ShowRecording(bool recording);
    // Shows a buffer the instrument handled (ShowFigures) unless the
    // analyser view holds a kept moment, and lets the view follow its
    // history.
    void ShowBuffer();
    // Tells the user about the audio device, in the window (without
    // stopping the message loop) and on standard error.
    void ShowAudioProblem(const QString& text);

    std::unique_ptr<TInstrument> FInstrument;
    TBufferFeed FFeed{*FInstrument};
    TBackgroundCheckCaption FBackgroundCaption{CheckBackground};
    TBufferView FBufferView{*this};
    TReadoutLine* FReadout = nullptr;
    std::unique_ptr<TAnalyserView> FAnalyserView;
    bool FSaveDistortion = false;
    TStatusLine* FStatusLine = nullptr;
};

}  // namespace wellenschau
