// Dimension text and the dimension driver. The rounding and the text are
// pure functions of the unit step and the dimension variables (the "With"
// forms); the public forms read those from the drawing. The driver speaks to
// the host only through its command line ("_DIM" and its sub-commands), as a
// user would, so the dimensions are the host's own; every system variable it
// changes is given back at the end.
//
// Three guards against floating point: a remainder within 1e-9 of a
// rounding bound counts as on it; the whole units are the floor of the
// quotient plus 1e-6, so a length of 9.9999999 units reads "10"; and the decimal count from the logarithm of
// the unit step gets a small epsilon, so a step of 0.001 gives three decimals.
#include "core/dimtext.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <numbers>
#include <string_view>

#include "core/base/module_state.h"
#include "core/geometry/geom_basic.h"
#include "core/host_services.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/ed/cmdproc.h"
#include "host/ed/prompts.h"
#include "host/util/nocase.h"
#include "host/win/textutil.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr const char* kOverallPrompt = "Chcesz całkowity wymiar? (T/N) <N>:";

double UnitStep() {
    const double u = DrawingUnitFactor();
    return u > 0.0 ? u : 1.0;
}

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Printf(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && zcutEqualsNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

// ---------------------------------------------------------------- scale

double PaperScaleFactor(int index) {
    return GetScaleFactor(index) * 0.1 * UnitStep();
}

// ------------------------------------------------------------- rounding

void RoundDimensionValue(double length, double& rounded, std::string& digits) {
    DimensionRounding r;
    r.unit = UnitStep();
    r.quarters = SettingInt(SetupVar::ARROTUNQUARTO) != 0;
    RoundDimensionValueWith(r, length, rounded, digits);
}

void RoundDimensionValueWith(const DimensionRounding& r, double length, double& rounded,
                             std::string& digits) {
    double q = length / r.unit;
    double f = std::floor(q);
    // A remainder on a bound up to division noise still rounds down.
    double rest = q - f - 1e-9;
    digits.clear();
    if (!r.quarters) {
        if (rest <= 0.25) {
        } else if (rest <= 0.75) {
            digits = "5";
        } else {
            f += 1.0;
        }
    } else {
        if (rest <= 0.125) {
        } else if (rest <= 0.375) {
            digits = "25";
        } else if (rest <= 0.625) {
            digits = "5";
        } else if (rest <= 0.875) {
            digits = "75";
        } else {
            f += 1.0;
        }
    }
    rounded = f * r.unit;
}

// ----------------------------------------------------------------- text

void FormatDimensionText(double textHeight, double length, const std::string& digits, std::string& text,
                         double fractionHeight) {
    DimensionFormat f;
    f.unit = UnitStep();
    f.dimlfac = SysVarReal("DIMLFAC", nullptr, nullptr);
    f.dimscale = SysVarReal("DIMSCALE", nullptr, nullptr);
    f.decimalComma = SettingInt(SetupVar::SEPDECVIRG) != 0;
    text = FormatDimensionTextWith(f, textHeight, length, digits, fractionHeight);
}

std::string FormatDimensionTextWith(const DimensionFormat& f, double textHeight, double length,
                                    const std::string& digits, double fractionHeight) {
    double q = length / f.unit;
    std::string number;
    if (q >= 100.0) {
        double dimlfac = f.dimlfac > 0.0 ? f.dimlfac : 1.0;
        double decimals = -std::log10(f.unit) - std::log10(dimlfac) + 1e-9;
        int precision = decimals >= 0.0 ? static_cast<int>(decimals) : 0;
        number = Printf("%.*f", precision, dimlfac * length);
        if (f.decimalComma) {
            std::size_t dot = number.find('.');
            if (dot != std::string::npos) number[dot] = ',';
        }
    } else {
        // The length was rounded to whole units before; what is left of the
        // division is noise, not a fraction.
        number = Printf("%.0f", std::floor(q + 1e-6));
    }
    if (fractionHeight < 0.0) fractionHeight = f.dimscale * textHeight * 0.714;
    return Printf("%s\\H%f;\\S%s^", number.c_str(), fractionHeight, digits.c_str());
}

// --------------------------------------------------------------- driver

namespace {

// The drawing state the driver changes, taken when it starts and given
// back when it ends.
struct SavedDimState {
    short cmdecho = 1, osmode = 0;
    double dimscale = 1.0, elevation = 0.0;
    std::string dimstyle, clayer;
    bool styleChanged = false;
};

bool DimStyleExists(const std::string& name) {
    return host::ResbufList(zcdbTblSearch("DIMSTYLE", name.c_str(), 0)) != nullptr;
}

const VertexNode* FindByNumber(const VertexNode* list, int number) {
    for (; list; list = list->next)
        if (list->data1 == number) return list;
    return nullptr;
}

void ToAds(const VertexNode* v, ads_point out) {
    out[0] = v->x;
    out[1] = v->y;
    out[2] = v->z;
}

std::string SpanText(double length) {
    if (SettingInt(SetupVar::QNORMDIN) == 0) return "";
    double rounded = 0.0;
    std::string digits, text;
    RoundDimensionValue(length, rounded, digits);
    FormatDimensionText(SysVarReal("DIMTXT", nullptr, nullptr), rounded, digits, text, -1.0);
    return text;
}

// One run of the dimension mode. The whole answer list goes to the host in
// one call, so the mode is entered and left within it.
class DimRun {
public:
    DimRun() { add(zcutBuildList(RTSTR, "_DIM", 0)); }
    DimRun& word(const std::string& w) { return add(zcutBuildList(RTSTR, w.c_str(), 0)); }
    DimRun& point(const ads_point p) { return add(zcutBuildList(RT3DPOINT, p, 0)); }
    void run() {
        word("_EXIT");
        zcedCmd(head_.get());
    }

private:
    DimRun& add(resbuf* node) {
        if (!head_)
            head_.reset(node);
        else
            tail_->rbnext = node;
        tail_ = node;
        return *this;
    }
    host::ResbufList head_;
    resbuf* tail_ = nullptr;
};

// Moves the text of the dimension just made aside of a short span.
void MoveLastText(const VertexNode* a, const VertexNode* b, double angle, double textOffset) {
    ads_name last;
    if (zcdbEntLast(last) != RTNORM) return;
    ads_point at{a->x, a->y, a->z};
    {
        const host::ResbufList list(zcdbEntGet(last));
        for (const resbuf* r = list.get(); r; r = r->rbnext)
            if (r->restype == 11) ads_point_set(r->resval.rpoint, at);
    }
    Point3 mid;
    MidPoint(a->pt(), b->pt(), mid);
    Point3 moved =
        PolarPoint(PolarPoint(mid, angle, textOffset), angle, SettingReal(SetupVar::SQ_SPOSTAMENTO, 0.0));
    ads_point to{moved.x, moved.y, moved.z};
    DimRun edit;
    edit.word("_TEDIT").point(at).point(to);
    edit.run();
}

void DimensionOneSpan(const std::string& word, const VertexNode* a, const VertexNode* b, const ads_point line,
                      const std::string& text) {
    ads_point p1, p2;
    ToAds(a, p1);
    ToAds(b, p2);
    DimRun dim;
    dim.word(word).point(p1).point(p2).point(line).word(text);
    dim.run();
}

}  // namespace

void DrawDimension(std::string& styleName, const std::string& layer, const ads_point dimLinePoint,
                   const VertexNode* points, const VertexNode* assocPoints, const std::string& commandWord,
                   double angle, double elevation, double textOffset, double minSpan) {
    if (StartsWithNoCase(commandWord, "_VER")) angle += std::numbers::pi;

    SavedDimState saved;
    constexpr int kOff = 0;
    saved.cmdecho = static_cast<short>(SysVarShort("CMDECHO", &kOff));
    SysVarString("DIMSTYLE", {}, saved.dimstyle);
    if (!DimStyleExists(styleName)) {
        styleName = saved.dimstyle;
    } else {
        zcedCommand(RTSTR, "_-dimstyle", RTSTR, "_restore", RTSTR, styleName.c_str(), 0);
        saved.styleChanged = true;
    }
    bool assoc =
        StartsWithNoCase(styleName, "VELMASSOC") && !zcutEqualsNoCase(commandWord, "_ALI") && assocPoints;

    constexpr int kSet = 1;
    const double dimscale = PaperScaleFactor(kDimensionScaleEntry);
    saved.dimscale = SysVarReal("DIMSCALE", &dimscale, &kSet);
    SysVarString("CLAYER", {}, saved.clayer);
    SetLayerState(layer, true, 0);
    std::string replaced;
    SysVarString("CLAYER", layer, replaced);
    saved.osmode = static_cast<short>(SysVarShort("OSMODE", &kOff));
    saved.elevation = SysVarReal("ELEVATION", &elevation, &kSet);

    // In associative mode the host is given the element's own points, so
    // that the dimension follows them; the text still measures the span.
    auto hostPoint = [&](const VertexNode* v) {
        if (!assoc) return v;
        const VertexNode* found = FindByNumber(assocPoints, v->data1);
        return found ? found : v;
    };

    double shortSpan = SettingReal(SetupVar::SQSOGLIA_TEDIT, 0.0);
    for (const VertexNode* a = points; a && a->next; a = a->next) {
        const VertexNode* b = a->next;
        double length = HostDistance(a->pt(), b->pt());
        if (length < minSpan || length < GeomEpsilon) continue;
        DimensionOneSpan(commandWord, hostPoint(a), hostPoint(b), dimLinePoint, SpanText(length));
        if (length < shortSpan - GeomEpsilon) MoveLastText(a, b, angle, textOffset);
    }

    if (CountNodes(points) > 2 && AskYesNo(kOverallPrompt, 0) == 1) {
        const VertexNode* first = points;
        const VertexNode* last = points;
        while (last->next) last = last->next;
        Point3 line = PolarPoint({dimLinePoint[0], dimLinePoint[1], dimLinePoint[2]}, angle,
                                 SettingReal(SetupVar::SQSPOSTA_COMP, 0.0));
        ads_point where{line.x, line.y, line.z};
        DimensionOneSpan(commandWord, hostPoint(first), hostPoint(last), where,
                         SpanText(HostDistance(first->pt(), last->pt())));
    }

    SysVarReal("DIMSCALE", &saved.dimscale, &kSet);
    if (saved.styleChanged)
        zcedCommand(RTSTR, "_-dimstyle", RTSTR, "_restore", RTSTR, saved.dimstyle.c_str(), 0);
    const int cmdecho = saved.cmdecho, osmode = saved.osmode;
    SysVarShort("CMDECHO", &cmdecho);
    SysVarShort("OSMODE", &osmode);
    SysVarReal("ELEVATION", &saved.elevation, &kSet);
    SysVarString("CLAYER", saved.clayer, replaced);
}
