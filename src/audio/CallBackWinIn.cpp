#include "audio/CallBackWinIn.h"

#include "audio/AudioIn.h"
#include "audio/WaveIn.h"

namespace wellenschau {

bool TCallBackWinIn::event(QEvent* event) {
    const auto type = event->type();
    if (type != WaveInEventType(TWaveInMessage::Open) && type != WaveInEventType(TWaveInMessage::Close) &&
        type != WaveInEventType(TWaveInMessage::Data)) {
        return QObject::event(event);
    }
    if (TAudioIn* component = *FTarget) {
        component->ReceiveNotification(*this, static_cast<TWaveInNotification*>(event)->Message());
    }
    return true;
}

}  // namespace wellenschau
