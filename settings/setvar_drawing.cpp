// Settings by name on the current drawing (see the header). The rules of
// what is accepted and printed live in setvar_byname.cpp; this file only
// opens the drawing's objects, talks to the command line and hands LISP
// values back.
#include "settings/setvar_drawing.h"

#include <vector>

#include "host/ads/cmdline.h"
#include "host/ads/lisp.h"
#include "host/ads/sysvars.h"
#include "host/ads/transcript.h"
#include "host/ads/units.h"
#include "host/ed/prompts.h"
#include "settings/pane_texts.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

// Answers hold 260 characters with the terminator; a name 264.
constexpr std::size_t kAnswerSize = 260;
constexpr std::size_t kNameSize = 264;

int answerLisp(const LispResult& r);

// The current floor is SQPAV: whichever route changes it, the host's
// ELEVATION and the floor pane follow it, as they do for the typed setter.
class CurrentFloorFollower {
public:
    CurrentFloorFollower() { had_ = GetVarReal(&kSlot, &before_); }
    ~CurrentFloorFollower() {
        double after = 0.0;
        if (!had_ || !GetVarReal(&kSlot, &after) || after == before_) return;
        resbuf rb{};
        rb.restype = RTREAL;
        rb.resval.rreal = after;
        zcedSetVar("ELEVATION", &rb);
        UpdateFloorPane();
    }

private:
    static constexpr int kSlot = SetupVar::SQPAV;
    double before_ = 0.0;
    bool had_ = false;
};

}  // namespace

VELM_SETUP* DrawingSettingsByName::openSetup(bool forWrite) {
    if (!setup_) setup_ = ZcDbObjectPointer<VELM_SETUP>(OpenSetupObject(!forWrite));
    if (setup_ && forWrite) {
        if (!setup_->isWriteEnabled() && setup_->upgradeOpen() != Zcad::eOk) return nullptr;
        setup_->assertWriteEnabled();
    }
    return setup_.get();
}

VELM_FSCALA* DrawingSettingsByName::openFScala() {
    if (!fscala_) fscala_ = ZcDbObjectPointer<VELM_FSCALA>(OpenFScalaObject());
    return fscala_.get();
}

VELM_LIBOBJOPT* DrawingSettingsByName::openLibObjOpt() {
    if (!libobjopt_) libobjopt_ = ZcDbObjectPointer<VELM_LIBOBJOPT>(OpenLibObjOptObject());
    return libobjopt_.get();
}

void DrawingSettingsByName::print(const std::string& text) {
    zcutPrintf("%s", text.c_str());
}

int DrawingSettingsByName::getString(bool allowSpaces, const std::string& prompt, std::string& answer) {
    std::vector<char> buf(allowSpaces ? kAnswerSize : kNameSize, '\0');
    int st = zcedGetString(allowSpaces ? 1 : 0, prompt.c_str(), buf.data(), buf.size());
    answer = buf.data();
    // An answer cut to the buffer is still an answer.
    return st == RTINPUTTRUNCATED ? RTNORM : st;
}

std::string DrawingSettingsByName::formatReal(double value) {
    char buf[kAnswerSize] = {};
    if (zcdbRToS(value, -1, -1, buf) != RTNORM) return {};
    return buf;
}

void CmdVelmSetVar() {
    CurrentFloorFollower floor;
    DrawingSettingsByName drawing;
    VELMSETVAR(drawing);
}

int LispVelmSetVar() {
    LispResult r;
    {
        CurrentFloorFollower floor;
        DrawingSettingsByName drawing;
        r = VelmSetVarLisp(drawing, zcedGetArgs());
    }
    return answerLisp(r);
}

int LispVelmGetVar() {
    LispResult r;
    {
        DrawingSettingsByName drawing;
        r = VelmGetVarLisp(drawing, zcedGetArgs());
    }
    return answerLisp(r);
}

namespace {

// The objects are closed before the value is handed back, so what LISP sees
// is what the drawing holds.
int answerLisp(const LispResult& r) {
    if (const short* v = std::get_if<short>(&r.value))
        zcedRetInt(*v);
    else if (const double* v = std::get_if<double>(&r.value))
        zcedRetReal(*v);
    else if (const std::string* v = std::get_if<std::string>(&r.value))
        zcedRetStr(v->c_str());
    else
        zcedRetNil();
    return r.status;
}

}  // namespace
