#include "Application.h"
#include "CommandLine.h"
#include "Session.h"

#include <QStringList>

#include <cstdio>

using namespace wellenschau;

namespace {

QStringList Arguments(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Everything but the window runs without a display.
    const TCommandLine early = ParseCommandLine(Arguments(argc, argv));
    if (!early.Options || early.Options->Headless()) qputenv("QT_QPA_PLATFORM", "offscreen");

    TApplication application(argc, argv);
    const TCommandLine commandLine = ParseCommandLine(application.arguments());
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
