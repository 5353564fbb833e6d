// The classic entity interface over the drawing database: entity-data
// lists (entget/entmod/entmake), entity names and walking, deleting,
// registered applications, table search and a few checks.
//
// An entity-data list is the entity filed through its dxfOutFields into
// resbuf nodes: -1 entity name, 0 type, 5 handle, 330 owner, the subclass
// sections with their 100 markers, and, when asked for, -3 followed by the
// xdata exactly as written (1001 application, then its 1000 … 1071 groups).
// zcdbEntMod and zcdbEntMake feed such a list back through dxfInFields, so
// what zcdbEntGet returns is accepted back unchanged. The entity's common
// groups (8, 6, 62, 48, 60, 370, 420) are accepted anywhere in a list.
//
// zcdbEntMake makes the entity in the current space (paper space when
// TILEMODE is 0 and CVPORT is 1, or when the list says 67 1), or inside the
// block that a "BLOCK" list opened until "ENDBLK" ends it; complex
// entities collect their parts (INSERT with 66 1 … ATTRIB … SEQEND,
// POLYLINE … VERTEX … SEQEND) and are added whole at SEQEND. A block with
// flag 1 (or a "*" name) gets the next "*Un" name, which zcdbEntMake
// reports to the next zcedGetInput. zcdbEntMake(nullptr) abandons whatever
// is open. A missing layer is created. A bad list (unknown type, missing
// mandatory group, bad value, xdata of an unregistered application, xdata
// over 16383 bytes) returns RTERROR with ERRNO set and adds nothing.
//
// Xdata size, as counted here: per group 2 bytes for the code plus its
// value (strings and control strings their byte length + 2, reals 8,
// points 24, shorts 2, longs 4, handles 8); per application 2 + its name's
// length + 2.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/db/dbfiler.h"
#include "host/db/dbgeom.h"
#include "host/db/dbid.h"
#include "host/util/resbuf.h"

class ZcDbDatabase;
class ZcDbEntity;
class ZcDbTextStyleTableRecord;
class ZcRxClass;

// The ERRNO values this interface sets.
enum : int {
    OL_GOOD = 0,
    OL_ESNVALID = 1,      // invalid symbol-table name
    OL_ENAME = 2,         // invalid entity name
    OL_ESSVALID = 3,      // invalid selection set
    OL_ENTSELPICK = 7,    // a pick found nothing
    OL_EMKTYPE = 28,      // entmake: bad entity type
    OL_EMKMANDF = 31,     // entmake: a mandatory group is missing
    OL_EMKINVVALUE = 33,  // entmake/entmod: a group's value or code is bad
    OL_EXDATA = 35,       // bad extended data
    OL_EREGAPP = 36,      // xdata of an unregistered application
    OL_EXDATASIZE = 37,   // xdata over the size limit
    OL_EMKBLOCK = 40,     // block sequence out of order
    OL_ENTSELNULL = 52,   // Enter at an entity pick
};

resbuf* zcdbEntGet(const ads_name ent);
// apps: a list of RTSTR application names (wildcards allowed, "*" all).
resbuf* zcdbEntGetX(const ads_name ent, const resbuf* apps);
int zcdbEntMod(const resbuf* ent);
int zcdbEntMake(const resbuf* ent);
int zcdbEntMakeX(const resbuf* entm, ads_name result);
int zcdbEntDel(const ads_name ent);
int zcdbEntNext(const ads_name ent, ads_name result);
int zcdbEntLast(ads_name result);
int zcdbEntUpd(const ads_name ent);
int zcdbHandEnt(const char* handle, ads_name entres);
int zcdbRegApp(const char* appname);
resbuf* zcdbTblSearch(const char* tblname, const char* sym, int setnext);
resbuf* zcdbTblNext(const char* tblname, int rewind);
int zcdbTblObjName(const char* tblname, const char* sym, ads_name result);
// RTNORM when tbstr is a valid symbol-table name; pipetest non-zero also
// refuses a vertical bar.
int zcdbSNValid(const char* tbstr, int pipetest);
// The box of a TEXT, ATTDEF or ATTRIB given by its entity-data list (group
// 1 the text, 40 the height or else TEXTSIZE, 41 the width factor or else
// that of its style, group 7 or TEXTSTYLE), relative to its insertion point
// and unrotated: p1 the lower left (0, 0, 0), p2 the upper right (width,
// height, 0), the width as the picks measure it (dbgeom.h). RTERROR for a
// list without a text.
int zcedTextBox(const resbuf* ent, ads_point p1, ads_point p2);
// A point (disp 0) or a displacement (disp non-zero) from one coordinate
// system to another. A system is an RTSHORT code (0 WCS; 1 UCS, which is
// the WCS in this host, as it has no user coordinate systems; 2 DCS, the
// current view's: origin at TARGET, Z along VIEWDIR, X level; 3 PSDCS,
// paper space's, taken as the WCS), an RTENAME (the entity's OCS when it
// is a planar entity that has one, else the WCS) or an RT3DPOINT (the OCS
// of that extrusion direction). RTERROR for anything else.
int zcedTrans(const ads_point pt, const resbuf* from, const resbuf* to, int disp, ads_point result);
// The intersection of line 1 and line 2 (3D); teston non-zero: of the two
// segments. RTNONE when there is none.
int zcdbInters(const ads_point from1, const ads_point to1, const ads_point from2, const ads_point to2,
               int teston, ads_point result);

