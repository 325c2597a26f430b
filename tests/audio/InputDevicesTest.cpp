// Choosing an input device: by number or name, the sound library's list
// without duplicates, and the sound server's sources numbered for good,
// inputs before monitors. No sound system is needed.
#include "audio/InputDevices.h"
#include "audio/ServerSources.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace wellenschau;

namespace {

const std::vector<TInputDeviceInfo> ServerDevices{
    {0, "default", "", true, false, 0},
    {1, "pipein", "Pipe A", false, false, 1},
    {2, "usb.analog-stereo", "USB Audio CODEC", true, false, 2},
    {3, "speakers.monitor", "Lautsprecher", false, true, 2},
};

struct TFindCase {
    const char* Text;
    std::optional<int> Number;
};

TEST(InputDevicesTest, FindsADeviceByNumberOrName) {
    const TFindCase cases[] = {
        {"0", 0},           {"3", 3},          {"pipein", 1},   {"usb.analog-stereo", 2}, {"speakers.monitor", 3},
        {"4", std::nullopt}, {"", std::nullopt}, {"1x", std::nullopt}, {" 1", std::nullopt}, {"Pipe A", std::nullopt},
        {"PIPEIN", std::nullopt},
    };
    for (const TFindCase& c : cases) EXPECT_EQ(FindInputDevice(ServerDevices, c.Text), c.Number) << c.Text;
}

TEST(InputDevicesTest, TheSoundLibrarysListKeepsEachNameOnce) {
    const std::vector<TInputDeviceInfo> listed{
        {0, "default", "", true, false, 0}, {1, "pulse", "", false, false, 32},
        {2, "default", "", true, false, 32}, {3, "hw:CARD=USB", "", false, false, 2},
    };
    const std::vector<TInputDeviceInfo> distinct = WithoutDuplicateNames(listed);
    ASSERT_EQ(distinct.size(), 3u);
    EXPECT_EQ(distinct[0], listed[0]);
    EXPECT_EQ(distinct[1], listed[1]);
    EXPECT_EQ(distinct[2], listed[3]);
}

TEST(InputDevicesTest, SourcesKeepTheirNumbersAndMonitorsComeLast) {
    const std::vector<std::pair<std::uint32_t, std::string>> outputs{{5, "Lautsprecher"}, {6, "HDMI"}};
    TSourceNumbers numbers;
    // What the server lists, then after a source went and another came.
    const std::vector<TServerSource> first{
        {"speakers.monitor", "Monitor of Lautsprecher", 5u, 2}, {"pipein", "Pipe A", std::nullopt, 1},
        {"usb", "USB Audio CODEC", std::nullopt, 2}};
    const std::vector<TServerSource> later{
        {"usb", "USB Audio CODEC", std::nullopt, 2}, {"hdmi.monitor", "Monitor of HDMI", 6u, 2},
        {"speakers.monitor", "Monitor of Lautsprecher", 5u, 2}, {"orphan.monitor", "Monitor of Gone", 9u, 1},
        {"pipein", "Pipe A", std::nullopt, 1}};
    const std::vector<TInputDeviceInfo> expectedFirst{
        {2, "pipein", "Pipe A", false, false, 1},
        {3, "usb", "USB Audio CODEC", true, false, 2},
        {1, "speakers.monitor", "Lautsprecher", false, true, 2},
    };
    const std::vector<TInputDeviceInfo> expectedLater{
        {2, "pipein", "Pipe A", true, false, 1},
        {3, "usb", "USB Audio CODEC", false, false, 2},
        {1, "speakers.monitor", "Lautsprecher", false, true, 2},
        {4, "hdmi.monitor", "HDMI", false, true, 2},
        {5, "orphan.monitor", "Monitor of Gone", false, true, 1},
    };
    EXPECT_EQ(SourceDevices(first, "usb", outputs, numbers), expectedFirst);
    EXPECT_EQ(SourceDevices(later, "pipein", outputs, numbers), expectedLater);
    EXPECT_EQ(numbers.NameOf(4), "hdmi.monitor");
    EXPECT_EQ(numbers.NameOf(0), std::nullopt);
    EXPECT_EQ(numbers.NameOf(6), std::nullopt);
}

}  // namespace
