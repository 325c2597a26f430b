#include "Language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QTranslator>

namespace wellenschau {

namespace {

// The language of one locale name such as "de_AT.UTF-8" or "en"; nothing
// for other languages.
std::optional<TLanguage> LanguageOfLocaleName(const QString& name) {
    return LanguageNamed(name.left(name.indexOf(QRegularExpression("[_.@]"))));
}

bool IsPlainC(const QString& locale) {
    return locale.isEmpty() || locale == "C" || locale == "POSIX" || locale.startsWith("C.");
}

TLanguage LanguageOfLocale(const TEnvironment& variable) {
    QString locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (locale.isEmpty()) locale = variable(name);
    if (IsPlainC(locale)) return TLanguage::German;
    QStringList wishes = variable("LANGUAGE").split(':', Qt::SkipEmptyParts);
    wishes << locale;
    for (const QString& wish : wishes)
        if (const std::optional<TLanguage> language = LanguageOfLocaleName(wish)) return *language;
    return TLanguage::English;
}

// The last --language among the raw arguments (also -language and
// --language=), up to a "--".
std::optional<TLanguage> LanguageOption(const QStringList& arguments) {
    std::optional<TLanguage> chosen;
    for (qsizetype i = 1; i < arguments.size() && arguments[i] != "--"; ++i) {
        const QString& argument = arguments[i];
        if ((argument == "--language" || argument == "-language") && i + 1 < arguments.size())
            chosen = LanguageNamed(arguments[++i]);
        else if (argument.startsWith("--language=") || argument.startsWith("-language="))
            chosen = LanguageNamed(argument.mid(argument.indexOf('=') + 1));
    }
    return chosen;
}

bool Load(QTranslator& translator, const QString& name, const QStringList& folders) {
    for (const QString& folder : folders)
        if (translator.load(name, folder)) return true;
    return false;
}

}  // namespace

std::optional<TLanguage> LanguageNamed(const QString& code) {
    if (code == "de") return TLanguage::German;
    if (code == "en") return TLanguage::English;
    return std::nullopt;
}

TLanguage ChosenLanguage(const QStringList& arguments, const TEnvironment& variable) {
    if (const std::optional<TLanguage> chosen = LanguageOption(arguments)) return *chosen;
    return LanguageOfLocale(variable);
}

bool InstallTranslations(QCoreApplication& application, TLanguage language, const QStringList& folders) {
    // The program's texts are German in its sources, Qt's English in its:
    // each language needs the other's translation.
    auto* translator = new QTranslator(&application);
    const bool loaded = language == TLanguage::German
                            ? translator->load("qtbase_de", QLibraryInfo::path(QLibraryInfo::TranslationsPath))
                            : Load(*translator, "wellenschau_en", folders);
    if (loaded)
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
    return loaded || language == TLanguage::German;
}

QStringList TranslationFolders() {
    const QString executableFolder = QCoreApplication::applicationDirPath();
    return {executableFolder, QDir(executableFolder).filePath("../share/wellenschau/translations")};
}

}  // namespace wellenschau
