// TForm1: Wellenschau's one window. It owns the tool bar, the three charts
// with their series, the spectrogram and legend pictures, the hidden
// palette controls, the audio-input component AudioIn1 and the analysis
// state, and holds the handlers of all of them, the buffer handler
// AudioIn1BufferFilled included. User-interface thread only.
#pragma once

#include "analysis/AnalysisState.h"
#include "analysis/PointSink.h"
#include "analysis/Spectrum.h"

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
class TFastLineSeries;
class TAnalyserView;
class TImageWidget;
class TLevelHistory;
class TReadoutLine;
class TStatusLine;
struct TInputDeviceInfo;
class TWaveInService;

// Gets every buffer after the window's buffer handler has shown it, for
// work beyond the window's own: the WAV file of a recording, the rows of an
// export. Called on the user-interface thread, in the order of
// registration; an exception ends the handler as the handler's own would.
class TBufferObserver {
public:
    virtual void BufferHandled(const char* buffer, int size) = 0;

protected:
    ~TBufferObserver() = default;
};

class TForm1 : public QWidget {
public:
    // Builds the window from its stored layout and runs FormCreate.
    // `waveIn` is the sound service the recordings use; it must outlive
    // the window.
    explicit TForm1(TWaveInService& waveIn);
    ~TForm1() override;

    // Controls and components, in their declaration order. Widgets belong
    // to their Qt parent, series and the analysis state to the window.
    TChartWidget* Chart1;
    std::unique_ptr<TFastLineSeries> SLeft;
    std::unique_ptr<TFastLineSeries> SRight;
    TChartWidget* Chart2;
    std::unique_ptr<TFastLineSeries> FastLineSeries1;
    std::unique_ptr<TFastLineSeries> FastLineSeries2;
    std::unique_ptr<TFastLineSeries> SxAchse;
    TChartWidget* Chart3;
    std::unique_ptr<TFastLineSeries> SyAchse;
    TImageWidget* Image1;
    std::unique_ptr<TFastLineSeries> Series1;
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

    AnalysisState& Analysis() { return *FAnalysis; }
    // Row levels and measurements of the buffers the spectrogram shows.
    const TLevelHistory& History() const { return *FHistory; }

    // With false, the handler leaves the charts marked for repainting
    // instead of painting them at once: for a window that is never shown
    // (the headless export), which paints only the pictures it writes.
    void SetPaintEveryBuffer(bool paint) { FPaintEveryBuffer = paint; }

    // The two arrangements of the window: the plain oscilloscope of the
    // stored layout, and the analyser view (F2 switches).
    void SetAnalyserView(bool on);
    bool AnalyserView() const;
    // The measurement readout line: always in the analyser view; in the
    // plain window only when asked for (F3).
    TReadoutLine* Readout() { return FReadout; }
    bool ReadoutVisible() const;
    void SetReadoutVisible(bool visible);
    // The input devices the analyser view's chooser offers.
    void SetInputDevices(const std::vector<TInputDeviceInfo>& devices);
    // Records from another device; a running recording goes on from it.
    void ChooseInputDevice(int number);
    // Writes what the window shows (pictures, data, the spectrogram's
    // buffers) into folder; SaveView asks for the folder (Ctrl+S).
    void SaveViewTo(const QString& folder);
    void SaveView();

    // Adds an observer of every handled buffer; it must outlive the window
    // or the recording. Registration happens before recording starts.
    void AddBufferObserver(TBufferObserver& observer);

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

    // The line that says why a recording did not start or ended; nullptr
    // until there was something to say.
    TStatusLine* StatusLine() const { return FStatusLine; }

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Hands trace and spectrum points to a chart series.
    class TSeriesSink final : public TPointSink {
    public:
        explicit TSeriesSink(TFastLineSeries& series) : FSeries(series) {}
        void AddPoint(double X, double Y) override;

    private:
        TFastLineSeries& FSeries;
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
    // Paints the spectrogram picture and the two charts that change with
    // every buffer, at once.
    void RepaintPictures();
    // Tells the user about the audio device, in the window (without
    // stopping the message loop) and on standard error.
    void ShowAudioProblem(const QString& text);

    std::unique_ptr<AnalysisState> FAnalysis;
    std::unique_ptr<TSeriesSink> FTracePoints;
    std::unique_ptr<TSeriesSink> FSpectrumPoints;
    TBackgroundCheckCaption FBackgroundCaption{CheckBackground};
    std::vector<TBufferObserver*> FBufferObservers;
    std::unique_ptr<TLevelHistory> FHistory;
    TReadoutLine* FReadout = nullptr;
    std::unique_ptr<TAnalyserView> FAnalyserView;
    bool FPaintEveryBuffer = true;
    TStatusLine* FStatusLine = nullptr;  // made at the first problem
};

}  // namespace wellenschau
