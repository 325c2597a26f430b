#include "support/PipeWireServer.h"

#include <stdexcept>

namespace wellenschau::test {

namespace {

constexpr int PactlTimeoutMs = 10000;
constexpr int DefaultSourceTimeoutMs = 10000;
const QString SourceName = QStringLiteral("scopein");

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
        Pactl({"load-module", "module-pipe-source", "source_name=" + SourceName, "file=" + FifoPath(),
               "format=s16le", "rate=44100", "channels=1"});
        MakeDefaultSource();
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

TPipeWireServer::TPactlRun TPipeWireServer::RunPactl(const QStringList& arguments) const {
    QProcess pactl;
    StartProcess(pactl, FEnvironment, "pactl", arguments);
    const bool finished = pactl.waitForFinished(PactlTimeoutMs);
    const QString output = QString::fromLocal8Bit(pactl.readAll()).trimmed();
    return {finished && pactl.exitCode() == 0, "pactl " + arguments.join(' ') + ": " + output, output};
}

void TPipeWireServer::Pactl(const QStringList& arguments) const {
    const TPactlRun run = RunPactl(arguments);
    if (!run.Succeeded) throw std::runtime_error(run.Report.toStdString());
}

// pipewire-pulse answers load-module before it will take the new source as
// the default: until then set-default-source fails ("Not supported"), and a
// busy machine makes that last long enough to matter. So it is tried again
// until the service names the pipe source as its default.
void TPipeWireServer::MakeDefaultSource() const {
    TPactlRun last;
    const bool made = PollUntil(DefaultSourceTimeoutMs, [&] {
        last = RunPactl({"set-default-source", SourceName});
        if (!last.Succeeded) return false;
        last = RunPactl({"get-default-source"});
        return last.Succeeded && last.Output == SourceName;
    });
    if (!made)
        throw std::runtime_error(QString("the pipe source %1 is not the default source after %2 s; last: %3")
                                     .arg(SourceName)
                                     .arg(DefaultSourceTimeoutMs / 1000)
                                     .arg(last.Report)
                                     .toStdString());
}

void TPipeWireServer::End() {
    for (auto process = FProcesses.rbegin(); process != FProcesses.rend(); ++process)
        if (*process) EndProcess(**process);
}

}  // namespace wellenschau::test
