// One settings variable of a drawing: a typed value whose type is one of the
// host's extended-data group codes (1000 text, 1010 3D point, 1040 real,
// 1070 16-bit integer). The value is held in an owning variant and the type
// code is derived from the alternative it holds, so the two can never
// disagree: a text is never taken for a number, nor a number released as a
// text, whatever a drawing file says.
#pragma once

#include <string>
#include <variant>

#include "host/ge/gebase.h"

enum : unsigned short {
    kVarText = 1000,
    kVarPoint = 1010,
    kVarReal = 1040,
    kVarInt = 1070,
};

// The value of a variable, and also the value of one filed DXF item.
using AA_VALORE = std::variant<short, double, std::string, ZcGePoint3d>;

// True for the four codes a variable can have.
bool IsSettingsTypeCode(int code);
// The type code that names the alternative a value holds.
unsigned short TypeCodeOf(const AA_VALORE& value);
// A value of the given type code, zero or empty; the code must be valid.
AA_VALORE ZeroValueOf(unsigned short code);

class AA_VARIABILE {
public:
    AA_VARIABILE() = default;
    explicit AA_VARIABILE(AA_VALORE value) : value_(std::move(value)) {}

    unsigned short typeCode() const { return TypeCodeOf(value_); }
    const AA_VALORE& value() const { return value_; }
    void setValue(AA_VALORE value) { value_ = std::move(value); }

    // Typed views: null when the variable holds another type.
    const short* asInt() const { return std::get_if<short>(&value_); }
    const double* asReal() const { return std::get_if<double>(&value_); }
    const std::string* asText() const { return std::get_if<std::string>(&value_); }
    const ZcGePoint3d* asPoint() const { return std::get_if<ZcGePoint3d>(&value_); }
    short* asInt() { return std::get_if<short>(&value_); }
    double* asReal() { return std::get_if<double>(&value_); }
    std::string* asText() { return std::get_if<std::string>(&value_); }
    ZcGePoint3d* asPoint() { return std::get_if<ZcGePoint3d>(&value_); }

private:
    AA_VALORE value_{short{0}};
};

// Exact equality of two values (same type, same bits of every number).
bool SameValue(const AA_VALORE& a, const AA_VALORE& b);
