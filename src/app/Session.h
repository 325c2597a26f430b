// How the program runs for a set of command-line options: the window, the
// device list, or the headless export. Each returns the process's exit
// status and reports bad input on standard error.
#pragma once

#include "CommandLine.h"

#include <functional>

namespace wellenschau {

class TApplication;

// Runs `run` and returns its exit status; an exception that ends it (the
// program's own errors, too little memory, anything else) is told on
// standard error and gives ExitError instead.
int RunReportingErrors(const std::function<int()>& run);

// The oscilloscope window, recording from a sound card or playing a file.
int RunWindow(TApplication& application, const TOptions& options);

// Prints the input devices: number, name, and a mark at the default.
int ListDevices();

// What is told to the user along the way: warnings, a stop by a signal.
using TReport = std::function<void(const QString& message)>;

// Plays the input file through the instrument as fast as possible, without
// a window, and writes pictures and data; errors on standard error.
int RunExport(TApplication& application, const TOptions& options);

// The work of RunExport, also inside the window: throws EWellenschauError
// with the message of what failed (nothing of the export is then in
// place); warnings go to `report`. With stopOnSignals, SIGINT, SIGTERM and
// SIGHUP stop it (see TStopSignals, one at a time). Returns the exit
// status: ExitSuccess, ExitInputShort, or 128 + a signal.
int ExportFile(TApplication& application, const TOptions& options, bool stopOnSignals, const TReport& report);

}  // namespace wellenschau
