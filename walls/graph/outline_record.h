// The outline records that objects leave in the drawing for the face graph:
// the cut outline of an object set into a wall ("VELM5$_$TAG3DISTR-") and
// the outline of a pilaster ("VELM5$_$PILASTROSTR-").
#pragma once

#include <memory>
#include <string>

#include "core/geometry/geom_basic.h"
#include "core/geometry/vertex_list.h"
#include "host/util/adscodes.h"
#include "host/util/resbuf.h"
#include "walls/graph/wall_face.h"

inline constexpr const char* kTag3DiStrApp = "VELM5$_$TAG3DISTR-";
inline constexpr const char* kPilasterApp = "VELM5$_$PILASTROSTR-";

// The outline of an object from its entity-data list with the outline
// record (groups -1, 8 and 10 and the xdata); null without the record, its
// first 1070 value, or two distinct points in each jamb polyline. An
// opening's (kind 11) two hole outlines come out on the faces they stand
// on, internal where the jambs start and external where they end, however
// its definition wrote them.
OutlineNode* ParseTag3DiStr(const resbuf* list);
// The same read from the entity.
OutlineNode* ReadTag3DiStr(const ads_name entity);
// The same built from data already read: the object's xdata (from its
// first 1001 group), its insertion point, layer and name, as an editing
// command captures them from an object it erases.
OutlineNode* CreateTag3DiStrNode(const resbuf* xdata, const Point3& base, const std::string& layer,
                                 const ads_name entity);

// One outline read for a caller that keeps it no longer than a scope.
struct OutlineListFree {
    void operator()(OutlineNode* list) const { FreeOutlineList(list); }
};
using OwnedOutline = std::unique_ptr<OutlineNode, OutlineListFree>;

// The pilaster outline: one vertex per 1011 point, in the reverse of the
// stored order, at the level of the entity's layer when it has one; null
// when the record or its points are missing.
VertexNode* GetPillarOutline(const ads_name entity);
