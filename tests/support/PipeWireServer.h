// A private PipeWire server with its PulseAudio service, for the real audio
// path on systems that run PipeWire instead of PulseAudio. Four processes in
// a runtime directory of their own: a D-Bus session bus (WirePlumber, the
// session manager that links streams to devices, does not start without
// one, and a root shell in CI has none), pipewire, wireplumber and
// pipewire-pulse. A pipe source reading a FIFO is loaded through the
// PulseAudio service and made the default source, so PortAudio's default
// input (ALSA's pulse plugin) records the bytes written into the FIFO.
// Construction throws when the server does not come up; destruction ends
// the processes.
#pragma once

#include "support/PulseAudioServer.h"

#include <QProcess>
#include <QTemporaryDir>

#include <array>
#include <memory>

namespace wellenschau::test {

class TPipeWireServer : public TSoundServer {
public:
    TPipeWireServer();
    ~TPipeWireServer() override;
    TPipeWireServer(const TPipeWireServer&) = delete;
    TPipeWireServer& operator=(const TPipeWireServer&) = delete;

    QString FifoPath() const override;

private:
    // Starts `program` as the next process and waits until `ready` exists.
    void Launch(std::size_t index, const QString& program, const QStringList& arguments, const QString& ready);
    // What a pactl run gives: whether it succeeded, its command line with
    // its output for messages, and the output alone.
    struct TPactlRun {
        bool Succeeded = false;
        QString Report;
        QString Output;
    };
    // Runs pactl against the PulseAudio service.
    TPactlRun RunPactl(const QStringList& arguments) const;
    // The same; throws when it fails.
    void Pactl(const QStringList& arguments) const;
    // Makes the pipe source the default source once the service accepts
    // it; throws when it does not within 10 s.
    void MakeDefaultSource() const;
    void End();

    QTemporaryDir FDirectory;
    QProcessEnvironment FEnvironment;
    // The bus, pipewire, wireplumber, pipewire-pulse; ended in reverse.
    std::array<std::unique_ptr<QProcess>, 4> FProcesses;
};

}  // namespace wellenschau::test
