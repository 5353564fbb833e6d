#include "walls/graph/contour_highlight.h"

#include <cstdlib>

#include "host/ads/cmdline.h"
#include "host/ads/transcript.h"
#include "host/ed/grdraw.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

void Draw(const Point3& a, const Point3& b, int color) {
    const ads_point from = {a.x, a.y, a.z}, to = {b.x, b.y, b.z};
    zcedGrDraw(from, to, color, 1);
}

void Tick(const Point3& a, const Point3& b, const Point3& at, double length, int color) {
    Point3 ends[2];
    PerpendicularPoint(a, b, at, length, ends);
    Draw(ends[0], ends[1], color);
}

}  // namespace

void HighlightContour(const VertexNode* ring, int mode, bool printMessage) {
    const int slot = SetupVar::SFTMTCM;
    double unit = 1.0;
    if (!GetVarReal(&slot, &unit)) unit = 1.0;
    const double tick = unit * 20.0;
    const bool open = mode >= 1;
    const int color = open ? 1 : mode == 0 ? 3 : std::abs(mode);
    if (open && printMessage) zcutPrintf("\n%s", "Wybrany kontur nie jest zamknięty");
    if (!ring) return;
    const VertexNode* last = ring;
    for (const VertexNode* v = ring; v->next; v = v->next) {
        Draw(v->pt(), v->next->pt(), color);
        last = v->next;
    }
    if (!open) {
        if (last != ring) Draw(last->pt(), ring->pt(), color);
        return;
    }
    if (last == ring) return;
    const VertexNode* beforeLast = ring;
    while (beforeLast->next != last) beforeLast = beforeLast->next;
    Tick(beforeLast->pt(), last->pt(), last->pt(), tick, color);
    Tick(ring->pt(), ring->next->pt(), ring->pt(), tick, color);
}
