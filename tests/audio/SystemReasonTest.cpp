// The system's reasons in German: the common errors of files and folders
// have a German text, the others keep the system's own.
#include "audio/SystemReason.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace wellenschau {
namespace {

TEST(SystemReasonTest, CommonErrorsInGermanOthersInTheSystemsWords) {
    const struct {
        int Error;
        const char* Reason;
    } cases[] = {
        {ENOSPC, "Kein Platz mehr auf dem Datenträger"},
        {EDQUOT, "Speicherkontingent überschritten"},
        {EACCES, "Keine Berechtigung"},
        {EPERM, "Keine Berechtigung"},
        {EROFS, "Das Dateisystem ist schreibgeschützt"},
        {EIO, "Ein-/Ausgabefehler"},
        {ENOENT, "Verzeichnis nicht gefunden"},
        {ENOTDIR, "Ein Teil des Pfades ist kein Verzeichnis"},
        {EISDIR, "Der Pfad ist ein Verzeichnis"},
        {EEXIST, "Die Datei existiert bereits"},
        {ELOOP, "Zu viele symbolische Verweise im Pfad"},
        {ENAMETOOLONG, "Der Name ist zu lang"},
        {EFBIG, "Die Datei ist zu groß"},
        {EXDEV, std::strerror(EXDEV)},
        {ETXTBSY, std::strerror(ETXTBSY)},
    };
    for (const auto& c : cases) EXPECT_EQ(SystemReason(c.Error), c.Reason) << c.Error;
}

}  // namespace
}  // namespace wellenschau
