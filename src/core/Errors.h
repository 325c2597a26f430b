// The program's errors. Each carries the German message that the
// application's error handler shows to the user; an error ends the event
// handler in which it occurs and the program goes on in its state.
#pragma once

#include <stdexcept>
#include <string>

// Marks a fixed German message of an error raised where Qt is not at hand
// (this room, the chart engine) for Qt's translation tools, which read it
// as QT_TRANSLATE_NOOP (the lupdate options in CMakeLists.txt say so). Its
// context is "EWellenschauError"; the message is translated where it is
// shown (ErrorMessage in src/app).
#define WELLENSCHAU_TRANSLATE_NOOP(context, text) text

namespace wellenschau {

// Base of every error the program raises itself. The message is UTF-8.
class EWellenschauError : public std::runtime_error {
public:
    explicit EWellenschauError(const std::string& message) : std::runtime_error(message) {}
};

// A value or an array index outside its permitted range.
class ERangeError : public EWellenschauError {
public:
    ERangeError();
};

// An integer result that does not fit its type.
class EIntOverflow : public EWellenschauError {
public:
    EIntOverflow();
};

// A text that is not a decimal integer; the message names the text.
class EConvertError : public EWellenschauError {
public:
    explicit EConvertError(const std::string& offendingText);
};

}  // namespace wellenschau
