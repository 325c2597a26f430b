// The system's reason for a failed file operation in the program's
// language, for the messages of recordings, exports and folders, and the
// filling of such messages. User-interface or any thread.
#pragma once

#include <QString>

#include <initializer_list>
#include <string>

namespace wellenschau {

// The reason for the error number `error` (errno): a German text for the
// errors files commonly meet, the system's own text for the others. UTF-8.
std::string SystemReason(int error);

// The translated `text` in UTF-8 with its place holders %1 to %9 filled
// with `values` byte for byte (a file's name need not be UTF-8).
std::string Filled(const QString& text, std::initializer_list<std::string> values);

}  // namespace wellenschau
