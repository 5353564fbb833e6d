#include "walls/recognition/velm_muroesterno.h"

#include "core/command_table.h"
#include "host/ed/grdraw.h"
#include "walls/recognition/segment_records.h"

ZCRX_DEFINE_MEMBERS(VELM_MUROESTERNO)

namespace {

void DrawStretch(ZcGiWorldDraw* wd, const Point3& a, const Point3& b, int colour) {
    const ZcGePoint3d points[2] = {{a.x, a.y, a.z}, {b.x, b.y, b.z}};
    wd->subEntityTraits().setColor(static_cast<std::uint16_t>(colour));
    wd->geometry().polyline(2, points);
}

bool MarkedExternal(const WallFace* f) {
    for (const FaceEdge* e = f->edges; e; e = e->next)
        if (e->externalSide != 0) return true;
    return false;
}

bool g_registered = false;

}  // namespace

bool VELM_MUROESTERNO::worldDraw(ZcGiWorldDraw* wd) {
    for (const WallFace* f = faces; f; f = f->next)
        if (!f->isArc() && MarkedExternal(f)) DrawStretch(wd, f->start, f->end, 8);
    for (const WallSegment* s = segments; s; s = s->next) DrawStretch(wd, s->start, s->end, s->colour);
    for (const WallPair* p = pairs; p; p = p->next) {
        DrawStretch(wd, p->a->start, p->a->end, p->a->colour);
        DrawStretch(wd, p->b->start, p->b->end, p->b->colour);
    }
    return true;
}

void VELM_MUROESTERNO::rxInit() {
    if (zcrxFindClass(kClassName)) return;
    newZcRxClass(kClassName, "AcDbEntity", 0, 0, 0, &VELM_MUROESTERNO::Create, kClassName, kCommandGroup);
    g_registered = true;
}

void VELM_MUROESTERNO::rxUninit() {
    if (!g_registered) return;
    if (ZcRxClass* cls = zcrxFindClass(kClassName)) deleteZcRxClass(cls);
    g_registered = false;
}
