#include "ProgramRun.h"

#include <QProcess>

#include <gtest/gtest.h>
#include <sndfile.h>

#include <csignal>
#include <cmath>
#include <numbers>
#include <vector>

namespace wellenschau::test {

double Tone(double t) { return 0.5 * std::sin(2 * std::numbers::pi * 1000.0 * t); }

QString WriteWav(const QString& path, const TWavSpec& sound, double seconds) {
    SF_INFO info{};
    info.samplerate = sound.Rate;
    info.channels = sound.Channels;
    info.format = SF_FORMAT_WAV | sound.Format;
    SNDFILE* file = sf_open(path.toLocal8Bit().constData(), SFM_WRITE, &info);
    EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
    const auto frames = static_cast<int>(seconds * sound.Rate);
    std::vector<double> samples;
    for (int i = 0; i < frames; ++i) {
        const double value = sound.Signal(static_cast<double>(i) / sound.Rate);
        samples.push_back(value);
        if (sound.Channels == 2) samples.push_back(value / 3);
    }
    sf_writef_double(file, samples.data(), frames);
    sf_close(file);
    return path;
}

TRun RunProgram(const QStringList& arguments, rlim_t fileSizeLimit) {
    QProcess program;
    if (fileSizeLimit > 0)
        program.setChildProcessModifier([fileSizeLimit] {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
    program.start(WELLENSCHAU_EXECUTABLE, arguments);
    EXPECT_TRUE(program.waitForFinished(60000));
    return {program.exitCode(), QString::fromUtf8(program.readAllStandardError())};
}

}  // namespace wellenschau::test
