#include "audio/SystemReason.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>

namespace wellenschau {

namespace {

// The German text of the common errors; nullptr for the others.
const char* GermanReason(int error) {
    switch (error) {
        case ENOSPC: return QT_TRANSLATE_NOOP("SystemReason", "Kein Platz mehr auf dem Datenträger");
        case EDQUOT: return QT_TRANSLATE_NOOP("SystemReason", "Speicherkontingent überschritten");
        case EACCES:
        case EPERM: return QT_TRANSLATE_NOOP("SystemReason", "Keine Berechtigung");
        case EROFS: return QT_TRANSLATE_NOOP("SystemReason", "Das Dateisystem ist schreibgeschützt");
        case EIO: return QT_TRANSLATE_NOOP("SystemReason", "Ein-/Ausgabefehler");
        case ENOENT: return QT_TRANSLATE_NOOP("SystemReason", "Verzeichnis nicht gefunden");
        case ENOTDIR: return QT_TRANSLATE_NOOP("SystemReason", "Ein Teil des Pfades ist kein Verzeichnis");
        case EISDIR: return QT_TRANSLATE_NOOP("SystemReason", "Der Pfad ist ein Verzeichnis");
        case EEXIST: return QT_TRANSLATE_NOOP("SystemReason", "Die Datei existiert bereits");
        case ELOOP: return QT_TRANSLATE_NOOP("SystemReason", "Zu viele symbolische Verweise im Pfad");
        case ENAMETOOLONG: return QT_TRANSLATE_NOOP("SystemReason", "Der Name ist zu lang");
        case EFBIG: return QT_TRANSLATE_NOOP("SystemReason", "Die Datei ist zu groß");
        default: return nullptr;
    }
}

}  // namespace

std::string SystemReason(int error) {
    if (const char* german = GermanReason(error))
        return QCoreApplication::translate("SystemReason", german).toStdString();
    return std::strerror(error);
}

std::string Filled(const QString& text, std::initializer_list<std::string> values) {
    const std::string pattern = text.toStdString();
    std::string result;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const bool placeHolder = pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' &&
                                 pattern[i + 1] <= '9' &&
                                 static_cast<std::size_t>(pattern[i + 1] - '0') <= values.size();
        if (!placeHolder) {
            result += pattern[i];
            continue;
        }
        result += values.begin()[pattern[i + 1] - '1'];
        ++i;
    }
    return result;
}

}  // namespace wellenschau
