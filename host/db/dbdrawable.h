// The drawable base of every database object: the hooks a preview or the
// display calls to have an object draw itself. The drawing interfaces
// (ZcGiWorldDraw and friends) belong to the editor's preview layer and are
// only named here; an object that draws nothing answers true.
#pragma once

#include <cstdint>

#include "host/rx/rxobject.h"

class ZcGiWorldDraw;
class ZcGiViewportDraw;
class ZcGiDrawableTraits;

class ZcGiDrawable : public ZcRxObject {
public:
    // True when the drawing is complete (no viewport-dependent part).
    virtual bool worldDraw(ZcGiWorldDraw* wd) {
        (void)wd;
        return true;
    }
    virtual void viewportDraw(ZcGiViewportDraw* vd) { (void)vd; }
    virtual std::uint32_t setAttributes(ZcGiDrawableTraits* traits) {
        (void)traits;
        return 0;
    }
};
