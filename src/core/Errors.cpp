#include "Errors.h"

namespace wellenschau {

ERangeError::ERangeError()
    : EWellenschauError(WELLENSCHAU_TRANSLATE_NOOP("EWellenschauError", "Fehler bei Bereichsprüfung")) {}

EIntOverflow::EIntOverflow() : EWellenschauError(WELLENSCHAU_TRANSLATE_NOOP("EWellenschauError", "Integerüberlauf")) {}

EConvertError::EConvertError(const std::string& offendingText)
    : EWellenschauError("'" + offendingText + "' ist kein gültiger Integerwert") {}

}  // namespace wellenschau
