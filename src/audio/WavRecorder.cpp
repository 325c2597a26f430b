#include "audio/WavRecorder.h"

#include "audio/SystemReason.h"

#include <QCoreApplication>

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <type_traits>

namespace wellenschau {

namespace {

// The translation context of this file's texts.
struct TWavRecorderText {
    Q_DECLARE_TR_FUNCTIONS(TWavRecorderText)
};

static_assert(std::is_same_v<sf_count_t, std::int64_t>, "libsndfile's counts are 64-bit");

std::string NotCreated(const std::string& path, int error) {
    return Filled(TWavRecorderText::tr("Die Aufnahmedatei „%1“ lässt sich nicht anlegen: %2."),
                  {path, SystemReason(error)});
}

// A pipe, a socket or a terminal: libsndfile must go back to the header
// after every block, which only a file allows.
std::string NotSeekable(const std::string& path) {
    return Filled(TWavRecorderText::tr("Die Aufnahmedatei „%1“ ist eine Pipe oder ein Gerät ohne Positionierung; "
                                       "eine Aufnahme braucht eine gewöhnliche Datei."),
                  {path});
}

bool IsPipeOrSocket(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode));
}

int OpenFlags(TWavRecorder::TExisting existing) {
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC;
    return existing == TWavRecorder::TExisting::Replace ? flags | O_TRUNC : flags | O_EXCL;
}

std::string Stopped(const std::string& path, int error) {
    return Filled(TWavRecorderText::tr("Die Aufnahme in „%1“ wurde angehalten: %2."), {path, SystemReason(error)});
}

// Plain WAV while below 4 GiB, and a header that counts every block.
void KeepHeaderCurrent(SNDFILE* sound) {
    sf_command(sound, SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
    sf_command(sound, SFC_SET_UPDATE_HEADER_AUTO, nullptr, SF_TRUE);
    // The first rewrite adds the frame count to the header; the second
    // counts the header's final length in the RIFF size.
    sf_command(sound, SFC_UPDATE_HEADER_NOW, nullptr, 0);
    sf_command(sound, SFC_UPDATE_HEADER_NOW, nullptr, 0);
}

}  // namespace

std::string TWavRecorder::Unseekable(const std::string& path) {
    return IsPipeOrSocket(path) ? NotSeekable(path) : std::string();
}

TWavRecorder::TWavRecorder(const std::string& path, TExisting existing, int channels) : FPath(path) {
    // Opening a pipe for writing would wait for a reader.
    if (IsPipeOrSocket(path)) throw EWavRecordError(NotSeekable(path));
    FFile = ::open(path.c_str(), OpenFlags(existing), 0666);
    if (FFile < 0) throw EWavRecordError(NotCreated(path, errno));
    if (::lseek(FFile, 0, SEEK_CUR) < 0) {
        ::close(FFile);
        FFile = -1;
        throw EWavRecordError(NotSeekable(path));
    }
    SF_INFO info{};
    info.samplerate = SampleRate;
    info.channels = channels;
    info.format = SF_FORMAT_RF64 | SF_FORMAT_PCM_16;
    SF_VIRTUAL_IO callbacks{&FileLength, &Seek, &Read, &Write, &Tell};
    FSound = sf_open_virtual(&callbacks, SFM_WRITE, &info, this);
    if (FSound != nullptr) KeepHeaderCurrent(FSound);
    if (FSound == nullptr || FError != 0) {
        // Not even the header fits: leave no broken file behind.
        const int error = FError != 0 ? FError : EIO;
        if (FSound != nullptr) sf_close(FSound);
        struct stat status {};
        if (::fstat(FFile, &status) == 0 && S_ISREG(status.st_mode)) ::unlink(path.c_str());
        ::close(FFile);
        FFile = -1;
        throw EWavRecordError(NotCreated(path, error));
    }
    FDataOffset = static_cast<std::uint64_t>(FileLength(this));
}

TWavRecorder::~TWavRecorder() { CloseFile(); }

void TWavRecorder::Append(const char* bytes, int size) {
    if (FFile < 0) {
        throw EWavRecordError(Filled(TWavRecorderText::tr("Die Aufnahme in „%1“ ist bereits beendet."), {FPath}));
    }
    if (size < 0 || size % 2 != 0) throw ERangeError();
    const sf_count_t written = sf_write_raw(FSound, bytes, size);
    // The write may have failed after a part of it; the header was then
    // corrected for that part, which Fail takes back.
    if (written != size || FError != 0) Fail(Stopped(FPath, FError != 0 ? FError : EIO));
    FDataBytes += static_cast<std::uint64_t>(size);
}

void TWavRecorder::Close() {
    if (FFile < 0) return;
    if (const int error = CloseFile(); error != 0) {
        throw EWavRecordError(Filled(TWavRecorderText::tr("Die Aufnahmedatei „%1“ ließ sich nicht schließen: %2."),
                                     {FPath, SystemReason(error)}));
    }
}

int TWavRecorder::CloseFile() {
    if (FFile < 0) return 0;
    // Closing rewrites the header once more, from the file's length.
    sf_close(FSound);
    FSound = nullptr;
    const int result = ::close(FFile);
    FFile = -1;
    return result == 0 ? FError : errno;
}

void TWavRecorder::Fail(const std::string& message) {
    // Back to the last complete state: drop a partly written append and let
    // libsndfile count what remains when it rewrites the header at close.
    // Best effort; the message already says why the recording stopped.
    if (::ftruncate(FFile, static_cast<off_t>(FDataOffset + FDataBytes)) == 0) {
        FError = 0;
        // The header counted the partial append; count the file as it is.
        sf_command(FSound, SFC_UPDATE_HEADER_NOW, nullptr, 0);
    }
    CloseFile();
    throw EWavRecordError(message);
}

std::int64_t TWavRecorder::FileLength(void* recorder) {
    struct stat status {};
    if (::fstat(static_cast<TWavRecorder*>(recorder)->FFile, &status) != 0) return -1;
    return status.st_size;
}

std::int64_t TWavRecorder::Seek(std::int64_t offset, int whence, void* recorder) {
    return ::lseek(static_cast<TWavRecorder*>(recorder)->FFile, offset, whence);
}

std::int64_t TWavRecorder::Read(void*, std::int64_t, void*) { return 0; }

std::int64_t TWavRecorder::Write(const void* bytes, std::int64_t count, void* recorder) {
    auto& self = *static_cast<TWavRecorder*>(recorder);
    const char* next = static_cast<const char*>(bytes);
    std::int64_t done = 0;
    while (done < count) {
        const ssize_t written = ::write(self.FFile, next + done, static_cast<std::size_t>(count - done));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (self.FError == 0) self.FError = written < 0 ? errno : ENOSPC;
            break;
        }
        done += written;
    }
    return done;
}

std::int64_t TWavRecorder::Tell(void* recorder) {
    return ::lseek(static_cast<TWavRecorder*>(recorder)->FFile, 0, SEEK_CUR);
}

}  // namespace wellenschau
