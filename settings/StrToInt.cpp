#include "StrToInt.h"

#include "IntegerText.h"

#include <stdexcept>

int StrToInt(const std::string& text) {
    std::string_view t(text);
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
        t.remove_prefix(1);
    const auto value = ParseInt32(t, false);
    if (!value)
        throw std::invalid_argument("'" + text + "' is not a valid integer value");
    return *value;
}
