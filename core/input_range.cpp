#include "core/input_range.h"

#include <cmath>

#include "core/host_services.h"
#include "host/ads/cmdline.h"
#include "host/ed/prompts.h"

namespace {

constexpr unsigned kOutOfRangeString = 1065;

}  // namespace

bool CoordinateInRange(double v) {
    return std::isfinite(v) && std::fabs(v) <= kInputLimit;
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

int GetSizeInRange(int initBits, const char* keywords, const ads_point base, const char* prompt,
                   ads_real* result) {
    for (;;) {
        zcedInitGet(initBits, keywords);
        const int rc = zcedGetDist(base, prompt, result);
        if (rc != RTNORM || SizeInRange(*result)) return rc;
        ReportOutOfRange();
    }
}
