// SIGINT, SIGTERM and SIGHUP as events: the handler only writes the
// signal's number into a pipe (async-signal-safe); a socket notifier reads
// it on the user-interface thread, which then stops in order (the
// recording finished and closed, the summary printed) and ends with
// 128 + the signal's number. A second signal of the same kind ends the
// program at once, as if it were not handled.
// User-interface thread only; one object at a time.
#pragma once

#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace wellenschau {

class TStopSignals {
public:
    // Called on the user-interface thread with the signal's number.
    using TOnSignal = std::function<void(int signal)>;

    explicit TStopSignals(TOnSignal onSignal = {});
    // Puts the previous handlers back.
    ~TStopSignals();
    TStopSignals(const TStopSignals&) = delete;
    TStopSignals& operator=(const TStopSignals&) = delete;

    // The first signal received, 0 before.
    int Received() const { return FReceived; }
    // The exit status after that signal: 128 + its number.
    int ExitStatus() const;

private:
    void ReadSignal();

    TOnSignal FOnSignal;
    int FPipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> FNotifier;
    int FReceived = 0;
};

}  // namespace wellenschau
