// The English window shows no German: every text a user can read in the
// plain window, the analyser view with its band panel and the calibration
// dialog (captions, tool tips, titles, list entries, the status and readout
// lines, the charts' axis titles) is neither a German text of the
// translation file nor has German letters.
#include "AppTestSupport.h"
#include "app/AnalyserView.h"
#include "app/CalibrationDialog.h"
#include "chart/ChartWidget.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QToolButton>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

struct TEntry {
    QString Source, Translation;
};

std::vector<TEntry> TranslationEntries() {
    QFile file(WELLENSCHAU_TS_FILE);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    std::vector<TEntry> entries;
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (xml.name() == QLatin1String("source")) entries.push_back({xml.readElementText(), {}});
        if (xml.name() == QLatin1String("translation")) entries.back().Translation = xml.readElementText();
    }
    return entries;
}

// The German pieces of the translation file a user could read: the texts
// between place holders, where they differ from every English text.
QStringList GermanPieces() {
    const std::vector<TEntry> entries = TranslationEntries();
    QStringList pieces;
    for (const TEntry& entry : entries)
        for (QString piece : entry.Source.split(QRegularExpression("%\\d"))) {
            piece = piece.remove('&').trimmed();
            const bool english = std::any_of(entries.begin(), entries.end(), [&](const TEntry& other) {
                return QString(other.Translation).remove('&').contains(piece);
            });
            if (piece.size() >= 4 && piece.contains(QRegularExpression("[a-zA-Z]")) && !english) pieces << piece;
        }
    return pieces;
}

// Every text the widgets under `top` show.
QStringList ShownTexts(QWidget& top) {
    QList<QWidget*> widgets = top.findChildren<QWidget*>();
    widgets << &top;
    QStringList texts;
    for (QWidget* widget : widgets) {
        texts << widget->toolTip() << widget->windowTitle();
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) texts << button->text();
        if (auto* label = qobject_cast<QLabel*>(widget)) texts << label->text();
        if (auto* group = qobject_cast<QGroupBox*>(widget)) texts << group->title();
        if (auto* spin = qobject_cast<QSpinBox*>(widget)) texts << spin->prefix() << spin->suffix();
        if (auto* spin = qobject_cast<QDoubleSpinBox*>(widget)) texts << spin->prefix() << spin->suffix();
        if (auto* combo = qobject_cast<QComboBox*>(widget))
            for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
        if (auto* chart = dynamic_cast<TChartWidget*>(widget))
            for (TChartAxis* axis : {&chart->Chart().LeftAxis(), &chart->Chart().BottomAxis(),
                                     &chart->Chart().TopAxis(), &chart->Chart().RightAxis()})
                texts << axis->Title().Caption();
    }
    return texts;
}

void ExpectNoGerman(QWidget& top, const QString& where) {
    static const QStringList german = GermanPieces();
    static const QRegularExpression germanLetters("[äöüßÄÖÜ]");
    for (const QString& text : ShownTexts(top)) {
        EXPECT_FALSE(text.contains(germanLetters)) << where.toStdString() << ": " << text.toStdString();
        for (const QString& piece : german)
            EXPECT_FALSE(text.contains(piece)) << where.toStdString() << ": " << text.toStdString();
    }
}

TEST(EnglishWindowTest, ShowsNoGerman) {
    const TTranslated english(TLanguage::English);
    TWindowOnSimulatedDevice w;
    w.Form->show();
    w.Form->SetReadoutVisible(true);
    w.Form->StartButton->click();
    ASSERT_TRUE(w.Record(PeakBuffer(16000)));
    ExpectNoGerman(*w.Form, "plain window");

    w.Form->SetAnalyserView(true);
    ASSERT_TRUE(w.Record(PeakBuffer(16000)));
    ExpectNoGerman(*w.Form, "analyser view");
    // A calibration is stored under the same name in every language.
    EXPECT_TRUE(w.Form->Analyser().DeviceName().startsWith("Eingang "))
        << w.Form->Analyser().DeviceName().toStdString();
    TCalibrationDialog* dialog = w.Form->Analyser().OpenCalibrationDialog();
    dialog->MeasureCalibrator->click();  // silence: a message
    ExpectNoGerman(*dialog, "calibration dialog");
    dialog->reject();

    w.Form->PauseButton->click();
    w.Device.FailNext(TWaveInCall::Open, 2);
    w.Form->StartButton->click();  // a start that fails: the status line
    ExpectNoGerman(*w.Form, "status line");
}

// The fixed message of an error raised where Qt is not at hand reaches the
// user in English too.
TEST(EnglishWindowTest, TheErrorHandlerSpeaksEnglish) {
    const TTranslated english(TLanguage::English);
    TWindowOnSimulatedDevice w;
    w.Form->AudioIn1->SetBufferSize(4096);  // buffers too short for a trace: a range error
    w.Form->StartButton->click();
    w.Record(PeakBuffer(100));
    ASSERT_EQ(ReportedErrors().size(), 1u);
    EXPECT_EQ(ReportedErrors()[0], "Range check error");
}

}  // namespace
