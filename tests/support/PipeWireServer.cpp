#include "support/PipeWireServer.h"

#include <stdexcept>

namespace wellenschau::test {

namespace {

constexpr int PactlTimeoutMs = 10000;

}  // namespace

TPipeWireServer::TPipeWireServer() : FDirectory("/tmp/wellenschau-pipewire-XXXXXX") {
    if (!FDirectory.isValid()) throw std::runtime_error("no temporary directory for the PipeWire server");
    const QString bus = FDirectory.filePath("bus");
    FEnvironment = ServerEnvironment(FDirectory.path());
    FEnvironment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + bus);
    FEnvironment.insert("PULSE_SERVER", "unix:" + FDirectory.filePath("pulse/native"));
    try {
        Launch(0, "dbus-daemon", {"--session", "--nofork", "--nopidfile", "--address=unix:path=" + bus}, bus);
        Launch(1, "pipewire", {}, FDirectory.filePath("pipewire-0"));
        Launch(2, "wireplumber", {}, QString());
        Launch(3, "pipewire-pulse", {}, FDirectory.filePath("pulse/native"));
        Pactl({"load-module", "module-pipe-source", "source_name=scopein", "file=" + FifoPath(), "format=s16le",
               "rate=44100", "channels=1"});
        Pactl({"set-default-source", "scopein"});
        WaitForFiles({FifoPath()}, *FProcesses[3], "pipewire-pulse");
    } catch (...) {
        End();
        throw;
    }
    UseSoundServer(FDirectory.filePath("pulse/native"), FDirectory.path());
}

TPipeWireServer::~TPipeWireServer() { End(); }

QString TPipeWireServer::FifoPath() const { return FDirectory.filePath("scopein"); }

void TPipeWireServer::Launch(std::size_t index, const QString& program, const QStringList& arguments,
                             const QString& ready) {
    FProcesses[index] = std::make_unique<QProcess>();
    StartProcess(*FProcesses[index], FEnvironment, program, arguments);
    if (!ready.isEmpty()) WaitForFiles({ready}, *FProcesses[index], qPrintable(program));
}

void TPipeWireServer::Pactl(const QStringList& arguments) const {
    QProcess pactl;
    StartProcess(pactl, FEnvironment, "pactl", arguments);
    if (!pactl.waitForFinished(PactlTimeoutMs) || pactl.exitCode() != 0)
        throw std::runtime_error("pactl " + arguments.join(' ').toStdString() + ": " + pactl.readAll().toStdString());
}

void TPipeWireServer::End() {
    for (auto process = FProcesses.rbegin(); process != FProcesses.rend(); ++process)
        if (*process) EndProcess(**process);
}

}  // namespace wellenschau::test
