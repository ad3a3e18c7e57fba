#include "platform/NumericLocale.h"

#include <clocale>

void ResetNumericLocale() {
    std::setlocale(LC_NUMERIC, "C");
}
