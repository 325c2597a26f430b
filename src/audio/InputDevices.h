// The sound system's input devices as the program numbers them, for
// choosing one: device 0 is the system's default input, 1, 2, … each
// device that has inputs. Knows nothing of the sound library behind them.
//
// User-interface thread.
#pragma once

#include <string>
#include <vector>

namespace wellenschau {

// One input device as the service numbers them.
struct TInputDeviceInfo {
    int Number;
    std::string Name;
    bool IsDefault;
};

// The input devices of the program's default service (see
// DefaultWaveInService); entry 0 is the default input. Empty when the
// sound system cannot be reached.
std::vector<TInputDeviceInfo> ListPortAudioInputDevices();

}  // namespace wellenschau
