#include "core/input_range.h"

#include <cmath>

#include "core/host_services.h"
#include "host/ads/cmdline.h"
#include "host/ed/prompts.h"
#include "host/ui/msgbox.h"

namespace {

constexpr unsigned kOutOfRangeString = 1065;

}  // namespace

bool CoordinateInRange(double v) {
    return NumberInRange(v);
}

bool PointInRange(const Point3& p) {
    return CoordinateInRange(p.x) && CoordinateInRange(p.y) && CoordinateInRange(p.z);
}

bool PointInRange(const ads_point p) {
    return CoordinateInRange(p[X]) && CoordinateInRange(p[Y]) && CoordinateInRange(p[Z]);
}

bool SizeInRange(double v) {
    return std::isfinite(v) && v > 0.0 && v <= kInputLimit;
}

bool AngleInRange(double v) {
    return CoordinateInRange(v);
}

bool ValueInRange(double v, NumberRange range) {
    switch (range) {
        case NumberRange::Size:
            return SizeInRange(v);
        case NumberRange::NotNegative:
            return CoordinateInRange(v) && v >= 0.0;
        case NumberRange::Coordinate:
            break;
    }
    return CoordinateInRange(v);
}

std::optional<double> NumberFromText(const std::string& text, NumberRange range) {
    const std::optional<double> v = TypedNumber(text);
    if (!v || !ValueInRange(*v, range)) return std::nullopt;
    return v;
}

std::string OutOfRangeMessage() {
    std::string text;
    LoadModuleString(text, kOutOfRangeString);
    return text;
}

void ReportOutOfRange() {
    zcutPrintf("\n%s", OutOfRangeMessage().c_str());
}

int GetPointInRange(int initBits, const char* keywords, const ads_point base, const char* prompt,
                    ads_point result) {
    for (;;) {
        zcedInitGet(initBits, keywords);
        const int rc = zcedGetPoint(base, prompt, result);
        if (rc != RTNORM || PointInRange(result)) return rc;
        ReportOutOfRange();
    }
}

namespace {

// Asks by `ask` until the answer passes `inRange` or is not a value.
template <class Ask, class Check>
int AskInRange(int initBits, const char* keywords, Ask ask, Check inRange) {
    for (;;) {
        zcedInitGet(initBits, keywords);
        const int rc = ask();
        if (rc != RTNORM || inRange()) return rc;
        ReportOutOfRange();
    }
}

}  // namespace

int GetDistInRange(int initBits, const char* keywords, const ads_point base, const char* prompt,
                   ads_real* result) {
    return AskInRange(
        initBits, keywords, [&] { return zcedGetDist(base, prompt, result); },
        [&] { return CoordinateInRange(*result); });
}

int GetRealInRange(int initBits, const char* keywords, const char* prompt, ads_real* result) {
    return AskInRange(
        initBits, keywords, [&] { return zcedGetReal(prompt, result); },
        [&] { return CoordinateInRange(*result); });
}

int GetAngleInRange(int initBits, const char* keywords, const ads_point base, const char* prompt,
                    ads_real* result) {
    return AskInRange(
        initBits, keywords, [&] { return zcedGetAngle(base, prompt, result); },
        [&] { return AngleInRange(*result); });
}

int GetCornerInRange(int initBits, const char* keywords, const ads_point base, const char* prompt,
                     ads_point result) {
    return AskInRange(
        initBits, keywords, [&] { return zcedGetCorner(base, prompt, result); },
        [&] { return PointInRange(result); });
}

bool NumberFieldInRange(std::optional<double> value, NumberRange range) {
    if (value && ValueInRange(*value, range)) return true;
    AfxMessageBox(value ? OutOfRangeMessage() : std::string(kInvalidValueMessage), MB_ICONEXCLAMATION);
    return false;
}

bool CheckNumberField(CDataExchange* dx, std::optional<double> value, bool size) {
    if (dx->m_bFailed || !dx->m_bSaveAndValidate) return !dx->m_bFailed;
    if (NumberFieldInRange(value, size ? NumberRange::Size : NumberRange::Coordinate)) return true;
    dx->Fail();
    return false;
}

bool NumbersInRange(std::initializer_list<std::optional<double>> values) {
    for (const std::optional<double>& v : values)
        if (!NumberFieldInRange(v, NumberRange::Coordinate)) return false;
    return true;
}

namespace {

// The member keeps its value when the field is refused.
void NumberField(CDataExchange* dx, int id, double& value, bool size) {
    if (!dx->m_bSaveAndValidate) return DDX_Text(dx, id, value);
    CWnd* field = dx->PrepareEditCtrl(id);
    if (!field) return;
    const std::optional<double> typed = TypedNumber(field->GetWindowText());
    if (CheckNumberField(dx, typed, size)) value = *typed;
}

}  // namespace

void DDX_Number(CDataExchange* dx, int id, double& value) {
    NumberField(dx, id, value, false);
}

void DDX_Size(CDataExchange* dx, int id, double& value) {
    NumberField(dx, id, value, true);
}

int GetSizeInRange(int initBits, const char* keywords, const ads_point base, const char* prompt,
                   ads_real* result) {
    for (;;) {
        zcedInitGet(initBits, keywords);
        const int rc = zcedGetDist(base, prompt, result);
        if (rc != RTNORM || SizeInRange(*result)) return rc;
        ReportOutOfRange();
    }
}

PointAnswer PointInputPortInRange::GetPoint(const Point3* base, const std::string& prompt,
                                            const std::string& keywords, bool noNull) {
    for (;;) {
        PointAnswer answer = HostPointInputPort::GetPoint(base, prompt, keywords, noNull);
        if (answer.kind != PointAnswer::Kind::Point || PointInRange(answer.point)) return answer;
        ReportOutOfRange();
    }
}
