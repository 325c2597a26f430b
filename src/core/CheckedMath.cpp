#include "CheckedMath.h"

#include <charconv>

namespace wellenschau {

std::int32_t StrToInt(const std::string& text) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (first == last || error != std::errc() || end != last) throw EConvertError(text);
    return value;
}

}  // namespace wellenschau
