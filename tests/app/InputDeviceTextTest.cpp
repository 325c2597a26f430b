// How --list-devices and the analyser view's chooser show a device.
#include "app/InputDeviceText.h"

#include <gtest/gtest.h>

using namespace wellenschau;

namespace {

struct TLineCase {
    TInputDeviceInfo Device;
    const char* Line;
};

TEST(InputDeviceTextTest, OneLinePerDevice) {
    const TLineCase cases[] = {
        {{0, "default", "", true, false, 0}, "0\tdefault\t(Standard)"},
        {{1, "pulse", "", false, false, 32}, "1\tpulse"},
        {{2, "pipein", "Pipe A", true, false, 1}, "2\tpipein\tPipe A\t(Standard)"},
        {{3, "same", "same", false, false, 2}, "3\tsame"},
        {{4, "speakers.monitor", "Lautsprecher", false, true, 2}, "4\tspeakers.monitor\tMonitor von Lautsprecher"},
        {{5, "bare.monitor", "", false, true, 2}, "5\tbare.monitor\tMonitor von bare.monitor"},
    };
    for (const TLineCase& c : cases) EXPECT_EQ(DeviceListLine(c.Device), QString::fromUtf8(c.Line)) << c.Line;
}

TEST(InputDeviceTextTest, TheListHasALinePerDeviceOrSaysThereIsNone) {
    EXPECT_EQ(DeviceListText({{0, "default", "", true, false, 0}, {1, "pulse", "", false, false, 32}}),
              "0\tdefault\t(Standard)\n1\tpulse\n");
    const QString none = DeviceListText({});
    EXPECT_TRUE(none.startsWith("Keine Eingabegeräte gefunden")) << none.toStdString();
    EXPECT_TRUE(none.contains("Tonserver")) << none.toStdString();
}

}  // namespace
