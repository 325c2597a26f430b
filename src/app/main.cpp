#include "Application.h"
#include "CommandLine.h"
#include "Language.h"
#include "PathBytes.h"
#include "Session.h"

#include <QStringList>

#include <cstdio>

using namespace wellenschau;

namespace {

// The arguments with file names kept byte for byte (Qt's own arguments()
// would turn bytes that are not UTF-8 into U+FFFD).
QStringList Arguments(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << DecodePath(argv[i]);
    return arguments;
}

int Run(int& argc, char* argv[]) {
    // Everything but the window runs without a display.
    const TCommandLine early = ParseCommandLine(Arguments(argc, argv));
    if (!early.Options || early.Options->Headless()) qputenv("QT_QPA_PLATFORM", "offscreen");

    // The application takes its own options (such as -platform) out of argv.
    TApplication application(argc, argv);
    // The language first, so that the parser's texts come out in it.
    const QStringList arguments = Arguments(argc, argv);
    const auto environment = [](const char* name) { return qEnvironmentVariable(name); };
    if (!InstallTranslations(application, ChosenLanguage(arguments, environment), TranslationFolders()))
        std::fputs("wellenschau: wellenschau_en.qm not found; the texts stay German.\n", stderr);
    const TCommandLine commandLine = ParseCommandLine(arguments);
    if (!commandLine.Options) {
        if (commandLine.ExitStatus == 0)
            std::fputs(qPrintable(commandLine.Text + '\n'), stdout);
        else
            std::fputs(qPrintable("wellenschau: " + commandLine.Text + '\n'), stderr);
        return commandLine.ExitStatus;
    }
    const TOptions& options = *commandLine.Options;
    if (options.ListDevices) return ListDevices();
    if (!options.ExportDir.isEmpty()) return RunExport(application, options);
    return RunWindow(application, options);
}

}  // namespace

int main(int argc, char* argv[]) {
    return RunReportingErrors([&] { return Run(argc, argv); });
}
