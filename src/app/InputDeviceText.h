// How the program shows an input device, the same in --list-devices and in
// the analyser view's chooser: the server's description where there is
// one, a monitor as the monitor of its output, the default marked.
#pragma once

#include "audio/InputDevices.h"

#include <QString>

#include <vector>

namespace wellenschau {

// What the user reads for the device: "Monitor von …" for a monitor, the
// description, or the name where there is no description.
QString DeviceDescription(const TInputDeviceInfo& device);

// One line of the device list: number, name, the description where it
// says more than the name, and "(Standard)" at the default, tab-separated.
QString DeviceListLine(const TInputDeviceInfo& device);

// The whole list, a line per device; the reason when there is none.
QString DeviceListText(const std::vector<TInputDeviceInfo>& devices);

}  // namespace wellenschau
