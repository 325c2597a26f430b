#include "AppTestSupport.h"

#include "chart/FastLineSeries.h"

#include <QTranslator>

namespace wellenschau::test {

double LoudestFrequency(const TFastLineSeries& spectrum) {
    int loudest = 0;
    for (int i = 1; i < spectrum.PointCount(); ++i)
        if (spectrum.YValue(i) > spectrum.YValue(loudest)) loudest = i;
    return spectrum.XValue(loudest);
}

TTranslated::TTranslated(TLanguage language) {
    EXPECT_TRUE(InstallTranslations(Application(), language, {WELLENSCHAU_QM_DIR}));
}

TTranslated::~TTranslated() {
    for (QTranslator* translator : Application().findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

TWindowOnSimulatedDevice::TWindowOnSimulatedDevice() : Form(std::make_unique<TForm1>(Device)) {
    ReportedErrors().clear();
}

bool TWindowOnSimulatedDevice::Record(const TSamples& samples) {
    const bool filled = Device.FillNextSamples(Device.LastOpenedHandle(), samples);
    RunPostedEvents();
    return filled;
}

bool TWindowOnSimulatedDevice::Handle(TSamples samples) {
    samples.resize(4096);
    int size = 8192;
    return Form->AudioIn1BufferFilled(reinterpret_cast<char*>(samples.data()), size);
}

TSamples PeakBuffer(std::int16_t peak) {
    TSamples samples(4096, 0);
    samples[0] = peak;
    return samples;
}

}  // namespace wellenschau::test
