#include "audio/WaveIn.h"

namespace wellenschau {

QEvent::Type WaveInEventType(TWaveInMessage message) {
    return static_cast<QEvent::Type>(QEvent::User + static_cast<int>(message));
}

}  // namespace wellenschau
