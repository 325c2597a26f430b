// File names byte for byte: every name, UTF-8 or not, comes back as the
// same bytes, and the program finds and writes files whose names are not
// UTF-8 under those names.
#include "AppTestSupport.h"
#include "app/PathBytes.h"
#include "support/DamagedSoundFile.h"
#include "support/TempPath.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

struct TNameCase {
    const char* Name;
    const char* Bytes;
    bool Foreign;  // holds bytes that are not UTF-8
};

class PathBytesTest : public ::testing::TestWithParam<TNameCase> {};

TEST_P(PathBytesTest, BytesComeBackUnchanged) {
    const QByteArray bytes(GetParam().Bytes);
    const QString path = DecodePath(bytes);
    EXPECT_EQ(EncodePath(path), bytes.toStdString());
    EXPECT_EQ(HasForeignBytes(path), GetParam().Foreign);
    if (!GetParam().Foreign) {
        EXPECT_EQ(path, QString::fromUtf8(bytes));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, PathBytesTest,
    ::testing::Values(TNameCase{"ascii", "/tmp/take 1.wav", false}, TNameCase{"utf8", "/tmp/Grüße/café.wav", false},
                      TNameCase{"beyond_ffff", "\xF0\x90\x82\x80.wav", false},  // U+10080: a surrogate pair
                      TNameCase{"latin1", "/media/stick/caf\xE9.wav", true},
                      TNameCase{"latin1_and_utf8", "\xFC\x62\x65r/\xC3\xBC\x62\x65r.wav", true},
                      TNameCase{"cut_sequence", "a\xC3", true}, TNameCase{"overlong", "\xC0\xAF", true},
                      TNameCase{"encoded_surrogate", "\xED\xA0\x80", true}),
    [](const auto& info) { return std::string(info.param.Name); });

// The names are handed to the program as raw bytes through the shell,
// since QProcess would pass them as UTF-8.
TEST(ForeignFileNameTest, InputExportAndRecordingKeepTheirBytes) {
    TTempFolder dir;
    WriteDamagedSoundFile(dir.Path("caf\xE9.wav"), TDamage::None);
    QProcess program;
    program.start("/bin/sh", {"-c",
                              "cd \"$1\" && exec \"$2\" --input \"$(printf 'caf\\351.wav')\" "
                              "--export \"$(printf 'Auswertung \\351')\" --record \"$(printf 'Aufnahme \\351.wav')\"",
                              "sh", dir.FilePath(""), WELLENSCHAU_EXECUTABLE});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    EXPECT_TRUE(std::filesystem::exists(dir.Path("Auswertung \xE9") + "/levels.csv"));
    EXPECT_TRUE(std::filesystem::exists(dir.Path("Aufnahme \xE9.wav")));
    for (const auto& entry : std::filesystem::directory_iterator(dir.Folder()))
        EXPECT_EQ(entry.path().filename().string().find("\xEF\xBF\xBD"), std::string::npos)
            << "a name with U+FFFD: " << entry.path();
}

}  // namespace
