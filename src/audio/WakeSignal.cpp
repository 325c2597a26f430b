#include "audio/WakeSignal.h"

#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace wellenschau {

TWakeSignal::TWakeSignal(std::function<void()> handler)
    : FFile(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)), FHandler(std::move(handler)) {
    if (FFile < 0) return;
    FNotifier = std::make_unique<QSocketNotifier>(FFile, QSocketNotifier::Read);
    QObject::connect(FNotifier.get(), &QSocketNotifier::activated, [this] { Woken(); });
}

TWakeSignal::~TWakeSignal() {
    FNotifier.reset();
    if (FFile >= 0) ::close(FFile);
}

void TWakeSignal::Signal() const {
    const std::uint64_t one = 1;
    // Only a counter at its maximum refuses, and then a wake-up is pending
    // anyway.
    [[maybe_unused]] const ssize_t written = ::write(FFile, &one, sizeof one);
}

void TWakeSignal::Stop() { FNotifier.reset(); }

void TWakeSignal::Woken() {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(FFile, &count, sizeof count);
    FHandler();
}

}  // namespace wellenschau
