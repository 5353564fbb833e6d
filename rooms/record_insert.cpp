// Record inserts (see the header).
#include "rooms/record_insert.h"

#include <cmath>

#include "core/base/velm_assert.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "objects/language/obj_args.h"

namespace {

bool HasAttribs(const ObjContext& c) {
    for (const AttdefRecord& a : c.attdefs)
        if (!(a.flags & 2)) return true;
    return false;
}

void Append(resbuf*& tail, resbuf* more) {
    VELM_ASSERT(tail != nullptr);
    while (tail->rbnext) tail = tail->rbnext;
    tail->rbnext = more;
}

// Takes the list over.
bool Make(resbuf* raw) {
    const host::ResbufList list(raw);
    return zcdbEntMake(list.get()) == RTNORM;
}

}  // namespace

bool WriteRecordAttribs(const ObjContext& c, const Point3& at, double rotation) {
    const double cs = std::cos(rotation), sn = std::sin(rotation);
    bool ok = true;
    for (const AttdefRecord& a : c.attdefs) {
        if (a.flags & 2) continue;  // constant: the block holds it
        const double x = at.x + a.point[0] * cs - a.point[1] * sn,
                     y = at.y + a.point[0] * sn + a.point[1] * cs;
        // The text part of the entity first, then the attribute's own
        // groups; made from them, not from a list of them.
        using Item = ZcDbDxfItem;
        if (host::makeEntity(
                "ATTRIB",
                {Item::ofText(8, a.layer), Item::ofPoint(10, x, y, at.z), Item::ofReal(40, a.height),
                 Item::ofText(1, a.defaultValue), Item::ofReal(50, a.rotation + rotation),
                 Item::ofReal(41, GetStyleWidthFactor(a.style)),
                 Item::ofReal(51, GetStyleObliqueAngle(a.style)), Item::ofText(7, a.style),
                 Item::ofInt(72, a.justification % 100), Item::ofPoint(11, x, y, at.z),
                 Item::ofText(2, a.tag), Item::ofInt(70, a.flags), Item::ofInt(74, a.justification / 100)}) !=
            RTNORM)
            ok = false;
    }
    return ok;
}

bool WriteRecordSeqEnd() {
    return host::makeEntity("SEQEND", {}) == RTNORM;
}

int WriteRecordInsert(const ObjContext& c, const std::string& layer, const Point3& at, double rotation,
                      host::ResbufList xdata, ads_name made) {
    made[0] = made[1] = 0;
    const bool attributes = HasAttribs(c);
    ads_point p{at.x, at.y, at.z};
    resbuf* list =
        zcutBuildList(RTDXF0, "INSERT", 2, c.blockName.c_str(), 8, layer.c_str(), 10, p, 50, rotation, 41,
                      c.scale[0], 42, c.scale[1], 43, c.scale[2], 66, attributes ? 1 : 0, 0);
    if (xdata) {
        resbuf* tail = list;
        Append(tail, zcutBuildList(-3, 0));
        Append(tail, xdata.release());
    }
    if (!Make(list)) return 0;
    // An INSERT with attributes is added whole at its SEQEND.
    if (attributes && (!WriteRecordAttribs(c, at, rotation) || !WriteRecordSeqEnd())) {
        zcdbEntMake(nullptr);
        return 0;
    }
    ads_name insert;
    if (zcdbEntLast(insert) != RTNORM) return 0;
    made[0] = insert[0];
    made[1] = insert[1];
    return 1;
}
