// The language of the program's texts: German (the texts as written in the
// sources) or English (the shipped translation), chosen from the locale or
// by --language, and the translators that bring it to Qt's text functions.
// User-interface thread.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QCoreApplication;

namespace wellenschau {

enum class TLanguage { German, English };

// "de" or "en"; nothing for any other code.
std::optional<TLanguage> LanguageNamed(const QString& code);

// The value of an environment variable, empty when it is not set.
using TEnvironment = std::function<QString(const char*)>;

// The language for the program's arguments (the first is its name), looked
// at before the parser's texts are made: --language de|en when given (a bad
// value is left to the parser, which reports it in the locale's language).
// Else the locale as gettext reads it: the message locale is the first set
// of LC_ALL, LC_MESSAGES and LANG; unset, C or POSIX gives German (and, as
// in gettext, LANGUAGE is then ignored). Otherwise the first entry of the
// LANGUAGE list, then the locale itself, that is German or English decides;
// only other languages give English.
TLanguage ChosenLanguage(const QStringList& arguments, const TEnvironment& variable);

// Installs the translation `language` needs: for English the program's own
// (its .qm looked for in `folders`, in order), for German Qt's translation
// of its dialogs and messages where the system has it. False when English
// is asked for and the program's translation is missing (the texts then
// stay German).
bool InstallTranslations(QCoreApplication& application, TLanguage language, const QStringList& folders);

// Where the program's translations are: next to the executable (the build
// tree) and in ../share/wellenschau/translations beside its folder (an
// installation, whatever its prefix).
QStringList TranslationFolders();

}  // namespace wellenschau
