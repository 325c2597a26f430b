#include "audio/InputDevices.h"

#include "audio/PortAudioWaveIn.h"
#include "audio/ServerSources.h"

#include <QCoreApplication>

#include <algorithm>
#include <charconv>

namespace wellenschau {

namespace {

// Entry 0 where a server runs: the system's default input, whichever
// source the server makes the default.
const TInputDeviceInfo SystemDefault{0, "default", {}, true, false, 0};

}  // namespace

std::vector<TInputDeviceInfo> ListInputDevices() {
    if (!ServerSources().Connect()) return WithoutDuplicateNames(ListPortAudioInputDevices());
    std::vector<TInputDeviceInfo> devices{SystemDefault};
    for (TInputDeviceInfo& source : ServerSources().Devices()) devices.push_back(std::move(source));
    return devices;
}

void WatchInputDevices(QObject& context, std::function<void()> changed) {
    ServerSources().Watch(context, std::move(changed));
}

std::optional<int> FindInputDevice(const std::vector<TInputDeviceInfo>& devices, std::string_view text) {
    int number = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    const bool isNumber = error == std::errc{} && end == text.data() + text.size();
    const auto found = std::find_if(devices.begin(), devices.end(), [&](const TInputDeviceInfo& device) {
        return isNumber ? device.Number == number : device.Name == text;
    });
    if (found == devices.end()) return std::nullopt;
    return found->Number;
}

std::vector<TInputDeviceInfo> WithoutDuplicateNames(const std::vector<TInputDeviceInfo>& devices) {
    std::vector<TInputDeviceInfo> distinct;
    for (const TInputDeviceInfo& device : devices) {
        const bool seen = std::any_of(distinct.begin(), distinct.end(),
                                      [&](const TInputDeviceInfo& earlier) { return earlier.Name == device.Name; });
        if (!seen) distinct.push_back(device);
    }
    return distinct;
}

int InputChannels(const std::vector<TInputDeviceInfo>& devices, int number) {
    for (const TInputDeviceInfo& device : devices)
        if (device.Number == number && device.Channels > 0) return device.Channels;
    if (number != 0) return 0;
    // The server's default input stands for whichever source is its default.
    for (const TInputDeviceInfo& device : devices)
        if (device.IsDefault && device.Channels > 0) return device.Channels;
    return 0;
}

std::string NoInputDevicesText() {
    return QCoreApplication::translate("InputDevices",
                                       "Keine Eingabegeräte gefunden. Läuft ein Tonserver (PulseAudio oder PipeWire)?")
        .toStdString();
}

}  // namespace wellenschau
