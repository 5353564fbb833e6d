// Record inserts: the INSERT + ATTRIB ... SEQEND lists that room labels,
// cards, rows and totals, schedule tables, rows and totals and dimension
// symbols are written as, from the block, attribute list and scale factors
// an object run left in its context. Rows and totals pass rotation 0; a
// rotated label turns its attributes' offsets and angles with it.
#pragma once

#include <string>

#include "core/geometry/geom_basic.h"
#include "host/ads/adsowners.h"
#include "host/util/resbuf.h"
#include "objects/language/obj_context.h"

// The INSERT of the context's block on `layer` at `at`, turned by
// `rotation`, with `xdata` (a chain starting at its 1001 group; consumed)
// after a -3 marker, then its ATTRIBs and SEQEND. 1 and the INSERT in
// `made`; 0 when the host refused any part (a half-made insert is
// abandoned, so no record is left half written).
int WriteRecordInsert(const ObjContext& context, const std::string& layer, const Point3& at, double rotation,
                      host::ResbufList xdata, ads_name made);

// The ATTRIBs of the context's non-constant attributes for an INSERT at
// `at` turned by `rotation`; false when the host refused one.
bool WriteRecordAttribs(const ObjContext& context, const Point3& at, double rotation);
// The SEQEND that closes the attributes; false when refused.
bool WriteRecordSeqEnd();
