// Running what the event loop has waiting, for tests that post
// notifications and then look at their effect. User-interface thread only.
#pragma once

namespace wellenschau::test {

// Dispatches every posted event, also those posted while dispatching, and
// whatever else the event loop has ready (due timers, window events).
void RunPostedEvents();

}  // namespace wellenschau::test
