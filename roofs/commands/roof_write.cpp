// Writing the pitches of a generated roof. A roof is written whole or not
// at all: a break in one pitch's triangulation takes back the pitches (and
// their hatches) already written.
#include "roofs/commands/roof_write.h"

#include <array>
#include <cstdint>

#include "core/geometry/vertex_list.h"
#include "host/ads/adsent.h"
#include "host/ads/cmdline.h"
#include "roofs/commands/slab_entry.h"
#include "roofs/slab_record.h"

bool WriteRoofPitches(CFALDA& record, const std::vector<std::vector<Point3>>& loops, const RoofHatch& hatch) {
    std::vector<std::array<std::int64_t, 2>> made;
    for (const std::vector<Point3>& pts : loops) {
        VertexNode* list = nullptr;
        for (const Point3& p : pts) AppendVertex(&list, p, 1, 0, 0);
        list = RemoveDuplicateVertices(list);
        if (CountNodes(list) <= 2) {
            FreeList(list);
            continue;
        }
        auto* loop = new ContourNode;
        loop->vertices = list;
        ads_name insert{0, 0};
        const bool ok = WriteSlabInsert(record, loop, 0.0, record.name, insert);
        FreeListOfLists(loop);
        if (!ok) {
            for (const auto& e : made) {
                ads_name name{e[0], e[1]};
                zcdbEntDel(name);
            }
            zcutPrintf("%s", "\nGenerowanie dachu zostało anulowane!");
            return false;
        }
        made.push_back({insert[0], insert[1]});
        if (hatch.make) {
            HatchSlabLoops(record, record.name, hatch.angle, hatch.scale, hatch.pattern, 1);
            ads_name last;
            if (zcdbEntLast(last) == RTNORM && !ads_name_equal(last, insert))
                made.push_back({last[0], last[1]});
        }
    }
    return true;
}
