// The outline records that objects leave in the drawing for the face graph:
// the cut outline of an object set into a wall ("VELM5$_$TAG3DISTR-") and
// the outline of a pilaster ("VELM5$_$PILASTROSTR-").
#pragma once

#include "core/geometry/vertex_list.h"
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

// The pilaster outline: one vertex per 1011 point, in the reverse of the
// stored order, at the level of the entity's layer when it has one; null
// when the record or its points are missing.
VertexNode* GetPillarOutline(const ads_name entity);
