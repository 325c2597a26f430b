#include "Errors.h"

namespace wellenschau {

ERangeError::ERangeError() : EWellenschauError("Fehler bei Bereichsprüfung") {}

EIntOverflow::EIntOverflow() : EWellenschauError("Integerüberlauf") {}

EConvertError::EConvertError(const std::string& offendingText)
    : EWellenschauError("'" + offendingText + "' ist kein gültiger Integerwert") {}

}  // namespace wellenschau
