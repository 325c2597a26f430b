// TCallBackWinIn: the hidden receiver through which a wave-input device
// talks to TAudioIn. Each open gets its own; the service posts the open,
// every returned buffer and the close to it, and it hands each on to the
// component held in the Target variable, read afresh every time.
//
// Lives on the user-interface thread; the component owns it.
#pragma once

#include <QObject>

namespace wellenschau {

class TAudioIn;

class TCallBackWinIn : public QObject {
public:
    // `Target` is the variable that holds the component (the owner's field).
    explicit TCallBackWinIn(TAudioIn** Target) : FTarget(Target) {}

    // Whether notifications may still arrive: the open succeeded and its
    // close has not yet been handled.
    bool AwaitsNotifications() const { return FOpened && !FClosed; }
    void MarkOpened() { FOpened = true; }
    void MarkClosed() { FClosed = true; }

protected:
    bool event(QEvent* event) override;

private:
    TAudioIn** FTarget;
    bool FOpened = false;
    bool FClosed = false;
};

}  // namespace wellenschau
