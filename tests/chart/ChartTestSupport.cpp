#include "ChartTestSupport.h"
#include "support/AllocationCounter.h"
#include "support/OffscreenPlatform.h"

#include <QApplication>
#include <QLocale>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace wellenschau::test {

namespace {

// Widgets and fonts need an application object; number labels a fixed locale.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        UseOffscreenPlatformUnlessChosen();
        FApp = std::make_unique<QApplication>(FArgc, FArgv);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override { FApp.reset(); }

private:
    int FArgc = 1;
    char FName[16] = "test_chart";
    char* FArgv[2] = {FName, nullptr};
    std::unique_ptr<QApplication> FApp;
};

[[maybe_unused]] ::testing::Environment* const Environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

std::optional<QRgb> LogicalPixelAt(const QImage& image, int x, int y) {
    const int ratio = static_cast<int>(image.devicePixelRatio());
    const QRgb colour = PixelAt(image, x * ratio, y * ratio);
    for (int dy = 0; dy < ratio; ++dy)
        for (int dx = 0; dx < ratio; ++dx)
            if (PixelAt(image, x * ratio + dx, y * ratio + dy) != colour) return std::nullopt;
    return colour;
}

void FillTrace(TFastLineSeries& series, int count) {
    series.ClearPoints();
    for (int i = 0; i < count; ++i) series.AddPoint(i / 44.1, 60.0 * std::sin(i * 0.0627));
}

int RepaintAllocations(TChart& chart, TFastLineSeries& trace, std::initializer_list<int> counts) {
    const auto buffer = [&](int count) {
        FillTrace(trace, count);
        chart.Paint();
    };
    buffer(1803);
    buffer(1803);
    return CountAllocations([&] {
        for (const int count : counts) buffer(count);
    });
}

QStringList DrawnTexts(const TCustomChartAxis& axis) {
    QStringList texts;
    for (const TAxisLabel& label : axis.DrawnLabels()) texts << label.Text;
    return texts;
}

}  // namespace wellenschau::test
