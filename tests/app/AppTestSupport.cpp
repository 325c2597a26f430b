#include "AppTestSupport.h"

namespace wellenschau::test {

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
