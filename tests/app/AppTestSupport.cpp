#include "AppTestSupport.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>

namespace wellenschau::test {

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

TWindowOnSimulatedDevice::TWindowOnSimulatedDevice() : Form(std::make_unique<TForm1>(Device)) {
    ReportedErrors().clear();
}

bool TWindowOnSimulatedDevice::Record(const TSamples& samples) {
    const bool filled = Device.FillNextSamples(Device.LastOpenedHandle(), samples);
    RunPostedEvents();
    return filled;
}

bool TWindowOnSimulatedDevice::Handle(TSamples samples) {
    samples.resize(4096);
    int size = 8192;
    return Form->AudioIn1BufferFilled(reinterpret_cast<char*>(samples.data()), size);
}

TSamples PeakBuffer(std::int16_t peak) {
    TSamples samples(4096, 0);
    samples[0] = peak;
    return samples;
}

}  // namespace wellenschau::test
