// The error an axis raises for an invalid property value; the property
// keeps its old value. The messages are the program's German texts.
#pragma once

#include "core/Errors.h"

namespace wellenschau {

class AxisException : public EWellenschauError {
public:
    using EWellenschauError::EWellenschauError;
};

// Message texts, UTF-8, translated where they are shown.
inline constexpr const char* SAxisMinMax =
    WELLENSCHAU_TRANSLATE_NOOP("EWellenschauError", "Der Minimalwert einer Achse muss <= Maximum sein");
inline constexpr const char* SAxisMaxMin =
    WELLENSCHAU_TRANSLATE_NOOP("EWellenschauError", "Der Maximalwert einer Achse muss >= Minimum sein");
inline constexpr const char* SAxisIncrementNegative =
    WELLENSCHAU_TRANSLATE_NOOP("EWellenschauError", "Die Achsensteigung muss >= 0 sein");
inline constexpr const char* SAxisDateTimeLogarithmic =
    WELLENSCHAU_TRANSLATE_NOOP("EWellenschauError", "Eine Datum/Zeit-Achse darf nicht logarithmisch sein");
inline constexpr const char* SAxisLogarithmicNegative =
    WELLENSCHAU_TRANSLATE_NOOP("EWellenschauError", "Min.- und Max.-Werte von log. Achsen sollten >= 0 sein");
inline constexpr const char* SAxisLabelSeparation =
    WELLENSCHAU_TRANSLATE_NOOP("EWellenschauError", "Titelseparation % muss größer als 0 sein");

}  // namespace wellenschau
