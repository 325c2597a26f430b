// Checked integer arithmetic and the program's one rounding rule.
// Overflow raises EIntOverflow, a value that does not fit its target type
// raises ERangeError, as everywhere in the program's own arithmetic.
#pragma once

#include "Errors.h"

#include <cmath>
#include <concepts>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

namespace wellenschau {

template <std::integral T>
T CheckedAdd(T a, T b) {
    T result;
    if (__builtin_add_overflow(a, b, &result)) throw EIntOverflow();
    return result;
}

template <std::integral T>
T CheckedSub(T a, T b) {
    T result;
    if (__builtin_sub_overflow(a, b, &result)) throw EIntOverflow();
    return result;
}

template <std::integral T>
T CheckedMul(T a, T b) {
    T result;
    if (__builtin_mul_overflow(a, b, &result)) throw EIntOverflow();
    return result;
}

// Converts between integer types; a value the target cannot hold is a
// range error.
template <std::integral To, std::integral From>
To CheckedNarrow(From value) {
    if (!std::in_range<To>(value)) throw ERangeError();
    return static_cast<To>(value);
}

// Rounds to the nearest integer, an exact half to the even neighbour
// (the default rounding mode). NaN and values beyond 64 bits are range
// errors.
inline std::int64_t Round(double value) {
    // Below 2^51, adding and taking away 1.5 * 2^52 leaves the integer that
    // the default rounding mode chooses, without a call into the maths
    // library.
    constexpr double RoundingShift = 0x1.8p52;
    if (std::fabs(value) < 0x1p51) return static_cast<std::int64_t>((value + RoundingShift) - RoundingShift);
    const double rounded = std::nearbyint(value);
    // 2^63 is exactly representable; everything below it fits.
    if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0)) throw ERangeError();
    return static_cast<std::int64_t>(rounded);
}

// Round() narrowed to 32 bits, with the range check of the assignment.
inline std::int32_t RoundToInt(double value) { return CheckedNarrow<std::int32_t>(Round(value)); }

// Parses a decimal integer as the program's texts write it: optional sign,
// digits, nothing else. Anything else raises EConvertError naming the text.
std::int32_t StrToInt(const std::string& text);

}  // namespace wellenschau
