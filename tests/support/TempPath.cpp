#include "support/TempPath.h"

#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace wellenschau::test {

namespace {

// mkdtemp makes the folder atomically with a name no one else has.
std::filesystem::path MakeUniqueFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "wellenschau-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::system_error(errno, std::generic_category(), "cannot make a temporary folder");
    }
    return pattern;
}

}  // namespace

TTempFolder::TTempFolder() : FOwner(::getpid()), FFolder(MakeUniqueFolder()) {}

TTempFolder::~TTempFolder() {
    if (::getpid() != FOwner) return;
    std::error_code ignored;
    std::filesystem::remove_all(FFolder, ignored);
}

std::string TTempFolder::Path(const std::string& name) const { return (FFolder / name).string(); }

QString TTempFolder::FilePath(const QString& name) const {
    return QString::fromStdString(Path(name.toStdString()));
}

std::string TempPath(const std::string& name) {
    static const TTempFolder programFolder;
    return programFolder.Path(name);
}

}  // namespace wellenschau::test
