#include "BenchApplication.h"

#include <QApplication>

namespace wellenschau::bench {

void EnsureApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "wellenschau-bench";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
}

}  // namespace wellenschau::bench
