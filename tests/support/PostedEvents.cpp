#include "support/PostedEvents.h"

#include <QCoreApplication>

namespace wellenschau::test {

namespace {

// A handler may post again, and that event's handler too; a few rounds
// reach the end of every chain the tests make.
constexpr int Rounds = 10;

}  // namespace

void RunPostedEvents() {
    for (int round = 0; round < Rounds; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

}  // namespace wellenschau::test
