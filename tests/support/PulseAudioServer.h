// A private PulseAudio server for tests of the real audio path. Its only
// capture source reads a FIFO and is the default source, so that PortAudio's
// default input (ALSA's pulse plugin) records exactly the bytes written into
// the FIFO. The server runs in its own runtime directory with its own ALSA
// configuration; the test process is pointed at both. Construction throws
// when the server does not come up in time; destruction ends it.
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

namespace wellenschau::test {

// A private sound server whose default source records a FIFO.
class TSoundServer {
public:
    virtual ~TSoundServer() = default;
    // The FIFO behind the default source: 16-bit at 44100 Hz, mono unless
    // the server was made with two channels (then interleaved frames).
    virtual QString FifoPath() const = 0;
};

// The environment of a server process whose files stay in `directory`.
QProcessEnvironment ServerEnvironment(const QString& directory);
// Points this process at a server: libpulse at `socket`, ALSA's default
// device at the pulse plugin (configured by a file in `directory`), JACK
// off. Called before PortAudio starts.
void UseSoundServer(const QString& socket, const QString& directory);
// Starts `program` in `environment`, its output merged; throws when it
// does not start.
void StartProcess(QProcess& process, const QProcessEnvironment& environment, const QString& program,
                  const QStringList& arguments);
// Ends a server process: politely first, then by force.
void EndProcess(QProcess& process);
// Asks `done` every 20 ms until it holds or `timeoutMs` have passed;
// returns its last answer.
bool PollUntil(int timeoutMs, const std::function<bool()>& done);
// Waits until every path exists while `process` runs; throws otherwise.
void WaitForFiles(const QStringList& paths, QProcess& process, const char* name);
// Runs pactl against the server UseSoundServer pointed this process at;
// its output, trimmed. Throws when it fails.
QString Pactl(const QStringList& arguments);

class TPulseAudioServer : public TSoundServer {
public:
    // `channels`: of the FIFO source, 1 or 2.
    explicit TPulseAudioServer(int channels = 1);
    ~TPulseAudioServer() override;
    TPulseAudioServer(const TPulseAudioServer&) = delete;
    TPulseAudioServer& operator=(const TPulseAudioServer&) = delete;

    QString FifoPath() const override;

    // Ends the server at once (SIGKILL), as a crashed sound server ends.
    void Kill();
    // Starts the server again with the same socket and FIFO paths, so that
    // clients find it where they found the first one.
    void Restart();

private:
    void Launch();
    void WriteConfiguration() const;

    int FChannels;
    QTemporaryDir FDirectory;
    QProcess FServer;
};

// Writes samples into the FIFO at real-time pace, 44100 frames of
// `channels` samples per second, on its own thread until destroyed: sample
// i of the (interleaved) stream is sampleAt(i).
class TSampleFeeder {
public:
    using TSampleAt = std::function<std::int16_t(std::int64_t index)>;

    TSampleFeeder(const QString& fifoPath, TSampleAt sampleAt, int channels = 1);
    ~TSampleFeeder();
    TSampleFeeder(const TSampleFeeder&) = delete;
    TSampleFeeder& operator=(const TSampleFeeder&) = delete;

private:
    void Run();

    int FFifo;
    TSampleAt FSampleAt;
    int FChannels;
    std::atomic<bool> FRunning{true};
    std::thread FThread;
};

}  // namespace wellenschau::test
