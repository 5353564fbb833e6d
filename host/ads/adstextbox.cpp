// The text-box query of the classic interface, over the same text measure
// as the picks (dbgeom.h), so a box asked for and a box picked agree.
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/db/dbgeom.h"
#include "host/util/adscodes.h"

namespace {

const resbuf* FindGroup(const resbuf* list, int code) {
    for (; list; list = list->rbnext)
        if (list->restype == code) return list;
    return nullptr;
}

// The width factor of a text style; 1.0 when the drawing has no such style.
double StyleWidthFactor(const char* style) {
    double factor = 1.0;
    if (resbuf* rec = zcdbTblSearch("STYLE", style, 0)) {
        if (const resbuf* g = FindGroup(rec, 41)) factor = g->resval.rreal;
        zcutRelRb(rec);
    }
    return factor;
}

}  // namespace

int zcedTextBox(const resbuf* ent, ads_point p1, ads_point p2) {
    const resbuf* text = FindGroup(ent, 1);
    if (!text || !text->resval.rstring || !p1 || !p2) return RTERROR;
    double height = host::sysVarReal("TEXTSIZE");
    if (const resbuf* g = FindGroup(ent, 40)) height = g->resval.rreal;
    double widthFactor = 1.0;
    if (const resbuf* g = FindGroup(ent, 41)) {
        widthFactor = g->resval.rreal;
    } else {
        const resbuf* style = FindGroup(ent, 7);
        std::string name =
            style && style->resval.rstring ? style->resval.rstring : host::sysVarString("TEXTSTYLE");
        widthFactor = StyleWidthFactor(name.c_str());
    }
    p1[X] = p1[Y] = p1[Z] = 0.0;
    p2[X] = zcdbTextBoxWidth(text->resval.rstring, height, widthFactor);
    p2[Y] = height;
    p2[Z] = 0.0;
    return RTNORM;
}
