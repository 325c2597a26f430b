// Which language the program speaks: --language first, then the locale the
// way gettext reads it; German for C, POSIX and no locale at all.
#include "AppTestSupport.h"
#include "app/CommandLine.h"

#include <QMap>

#include <gtest/gtest.h>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

constexpr TLanguage De = TLanguage::German, En = TLanguage::English;

TEST(LanguageTest, OptionThenLocale) {
    struct TCase {
        QStringList Arguments;
        QMap<QString, QString> Environment;
        TLanguage Expected;
    };
    const TCase cases[] = {
        {{}, {}, De},
        {{}, {{"LANG", "C"}}, De},
        {{}, {{"LC_ALL", "POSIX"}}, De},
        {{}, {{"LC_ALL", "C.UTF-8"}, {"LANGUAGE", "en_US:en"}}, De},  // gettext ignores LANGUAGE under C
        {{}, {{"LANG", "de_DE.UTF-8"}}, De},
        {{}, {{"LANG", "de_AT@euro"}}, De},
        {{}, {{"LANG", "en_GB.UTF-8"}}, En},
        {{}, {{"LANG", "fr_FR.UTF-8"}}, En},
        {{}, {{"LANG", "de_DE.UTF-8"}, {"LC_MESSAGES", "en_US.UTF-8"}}, En},
        {{}, {{"LC_ALL", "de_CH.UTF-8"}, {"LC_MESSAGES", "en_US.UTF-8"}}, De},
        {{}, {{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "en"}}, En},
        {{}, {{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "fr:de:en"}}, De},
        {{}, {{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "fr"}}, De},
        {{"--language", "en"}, {{"LANG", "de_DE.UTF-8"}}, En},
        {{"--language=de"}, {{"LANG", "en_US.UTF-8"}}, De},
        {{"-language", "en"}, {}, En},
        {{"--language", "de", "--language", "en"}, {}, En},
        {{"--language", "xx"}, {{"LANG", "en_US.UTF-8"}}, En},  // the parser then refuses xx
        {{"--", "--language", "en"}, {}, De},
    };
    for (const TCase& c : cases) {
        const QStringList arguments = QStringList{"wellenschau"} + c.Arguments;
        const auto variable = [&](const char* name) { return c.Environment.value(name); };
        EXPECT_EQ(ChosenLanguage(arguments, variable), c.Expected)
            << c.Arguments.join(' ').toStdString() << " " << QStringList(c.Environment.keys()).join(',').toStdString();
    }
}

// --help in each language, Qt's own words in it (from Qt's translation)
// included.
TEST(LanguageTest, HelpComesInTheChosenLanguage) {
    struct TCase {
        TLanguage Language;
        QString Usage, Help;
    };
    for (const TCase& c : {TCase{De, "Aufruf:", "Zeigt diese Hilfe."}, TCase{En, "Usage:", "Shows this help."}}) {
        const TTranslated translated(c.Language);
        const TCommandLine line = ParseCommandLine({"wellenschau", "--help"});
        EXPECT_TRUE(line.Text.contains(c.Usage) && line.Text.contains(c.Help)) << line.Text.toStdString();
    }
    for (const char* code : {"de", "en"})
        EXPECT_TRUE(ParseCommandLine({"wellenschau", "--language", code}).Options) << code;
}

}  // namespace
