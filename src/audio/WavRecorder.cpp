#include "audio/WavRecorder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace wellenschau {

namespace {

constexpr std::uint32_t RiffSizeOffset = 4;
constexpr std::uint32_t DataSizeOffset = 40;
// The RIFF size counts everything after its own field.
constexpr std::uint32_t RiffOverhead = TWavRecorder::HeaderBytes - 8;

void PutLittleEndian(char* at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::array<char, 4> LittleEndian32(std::uint32_t value) {
    std::array<char, 4> bytes{};
    PutLittleEndian(bytes.data(), value, 4);
    return bytes;
}

// The header of a 16-bit mono PCM file with `dataBytes` sample bytes.
std::array<char, TWavRecorder::HeaderBytes> CanonicalHeader(std::uint32_t dataBytes) {
    constexpr std::uint32_t Channels = 1;
    constexpr std::uint32_t BitsPerSample = 16;
    constexpr std::uint32_t BlockAlign = Channels * BitsPerSample / 8;
    std::array<char, TWavRecorder::HeaderBytes> header{};
    char* at = header.data();
    std::memcpy(at, "RIFF", 4);
    PutLittleEndian(at + 4, RiffOverhead + dataBytes, 4);
    std::memcpy(at + 8, "WAVEfmt ", 8);
    PutLittleEndian(at + 16, 16, 4);  // size of the format chunk
    PutLittleEndian(at + 20, 1, 2);   // PCM
    PutLittleEndian(at + 22, Channels, 2);
    PutLittleEndian(at + 24, TWavRecorder::SampleRate, 4);
    PutLittleEndian(at + 28, TWavRecorder::SampleRate * BlockAlign, 4);
    PutLittleEndian(at + 32, BlockAlign, 2);
    PutLittleEndian(at + 34, BitsPerSample, 2);
    std::memcpy(at + 36, "data", 4);
    PutLittleEndian(at + 40, dataBytes, 4);
    return header;
}

// The system's reason in German for the errors a recording meets; others
// in the system's words.
std::string SystemReason(int error) {
    switch (error) {
        case ENOSPC: return "Kein Platz mehr auf dem Datenträger";
        case EDQUOT: return "Speicherkontingent überschritten";
        case EACCES:
        case EPERM: return "Keine Berechtigung";
        case ENOENT: return "Verzeichnis nicht gefunden";
        case ENOTDIR: return "Ein Teil des Pfades ist kein Verzeichnis";
        case EISDIR: return "Der Pfad ist ein Verzeichnis";
        case EROFS: return "Das Dateisystem ist schreibgeschützt";
        case EFBIG: return "Die Datei ist zu groß";
        case EIO: return "Ein-/Ausgabefehler";
        default: return std::strerror(error);
    }
}

std::string Quoted(const std::string& path) { return "„" + path + "“"; }

std::string NotCreated(const std::string& path, int error) {
    return "Die Aufnahmedatei " + Quoted(path) + " lässt sich nicht anlegen: " + SystemReason(error) + ".";
}

std::string Stopped(const std::string& path, const std::string& reason) {
    return "Die Aufnahme in " + Quoted(path) + " wurde angehalten: " + reason + ".";
}

}  // namespace

TWavRecorder::TWavRecorder(const std::string& path, std::uint32_t maxDataBytes)
    : FPath(path), FMaxDataBytes(std::min(maxDataBytes, MaxDataBytes)) {
    FFile = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (FFile < 0) throw EWavRecordError(NotCreated(path, errno));
    const auto header = CanonicalHeader(0);
    if (!WriteAll(header.data(), header.size())) {
        const int error = errno;
        // Not even the header fits: leave no broken file behind.
        struct stat status {};
        if (::fstat(FFile, &status) == 0 && S_ISREG(status.st_mode)) ::unlink(path.c_str());
        ::close(FFile);
        FFile = -1;
        throw EWavRecordError(NotCreated(path, error));
    }
}

TWavRecorder::~TWavRecorder() {
    if (FFile >= 0) ::close(FFile);
}

void TWavRecorder::Append(const char* bytes, int size) {
    if (FFile < 0) {
        throw EWavRecordError("Die Aufnahme in " + Quoted(FPath) + " ist bereits beendet.");
    }
    if (size < 0 || size % 2 != 0) throw ERangeError();
    if (static_cast<std::uint32_t>(size) > FMaxDataBytes - FDataBytes) {
        Fail(Stopped(FPath, "Die Datei hat ihre Größengrenze erreicht (WAV-Dateien fassen höchstens 4 GiB)"));
    }
    if (!WriteAll(bytes, static_cast<std::size_t>(size))) {
        Fail(Stopped(FPath, SystemReason(errno)));
    }
    const std::uint32_t grown = FDataBytes + static_cast<std::uint32_t>(size);
    if (!WriteSizes(grown)) {
        Fail(Stopped(FPath, SystemReason(errno)));
    }
    FDataBytes = grown;
}

void TWavRecorder::Close() {
    if (FFile < 0) return;
    const int result = ::close(FFile);
    FFile = -1;
    if (result != 0) {
        throw EWavRecordError("Die Aufnahmedatei " + Quoted(FPath) +
                              " ließ sich nicht schließen: " + SystemReason(errno) + ".");
    }
}

bool TWavRecorder::WriteSizes(std::uint32_t dataBytes) {
    const auto riffSize = LittleEndian32(RiffOverhead + dataBytes);
    const auto dataSize = LittleEndian32(dataBytes);
    return ::pwrite(FFile, riffSize.data(), riffSize.size(), RiffSizeOffset) == 4 &&
           ::pwrite(FFile, dataSize.data(), dataSize.size(), DataSizeOffset) == 4;
}

bool TWavRecorder::WriteAll(const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(FFile, bytes, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (written == 0) {
            errno = ENOSPC;
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

void TWavRecorder::Fail(const std::string& message) {
    // Back to the last complete state: drop a partly written append and let
    // the header count what remains. Best effort; the message already says
    // why the recording stopped.
    if (::ftruncate(FFile, HeaderBytes + static_cast<off_t>(FDataBytes)) == 0) WriteSizes(FDataBytes);
    ::close(FFile);
    FFile = -1;
    throw EWavRecordError(message);
}

}  // namespace wellenschau
