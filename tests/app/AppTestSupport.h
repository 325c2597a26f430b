// What the window tests share: the application object, the errors its
// handler reported, and a window recording from a simulated device.
#pragma once

#include "app/Application.h"
#include "app/Language.h"
#include "app/MainWindow.h"
#include "audio/AudioIn.h"
#include "audio/SimulatedWaveIn.h"
#include "support/PipeWireServer.h"
#include "support/PostedEvents.h"
#include "support/PulseAudioServer.h"

#include <QString>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace wellenschau {
class TFastLineSeries;
}

namespace wellenschau::test {

TApplication& Application();
// Messages of the errors that ended a handler, oldest first.
std::vector<QString>& ReportedErrors();

// The program's translations for a language, installed from the build tree
// as the program installs them, for the life of this object.
class TTranslated {
public:
    explicit TTranslated(TLanguage language);
    ~TTranslated();
    TTranslated(const TTranslated&) = delete;
    TTranslated& operator=(const TTranslated&) = delete;
};

// Samples of one recorded buffer.
using TSamples = std::vector<std::int16_t>;

// A buffer of 4096 samples, silent but for `peak` at its start, where the
// trigger finds it when it is positive.
TSamples PeakBuffer(std::int16_t peak);

// Frequency of the loudest spectrum point.
double LoudestFrequency(const TFastLineSeries& spectrum);

// The sound servers a desktop may run: PulseAudio, and PipeWire with its
// PulseAudio service; tests over them take ServerKinds as parameters.
struct TServerKind {
    const char* Name;
    std::unique_ptr<TSoundServer> (*Make)();
};

template <class TServer>
std::unique_ptr<TSoundServer> MakeServer() {
    return std::make_unique<TServer>();
}

inline const TServerKind ServerKinds[] = {{"PulseAudio", MakeServer<TPulseAudioServer>},
                                          {"PipeWire", MakeServer<TPipeWireServer>}};

inline std::string ServerKindName(const ::testing::TestParamInfo<TServerKind>& info) { return info.param.Name; }

// A window on a simulated sound device.
struct TWindowOnSimulatedDevice {
    TWindowOnSimulatedDevice();

    // Fills the next queued buffer and runs the posted notifications.
    bool Record(const TSamples& samples);
    // Runs the handler directly on one buffer of 4096 samples.
    bool Handle(TSamples samples);

    TSimulatedWaveIn Device;
    std::unique_ptr<TForm1> Form;
};

}  // namespace wellenschau::test
