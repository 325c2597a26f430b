// TWakeSignal: wakes the user-interface thread from a real-time thread
// without allocating and without any lock: Signal adds one to an eventfd
// counter, and a socket notifier of the user-interface thread's event loop
// runs the handler once for all signals since its last run.
//
// Construct, Stop and the handler: the user-interface thread. Signal: any
// thread. Destruction: any thread once Stop has been called (a device may be
// let go on a background thread), otherwise the user-interface thread.
#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace wellenschau {

class TWakeSignal {
public:
    explicit TWakeSignal(std::function<void()> handler);
    ~TWakeSignal();
    TWakeSignal(const TWakeSignal&) = delete;
    TWakeSignal& operator=(const TWakeSignal&) = delete;

    // False when the system gave no eventfd (too many open files).
    bool Valid() const { return FNotifier != nullptr; }
    // Any thread; one system call, never blocks.
    void Signal() const;
    // No handler runs from now on; later signals are harmless.
    void Stop();

private:
    // The notifier's slot: empties the counter and runs the handler.
    void Woken();

    int FFile = -1;
    std::function<void()> FHandler;
    std::unique_ptr<QSocketNotifier> FNotifier;
};

}  // namespace wellenschau
