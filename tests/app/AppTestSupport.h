// What the window tests share: the application object, the errors its
// handler reported, and a window recording from a simulated device.
#pragma once

#include "app/Application.h"
#include "app/MainWindow.h"
#include "audio/AudioIn.h"
#include "audio/SimulatedWaveIn.h"
#include "support/PostedEvents.h"

#include <QString>
#include <QStringList>

#include <sys/resource.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace wellenschau::test {

TApplication& Application();
// Messages of the errors that ended a handler, oldest first.
std::vector<QString>& ReportedErrors();

// Samples of one recorded buffer.
using TSamples = std::vector<std::int16_t>;

// A buffer of 4096 samples, silent but for `peak` at its start, where the
// trigger finds it when it is positive.
TSamples PeakBuffer(std::int16_t peak);

// What the program gave when it was run.
struct TRun {
    int ExitCode;
    QString Errors;
};

// Runs the program itself, as a user would; fileSizeLimit > 0 makes every
// write past that many bytes fail as on a full disk.
TRun RunProgram(const QStringList& arguments, rlim_t fileSizeLimit = 0);

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
