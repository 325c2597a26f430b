// Recording to a WAV file: the samples read back are the appended ones, the
// file is valid after every append (also when the process is killed), write
// failures stop the recording with a clear message and a valid file, and a
// recording may grow past 4 GiB.
#include "audio/WavRecorder.h"
#include "support/ForkedChild.h"
#include "support/TempPath.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace wellenschau {
namespace {

using test::TempPath;

// Samples that differ from chunk to chunk and cover the extremes.
std::vector<std::int16_t> Chunk(int index, int samples = 4096) {
    std::vector<std::int16_t> chunk(static_cast<std::size_t>(samples));
    for (int i = 0; i < samples; ++i) chunk[i] = static_cast<std::int16_t>(index * 7919 + i * 31);
    chunk[0] = -32768;
    chunk[1] = 32767;
    return chunk;
}

void Append(TWavRecorder& recorder, const std::vector<std::int16_t>& samples) {
    recorder.Append(reinterpret_cast<const char*>(samples.data()), static_cast<int>(samples.size() * 2));
}

struct TReadBack {
    bool Opened = false;
    SF_INFO Info{};
    std::vector<std::int16_t> Samples;
};

// The file as libsndfile reads it.
TReadBack ReadBack(const std::string& path) {
    TReadBack result;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &result.Info);
    if (file == nullptr) return result;
    result.Opened = true;
    result.Samples.resize(static_cast<std::size_t>(result.Info.frames * result.Info.channels));
    sf_readf_short(file, result.Samples.data(), result.Info.frames);
    sf_close(file);
    return result;
}

std::vector<char> FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

std::uint32_t LittleEndianAt(const std::vector<char>& bytes, std::size_t offset, int size = 4) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[offset + i]);
    return value;
}