inline void ads_name_set(const ads_name from, ads_name to) {
    to[0] = from[0], to[1] = from[1];
}
inline void ads_name_clear(ads_name n) {
    n[0] = n[1] = 0;
}
inline bool ads_name_nil(const ads_name n) {
    return n[0] == 0 && n[1] == 0;
}
inline bool ads_name_equal(const ads_name a, const ads_name b) {
    return a[0] == b[0] && a[1] == b[1];
}
inline void ads_point_set(const ads_point from, ads_point to) {
    to[0] = from[0], to[1] = from[1], to[2] = from[2];
}

namespace host {

// The entity's list as items: -1, 0, its filed groups and, when apps is
// given, -3 (a group with kUnknown kind) and the matching applications' xdata.
std::vector<ZcDbDxfItem> entityDataItems(const ZcDbEntity* e, const resbuf* apps);

// zcdbEntMakeX with the list given as its type (group 0) and its groups,
// without xdata, as items: no list is built and read back for an entity
// made from values at hand. The groups are read as the list's would be;
// an item of group 0 or -1, of xdata, or of a kind its code does not have
// is refused as a bad value.
int makeEntity(std::string_view type, std::vector<ZcDbDxfItem> items, ads_name result = nullptr);

// What zcdbEntMod does with a list of the entity's own groups and one
// application's xdata edited in place, without the round trip through a
// list: `edit` gets the application's groups (without its 1001 name) and
// changes them as it would the list's nodes. The same check holds (the
// xdata within its size), the same undo state and notifications follow.
// RTNORM; RTNONE, nothing changed, when the entity has no xdata of that
// application; RTERROR with ERRNO set and the entity as it was.
int modifyXDataApp(const ads_name ent, const char* app,
                   const std::function<void(std::vector<ZcDbDxfItem>&)>& edit);

void setErrno(int value);

// What zcedGetInput reports next: the last keyword or free answer of a
// prompt, or the "*U" name of the anonymous block entmake just made.
void setLastInput(const std::string& text);
const std::string& lastInput();

// The main entities of model space and paper space in database order
// (erased ones included: callers skip them), rebuilt only when the
// database gained objects since the last call.
const std::vector<ZcDbObjectId>& drawingEntities(ZcDbDatabase* db);
// The class of each of those entities, at the same place (null while its
// handle is only reserved). An object keeps its class for good, so the
// classes known before are kept when the list is rebuilt and only new
// entities are read: a selection by kind need not touch the objects.
const std::vector<const ZcRxClass*>& drawingEntityClasses(ZcDbDatabase* db);

// The block record new entities go to (see zcdbEntMake).
ZcDbObjectId currentSpaceForNewEntities(ZcDbDatabase* db);

// The extents of the model-space entities' geometry (EXTMIN/EXTMAX).
ZcDbExtents3d drawingExtents(ZcDbDatabase* db);

// Makes the layer when the database lacks it (colour 7, "Continuous").
void ensureLayer(ZcDbDatabase* db, const std::string& name);

// Whether zcdbTblSearch(table, name, 0) would give a list, without making
// it: the object runs ask for a layer or a style at every statement.
bool tableHasRecord(const char* table, const char* name);

// The current drawing's text style record of that name, to be read at once
// and not kept: null where there is none or it is open for write (where an
// open for read would fail). Every text and attribute placed asks for its
// style's width and slant, nearly always of the style asked for last.
const ZcDbTextStyleTableRecord* readableTextStyle(const std::string& name);

// Forgets the entity-making state and table walks (tests, new sessions).
void resetEntityInterface();

}  // namespace host
