#include "core/base/typed_number.h"

#include "host/win/textutil.h"

std::optional<double> TypedNumber(std::string_view text) {
    return host::parseDouble(text);
}

std::optional<long long> TypedInteger(std::string_view text) {
    return host::parseInteger(text);
}
