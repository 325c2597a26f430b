// The system's reason for a failed file operation in German words, for the
// messages of recordings, exports and folders. User-interface or any thread.
#pragma once

#include <string>

namespace wellenschau {

// The reason for the error number `error` (errno): a German text for the
// errors files commonly meet, the system's own text for the others. UTF-8.
std::string SystemReason(int error);

}  // namespace wellenschau
