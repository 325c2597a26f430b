// What the tests that start the program itself share: sound files to feed
// it and a run of the program with its exit code and standard error.
#pragma once

#include <QString>
#include <QStringList>

#include <sys/resource.h>

namespace wellenschau::test {

struct TWavSpec {
    const char* Name;
    int Rate;
    int Channels;
    int Format;  // libsndfile subtype
    double (*Signal)(double seconds);
};

// A 1 kHz tone at half scale.
double Tone(double seconds);

// Writes `seconds` of the signal; stereo files carry it on the left and a
// third of it on the right.
QString WriteWav(const QString& path, const TWavSpec& sound, double seconds = 1.0);

struct TRun {
    int ExitCode;
    QString Errors;
};

// Runs the program; fileSizeLimit > 0 makes every write past that many
// bytes of a file fail as on a full disk.
TRun RunProgram(const QStringList& arguments, rlim_t fileSizeLimit = 0);

}  // namespace wellenschau::test
