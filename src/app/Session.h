// How the program runs for a set of command-line options: the window, the
// device list, or the headless export. Each returns the process's exit
// status and reports bad input on standard error.
#pragma once

#include "CommandLine.h"

namespace wellenschau {

class TApplication;

// The oscilloscope window, recording from a sound card or playing a file.
int RunWindow(TApplication& application, const TOptions& options);

// Prints the input devices: number, name, and a mark at the default.
int ListDevices();

// Plays the input file through the instrument as fast as possible, without
// a window, and writes pictures and data.
int RunExport(TApplication& application, const TOptions& options);

}  // namespace wellenschau
