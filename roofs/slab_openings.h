// Slab openings: objects that pass through a slab (stairs, roof windows,
// shafts) carry their opening outline as "VELM5$_$POLIGFALDA-" xdata: an
// optional notch flag, then per vertex an edge flag and a point. Placing or
// editing such an object cuts its outline into the slab, as a new opening
// loop or, for a notch, as a recess let into the outline; erasing it takes
// the opening or notch out again. Every failure leaves slab and object as
// they were, without a message, but for the interactive pick.
#pragma once

#include "core/geometry/vertex_list.h"
#include "host/util/adscodes.h"
#include "host/util/resbuf.h"

constexpr const char* kOpeningApp = "VELM5$_$POLIGFALDA-";

// The polygon of an opening xdata list, in reverse xdata order; notch (may
// be null) gets the notch flag. Null when the list holds no vertex.
VertexNode* ReadOpeningPolygon(const resbuf* xdata, bool* notch);
// Puts the points of the entity's opening xdata on the plane; nothing
// without the xdata or for a vertical plane.
void WriteOpeningXData(const ads_name entity, double a, double b, double c, double d);
// Asks for an object defining an opening: its polygon, the entity in
// `entity`; null on cancel or a failed pick.
VertexNode* SelectOpeningObject(ads_name entity);
void CutOpeningIntoSlab(const ads_name object, const ads_name slab);
// 1 when a slab was changed (its name in slabName when given), else 0.
int RemoveOpeningFromSlab(const VertexNode* polygon, ads_name slabName, bool notch);
// Erases the entity; 1 when it carried an opening polygon (then taken out
// of its slab), else 0.
int EraseOpeningObject(const ads_name entity, ads_name slabName);
