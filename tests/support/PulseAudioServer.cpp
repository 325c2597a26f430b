#include "support/PulseAudioServer.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <stdexcept>

namespace wellenschau::test {

namespace {

constexpr int SampleRate = 44100;
constexpr int StartupTimeoutMs = 10000;
constexpr int ShutdownTimeoutMs = 3000;

void WriteFile(const QString& path, const QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) throw std::runtime_error("cannot write " + path.toStdString());
    file.write(text.toUtf8());
}

}  // namespace

QProcessEnvironment ServerEnvironment(const QString& directory) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Cookie, runtime files and the socket stay inside the directory.
    environment.insert("HOME", directory);
    environment.insert("XDG_RUNTIME_DIR", directory);
    environment.insert("XDG_CONFIG_HOME", directory + "/config");
    environment.insert("XDG_STATE_HOME", directory + "/state");
    // Libraries preloaded into the test (a sanitizer runtime) stay out.
    environment.remove("LD_PRELOAD");
    return environment;
}

void UseSoundServer(const QString& socket, const QString& directory) {
    WriteFile(directory + "/asound.conf",
              "pcm.!default { type pulse }\n"
              "ctl.!default { type pulse }\n");
    qputenv("PULSE_SERVER", ("unix:" + socket).toUtf8());
    qputenv("ALSA_CONFIG_PATH", ("/usr/share/alsa/alsa.conf:" + directory + "/asound.conf").toUtf8());
    qputenv("JACK_NO_START_SERVER", "1");
}

void StartProcess(QProcess& process, const QProcessEnvironment& environment, const QString& program,
                  const QStringList& arguments) {
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(StartupTimeoutMs)) throw std::runtime_error(program.toStdString() + " does not start");
}

void EndProcess(QProcess& process) {
    if (process.state() == QProcess::NotRunning) return;
    process.terminate();
    if (!process.waitForFinished(ShutdownTimeoutMs)) {
        process.kill();
        process.waitForFinished(ShutdownTimeoutMs);
    }
}

bool PollUntil(int timeoutMs, const std::function<bool()>& done) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QThread::msleep(20);
    }
    return true;
}

void WaitForFiles(const QStringList& paths, QProcess& process, const char* name) {
    const auto present = [&paths] {
        return std::all_of(paths.begin(), paths.end(), [](const QString& path) { return QFileInfo::exists(path); });
    };
    PollUntil(StartupTimeoutMs, [&] { return present() || process.state() != QProcess::Running; });
    if (present()) return;
    process.waitForReadyRead(100);
    throw std::runtime_error(std::string(name) + " is not ready: " + process.readAll().toStdString());
}

QString Pactl(const QStringList& arguments) {
    QProcess pactl;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("LD_PRELOAD");
    StartProcess(pactl, environment, "pactl", arguments);
    const bool finished = pactl.waitForFinished(StartupTimeoutMs);
    const QString output = QString::fromLocal8Bit(pactl.readAll()).trimmed();
    if (!finished || pactl.exitCode() != 0)
        throw std::runtime_error(("pactl " + arguments.join(' ') + ": " + output).toStdString());
    return output;
}

TPulseAudioServer::TPulseAudioServer(int channels) : FChannels(channels), FDirectory("/tmp/wellenschau-pulse-XXXXXX") {
    if (!FDirectory.isValid()) throw std::runtime_error("no temporary directory for the PulseAudio server");
    WriteConfiguration();
    Launch();
    UseSoundServer(FDirectory.filePath("native"), FDirectory.path());
}

TPulseAudioServer::~TPulseAudioServer() { EndProcess(FServer); }

QString TPulseAudioServer::FifoPath() const { return FDirectory.filePath("scopein"); }

void TPulseAudioServer::Kill() {
    FServer.kill();
    FServer.waitForFinished(ShutdownTimeoutMs);
}

void TPulseAudioServer::Restart() {
    EndProcess(FServer);
    // A killed server leaves its socket and FIFO behind.
    QFile::remove(FDirectory.filePath("native"));
    QFile::remove(FifoPath());
    Launch();
}

void TPulseAudioServer::Launch() {
    // -n: none of the system's start-up script; as root it only warns.
    StartProcess(FServer, ServerEnvironment(FDirectory.path()), "pulseaudio",
                 {"-n", "--file=" + FDirectory.filePath("start.pa"), "--daemonize=no", "--system=false",
                  "--exit-idle-time=-1", "--use-pid-file=no", "--realtime=no", "--high-priority=no",
                  "--disable-shm=yes", "--log-target=stderr"});
    try {
        WaitForFiles({FDirectory.filePath("native"), FifoPath()}, FServer, "pulseaudio");
    } catch (...) {
        EndProcess(FServer);
        throw;
    }
}

void TPulseAudioServer::WriteConfiguration() const {
    WriteFile(FDirectory.filePath("start.pa"),
              QString("load-module module-native-protocol-unix auth-anonymous=1 socket=%1\n"
                      "load-module module-pipe-source source_name=scopein file=%2 format=s16le rate=%3 channels=%4\n"
                      "set-default-source scopein\n")
                  .arg(FDirectory.filePath("native"), FifoPath())
                  .arg(SampleRate)
                  .arg(FChannels));
}

TSampleFeeder::TSampleFeeder(const QString& fifoPath, TSampleAt sampleAt, int channels)
    : FFifo(::open(fifoPath.toLocal8Bit().constData(), O_WRONLY | O_NONBLOCK)),
      FSampleAt(std::move(sampleAt)),
      FChannels(channels) {
    if (FFifo < 0) throw std::runtime_error("cannot open the FIFO of the PulseAudio source");
    FThread = std::thread(&TSampleFeeder::Run, this);
}

TSampleFeeder::~TSampleFeeder() {
    FRunning = false;
    FThread.join();
    ::close(FFifo);
}

// Keeps the number of frames written equal to the time passed, in chunks of
// 10 ms. A chunk (882 bytes, 1764 of two channels) is below the pipe's
// atomic size, so it is written whole or, when the pipe is full, not at all
// and tried again; a server that stops reading never blocks this thread.
void TSampleFeeder::Run() {
    // A server that dies closes the FIFO's reading end: the write then fails
    // with EPIPE instead of ending the test by SIGPIPE.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    using Clock = std::chrono::steady_clock;
    constexpr int ChunkFrames = SampleRate / 100;
    const int chunkSamples = ChunkFrames * FChannels;
    const auto chunkBytes = static_cast<ssize_t>(chunkSamples * sizeof(std::int16_t));
    const auto begin = Clock::now();
    std::int64_t written = 0;  // frames
    std::array<std::int16_t, 2 * ChunkFrames> chunk{};
    while (FRunning) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - begin).count();
        const std::int64_t due = elapsed * SampleRate / 1000000;
        while (written + ChunkFrames <= due && FRunning) {
            for (int i = 0; i < chunkSamples; ++i)
                chunk[static_cast<std::size_t>(i)] = FSampleAt(written * FChannels + i);
            if (::write(FFifo, chunk.data(), static_cast<std::size_t>(chunkBytes)) != chunkBytes) break;
            written += ChunkFrames;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace wellenschau::test
