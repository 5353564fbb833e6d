// One answer per acquire: a pick or a typed point, a number (distance, or
// angle in degrees) when a distance or angle is wanted, a keyword of the
// list, Enter, or cancel. The answer is read with the command processor's
// nextPromptToken, so zcedCommand arguments, PAUSE and scripts all feed
// jigs the same way.
#include "host/ed/jig.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "host/ads/adstext.h"
#include "host/ads/cmdline.h"
#include "host/ads/sysvars.h"
#include "host/ads/transcript.h"
#include "host/db/dbentity.h"
#include "host/ed/cmdproc.h"
#include "host/ed/hostcmd_util.h"
#include "host/ed/prompts.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The 1-based position of a global keyword in the list; 0 when absent.
int keywordIndex(const std::string& list, const std::string& keyword) {
    std::vector<std::string> locals, globals;
    bool inGlobals = false;
    size_t i = 0;
    while (i < list.size()) {
        while (i < list.size() && list[i] == ' ') ++i;
        size_t b = i;
        while (i < list.size() && list[i] != ' ') ++i;
        if (i == b) break;
        std::string w = list.substr(b, i - b);
        if (w == "_")
            inGlobals = true;
        else
            (inGlobals ? globals : locals).push_back(w);
    }
    const std::vector<std::string>& pool =
        globals.size() == locals.size() && !globals.empty() ? globals : locals;
    for (size_t k = 0; k < pool.size(); ++k)
        if (pool[k] == keyword) return static_cast<int>(k) + 1;
    return 0;
}

void echo(const std::string& text) {
    host::echoPrompt(text);
}

void echoAnswer(const std::string& text) {
    if (host::answerEchoOn()) host::transcript().append(text);
}

}  // namespace

ZcEdJig::DragStatus ZcEdJig::drag() {
    DragStatus status = sampler();
    if (status == kNoChange || status == kCancel) return status;
    if (status == kNormal) {
        update();
        ZcGiWorldDraw wd;
        wd.setDragging(true);
        if (ZcDbEntity* ent = entity())
            wd.subEntityTraits().setColor(static_cast<std::uint16_t>(ent->colorIndex()));
        const int kept = drawChanges(wd);
        if (kept < 0) {
            preview_ = host::recordWorldDraw(entity(), true);
        } else {
            preview_.resize(std::min(preview_.size(), static_cast<size_t>(kept)));
            preview_.insert(preview_.end(), wd.primitives().begin(), wd.primitives().end());
        }
        ++previews_;
    }
    return status;
}

int ZcEdJig::drawChanges(ZcGiWorldDraw&) {
    return -1;
}

ZcDbObjectId ZcEdJig::append() {
    return host::appendEntity(entity());
}

ZcEdJig::DragStatus ZcEdJig::acquirePoint(ZcGePoint3d& point) {
    return acquire(Want::Point, nullptr, &point, nullptr);
}
ZcEdJig::DragStatus ZcEdJig::acquirePoint(ZcGePoint3d& point, const ZcGePoint3d& base) {
    return acquire(Want::Point, &base, &point, nullptr);
}
ZcEdJig::DragStatus ZcEdJig::acquireDist(double& d) {
    return acquire(Want::Dist, nullptr, nullptr, &d);
}
ZcEdJig::DragStatus ZcEdJig::acquireDist(double& d, const ZcGePoint3d& base) {
    return acquire(Want::Dist, &base, nullptr, &d);
}
ZcEdJig::DragStatus ZcEdJig::acquireAngle(double& a) {
    return acquire(Want::Angle, nullptr, nullptr, &a);
}
ZcEdJig::DragStatus ZcEdJig::acquireAngle(double& a, const ZcGePoint3d& base) {
    return acquire(Want::Angle, &base, nullptr, &a);
}

void ZcEdJig::setDispPrompt(const char* fmt, ...) {
    if (!fmt) {
        prompt_.clear();
        return;
    }
    va_list ap;
    va_start(ap, fmt);
    char buf[1024];
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    prompt_ = buf;
}

void ZcEdJig::setKeywordList(const char* keywords) {
    keywords_ = keywords ? keywords : "";
}

ZcEdJig::DragStatus ZcEdJig::acquire(Want want, const ZcGePoint3d* base, ZcGePoint3d* point, double* value) {
    const char* need = want == Want::Point  ? "Wymagany punkt lub opcja."
                       : want == Want::Dist ? "Wymagana odległość, drugi punkt lub opcja."
                                            : "Wymagany kąt, drugi punkt lub opcja.";
    echo(prompt_);
    for (;;) {
        host::InputToken t = host::nextPromptToken();
        if (t.kind == host::InputToken::Cancel || t.kind == host::InputToken::Break) {
            echoAnswer("*Anuluj*");
            host::noteCancelled();
            return kCancel;
        }
        std::optional<ZcGePoint3d> p;
        std::string answer;
        if (t.kind == host::InputToken::Pick) {
            p = t.point;
        } else {
            echoAnswer(t.text);
            answer = host::ads_text::trim(t.text);
            if (answer.empty()) {
                if (controls_ & kNullResponseAccepted) return kNull;
                host::transcript().append(std::string("\n") + need);
                echo(prompt_);
                continue;
            }
            std::string kw;
            host::KeywordMatch m = host::matchKeyword(keywords_, answer, kw);
            if (m == host::KeywordMatch::Found) {
                host::setLastInput(kw);
                int index = keywordIndex(keywords_, kw);
                if (index > 0) return static_cast<DragStatus>(index);
            }
            if (m == host::KeywordMatch::Ambiguous) {
                zcutPrintf("\nNiejednoznaczna opcja.");
                echo(prompt_);
                continue;
            }
            p = host::parsePointAnswer(answer);
        }
        if (p) {
            if (want == Want::Point) {
                *point = *p;
                if (!(controls_ & kDontUpdateLastPoint))
                    host::setSysVar("LASTPOINT", host::SysVarValue{*p}, false);
                return kNormal;
            }
            if (base) {
                ZcGeVector3d v = *p - *base;
                const double d = want == Want::Dist ? std::hypot(v.x, v.y) : std::atan2(v.y, v.x);
                // Two far points can be too far apart for a number.
                if (std::isfinite(d)) {
                    *value = d;
                    if (want == Want::Angle && *value < 0) *value += 2 * kPi;
                    return kNormal;
                }
            }
        } else if (want != Want::Point) {
            if (auto n = host::ads_text::parseReal(answer)) {
                double v = want == Want::Angle ? *n * kPi / 180 : *n;
                bool refused = ((controls_ & kNoZeroResponseAccepted) && v == 0) ||
                               ((controls_ & kNoNegativeResponseAccepted) && v < 0);
                if (!refused) {
                    *value = v;
                    return kNormal;
                }
                zcutPrintf(v == 0 ? "\nWartość musi być różna od zera." : "\nWartość nie może być ujemna.");
                echo(prompt_);
                continue;
            }
        }
        if ((controls_ & kAcceptOtherInputString) && !answer.empty()) {
            host::setLastInput(answer);
            return kOther;
        }
        zcutPrintf("\n%s", need);
        echo(prompt_);
    }
}
