// Type codes of the settings variables and the small operations on values.
#include "store/aa_variabile.h"

#include <cassert>
#include <type_traits>

bool IsSettingsTypeCode(int code) {
    return code == kVarText || code == kVarPoint || code == kVarReal || code == kVarInt;
}

unsigned short TypeCodeOf(const AA_VALORE& value) {
    switch (value.index()) {
        case 0:
            return kVarInt;
        case 1:
            return kVarReal;
        case 2:
            return kVarText;
        default:
            return kVarPoint;
    }
}

AA_VALORE ZeroValueOf(unsigned short code) {
    switch (code) {
        case kVarInt:
            return short{0};
        case kVarReal:
            return 0.0;
        case kVarText:
            return std::string();
        case kVarPoint:
            return ZcGePoint3d();
    }
    assert(!"not a settings type code");
    return short{0};
}

bool SameValue(const AA_VALORE& a, const AA_VALORE& b) {
    if (a.index() != b.index()) return false;
    return std::visit(
        [&b](const auto& x) {
            using T = std::decay_t<decltype(x)>;
            const T& y = std::get<T>(b);
            if constexpr (std::is_same_v<T, ZcGePoint3d>)
                return x.x == y.x && x.y == y.y && x.z == y.z;
            else
                return x == y;
        },
        a);
}
