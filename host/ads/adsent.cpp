// The classic entity interface: entity-data lists to and from the
// database's DXF item stream, the entity-making state machine (blocks and
// complex entities), entity walking in database order, tables.
//
// A list is checked whole before anything changes: entmod keeps the
// entity's filed state and puts it back when reading the list fails;
// entmake builds the entity outside the database and adds it only when
// every group was accepted.
#include "host/ads/adsent.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>

#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/ads/wcmatch.h"
#include "host/db/dbgeom.h"
#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/win/textutil.h"

namespace {

constexpr std::size_t kXDataLimit = 16383;

ZcDbObjectId idOf(const ads_name name) {
    ZcDbObjectId id;
    if (!name) return id;
    zcdbGetObjectId(id, name);
    return id;
}

void setName(ads_name out, ZcDbObjectId id) {
    if (zcdbGetAdsName(out, id) != Zcad::eOk) out[0] = out[1] = 0;
}

ZcDbDxfItem stringItem(int code, const std::string& text) {
    ZcDbDxfItem it;
    it.code = code;
    it.kind = ZcDbDxfItem::kString;
    it.text = text;
    return it;
}

ZcDbDxfItem idItem(int code, ZcDbObjectId id) {
    ZcDbDxfItem it;
    it.code = code;
    it.kind = ZcDbDxfItem::kId;
    it.id = id;
    return it;
}

resbuf* listFromItems(const std::vector<ZcDbDxfItem>& items) {
    resbuf* head = nullptr;
    resbuf** tail = &head;
    for (const ZcDbDxfItem& it : items) {
        *tail = zcdbNewResbufFromItem(it);
        tail = &(*tail)->rbnext;
    }
    return head;
}

// A wildcard asked for, upper-cased and compiled: the last one is kept, as
// a caller reading entity after entity asks for the same each time.
const host::WcPattern& upperPattern(const char* text) {
    thread_local std::string source;
    thread_local std::optional<host::WcPattern> compiled;
    if (!compiled || source != text) {
        source = text;
        compiled.emplace(host::toUpper(text));
    }
    return *compiled;
}

bool appWanted(const std::string& app, const resbuf* apps) {
    const bool asciiApp =
        std::all_of(app.begin(), app.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    for (const resbuf* a = apps; a; a = a->rbnext) {
        if (a->restype != RTSTR || !a->resval.rstring) continue;
        // A plain name asked for (as nearly every caller asks) is the app's
        // name in any case: upper-casing both into new strings and matching
        // them was much of reading an entity's data.
        const bool literal = host::isLiteralWcPattern(a->resval.rstring);
        if (asciiApp && literal) {
            if (host::iequals(app, a->resval.rstring)) return true;
            continue;
        }
        // The upper-cased pattern matched against the upper-cased app name,
        // the name upper-cased as it is read.
        if (!literal) {
            if (upperPattern(a->resval.rstring).matches(app, true)) return true;
            continue;
        }
        if (host::wcMatch(host::toUpper(app).c_str(), host::toUpper(a->resval.rstring).c_str())) return true;
    }
    return false;
}

// The DXF type name a list shows for an entity.
std::string typeName(const ZcDbObject* obj) {
    return obj->isA()->dxfName();
}

// ------------------------------------------------------------------- xdata

std::size_t itemSize(const ZcDbDxfItem& it) {
    switch (it.kind) {
        case ZcDbDxfItem::kString:
            return 2 + it.text.size() + 2;
        case ZcDbDxfItem::kHandle:
            return 2 + 8;
        case ZcDbDxfItem::kReal:
            return 2 + 8;
        case ZcDbDxfItem::kPoint:
            return 2 + 24;
        case ZcDbDxfItem::kInt16:
            return 2 + 2;
        case ZcDbDxfItem::kInt32:
            return 2 + 4;
        default:
            return 2 + 8;
    }
}

std::size_t xdataSize(const std::vector<ZcDbXDataApp>& apps) {
    std::size_t n = 0;
    for (const ZcDbXDataApp& a : apps) {
        n += 2 + a.app.size() + 2;
        for (const ZcDbDxfItem& it : a.items) n += itemSize(it);
    }
    return n;
}

bool isXDataCode(int code) {
    return code == 1000 || (code >= 1002 && code <= 1005) || (code >= 1010 && code <= 1013) ||
           (code >= 1040 && code <= 1042) || code == 1070 || code == 1071;
}

// Reads the groups after -3 into per-application item lists; the ERRNO
// value of the first fault, or 0.
int parseXData(const resbuf* rb, ZcDbDatabase* db, std::vector<ZcDbXDataApp>& out) {
    int depth = 0;
    for (; rb; rb = rb->rbnext) {
        if (rb->restype == 1001) {
            if (depth != 0) return OL_EXDATA;
            const char* name = rb->resval.rstring;
            if (!name || !*name) return OL_EXDATA;
            if (!db || db->recordId(db->regAppTableId(), name).isNull()) return OL_EREGAPP;
            out.push_back({name, {}});
            std::size_t groups = 0;
            for (const resbuf* g = rb->rbnext; g && g->restype != 1001; g = g->rbnext) ++groups;
            out.back().items.reserve(groups);
            continue;
        }
        if (out.empty() || !isXDataCode(rb->restype)) return OL_EXDATA;
        ZcDbDxfItem it;
        if (!zcdbItemFromResbuf(*rb, it)) return OL_EXDATA;
        if (it.code == 1002) {
            if (it.text == "{")
                ++depth;
            else if (it.text == "}")
                --depth;
            else
                return OL_EXDATA;
            if (depth < 0) return OL_EXDATA;
        }
        out.back().items.push_back(std::move(it));
    }
    return depth == 0 ? 0 : OL_EXDATA;
}

// The xdata an entity ends up with when `incoming` is applied to `current`.
std::vector<ZcDbXDataApp> mergedXData(std::vector<ZcDbXDataApp> current,
                                      const std::vector<ZcDbXDataApp>& incoming) {
    for (const ZcDbXDataApp& in : incoming) {
        auto it = std::find_if(current.begin(), current.end(),
                               [&](const ZcDbXDataApp& a) { return host::iequals(a.app, in.app); });
        if (it == current.end()) {
            if (!in.items.empty()) current.push_back(in);
        } else if (in.items.empty()) {
            current.erase(it);
        } else {
            it->items = in.items;
        }
    }
    return current;
}

// -------------------------------------------------------------- list input

// A list split into its type, its data groups and its xdata.
struct ParsedList {
    std::string type;
    ZcDbObjectId name;  // -1
    std::vector<ZcDbDxfItem> items;
    bool hasXData = false;
    std::vector<ZcDbXDataApp> xdata;
    int error = 0;  // ERRNO
};

bool isCommonEntityCode(int code) {
    return code == 8 || code == 6 || code == 62 || code == 48 || code == 60 || code == 370 || code == 420;
}

bool isCommonItem(const ZcDbDxfItem& it) {
    return isCommonEntityCode(it.code);
}

// The common groups go where the entity's own section reads them: after
// its "AcDbEntity" marker, or first, in the order given.
void placeCommonGroups(std::vector<ZcDbDxfItem>& items) {
    // Lists nearly always give them there already, in one run (an entity
    // made per group of a label): one look at each item tells, and then
    // nothing moves.
    const std::size_t n = items.size();
    std::size_t firstCommon = n, lastCommon = 0, commons = 0, marker = n;
    for (std::size_t i = 0; i < n; ++i) {
        const ZcDbDxfItem& it = items[i];
        if (isCommonItem(it)) {
            if (commons++ == 0) firstCommon = i;
            lastCommon = i;
        } else if (marker == n && it.code == 100 && it.text == "AcDbEntity") {
            marker = i;
        }
    }
    if (commons == 0) return;
    const std::size_t at = marker == n ? 0 : marker + 1;
    if (firstCommon == at && lastCommon - firstCommon + 1 == commons) return;
    std::vector<ZcDbDxfItem> common, rest;
    rest.reserve(items.size());
    for (ZcDbDxfItem& it : items) (isCommonItem(it) ? common : rest).push_back(std::move(it));
    const auto restMarker = std::find_if(rest.begin(), rest.end(), [](const ZcDbDxfItem& it) {
        return it.code == 100 && it.text == "AcDbEntity";
    });
    const auto restAt = restMarker == rest.end() ? rest.begin() : restMarker + 1;
    rest.insert(restAt, std::make_move_iterator(common.begin()), std::make_move_iterator(common.end()));
    items = std::move(rest);
}

ParsedList parseList(const resbuf* list, ZcDbDatabase* db) {
    ParsedList p;
    // One growth: an entity's list is read once per entity made.
    std::size_t groups = 0;
    for (const resbuf* rb = list; rb && rb->restype != -3 && rb->restype != 1001; rb = rb->rbnext) ++groups;
    p.items.reserve(groups);
    const resbuf* rb = list;
    for (; rb; rb = rb->rbnext) {
        if (rb->restype == -3) {
            p.hasXData = true;
            p.error = parseXData(rb->rbnext, db, p.xdata);
            break;
        }
        if (rb->restype == 0) {
            p.type = rb->resval.rstring ? host::toUpper(rb->resval.rstring) : "";
            continue;
        }
        if (rb->restype == -1) {
            zcdbGetObjectId(p.name, rb->resval.rlname);
            continue;
        }
        if (rb->restype == 1001) {  // xdata without its -3 marker
            p.hasXData = true;
            p.error = parseXData(rb, db, p.xdata);
            break;
        }
        ZcDbDxfItem it;
        if (ZcDbDxfItem::kindOfCode(rb->restype) == ZcDbDxfItem::kUnknown || !zcdbItemFromResbuf(*rb, it)) {
            p.error = OL_EMKINVVALUE;
            return p;
        }
        if (it.kind == ZcDbDxfItem::kString && rb->resval.rstring == nullptr && rb->restype != 5) {
            p.error = OL_EMKINVVALUE;
            return p;
        }
        if (it.code == 5 || it.code == 330 || it.code == -2 || it.code == 102) continue;
        p.items.push_back(std::move(it));
    }
    placeCommonGroups(p.items);
    return p;
}

// A type name upper-cased: nearly always short ASCII, whose letters a-z
// are all that change.
std::string upperType(std::string_view type) {
    if (!std::all_of(type.begin(), type.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return host::toUpper(type);
    std::string upper(type);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c ^ 0x20);
    return upper;
}

// The same of a type and its groups given as items.
ParsedList parseItems(std::string_view type, std::vector<ZcDbDxfItem> items) {
    ParsedList p;
    p.type = upperType(type);
    for (const ZcDbDxfItem& it : items) {
        if (it.kind == ZcDbDxfItem::kUnknown || it.kind != ZcDbDxfItem::kindOfCode(it.code) || it.code <= 0 ||
            it.code >= 1000) {
            p.error = OL_EMKINVVALUE;
            return p;
        }
    }
    // The caller's items are the list's, taken whole rather than one by one.
    std::erase_if(items,
                  [](const ZcDbDxfItem& it) { return it.code == 5 || it.code == 330 || it.code == 102; });
    p.items = std::move(items);
    placeCommonGroups(p.items);
    return p;
}

// Asked several times of every entity made: most names are told apart by
// their length or first letter, without a call to compare them.
[[gnu::always_inline]] inline bool sameType(std::string_view a, std::string_view b) {
    return a.size() == b.size() && (a.empty() || a[0] == b[0]) && a == b;
}

bool hasCode(const std::vector<ZcDbDxfItem>& items, int code) {
    return std::any_of(items.begin(), items.end(), [code](const ZcDbDxfItem& it) { return it.code == code; });
}

const ZcDbDxfItem* findCode(const std::vector<ZcDbDxfItem>& items, int code) {
    for (const ZcDbDxfItem& it : items)
        if (it.code == code) return &it;
    return nullptr;
}

// The groups an entity kind cannot be made without.
bool hasMandatoryGroups(std::string_view type, const std::vector<ZcDbDxfItem>& items) {
    // Asked for every entity made: a scan of a few kinds, no map of strings.
    struct Kind {
        std::string_view type;
        int codes[5];  // ended by 0 where fewer
    };
    static const Kind mandatory[] = {
        {"LINE", {10, 11}},
        {"POINT", {10}},
        {"CIRCLE", {10, 40}},
        {"ARC", {10, 40, 50, 51}},
        {"TEXT", {10, 40, 1}},
        {"MTEXT", {10}},
        {"SOLID", {10, 11, 12}},
        {"3DFACE", {10, 11, 12}},
        {"INSERT", {2, 10}},
        {"ATTRIB", {10, 40, 1, 2}},
        {"ATTDEF", {10, 40, 1, 2, 3}},
        {"LWPOLYLINE", {10}},
        {"VERTEX", {10}},
        {"BLOCK", {2, 10}},
    };
    for (const Kind& k : mandatory) {
        if (!sameType(k.type, type)) continue;
        for (int c : k.codes)
            if (c != 0 && !hasCode(items, c)) return false;
        return true;
    }
    return true;
}

// Reads a list's groups into an entity; false (entity state unknown) when
// the items are refused.
bool readInto(ZcDbEntity* ent, std::vector<ZcDbDxfItem> items, ZcDbDatabase* db) {
    ZcDbMemDxfFiler f(std::move(items), db);
    if (ent->dxfInFields(&f) != Zcad::eOk) return false;
    return f.filerStatus() == Zcad::eOk;
}

std::optional<std::string> layerOf(const std::vector<ZcDbDxfItem>& items) {
    if (const ZcDbDxfItem* l = findCode(items, 8)) return l->text;
    return std::nullopt;
}

// EXTMIN and EXTMAX follow the drawing: computed from the model-space
// entities whenever they are read (one pass; an empty drawing keeps the
// "no extents" values).
const bool kExtentsFollowTheDrawing = [] {
    host::addSysVarReadHook([](const std::string& name) {
        if (name != "EXTMIN" && name != "EXTMAX") return;
        ZcDbDatabase* db = zcdbCurDwg();
        if (!db) return;
        ZcDbExtents3d e = host::drawingExtents(db);
        if (!e.isValid()) return;
        host::setSysVar(name, name == "EXTMIN" ? e.min : e.max, false);
    });
    return true;
}();

int fail(int err) {
    host::setErrno(err);
    return RTERROR;
}

// ------------------------------------------------------------ entmake state

struct MakeState {
    std::int64_t serial = 0;
    bool blockOpen = false;
    std::string blockName;
    int blockFlags = 0;
    ZcGePoint3d blockOrigin;
    std::string blockDescription;
    std::vector<std::unique_ptr<ZcDbEntity>> blockEntities;
    std::unique_ptr<ZcDbEntity> complex;  // POLYLINE or INSERT collecting parts
    bool paperSpace = false;              // where the complex entity goes

    void clear() { *this = MakeState(); }
};

MakeState& makeState() {
    static MakeState s;
    return s;
}

struct TableWalk {
    std::map<std::pair<std::int64_t, std::string>, std::size_t> next;
};

TableWalk& tableWalk() {
    static TableWalk w;
    return w;
}

struct OrderCache {
    std::int64_t serial = -1;
    std::size_t numObjects = 0;
    std::vector<ZcDbObjectId> ids;
    std::vector<const ZcRxClass*> classes;  // beside ids; null: not read yet
    // Places in ids, made when entnext first asks: an "X" selection right
    // after a change needs only the list.
    const std::unordered_map<ZcDbStub*, std::size_t>& places() const {
        if (pos.empty() && !ids.empty())
            for (std::size_t i = 0; i < ids.size(); ++i) pos[ids[i].stub()] = i;
        return pos;
    }

private:
    mutable std::unordered_map<ZcDbStub*, std::size_t> pos;
};

OrderCache& orderCache() {
    static OrderCache c;
    return c;
}

// The entity's list as items into `items` (empty, its room kept), as
// host::entityDataItems gives them.
void fileEntityData(const ZcDbEntity* e, const resbuf* apps, std::vector<ZcDbDxfItem>& items) {
    // The xdata asked for is known first, so that the items are given room
    // for it too and are not moved when it comes.
    std::vector<const ZcDbXDataApp*> wanted;
    std::size_t more = 1;
    if (apps)
        for (const ZcDbXDataApp& app : e->xDataApps())
            if (appWanted(app.app, apps)) {
                wanted.push_back(&app);
                more += 1 + app.items.size();
            }
    // Room for what an entity of the module files (a door or a label is
    // read per room).
    items.reserve(48 + (wanted.empty() ? 0 : more));
    ZcDbMemDxfFiler f(std::move(items), e->database());
    f.writeItem(idItem(-1, e->objectId()));
    f.writeItem(stringItem(0, typeName(e)));
    e->dxfOutFields(&f);
    items = std::move(f.items());
    if (wanted.empty()) return;
    items.reserve(items.size() + more);
    ZcDbDxfItem m;
    m.code = -3;
    items.push_back(m);
    for (const ZcDbXDataApp* app : wanted) {
        items.push_back(stringItem(1001, app->app));
        items.insert(items.end(), app->items.begin(), app->items.end());
    }
}

int makeParsed(ParsedList p, ZcDbDatabase* db, ads_name result);
int makeEntity(ParsedList& p, ZcDbDatabase* db, ZcDbObjectId* made);
int finishEntity(std::unique_ptr<ZcDbEntity> ent, bool paper, ZcDbDatabase* db, ZcDbObjectId* made);
int beginBlock(const ParsedList& p);
int endBlock(ZcDbDatabase* db, ZcDbObjectId* made);

}  // namespace

// ======================================================================
// Entity-data lists

resbuf* zcdbEntGet(const ads_name ent) {
    return zcdbEntGetX(ent, nullptr);
}

resbuf* zcdbEntGetX(const ads_name ent, const resbuf* apps) {
    ZcDbObjectId id = idOf(ent);
    ZcDbEntity* e = nullptr;
    if (id.isNull() || zcdbOpenObject(e, id, ZcDb::kForRead) != Zcad::eOk) {
        host::setErrno(OL_ENAME);
        return nullptr;
    }
    // The items' room is kept from one read to the next: a caller reads
    // entity after entity, and each new room was a large allocation (taken
    // here, so that a read made while filing gets room of its own).
    thread_local std::vector<ZcDbDxfItem> kept;
    std::vector<ZcDbDxfItem> items = std::exchange(kept, {});
    fileEntityData(e, apps, items);
    e->close();
    resbuf* head = nullptr;
    resbuf** tail = &head;
    for (const ZcDbDxfItem& it : items) {
        *tail = it.code == -3 ? zcutNewRb(-3) : zcdbNewResbufFromItem(it);
        tail = &(*tail)->rbnext;
    }
    items.clear();
    kept = std::move(items);
    return head;
}

int zcdbEntMod(const resbuf* list) {
    // The entity names its drawing, whose application table the xdata is
    // checked against: found first, so that the list is read once.
    ZcDbObjectId name;
    for (const resbuf* rb = list; rb && rb->restype != -3 && rb->restype != 1001; rb = rb->rbnext)
        if (rb->restype == -1) zcdbGetObjectId(name, rb->resval.rlname);
    if (name.isNull()) return fail(OL_ENAME);
    ZcDbDatabase* db = name.database();
    ParsedList p = parseList(list, db);
    if (p.name.isNull()) return fail(OL_ENAME);
    if (p.error) return fail(p.error);
    ZcDbEntity* e = nullptr;
    if (zcdbOpenObject(e, p.name, ZcDb::kForWrite) != Zcad::eOk) return fail(OL_ENAME);
    if (!p.type.empty() && !host::iequals(p.type, typeName(e))) {
        e->close();
        return fail(OL_EMKTYPE);
    }
    std::vector<ZcDbXDataApp> xdata = e->xDataApps();
    if (p.hasXData) {
        xdata = mergedXData(std::move(xdata), p.xdata);
        if (xdataSize(xdata) > kXDataLimit) {
            e->close();
            return fail(OL_EXDATASIZE);
        }
    }
    ZcDbDwgFiler saved(db, ZcDb::kCopyFiler);
    e->dwgOutFields(&saved);
    if (!readInto(e, p.items, db) || zcdbSNValid(e->layer().c_str(), 0) != RTNORM) {
        saved.seekStart();
        e->dwgInFields(&saved);
        e->close();
        return fail(OL_EMKINVVALUE);
    }
    if (p.hasXData)
        for (const ZcDbXDataApp& in : p.xdata) e->setXDataApp(in.app, in.items);
    if (layerOf(p.items)) host::ensureLayer(db, e->layer());
    e->close();
    return RTNORM;
}

int host::modifyXDataApp(const ads_name ent, const char* app,
                         const std::function<void(std::vector<ZcDbDxfItem>&)>& edit) {
    const ZcDbObjectId id = idOf(ent);
    if (id.isNull() || !app) return fail(OL_ENAME);
    const auto named = [app](const ZcDbXDataApp& a) { return host::iequals(a.app, app); };
    std::string name;
    std::vector<ZcDbDxfItem> items;
    {
        ZcDbObjectPointer<ZcDbEntity> e(id, ZcDb::kForRead);
        if (e.openStatus() != Zcad::eOk) return fail(OL_ENAME);
        const std::vector<ZcDbXDataApp>& apps = e->xDataApps();
        const auto found = std::find_if(apps.begin(), apps.end(), named);
        if (found == apps.end()) return RTNONE;
        name = found->app;
        items = found->items;
    }
    edit(items);
    ZcDbObjectPointer<ZcDbEntity> e(id, ZcDb::kForWrite);
    if (e.openStatus() != Zcad::eOk) return fail(OL_ENAME);
    const std::vector<ZcDbXDataApp>& apps = e->xDataApps();
    const auto found = std::find_if(apps.begin(), apps.end(), named);
    if (found == apps.end()) return RTNONE;
    // The other apps' size and the new items': the app's old items (most
    // of an entity's xdata) are not measured.
    std::size_t size = 0;
    for (const ZcDbXDataApp& a : apps) {
        size += 2 + a.app.size() + 2;
        if (&a != &*found)
            for (const ZcDbDxfItem& it : a.items) size += itemSize(it);
    }
    for (const ZcDbDxfItem& it : items) size += itemSize(it);
    if (size > kXDataLimit) return fail(OL_EXDATASIZE);
    e->setXDataApp(name, std::move(items));
    return RTNORM;
}

int zcdbEntMake(const resbuf* list) {
    return zcdbEntMakeX(list, nullptr);
}

namespace {

// The drawing an entity is made in, the block or complex entity being made
// dropped when the drawing is another than it was begun in; null when
// there is none.
ZcDbDatabase* makingDrawing(ads_name result) {
    MakeState& st = makeState();
    ZcDbDatabase* db = zcdbCurDwg();
    if (result) result[0] = result[1] = 0;
    if (!db) return nullptr;
    if (st.serial != db->serial()) st.clear();
    st.serial = db->serial();
    return db;
}

}  // namespace

int zcdbEntMakeX(const resbuf* list, ads_name result) {
    ZcDbDatabase* db = makingDrawing(result);
    if (!db) return fail(OL_ENAME);
    if (!list) {
        makeState().clear();  // abandons an open block or complex entity
        return RTNORM;
    }
    return makeParsed(parseList(list, db), db, result);
}

int host::makeEntity(std::string_view type, std::vector<ZcDbDxfItem> items, ads_name result) {
    ZcDbDatabase* db = makingDrawing(result);
    if (!db) return fail(OL_ENAME);
    return makeParsed(parseItems(type, std::move(items)), db, result);
}

namespace {

int makeParsed(ParsedList p, ZcDbDatabase* db, ads_name result) {
    if (p.error) return fail(p.error);
    if (p.type.empty()) return fail(OL_EMKTYPE);
    if (!hasMandatoryGroups(p.type, p.items)) return fail(OL_EMKMANDF);
    if (p.hasXData && xdataSize(p.xdata) > kXDataLimit) return fail(OL_EXDATASIZE);

    ZcDbObjectId made;
    int rc;
    const std::string_view type = p.type;
    if (sameType(type, "BLOCK"))
        rc = beginBlock(p);
    else if (sameType(type, "ENDBLK"))
        rc = endBlock(db, &made);
    else
        rc = makeEntity(p, db, &made);
    if (rc == RTNORM && result && !made.isNull()) setName(result, made);
    return rc;
}

int beginBlock(const ParsedList& p) {
    MakeState& st = makeState();
    if (st.blockOpen || st.complex) {
        st.clear();
        return fail(OL_EMKBLOCK);
    }
    st.blockOpen = true;
    st.blockName = findCode(p.items, 2)->text;
    const ZcDbDxfItem* flags = findCode(p.items, 70);
    st.blockFlags = flags ? static_cast<int>(flags->integer) & ~64 : 0;
    st.blockOrigin = findCode(p.items, 10)->point();
    if (const ZcDbDxfItem* d = findCode(p.items, 4)) st.blockDescription = d->text;
    if (st.blockName.empty() ||
        (!(st.blockFlags & 1) && st.blockName[0] != '*' && zcdbSNValid(st.blockName.c_str(), 1) != RTNORM)) {
        st.clear();
        return fail(OL_ESNVALID);
    }
    return RTNORM;
}

int endBlock(ZcDbDatabase* db, ZcDbObjectId* made) {
    MakeState& st = makeState();
    if (!st.blockOpen || st.complex) {
        st.clear();
        return fail(OL_EMKBLOCK);
    }
    bool anonymous = (st.blockFlags & 1) || st.blockName[0] == '*';
    ZcDbBlockTable* table = nullptr;
    if (db->getBlockTable(table, ZcDb::kForWrite) != Zcad::eOk) return fail(OL_EMKBLOCK);
    ZcDbBlockTableRecord* rec = nullptr;
    ZcDbObjectId recId;
    if (!anonymous && table->getAt(st.blockName, recId) == Zcad::eOk) {
        // A new definition of an existing block replaces its entities.
        zcdbOpenObject(rec, recId, ZcDb::kForWrite);
        for (ZcDbObjectId old : rec->entityIds()) {
            ZcDbEntity* e = nullptr;
            if (zcdbOpenObject(e, old, ZcDb::kForWrite) == Zcad::eOk) {
                e->erase();
                e->close();
            }
        }
    } else {
        rec = new ZcDbBlockTableRecord;
        rec->setName(anonymous ? "*U" : st.blockName);
        if (table->add(recId, rec) != Zcad::eOk) {
            delete rec;
            table->close();
            st.clear();
            return fail(OL_ESNVALID);
        }
    }
    table->close();
    rec->setOrigin(st.blockOrigin);
    if (!st.blockDescription.empty()) rec->setComments(st.blockDescription);
    for (auto& ent : st.blockEntities) {
        ZcDbEntity* e = ent.release();
        if (rec->appendZcDbEntity(e) == Zcad::eOk)
            e->close();
        else
            delete e;
    }
    std::string name = rec->name();
    rec->close();
    if (anonymous) host::setLastInput(name);
    *made = recId;
    st.clear();
    st.serial = db->serial();
    return RTNORM;
}

int makeEntity(ParsedList& p, ZcDbDatabase* db, ZcDbObjectId* made) {
    MakeState& st = makeState();
    const std::string_view type = p.type;
    const bool vertex = sameType(type, "VERTEX"), seqend = sameType(type, "SEQEND");
    bool part = vertex || seqend || sameType(type, "ATTRIB");
    // A complex entity takes only its own parts; anything else abandons it.
    if (st.complex && !part) {
        st.complex.reset();
        return fail(OL_EMKTYPE);
    }
    if (!st.complex && (vertex || seqend)) return fail(OL_EMKTYPE);
    if (st.complex && seqend) {
        std::unique_ptr<ZcDbEntity> ent = std::move(st.complex);
        return finishEntity(std::move(ent), st.paperSpace, db, made);
    }

    ZcRxClass* cls = zcdbClassForDxf(p.type, p.items);
    std::unique_ptr<ZcRxObject> obj(cls ? cls->create() : nullptr);
    ZcDbEntity* raw = ZcDbEntity::cast(obj.get());
    if (!raw) return fail(OL_EMKTYPE);
    obj.release();
    std::unique_ptr<ZcDbEntity> ent(raw);
    ent->setDatabaseDefaults(db);

    bool attributesFollow = false;
    if (const ZcDbDxfItem* f66 = findCode(p.items, 66)) attributesFollow = f66->integer != 0;
    bool paper = false;
    if (const ZcDbDxfItem* f67 = findCode(p.items, 67)) paper = f67->integer != 0;
    std::erase_if(p.items, [](const ZcDbDxfItem& it) { return it.code == 66 || it.code == 67; });
    if (!readInto(ent.get(), std::move(p.items), db)) return fail(OL_EMKINVVALUE);

    if (auto* ref = ZcDbBlockReference::cast(ent.get())) {
        if (db->recordId(db->blockTableId(), ref->blockName()).isNull()) return fail(OL_EMKINVVALUE);
    }
    if (zcdbSNValid(ent->layer().c_str(), 0) != RTNORM) return fail(OL_EMKINVVALUE);
    if (p.hasXData)
        for (ZcDbXDataApp& a : p.xdata) ent->setXDataApp(a.app, std::move(a.items));
    host::ensureLayer(db, ent->layer());

    if (st.complex) {
        if (auto* poly = ZcDb2dPolyline::cast(st.complex.get())) {
            auto* v = ZcDbVertex::cast(ent.get());
            if (!v) {
                st.complex.reset();
                return fail(OL_EMKTYPE);
            }
            poly->appendVertex(static_cast<ZcDbVertex*>(ent.release()));
            return RTNORM;
        }
        auto* ref = ZcDbBlockReference::cast(st.complex.get());
        auto* att = ZcDbAttribute::cast(ent.get());
        if (!ref || !att) {
            st.complex.reset();
            return fail(OL_EMKTYPE);
        }
        ref->appendAttribute(static_cast<ZcDbAttribute*>(ent.release()));
        return RTNORM;
    }
    if (part) return fail(OL_EMKTYPE);  // an ATTRIB outside an INSERT
    if (ZcDb2dPolyline::cast(ent.get()) || (attributesFollow && ZcDbBlockReference::cast(ent.get()))) {
        st.complex = std::move(ent);
        st.paperSpace = paper;
        return RTNORM;
    }
    return finishEntity(std::move(ent), paper, db, made);
}

int finishEntity(std::unique_ptr<ZcDbEntity> ent, bool paper, ZcDbDatabase* db, ZcDbObjectId* made) {
    MakeState& st = makeState();
    if (st.blockOpen) {
        st.blockEntities.push_back(std::move(ent));
        return RTNORM;
    }
    ZcDbObjectId spaceId = paper ? db->paperSpaceId() : host::currentSpaceForNewEntities(db);
    ZcDbBlockTableRecord* space = nullptr;
    if (zcdbOpenObject(space, spaceId, ZcDb::kForWrite) != Zcad::eOk) return fail(OL_EMKBLOCK);
    ZcDbEntity* e = ent.release();
    ZcDbObjectId id;
    Zcad::ErrorStatus es = space->appendZcDbEntity(id, e);
    space->close();
    if (es != Zcad::eOk) {
        delete e;
        return fail(OL_EMKINVVALUE);
    }
    e->close();
    *made = id;
    return RTNORM;
}

}  // namespace

// ======================================================================
// Entity names and walking

int zcdbEntDel(const ads_name ent) {
    ZcDbObjectId id = idOf(ent);
    ZcDbEntity* e = nullptr;
    if (id.isNull() || zcdbOpenObject(e, id, ZcDb::kForWrite, true) != Zcad::eOk) return fail(OL_ENAME);
    // Parts of complex entities go with their owner only.
    if (ZcDbVertex::cast(e) || ZcDbAttribute::cast(e) || ZcDbSequenceEnd::cast(e)) {
        e->close();
        return fail(OL_ENAME);
    }
    Zcad::ErrorStatus es = e->erase(!e->isErased());
    e->close();
    return es == Zcad::eOk ? RTNORM : fail(OL_ENAME);
}

namespace {

// The parts (vertices or attributes, then SEQEND) an entity is followed by.
std::vector<ZcDbObjectId> partsOf(ZcDbObjectId id) {
    std::vector<ZcDbObjectId> parts;
    ZcDbEntity* e = nullptr;
    if (zcdbOpenObject(e, id, ZcDb::kForRead, true) != Zcad::eOk) return parts;
    if (auto* poly = ZcDb2dPolyline::cast(e)) {
        parts = poly->vertexIds();
        if (!poly->seqendId().isNull()) parts.push_back(poly->seqendId());
    } else if (auto* ref = ZcDbBlockReference::cast(e)) {
        parts = ref->attributeIds();
        if (!parts.empty() && !ref->seqendId().isNull()) parts.push_back(ref->seqendId());
    }
    e->close();
    return parts;
}

ZcDbObjectId nextMain(const std::vector<ZcDbObjectId>& order, std::size_t from) {
    for (std::size_t i = from; i < order.size(); ++i)
        if (!order[i].isErased()) return order[i];
    return {};
}

}  // namespace

int zcdbEntNext(const ads_name given, ads_name result) {
    ZcDbDatabase* db = zcdbCurDwg();
    // Callers walk with one name for both ("entnext e e"): read it before
    // the result is cleared.
    const std::int64_t name[2] = {given ? given[0] : 0, given ? given[1] : 0};
    const std::int64_t* ent = given ? name : nullptr;
    result[0] = result[1] = 0;
    if (!ent || (ent[0] == 0 && ent[1] == 0)) {
        if (!db) return fail(OL_ENAME);
        ZcDbObjectId first = nextMain(host::drawingEntities(db), 0);
        if (first.isNull()) return fail(OL_ENAME);
        setName(result, first);
        return RTNORM;
    }
    ZcDbObjectId id = idOf(ent);
    if (id.isNull()) return fail(OL_ENAME);
    db = id.database();
    const std::vector<ZcDbObjectId>& order = host::drawingEntities(db);
    const OrderCache& cache = orderCache();
    const auto& places = cache.places();
    auto pos = places.find(id.stub());
    ZcDbObjectId next;
    if (pos != places.end()) {
        std::vector<ZcDbObjectId> parts = partsOf(id);
        next = parts.empty() ? nextMain(order, pos->second + 1) : parts.front();
    } else {
        // A part: the next part of its owner, then what follows the owner.
        ZcDbObject* obj = nullptr;
        if (zcdbOpenObject(obj, id, ZcDb::kForRead, true) != Zcad::eOk) return fail(OL_ENAME);
        ZcDbObjectId owner = obj->ownerId();
        obj->close();
        auto ownerPos = places.find(owner.stub());
        if (ownerPos == places.end()) return fail(OL_ENAME);
        std::vector<ZcDbObjectId> parts = partsOf(owner);
        auto at = std::find(parts.begin(), parts.end(), id);
        if (at != parts.end() && at + 1 != parts.end())
            next = *(at + 1);
        else
            next = nextMain(order, ownerPos->second + 1);
    }
    if (next.isNull()) return fail(OL_ENAME);
    setName(result, next);
    return RTNORM;
}

int zcdbEntLast(ads_name result) {
    result[0] = result[1] = 0;
    ZcDbDatabase* db = zcdbCurDwg();
    if (!db) return fail(OL_ENAME);
    // The last of either space, each found from the end of its own list:
    // sorting the whole drawing after every new entity made a command that
    // asks after each one grow with the square of the drawing.
    ZcDbObjectId last;
    bool known = true;
    for (ZcDbObjectId spaceId : {db->modelSpaceId(), db->paperSpaceId()}) {
        if (spaceId.isNull()) continue;
        ZcDbObjectPointer<ZcDbBlockTableRecord> space(spaceId, ZcDb::kForRead);
        if (space.openStatus() != Zcad::eOk) continue;
        ZcDbObjectId id;
        known = space->lastLiveEntity(id) && known;
        if (!id.isNull() && (last.isNull() || last.handle() < id.handle())) last = id;
    }
    if (!known) {
        last = ZcDbObjectId();
        const std::vector<ZcDbObjectId>& order = host::drawingEntities(db);
        for (auto it = order.rbegin(); it != order.rend() && last.isNull(); ++it)
            if (!it->isErased()) last = *it;
    }
    if (last.isNull()) return fail(OL_ENAME);
    setName(result, last);
    return RTNORM;
}

int zcdbEntUpd(const ads_name ent) {
    ZcDbObjectId id = idOf(ent);
    if (id.isNull() || id.isErased()) return fail(OL_ENAME);
    return RTNORM;  // nothing is drawn; the database is always current
}

int zcdbHandEnt(const char* handle, ads_name entres) {
    entres[0] = entres[1] = 0;
    ZcDbDatabase* db = zcdbCurDwg();
    if (!db || !handle || !*handle) return fail(OL_ENAME);
    ZcDbObjectId id = db->objectIdOf(ZcDbHandle(std::string_view(handle)));
    if (id.isNull() || !id.isValid()) return fail(OL_ENAME);
    setName(entres, id);
    return RTNORM;
}

// ======================================================================
// Tables

namespace {

ZcDbObjectId tableIdOf(ZcDbDatabase* db, const std::string& table) {
    if (table == "LAYER") return db->layerTableId();
    if (table == "LTYPE") return db->linetypeTableId();
    if (table == "STYLE") return db->textStyleTableId();
    if (table == "BLOCK") return db->blockTableId();
    if (table == "APPID") return db->regAppTableId();
    if (table == "DIMSTYLE") return db->dimStyleTableId();
    if (table == "VIEW") return db->viewTableId();
    if (table == "UCS") return db->UCSTableId();
    if (table == "VPORT") return db->viewportTableId();
    return {};
}

std::vector<ZcDbObjectId> tableRecords(ZcDbObjectId tableId, bool blocks) {
    std::vector<ZcDbObjectId> ids;
    ZcDbSymbolTable* t = nullptr;
    if (zcdbOpenObject(t, tableId, ZcDb::kForRead) != Zcad::eOk) return ids;
    ids = t->recordIds();
    t->close();
    if (blocks)  // the layouts' own blocks are not listed
        std::erase_if(ids, [](ZcDbObjectId id) {
            ZcDbBlockTableRecord* r = nullptr;
            if (zcdbOpenObject(r, id, ZcDb::kForRead) != Zcad::eOk) return true;
            bool layout = r->isLayout();
            r->close();
            return layout;
        });
    return ids;
}

resbuf* recordList(const std::string& table, ZcDbObjectId recId) {
    ZcDbSymbolTableRecord* rec = nullptr;
    if (zcdbOpenObject(rec, recId, ZcDb::kForRead) != Zcad::eOk) return nullptr;
    std::vector<ZcDbDxfItem> items;
    items.push_back(stringItem(0, table));
    if (auto* block = ZcDbBlockTableRecord::cast(rec)) {
        items.push_back(stringItem(2, block->name()));
        ZcDbDxfItem flags;
        flags.code = 70;
        flags.kind = ZcDbDxfItem::kInt16;
        flags.integer = (block->isAnonymous() ? 1 : 0) | (block->hasAttributeDefinitions() ? 2 : 0);
        items.push_back(flags);
        ZcDbDxfItem origin;
        origin.code = 10;
        origin.kind = ZcDbDxfItem::kPoint;
        ZcGePoint3d o = block->origin();
        origin.real[0] = o.x, origin.real[1] = o.y, origin.real[2] = o.z;
        items.push_back(origin);
        if (!block->comments().empty()) items.push_back(stringItem(4, block->comments()));
        std::vector<ZcDbObjectId> ents = block->entityIds();
        if (!ents.empty()) items.push_back(idItem(-2, ents.front()));
    } else {
        ZcDbMemDxfFiler f(recId.database());
        rec->dxfOutFields(&f);
        for (ZcDbDxfItem& it : f.items())
            if (it.code != 5 && it.code != 330 && it.code != 100 && it.code != 102)
                items.push_back(std::move(it));
    }
    rec->close();
    return listFromItems(items);
}

}  // namespace

resbuf* zcdbTblSearch(const char* tblname, const char* sym, int setnext) {
    ZcDbDatabase* db = zcdbCurDwg();
    if (!db || !tblname || !sym) return nullptr;
    std::string table = host::toUpper(tblname);
    ZcDbObjectId tableId = tableIdOf(db, table);
    if (tableId.isNull()) return nullptr;
    ZcDbObjectId rec = db->recordId(tableId, sym);
    if (rec.isNull()) return nullptr;
    if (setnext) {
        std::vector<ZcDbObjectId> ids = tableRecords(tableId, table == "BLOCK");
        auto at = std::find(ids.begin(), ids.end(), rec);
        if (at != ids.end())
            tableWalk().next[{db->serial(), table}] = static_cast<std::size_t>(at - ids.begin()) + 1;
    }
    return recordList(table, rec);
}

bool host::tableHasRecord(const char* table, const char* name) {
    ZcDbDatabase* db = zcdbCurDwg();
    if (!db || !table || !name) return false;
    const ZcDbObjectId rec = db->recordId(tableIdOf(db, host::toUpper(table)), name);
    if (rec.isNull()) return false;
    ZcDbSymbolTableRecord* opened = nullptr;
    if (zcdbOpenObject(opened, rec, ZcDb::kForRead) != Zcad::eOk) return false;
    opened->close();
    return true;
}

resbuf* zcdbTblNext(const char* tblname, int rewind) {
    ZcDbDatabase* db = zcdbCurDwg();
    if (!db || !tblname) return nullptr;
    std::string table = host::toUpper(tblname);
    ZcDbObjectId tableId = tableIdOf(db, table);
    if (tableId.isNull()) return nullptr;
    std::size_t& next = tableWalk().next[{db->serial(), table}];
    if (rewind) next = 0;
    std::vector<ZcDbObjectId> ids = tableRecords(tableId, table == "BLOCK");
    if (next >= ids.size()) return nullptr;
    return recordList(table, ids[next++]);
}

int zcdbTblObjName(const char* tblname, const char* sym, ads_name result) {
    result[0] = result[1] = 0;
    ZcDbDatabase* db = zcdbCurDwg();
    if (!db || !tblname || !sym) return fail(OL_ESNVALID);
    ZcDbObjectId tableId = tableIdOf(db, host::toUpper(tblname));
    if (tableId.isNull()) return fail(OL_ESNVALID);
    ZcDbObjectId rec = db->recordId(tableId, sym);
    if (rec.isNull()) return fail(OL_ESNVALID);
    setName(result, rec);
    return RTNORM;
}

int zcdbRegApp(const char* appname) {
    ZcDbDatabase* db = zcdbCurDwg();
    if (!db || !appname || zcdbSNValid(appname, 1) != RTNORM) return fail(OL_ESNVALID);
    if (!db->recordId(db->regAppTableId(), appname).isNull()) return fail(OL_ESNVALID);
    ZcDbRegAppTable* t = nullptr;
    if (db->getRegAppTable(t, ZcDb::kForWrite) != Zcad::eOk) return RTERROR;
    auto* rec = new ZcDbRegAppTableRecord;
    rec->setName(appname);
    Zcad::ErrorStatus es = t->add(rec);
    t->close();
    if (es != Zcad::eOk) {
        delete rec;
        return fail(OL_ESNVALID);
    }
    rec->close();
    return RTNORM;
}

int zcdbSNValid(const char* tbstr, int pipetest) {
    // Asked of the layer of every entity made: a table, not a search of the
    // forbidden characters for each character of the name.
    static const auto forbidden = [] {
        std::array<bool, 256> t{};
        for (int c = 0; c < 32; ++c) t[static_cast<std::size_t>(c)] = true;
        for (const char* c = "<>/\\\":;?*,=`"; *c; ++c) t[static_cast<unsigned char>(*c)] = true;
        return t;
    }();
    if (!tbstr || !*tbstr) return fail(OL_ESNVALID);
    std::size_t n = 0;
    for (; tbstr[n]; ++n) {
        const auto c = static_cast<unsigned char>(tbstr[n]);
        if (forbidden[c] || (c == '|' && pipetest)) return fail(OL_ESNVALID);
    }
    if (n > 255 || tbstr[0] == ' ' || tbstr[n - 1] == ' ') return fail(OL_ESNVALID);
    return RTNORM;
}

int zcdbInters(const ads_point from1, const ads_point to1, const ads_point from2, const ads_point to2,
               int teston, ads_point result) {
    ZcGeVector3d d1(to1[0] - from1[0], to1[1] - from1[1], to1[2] - from1[2]);
    ZcGeVector3d d2(to2[0] - from2[0], to2[1] - from2[1], to2[2] - from2[2]);
    ZcGeVector3d r(from1[0] - from2[0], from1[1] - from2[1], from1[2] - from2[2]);
    // Closest points of the two lines: from1 + s d1 and from2 + t d2.
    double a = d1.dotProduct(d1), b = d1.dotProduct(d2), c = d2.dotProduct(d2);
    double d = d1.dotProduct(r), e = d2.dotProduct(r);
    double den = a * c - b * b;
    if (a == 0 || c == 0 || std::fabs(den) <= 1e-12 * a * c) return RTNONE;
    double s = (b * e - c * d) / den, t = (a * e - b * d) / den;
    ZcGePoint3d p1(from1[0] + s * d1.x, from1[1] + s * d1.y, from1[2] + s * d1.z);
    ZcGePoint3d p2(from2[0] + t * d2.x, from2[1] + t * d2.y, from2[2] + t * d2.z);
    double scale = std::max({1.0, std::sqrt(a), std::sqrt(c)});
    if (p1.distanceTo(p2) > 1e-10 * scale) return RTNONE;
    if (teston) {
        const double eps = 1e-10;
        if (s < -eps || s > 1 + eps || t < -eps || t > 1 + eps) return RTNONE;
    }
    result[0] = p1.x, result[1] = p1.y, result[2] = p1.z;
    return RTNORM;
}

// ======================================================================
// Platform helpers

namespace host {

std::vector<ZcDbDxfItem> entityDataItems(const ZcDbEntity* e, const resbuf* apps) {
    std::vector<ZcDbDxfItem> items;
    fileEntityData(e, apps, items);
    return items;
}

void setErrno(int value) {
    setSysVar("ERRNO", static_cast<short>(value), false);
}

const std::vector<ZcDbObjectId>& drawingEntities(ZcDbDatabase* db) {
    OrderCache& c = orderCache();
    if (c.serial == db->serial() && c.numObjects == db->numObjects()) return c.ids;
    OrderCache old = std::move(c);
    c = OrderCache();
    c.serial = db->serial();
    c.numObjects = db->numObjects();
    for (ZcDbObjectId spaceId : {db->modelSpaceId(), db->paperSpaceId()}) {
        ZcDbBlockTableRecord* space = nullptr;
        if (spaceId.isNull() || zcdbOpenObject(space, spaceId, ZcDb::kForRead) != Zcad::eOk) continue;
        std::vector<ZcDbObjectId> ids = space->entityIds(false);
        space->close();
        c.ids.insert(c.ids.end(), ids.begin(), ids.end());
    }
    // Entities are usually appended in handle order already.
    auto byHandle = [](ZcDbObjectId a, ZcDbObjectId b) { return a.handle() < b.handle(); };
    if (!std::is_sorted(c.ids.begin(), c.ids.end(), byHandle))
        std::stable_sort(c.ids.begin(), c.ids.end(), byHandle);
    // New entities usually come at the end: those in the same place as
    // before keep the class read then.
    c.classes.assign(c.ids.size(), nullptr);
    if (old.serial == c.serial)
        for (std::size_t i = 0; i < std::min(old.classes.size(), c.ids.size()); ++i)
            if (old.ids[i] == c.ids[i]) c.classes[i] = old.classes[i];
    return c.ids;
}

const std::vector<const ZcRxClass*>& drawingEntityClasses(ZcDbDatabase* db) {
    const std::vector<ZcDbObjectId>& ids = drawingEntities(db);
    std::vector<const ZcRxClass*>& classes = orderCache().classes;
    for (std::size_t i = 0; i < ids.size(); ++i)
        if (!classes[i])
            if (const ZcDbStub* s = ids[i].stub(); s && s->object) classes[i] = s->object->isA();
    return classes;
}

ZcDbObjectId currentSpaceForNewEntities(ZcDbDatabase* db) {
    if (sysVarShort("TILEMODE") == 0 && sysVarShort("CVPORT") == 1 && !db->paperSpaceId().isNull())
        return db->paperSpaceId();
    return db->modelSpaceId();
}

void ensureLayer(ZcDbDatabase* db, const std::string& name) {
    if (!db || name.empty()) return;
    // Entity after entity is made on one layer: the record found last is
    // asked first, and stands while it is there under that very name.
    thread_local struct {
        std::int64_t serial = 0;
        std::string name;
        ZcDbObjectId id;
    } last;
    if (last.serial == db->serial() && last.name == name && !last.id.isErased()) {
        const ZcDbObject* obj = last.id.stub()->object.get();
        const auto* rec = obj ? ZcDbLayerTableRecord::cast(obj) : nullptr;
        if (rec && rec->name() == name && rec->ownerId() == db->layerTableId()) return;
    }
    if (const ZcDbObjectId found = db->recordId(db->layerTableId(), name); !found.isNull()) {
        last.serial = db->serial();
        last.name = name;
        last.id = found;
        return;
    }
    ZcDbLayerTable* t = nullptr;
    if (db->getLayerTable(t, ZcDb::kForWrite) != Zcad::eOk) return;
    auto* rec = new ZcDbLayerTableRecord;
    rec->setName(name);
    if (t->add(rec) == Zcad::eOk)
        rec->close();
    else
        delete rec;
    t->close();
}

const ZcDbTextStyleTableRecord* readableTextStyle(const std::string& name) {
    ZcDbDatabase* db = zcdbCurDwg();
    if (!db) return nullptr;
    // The record found last stands while it is there under that very name.
    thread_local struct {
        std::int64_t serial = 0;
        std::string name;
        ZcDbObjectId id;
    } last;
    const ZcDbTextStyleTableRecord* rec = nullptr;
    if (last.serial == db->serial() && last.name == name && !last.id.isNull() && !last.id.isErased()) {
        const ZcDbObject* obj = last.id.stub()->object.get();
        rec = obj ? ZcDbTextStyleTableRecord::cast(obj) : nullptr;
        if (rec && (rec->name() != name || rec->ownerId() != db->textStyleTableId())) rec = nullptr;
    }
    if (!rec) {
        const ZcDbObjectId found = db->recordId(db->textStyleTableId(), name);
        if (found.isNull()) return nullptr;
        last.serial = db->serial();
        last.name = name;
        last.id = found;
        const ZcDbObject* obj = found.stub()->object.get();
        rec = obj ? ZcDbTextStyleTableRecord::cast(obj) : nullptr;
    }
    // Opening for read and closing again leaves the record as it was.
    return rec && !rec->isWriteEnabled() ? rec : nullptr;
}

ZcDbExtents3d drawingExtents(ZcDbDatabase* db) {
    ZcDbExtents3d ext;
    ZcDbObjectId model = db->modelSpaceId();
    for (ZcDbObjectId id : drawingEntities(db)) {
        ZcDbEntity* e = nullptr;
        if (id.isErased() || zcdbOpenObject(e, id, ZcDb::kForRead) != Zcad::eOk) continue;
        if (e->ownerId() == model) {
            ZcDbGeometry g;
            zcdbEntityGeometry(e, g);
            ext.add(zcdbGeomExtents(g));
        }
        e->close();
    }
    return ext;
}

void resetEntityInterface() {
    makeState().clear();
    tableWalk().next.clear();
    orderCache() = OrderCache();
}

static std::string& lastInputText() {
    static std::string text;
    return text;
}

void setLastInput(const std::string& text) {
    lastInputText() = text;
}
const std::string& lastInput() {
    return lastInputText();
}

}  // namespace host
