// Test programs that make a Qt application run without a display: they
// choose Qt's offscreen platform themselves unless the caller chose one,
// so that plain ctest (test discovery included) works headless.
#pragma once

#include <QtGlobal>

namespace wellenschau::test {

inline void UseOffscreenPlatformUnlessChosen() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

}  // namespace wellenschau::test
