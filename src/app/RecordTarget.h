// The file of --record, checked before anything is opened for writing: a
// recording never destroys the input it plays, a file of the export it
// runs with, or (without --overwrite) any file that is already there, and
// never goes into a pipe. User-interface thread.
#pragma once

#include "CommandLine.h"

#include <QString>

#include <memory>

namespace wellenschau {

class TCaptureRecording;

// Whether anything has the name, a link that leads nowhere included.
bool NameTaken(const QString& path);

// Why the options' recording file must not be written; empty when it may
// (or without --record). The export's folder, if any, is already made.
QString RecordRefusal(const TOptions& options);

// The recording of --record, or nullptr without it; throws
// EWellenschauError with the refusal or the reason it cannot be made.
std::unique_ptr<TCaptureRecording> OpenRecording(const TOptions& options);

}  // namespace wellenschau
