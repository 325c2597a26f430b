// Paths for the files a test writes. Every test program gets one folder of
// its own below the system's temporary folder, removed with everything in
// it when the program ends; a test that needs a clean folder of its own
// makes a TTempFolder.
#pragma once

#include <QString>

#include <filesystem>
#include <string>

#include <sys/types.h>

namespace wellenschau::test {

// A fresh, empty folder below the system's temporary folder, removed with
// its contents when the object goes (by the process that made it only, so
// that a forked child leaves it alone).
class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::filesystem::path& Folder() const { return FFolder; }
    // Where a file called `name` in this folder goes.
    std::string Path(const std::string& name) const;
    // The same for Qt's file classes.
    QString FilePath(const QString& name) const;

private:
    pid_t FOwner;
    std::filesystem::path FFolder;
};

// Where a file called `name` goes in the test program's own folder. The
// file is not made; tests remove what they write.
std::string TempPath(const std::string& name);

}  // namespace wellenschau::test
