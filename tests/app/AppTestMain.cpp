// The test program of the window: one application object with the
// program's error handler, whose message box is replaced by a recorder,
// and the program's settings in the test program's own folder, away from
// the user's.
#include "AppTestSupport.h"
#include "support/OffscreenPlatform.h"
#include "support/TempPath.h"

#include <QSettings>

#include <gtest/gtest.h>

namespace wellenschau::test {

namespace {
TApplication* application = nullptr;
std::vector<QString> reportedErrors;
}  // namespace

TApplication& Application() { return *application; }
std::vector<QString>& ReportedErrors() { return reportedErrors; }

}  // namespace wellenschau::test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    wellenschau::test::UseOffscreenPlatformUnlessChosen();
    wellenschau::TApplication application(argc, argv);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(wellenschau::test::TempPath("settings")));
    wellenschau::test::application = &application;
    application.SetErrorReporter(
        [](const QString& message) { wellenschau::test::reportedErrors.push_back(message); });
    return RUN_ALL_TESTS();
}
