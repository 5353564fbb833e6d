// The outline readers handed down by the wall-face graph (see the header).
#include "objects/placement/gap_outline.h"

#include <memory>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "host/ads/rbutil.h"

namespace {

GapOutlineReader& GapReader() {
    static GapOutlineReader reader;
    return reader;
}
PilasterOutlineReader& PilasterReader() {
    static PilasterOutlineReader reader;
    return reader;
}

struct RbFree {
    void operator()(resbuf* list) const { zcutRelRb(list); }
};
using RbList = std::unique_ptr<resbuf, RbFree>;

}  // namespace

void SetGapOutlineReader(GapOutlineReader reader) {
    GapReader() = std::move(reader);
}
void SetPilasterOutlineReader(PilasterOutlineReader reader) {
    PilasterReader() = std::move(reader);
}

bool ReadGapOutline(const ads_name entity, GapOutline& out) {
    if (!GapReader()) return false;
    RbList list(GetEntXData(entity, kGapOutlineApp));
    return list && GapReader()(list.get(), out);
}

bool CreateTag3DiStrNode(const resbuf* xdata, const Point3& base, const std::string& layer,
                         const ads_name entity, GapOutline& out) {
    if (!GapReader() || !xdata) return false;
    const ads_point at = {base.x, base.y, base.z};
    RbList head(zcutBuildList(-1, entity, 8, layer.c_str(), 10, at, 0));
    if (!head) return false;
    resbuf* tail = head.get();
    while (tail->rbnext) tail = tail->rbnext;
    // The xdata stays the caller's: it is only lent for the reading.
    tail->rbnext = const_cast<resbuf*>(xdata);
    const bool read = GapReader()(head.get(), out);
    tail->rbnext = nullptr;
    return read;
}

VertexNode* ReadPilasterOutline(const ads_name entity) {
    return PilasterReader() ? PilasterReader()(entity) : nullptr;
}
