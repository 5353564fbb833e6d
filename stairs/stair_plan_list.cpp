// The two segment lists of the stair plan symbol. A segment is kept only
// when it has a size: a line its plan length, an arc its angular span, a
// circle its radius. New segments go to the front of their list.
#include <cmath>

#include "core/base/module_state.h"
#include "stairs/stair_record.h"

bool CSCALA::AppendPlanSegment(int below, const Point3& first, const Point3& second, int kind) {
    const bool arc = kind <= 0 && kind >= -10;
    const bool line = kind >= 1 && kind <= 10;
    double size = 0.0;
    if (arc)
        size = std::fabs(second.y - second.z);
    else if (line)
        size = Distance2d(first, second);
    else
        size = second.x;
    if (!(size >= SharedTolerance)) return false;
    auto* s = new SegmentRec;
    s->kind = kind;
    s->geom[0] = first.x;
    s->geom[1] = first.y;
    s->geom[2] = 0.0;
    s->geom[3] = second.x;
    s->geom[4] = second.y;
    s->geom[5] = line ? 0.0 : second.z;
    SegmentRec*& list = below ? planBelow : planAbove;
    s->next = list;
    list = s;
    return true;
}

SegmentRec* FindPredecessor(SegmentRec* head, const SegmentRec* target) {
    if (!head || head == target) return nullptr;
    SegmentRec* s = head;
    while (s->next && s->next != target) s = s->next;
    return s;
}
