#include "StopSignals.h"

#include "ExitStatus.h"
#include "core/Errors.h"

#include <QCoreApplication>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>

namespace wellenschau {

namespace {

constexpr std::array StopSignalNumbers = {SIGINT, SIGTERM, SIGHUP};

// The pipe's writing end for the handler; -1 while no object listens.
volatile std::sig_atomic_t WriteEnd = -1;
std::array<struct sigaction, StopSignalNumbers.size()> Previous{};

extern "C" void OnStopSignal(int signal) {
    const int savedErrno = errno;
    const auto number = static_cast<unsigned char>(signal);
    // A full pipe already holds a signal; that one is enough.
    [[maybe_unused]] const ssize_t written = ::write(WriteEnd, &number, 1);
    errno = savedErrno;
}

}  // namespace

TStopSignals::TStopSignals(TOnSignal onSignal) : FOnSignal(std::move(onSignal)) {
    if (::pipe2(FPipe, O_CLOEXEC | O_NONBLOCK) != 0) 
        throw EWellenschauError(
            QCoreApplication::translate("TStopSignals", "Die Signalbehandlung lässt sich nicht einrichten.")
                .toStdString());
    WriteEnd = FPipe[1];
    FNotifier = std::make_unique<QSocketNotifier>(FPipe[0], QSocketNotifier::Read);
    QObject::connect(FNotifier.get(), &QSocketNotifier::activated, [this] { ReadSignal(); });
    struct sigaction action {};
    action.sa_handler = &OnStopSignal;
    sigemptyset(&action.sa_mask);
    // Once handled, the next one of the kind takes its default action.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (std::size_t i = 0; i < StopSignalNumbers.size(); ++i)
        ::sigaction(StopSignalNumbers[i], &action, &Previous[i]);
}

TStopSignals::~TStopSignals() {
    for (std::size_t i = 0; i < StopSignalNumbers.size(); ++i)
        ::sigaction(StopSignalNumbers[i], &Previous[i], nullptr);
    WriteEnd = -1;
    FNotifier.reset();
    ::close(FPipe[0]);
    ::close(FPipe[1]);
}

int TStopSignals::ExitStatus() const { return ExitSignalBase + FReceived; }

void TStopSignals::ReadSignal() {
    unsigned char number = 0;
    while (::read(FPipe[0], &number, 1) == 1) {
        if (FReceived != 0) continue;
        FReceived = number;
        if (FOnSignal) FOnSignal(FReceived);
    }
}

}  // namespace wellenschau
