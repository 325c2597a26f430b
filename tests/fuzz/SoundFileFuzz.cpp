// libFuzzer target: arbitrary bytes as a sound file, through what the
// export does with a file: the reader (libsndfile, the mix-down, the
// conversion to 16 bits, the resampler) and the instrument's handling of
// the first buffers it gives (trace, spectrum, spectrogram, measurements,
// distortion analysis). A file the reader refuses with its message is a
// good outcome; a crash, a sanitizer report, a leak, a hang or memory
// beyond libFuzzer's limit is a finding.
#include "app/Instrument.h"
#include "audio/SoundFileReader.h"

#include <QGuiApplication>

#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using namespace wellenschau;

// Enough buffers to carry the resampler's and the averages' state across
// buffers, few enough to keep each run short.
constexpr int BuffersPerInput = 3;
constexpr int SamplesPerBuffer = TInstrument::BufferBytes / 2;

// The instrument's charts and pictures need an application object; both
// live for the whole run, without a display.
TInstrument& Instrument() {
    static int argc = 1;
    static char name[] = "wellenschau-fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    static TInstrument* instrument = [] {
        auto* made = new TInstrument();
        made->SetDistortionAnalysis(true);
        return made;
    }();
    (void)application;
    return *instrument;
}

// The input as a file of its own in memory, for the reader, which opens a
// path; closed when it goes.
class TMemoryFile {
public:
    TMemoryFile(const std::uint8_t* data, std::size_t size) : FDescriptor(::memfd_create("sound", MFD_CLOEXEC)) {
        for (std::size_t written = 0; FDescriptor >= 0 && written < size;) {
            const ssize_t count = ::write(FDescriptor, data + written, size - written);
            if (count <= 0) break;
            written += static_cast<std::size_t>(count);
        }
    }
    ~TMemoryFile() {
        if (FDescriptor >= 0) ::close(FDescriptor);
    }
    TMemoryFile(const TMemoryFile&) = delete;
    TMemoryFile& operator=(const TMemoryFile&) = delete;

    std::string Path() const { return "/proc/self/fd/" + std::to_string(FDescriptor); }

private:
    int FDescriptor;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Instrument();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TMemoryFile file(data, size);
    std::array<std::int16_t, SamplesPerBuffer> buffer{};
    try {
        TSoundFileReader reader(file.Path());
        for (int handled = 0; handled < BuffersPerInput; ++handled) {
            const int read = reader.Read(buffer.data(), SamplesPerBuffer);
            if (read == 0) break;
            std::fill(buffer.begin() + read, buffer.end(), 0);
            Instrument().HandleBuffer(reinterpret_cast<const char*>(buffer.data()), TInstrument::BufferBytes);
        }
    } catch (const ESoundFileError&) {
        // Refused with a message: what a damaged file should give.
    }
    return 0;
}
