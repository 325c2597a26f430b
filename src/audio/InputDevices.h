// The sound system's input devices as the program numbers them, for
// choosing one: device 0 is the system's default input. Where a
// PulseAudio-compatible sound server runs, 1, 2, … are its capture
// sources, each keeping its number for the life of the process, inputs
// before the monitors of its outputs; without a server they are the sound
// library's devices that have inputs. Knows nothing of the libraries
// behind them.
//
// User-interface thread.
#pragma once

#include <QObject>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wellenschau {

// One input device as the service numbers them.
struct TInputDeviceInfo {
    int Number = 0;
    // What --device takes besides the number: the server's source name, or
    // the sound library's device name.
    std::string Name;
    // The server's description (for a monitor: of the output it monitors);
    // empty where there is none.
    std::string Description;
    bool IsDefault = false;
    // Records what an output of the computer plays.
    bool IsMonitor = false;
    // The source's own channels (0: not known). Recording takes one, or
    // two with two channels.
    int Channels = 0;

    bool operator==(const TInputDeviceInfo&) const = default;
};

// The input devices (see above); entry 0 is the default input. Empty when
// the sound system cannot be reached. Connects to the sound server on
// first use, waiting at most a few seconds for a hung one.
std::vector<TInputDeviceInfo> ListInputDevices();

// Calls `changed` on the user-interface thread each time the sound
// server's sources change (one appears, one goes, the default moves), as
// long as `context` lives.
void WatchInputDevices(QObject& context, std::function<void()> changed);

// The number of the device `text` names: its number or its name.
std::optional<int> FindInputDevice(const std::vector<TInputDeviceInfo>& devices, std::string_view text);

// The list without the entries whose name an earlier entry has already
// (the sound library lists the default input under its own number too).
std::vector<TInputDeviceInfo> WithoutDuplicateNames(const std::vector<TInputDeviceInfo>& devices);

// The channels of the device `number` records from (for the default
// input, those of the default source); 0 when not known.
int InputChannels(const std::vector<TInputDeviceInfo>& devices, int number);

// What to say when there is no input device at all.
std::string NoInputDevicesText();

}  // namespace wellenschau