class WavRecorderTest : public ::testing::Test {
protected:
    ~WavRecorderTest() override { std::filesystem::remove(Path); }
    const std::string Path = TempPath(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".wav";
};

// Offset of the chunk `id` in a RIFF file's top level, or nothing.
std::optional<std::size_t> ChunkAt(const std::vector<char>& bytes, const std::string& id) {
    for (std::size_t at = 12; at + 8 <= bytes.size(); at += 8 + ((LittleEndianAt(bytes, at + 4) + 1) & ~1u)) {
        if (std::string(bytes.data() + at, 4) == id) return at;
    }
    return std::nullopt;
}

// Bytes before the first sample: the header of an empty recording.
std::size_t HeaderBytes() {
    const std::string path = TempPath("header") + ".wav";
    { TWavRecorder recorder(path); }
    const std::size_t size = std::filesystem::file_size(path);
    std::filesystem::remove(path);
    return size;
}

// A plain RIFF WAV with the format of the program's recordings; the format
// record is the extensible one, which keeps the fields of the classic one.
TEST_F(WavRecorderTest, ANewRecordingIsAnEmptyWavOfTheRecordingFormat) {
    TWavRecorder recorder(Path);
    const auto bytes = FileBytes(Path);
    ASSERT_GE(bytes.size(), 44u);
    EXPECT_EQ(std::string(bytes.data(), 4), "RIFF");
    EXPECT_EQ(LittleEndianAt(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(std::string(bytes.data() + 8, 4), "WAVE");
    const auto format = ChunkAt(bytes, "fmt ");
    ASSERT_TRUE(format.has_value());
    const std::size_t at = *format + 8;
    EXPECT_EQ(LittleEndianAt(bytes, at + 0, 2), 0xFFFEu) << "extensible";
    EXPECT_EQ(LittleEndianAt(bytes, at + 2, 2), 1u) << "mono";
    EXPECT_EQ(LittleEndianAt(bytes, at + 4), 44100u);
    EXPECT_EQ(LittleEndianAt(bytes, at + 8), 88200u);
    EXPECT_EQ(LittleEndianAt(bytes, at + 12, 2), 2u);
    EXPECT_EQ(LittleEndianAt(bytes, at + 14, 2), 16u);
    EXPECT_EQ(LittleEndianAt(bytes, at + 24, 2), 1u) << "PCM samples";
    const auto data = ChunkAt(bytes, "data");
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(LittleEndianAt(bytes, *data + 4), 0u);
    EXPECT_EQ(*data + 8, bytes.size()) << "the samples follow the header";
    const TReadBack read = ReadBack(Path);
    ASSERT_TRUE(read.Opened);
    EXPECT_EQ(read.Info.frames, 0);
}

TEST_F(WavRecorderTest, AnExistingFileIsReplaced) {
    std::ofstream(Path, std::ios::binary) << std::string(1000, 'x');
    TWavRecorder recorder(Path);
    EXPECT_EQ(FileBytes(Path).size(), HeaderBytes());
}

TEST_F(WavRecorderTest, AfterEveryAppendTheFileHoldsExactlyTheAppendedSamples) {
    TWavRecorder recorder(Path);
    std::vector<std::int16_t> appended;
    for (int index = 0; index < 5; ++index) {
        const auto chunk = Chunk(index, 1000 + index);
        Append(recorder, chunk);
        appended.insert(appended.end(), chunk.begin(), chunk.end());
        // Read while the recorder still has the file open.
        const TReadBack read = ReadBack(Path);
        ASSERT_TRUE(read.Opened);
        EXPECT_EQ(read.Info.samplerate, 44100);
        EXPECT_EQ(read.Info.channels, 1);
        EXPECT_EQ(read.Info.format, SF_FORMAT_WAVEX | SF_FORMAT_PCM_16);
        EXPECT_TRUE(read.Samples == appended) << "after append " << index;
    }
    EXPECT_EQ(recorder.DataBytes(), appended.size() * 2);
    recorder.Close();
    EXPECT_FALSE(recorder.IsOpen());
    const auto bytes = FileBytes(Path);
    EXPECT_EQ(bytes.size(), HeaderBytes() + appended.size() * 2);
    EXPECT_TRUE(std::equal(appended.begin(), appended.end(),
                           reinterpret_cast<const std::int16_t*>(bytes.data() + HeaderBytes())))
        << "the data chunk holds the appended bytes as they were";
}

TEST_F(WavRecorderTest, AProcessKilledWhileRecordingLeavesEveryReturnedAppend) {
    constexpr int ChunkSamples = 2048;
    constexpr int AppendsBeforeKill = 40;
    test::TForkedChild child([this](int acknowledgements) {
        // Appends until killed, telling the parent after each append returned.
        try {
            TWavRecorder recorder(Path);
            for (int index = 0; index < 5000; ++index) {
                Append(recorder, Chunk(index, ChunkSamples));
                if (::write(acknowledgements, "+", 1) != 1) return 3;
            }
        } catch (...) {
            return 2;
        }
        for (;;) ::pause();
    });
    int returned = 0;
    char mark = 0;
    while (returned < AppendsBeforeKill && child.ReadByte(mark)) ++returned;
    child.Kill(SIGKILL);
    const int status = child.Wait();
    ASSERT_EQ(returned, AppendsBeforeKill) << "the child stopped early";
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    const TReadBack read = ReadBack(Path);
    ASSERT_TRUE(read.Opened) << "a killed recording is a readable WAV";
    ASSERT_GE(read.Samples.size(), static_cast<std::size_t>(AppendsBeforeKill * ChunkSamples));
    ASSERT_EQ(read.Samples.size() % ChunkSamples, 0u) << "the header counts whole appends only";
    for (std::size_t index = 0; index < read.Samples.size() / ChunkSamples; ++index) {
        const auto chunk = Chunk(static_cast<int>(index), ChunkSamples);
        ASSERT_TRUE(std::equal(chunk.begin(), chunk.end(), read.Samples.begin() + index * ChunkSamples))
            << "append " << index;
    }
}

// The message of the error that making a recorder at `path` raises.
std::string CreationError(const std::string& path,
                          TWavRecorder::TExisting existing = TWavRecorder::TExisting::Replace) {
    try {
        TWavRecorder recorder(path, existing);
    } catch (const EWavRecordError& error) {
        return error.what();
    }
    return "created";
}

// A missing folder, a full device and a folder: a clear message, and what
// is there is left alone.
TEST_F(WavRecorderTest, APathWhereNoFileCanBeMadeFailsClearly) {
    const std::string missingFolder = TempPath("no-such-folder") + "/take.wav";
    EXPECT_EQ(CreationError(missingFolder),
              "Die Aufnahmedatei „" + missingFolder + "“ lässt sich nicht anlegen: Verzeichnis nicht gefunden.");
    EXPECT_EQ(CreationError("/dev/full"),
              "Die Aufnahmedatei „/dev/full“ lässt sich nicht anlegen: Kein Platz mehr auf dem Datenträger.");
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
    const std::string folder = std::filesystem::temp_directory_path().string();
    EXPECT_THROW(TWavRecorder recorder(folder), EWavRecordError);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

// Targets a recording must not take: an existing file when asked to keep
// it, a pipe (no reader needed to refuse it) and a socket, which cannot
// seek back to the header. Each is left as it was.
TEST_F(WavRecorderTest, ExistingFilesAndTargetsThatCannotSeekAreRefused) {
    const test::TTempFolder folder;
    const std::string kept = folder.Path("kept.wav");
    std::ofstream(kept) << "earlier take";
    const std::string pipe = folder.Path("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string socketPath = folder.Path("socket");
    const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(server, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    const std::string notSeekable = "“ ist eine Pipe oder ein Gerät ohne Positionierung; eine Aufnahme braucht eine "
                                    "gewöhnliche Datei.";
    const struct {
        std::string Path;
        TWavRecorder::TExisting Existing;
        std::string Message;
    } cases[] = {
        {kept, TWavRecorder::TExisting::Refuse,
         "Die Aufnahmedatei „" + kept + "“ lässt sich nicht anlegen: Die Datei existiert bereits."},
        {pipe, TWavRecorder::TExisting::Replace, "Die Aufnahmedatei „" + pipe + notSeekable},
        {socketPath, TWavRecorder::TExisting::Replace, "Die Aufnahmedatei „" + socketPath + notSeekable},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CreationError(c.Path, c.Existing), c.Message);
        EXPECT_EQ(TWavRecorder::Unseekable(c.Path).empty(), c.Path == kept) << c.Path;
    }
    ::close(server);
    EXPECT_EQ(FileBytes(kept).size(), 12u);
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));
    EXPECT_TRUE(TWavRecorder::Unseekable(folder.Path("new.wav")).empty());
}

// The file-size limit of a child process stands in for a full disk: the
// write that crosses it is cut short and then refused.
TEST_F(WavRecorderTest, AWriteThatFailsHalfWayKeepsWhatWasWrittenBefore) {
    const std::size_t header = HeaderBytes();
    test::TForkedChild child([this, header](int messages) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{header + 3000, header + 3000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::string outcome = "no failure";
        try {
            TWavRecorder recorder(Path);
            Append(recorder, Chunk(0, 1000));
            Append(recorder, Chunk(1, 1000));
        } catch (const EWavRecordError& error) {
            outcome = error.what();
        }
        const bool sent = ::write(messages, outcome.data(), outcome.size()) == static_cast<ssize_t>(outcome.size());
        return sent ? 0 : 1;
    });
    const std::string message = child.ReadAll();
    child.Wait();
    EXPECT_EQ(message, "Die Aufnahme in „" + Path + "“ wurde angehalten: Die Datei ist zu groß.");
    const TReadBack read = ReadBack(Path);
    ASSERT_TRUE(read.Opened);
    EXPECT_TRUE(read.Samples == Chunk(0, 1000)) << "the first append stays, the cut one is gone";
    EXPECT_EQ(FileBytes(Path).size(), header + 2000u);
}

// A recording past 4 GiB goes on as RF64. The file is made that long by
// extending it sparsely behind the recorder's back: libsndfile takes the
// data size from the file's length whenever it corrects the header.
TEST_F(WavRecorderTest, ARecordingPast4GiBBecomesRF64) {
    TWavRecorder recorder(Path);
    Append(recorder, Chunk(0, 1000));
    const std::uintmax_t past4GiB = (std::uintmax_t{1} << 32) + 4096;
    std::filesystem::resize_file(Path, past4GiB);
    Append(recorder, Chunk(1, 1000));
    recorder.Close();
    std::vector<char> header(64);
    std::ifstream(Path, std::ios::binary).read(header.data(), static_cast<std::streamsize>(header.size()));
    EXPECT_EQ(std::string(header.data(), 4), "RF64");
    EXPECT_EQ(std::string(header.data() + 12, 4), "ds64") << "in the room the plain WAV kept for it";
    std::uint64_t riffSize = 0;
    std::memcpy(&riffSize, header.data() + 20, sizeof riffSize);
    EXPECT_EQ(riffSize, std::filesystem::file_size(Path) - 8);
    SF_INFO info{};
    SNDFILE* file = sf_open(Path.c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    sf_close(file);
    EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_RF64);
    EXPECT_GT(info.frames, std::int64_t{1} << 31);
}

TEST_F(WavRecorderTest, OnlyWholeSamplesCanBeAppended) {
    TWavRecorder recorder(Path);
    const char bytes[3] = {1, 2, 3};
    EXPECT_THROW(recorder.Append(bytes, 3), ERangeError);
    EXPECT_THROW(recorder.Append(bytes, -2), ERangeError);
    EXPECT_EQ(recorder.DataBytes(), 0u);
}

}  // namespace
}  // namespace wellenschau
