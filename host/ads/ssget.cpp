// Selection sets: the non-interactive modes of zcedSSGet, the set
// functions, the previous and pick-first sets, and the filter compiler.
//
// A filter is compiled once into a small tree and evaluated per entity
// against the entity's list (built once per entity), so an "X" selection
// costs one pass over the drawing.
#include "host/ads/ssget.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "host/ads/adsent.h"
#include "host/ads/editor.h"
#include "host/ads/rbutil.h"
#include "host/ads/spatial_index.h"
#include "host/ads/wcmatch.h"
#include "host/db/dbgeom.h"
#include "host/db/dbmain.h"
#include "host/db/dbprefetch.h"
#include "host/db/stubset.h"
#include "host/win/textutil.h"

namespace {

// The first word of a selection set's name: no database serial is negative.
constexpr std::int64_t kSetTag = -0x5353;

// Ids are only touched while their database lives: a set remembers its
// database's serial, and a set of a closed drawing counts as freed.
bool alive(std::int64_t serial) {
    return serial == 0 || ZcDbDatabase::fromSerial(serial) != nullptr;
}

// Members in selection order. Removal only forgets the member; the order
// list is compacted once when next read, so removing many members one by
// one stays linear. A set made whole from a list of distinct members (a
// selection of the drawing) builds its membership index only when first
// asked, so "X" on a large drawing costs no hashing.
struct Set {
    std::int64_t serial = 0;

    void add(ZcDbObjectId id) {
        index();
        if (serial == 0 && id.database()) serial = id.database()->serial();
        if (in_.contains(id.stub())) return;
        // A member removed and added back before the list was compacted
        // would otherwise keep its old place as well as take a new one.
        if (stale_) compact();
        in_.insert(id.stub());
        order_.push_back(id);
    }
    // Members known to be distinct, in order; replaces what the set held.
    void assignDistinct(std::vector<ZcDbObjectId> ids) {
        in_.clear();
        order_ = std::move(ids);
        stale_ = repeats_ = false;
        indexed_ = order_.empty();
        if (serial == 0 && !order_.empty() && order_.front().database())
            serial = order_.front().database()->serial();
    }
    // Members in order, possibly repeated: the repeats are dropped (the
    // first place kept, as add() would) only when the set is next read, so
    // a list kept and replaced unread costs no hashing.
    void assignMaybeRepeated(std::vector<ZcDbObjectId> ids) {
        assignDistinct(std::move(ids));
        repeats_ = !order_.empty();
        for (ZcDbObjectId id : order_)
            if (serial == 0 && id.database()) serial = id.database()->serial();
    }
    void remove(ZcDbObjectId id) {
        index();
        if (in_.erase(id.stub())) stale_ = true;
    }
    bool contains(ZcDbObjectId id) const {
        index();
        return in_.contains(id.stub());
    }
    const std::vector<ZcDbObjectId>& ids() const {
        if (repeats_) index();
        if (stale_) compact();
        return order_;
    }

private:
    void index() const {
        if (indexed_) return;
        if (repeats_) {
            size_t kept = 0;
            for (size_t i = 0; i < order_.size(); ++i)
                if (in_.insert(order_[i].stub())) order_[kept++] = order_[i];
            order_.resize(kept);
            repeats_ = false;
        } else {
            for (ZcDbObjectId id : order_) in_.insert(id.stub());
        }
        indexed_ = true;
    }
    void compact() const {
        std::erase_if(order_, [this](ZcDbObjectId id) { return !in_.contains(id.stub()); });
        stale_ = false;
    }
    mutable host::StubSet in_;
    mutable std::vector<ZcDbObjectId> order_;
    mutable bool stale_ = false;
    mutable bool indexed_ = true;
    mutable bool repeats_ = false;
};

struct Sets {
    std::map<std::int64_t, Set> sets;
    std::int64_t next = 1;
    Set previous, pickFirst;
};

// A kept list, or nothing once its drawing is gone.
const std::vector<ZcDbObjectId>& liveIds(const Set& s) {
    static const std::vector<ZcDbObjectId> none;
    return alive(s.serial) ? s.ids() : none;
}

Set setOf(const std::vector<ZcDbObjectId>& ids) {
    Set s;
    s.assignMaybeRepeated(ids);
    return s;
}

Sets& sets() {
    static Sets s;
    return s;
}

Set* findSet(const ads_name ss) {
    if (!ss || ss[0] != kSetTag) return nullptr;
    auto it = sets().sets.find(ss[1]);
    if (it == sets().sets.end()) return nullptr;
    if (!alive(it->second.serial)) {
        sets().sets.erase(it);
        return nullptr;
    }
    return &it->second;
}

std::int64_t newSet(ads_name ss) {
    std::int64_t n = sets().next++;
    sets().sets[n];
    ss[0] = kSetTag;
    ss[1] = n;
    return n;
}

ZcDbObjectId entityId(const ads_name e) {
    ZcDbObjectId id;
    if (e) zcdbGetObjectId(id, e);
    return id;
}

std::vector<ZcGePoint3d> pointList(const void* pt1) {
    std::vector<ZcGePoint3d> pts;
    for (const resbuf* rb = static_cast<const resbuf*>(pt1); rb; rb = rb->rbnext)
        if (rb->restype == RTPOINT || rb->restype == RT3DPOINT)
            pts.emplace_back(rb->resval.rpoint[0], rb->resval.rpoint[1],
                             rb->restype == RT3DPOINT ? rb->resval.rpoint[2] : 0.0);
    return pts;
}

ZcGePoint3d pointOf(const void* p) {
    const ads_real* a = static_cast<const ads_real*>(p);
    return {a[0], a[1], a[2]};
}

// Graphical selection over the selectable entities near the box.
template <class Test>
std::vector<ZcDbObjectId> selectBy(ZcDbDatabase* db, const host::PlanBox& box,
                                   const host::SelectionFilter& filter, Test test) {
    std::vector<ZcDbObjectId> out;
    ZcDbGeometry g;
    host::forEachSelectableIn(db, box, [&](ZcDbObjectId id, const ZcDbEntity* e) {
        g.clear();
        zcdbEntityGeometry(e, g);
        if (!g.empty() && test(g) && filter.matches(e)) out.push_back(id);
    });
    return out;
}

std::vector<ZcDbObjectId> filtered(const std::vector<ZcDbObjectId>& ids,
                                   const host::SelectionFilter& filter) {
    std::vector<ZcDbObjectId> out;
    for (size_t i = 0; i < ids.size(); ++i) {
        host::prefetchAhead<4>(ids, i, 16);
        const ZcDbObjectId id = ids[i];
        ZcDbEntity* e = nullptr;
        if (id.isNull() || zcdbOpenObject(e, id, ZcDb::kForRead) != Zcad::eOk) continue;
        if (filter.matches(e)) out.push_back(id);
        e->close();
    }
    return out;
}

// The whole drawing through a filter that reads only the kind: each class
// is judged once and the objects are not touched, only their stubs. An
// entity being edited (open for write) is still in the drawing and counts.
std::vector<ZcDbObjectId> byKind(ZcDbDatabase* db, const host::SelectionFilter& filter) {
    const std::vector<ZcDbObjectId>& all = host::drawingEntities(db);
    const std::vector<const ZcRxClass*>& kinds = host::drawingEntityClasses(db);
    std::vector<std::pair<const ZcRxClass*, bool>> judged;
    std::vector<ZcDbObjectId> out;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (i + 16 < all.size()) __builtin_prefetch(all[i + 16].stub());
        const ZcDbStub* s = all[i].stub();
        if (!s || s->erased || !kinds[i]) continue;
        auto it =
            std::find_if(judged.begin(), judged.end(), [&](const auto& j) { return j.first == kinds[i]; });
        if (it == judged.end())
            it = judged.insert(judged.end(), {kinds[i], kinds[i]->isDerivedFrom(ZcDbEntity::desc()) &&
                                                            filter.matchesKind(kinds[i])});
        if (it->second) out.push_back(all[i]);
    }
    return out;
}

// The whole drawing through a filter that asks for xdata of an
// application: only the entities the database lists under it are looked
// at, in drawing order (the handle order the walk gives them). An application pattern with wildcards takes
// every listed application it matches.
std::vector<ZcDbObjectId> byXDataApp(ZcDbDatabase* db, const host::SelectionFilter& filter) {
    const std::string& app = filter.requiredXDataApps()->front();
    const auto& index = db->xdataIndex();
    std::vector<ZcDbStub*> stubs;
    const bool wild = app.find_first_of("#@.*?[~`,") != std::string::npos;
    if (!wild) {
        if (auto it = index.find(app); it != index.end()) stubs.assign(it->second.begin(), it->second.end());
    } else {
        const host::WcPattern pattern(app);
        for (const auto& [name, listed] : index)
            if (pattern.matches(name)) stubs.insert(stubs.end(), listed.begin(), listed.end());
        std::sort(stubs.begin(), stubs.end());
        stubs.erase(std::unique(stubs.begin(), stubs.end()), stubs.end());
    }
    const ZcDbObjectId model = db->modelSpaceId(), paper = db->paperSpaceId();
    std::vector<ZcDbObjectId> ids;
    ids.reserve(stubs.size());
    for (ZcDbStub* s : stubs) {
        const ZcDbObjectId id(s);
        if (!s->object || id.isErased()) continue;
        const ZcDbObjectId owner = s->object->ownerId();
        if (owner == model || owner == paper) ids.push_back(id);
    }
    std::sort(ids.begin(), ids.end(), [](ZcDbObjectId a, ZcDbObjectId b) { return a.handle() < b.handle(); });
    return filtered(ids, filter);
}

}  // namespace

int zcedSSGet(const char* str, const void* pt1, const void* pt2, const resbuf* filterList, ads_name ss) {
    if (ss) ss[0] = ss[1] = 0;
    host::SelectionFilter filter(filterList);
    ZcDbDatabase* db = zcdbCurDwg();
    if (!ss || !filter.ok() || !db) return RTERROR;
    std::string mode = str ? host::toUpper(str) : "";
    if (!mode.empty() && mode[0] == '_') mode.erase(0, 1);

    std::vector<ZcDbObjectId> ids;
    // A walk over the drawing finds each entity once, and an interactive
    // selection keeps its members distinct itself.
    const bool distinct = mode == "X" || mode == "W" || mode == "C" || mode == "WP" || mode == "CP" ||
                          mode == "F" || mode == "A" || mode == "ALL" || mode.empty() || mode[0] == ':';
    if (mode == "X" && filter.readsKindOnly()) {
        ids = byKind(db, filter);
    } else if (mode == "X" && filter.requiredXDataApps()) {
        ids = byXDataApp(db, filter);
    } else if (mode == "X") {
        const std::vector<ZcDbObjectId>& all = host::drawingEntities(db);
        ids.reserve(all.size());
        for (size_t i = 0; i < all.size(); ++i) {
            if (i + 16 < all.size()) __builtin_prefetch(all[i + 16].stub());
            if (!all[i].isErased()) ids.push_back(all[i]);
        }
        ids = filtered(ids, filter);
    } else if (mode == "W" || mode == "C") {
        if (!pt1 || !pt2) return RTERROR;
        ZcDbPlanWindow w = ZcDbPlanWindow::fromCorners(pointOf(pt1), pointOf(pt2));
        bool crossing = mode == "C";
        ids = selectBy(db, {w.xmin, w.ymin, w.xmax, w.ymax}, filter, [&](const ZcDbGeometry& g) {
            return crossing ? zcdbGeomCrossesWindow(g, w) : zcdbGeomInsideWindow(g, w);
        });
    } else if (mode == "WP" || mode == "CP" || mode == "F") {
        std::vector<ZcGePoint3d> pts = pointList(pt1);
        if (pts.size() < (mode == "F" ? 2u : 3u)) return RTERROR;
        ids = selectBy(db, host::boxOfPoints(pts), filter, [&](const ZcDbGeometry& g) {
            if (mode == "F") return zcdbGeomCrossesFence(g, pts);
            return mode == "CP" ? zcdbGeomCrossesPolygon(g, pts) : zcdbGeomInsidePolygon(g, pts);
        });
    } else if (mode == "L") {
        ads_name last;
        if (zcdbEntLast(last) == RTNORM) ids = filtered({entityId(last)}, filter);
    } else if (mode == "P") {
        for (ZcDbObjectId id : host::previousSelection())
            if (id.isValid() && !id.isErased()) ids.push_back(id);
        ids = filtered(ids, filter);
    } else if (mode == "I") {
        for (ZcDbObjectId id : host::pickFirstSet())
            if (id.isValid() && !id.isErased()) ids.push_back(id);
        ids = filtered(ids, filter);
    } else if (mode == "A" || mode == "ALL") {
        ids = filtered(host::selectableEntities(db), filter);
    } else if (mode.empty() || mode[0] == ':') {
        int rc = host::interactiveSelect(str, pt1, filter, ids);
        if (rc != RTNORM) return rc;
    } else {
        return RTERROR;
    }
    if (distinct) {
        // No index is built.
        if (ids.empty()) return RTERROR;
        Set& set = sets().sets[newSet(ss)];
        set.assignDistinct(std::move(ids));
    } else if (host::makeSelection(ids, ss) != RTNORM) {
        return RTERROR;
    }
    sets().previous = *findSet(ss);
    return RTNORM;
}

int zcedSSFree(const ads_name sname) {
    if (!findSet(sname)) return RTERROR;
    sets().sets.erase(sname[1]);
    return RTNORM;
}

int zcedSSLength(const ads_name sname, std::int32_t* len) {
    Set* s = findSet(sname);
    if (!s || !len) return RTERROR;
    *len = static_cast<std::int32_t>(s->ids().size());
    return RTNORM;
}

int zcedSSLength(const ads_name sname, long* len) {
    std::int32_t n = 0;
    int rc = zcedSSLength(sname, &n);
    if (rc == RTNORM && len) *len = n;
    return rc;
}

int zcedSSName(const ads_name ss, std::int32_t i, ads_name entres) {
    Set* s = findSet(ss);
    if (!s || i < 0 || static_cast<std::size_t>(i) >= s->ids().size()) return RTERROR;
    return zcdbGetAdsName(entres, s->ids()[static_cast<std::size_t>(i)]) == Zcad::eOk ? RTNORM : RTERROR;
}

int zcedSSAdd(const ads_name ename, const ads_name sname, ads_name result) {
    bool noEntity = !ename || (ename[0] == 0 && ename[1] == 0);
    bool noSet = !sname || (sname[0] == 0 && sname[1] == 0);
    ZcDbObjectId id;
    if (!noEntity) {
        id = entityId(ename);
        if (id.isNull()) return RTERROR;
    }
    if (noSet) {
        ads_name fresh;
        std::int64_t n = newSet(fresh);
        if (!id.isNull()) sets().sets[n].add(id);
        result[0] = fresh[0];
        result[1] = fresh[1];
        return RTNORM;
    }
    Set* s = findSet(sname);
    if (!s) return RTERROR;
    if (!id.isNull()) s->add(id);
    std::int64_t a = sname[0], b = sname[1];
    result[0] = a;
    result[1] = b;
    return RTNORM;
}

int zcedSSDel(const ads_name ename, const ads_name ss) {
    Set* s = findSet(ss);
    ZcDbObjectId id = entityId(ename);
    if (!s || id.isNull() || !s->contains(id)) return RTERROR;
    s->remove(id);
    return RTNORM;
}

int zcedSSMemb(const ads_name ename, const ads_name ss) {
    Set* s = findSet(ss);
    ZcDbObjectId id = entityId(ename);
    return s && !id.isNull() && s->contains(id) ? RTNORM : RTERROR;
}

int zcedSSGetFirst(resbuf** gset, resbuf** pset) {
    if (gset) *gset = nullptr;
    if (pset) {
        *pset = nullptr;
        std::vector<ZcDbObjectId> live;
        for (ZcDbObjectId id : host::pickFirstSet())
            if (id.isValid() && !id.isErased()) live.push_back(id);
        ads_name ss;
        if (host::makeSelection(live, ss) == RTNORM) {
            *pset = zcutNewRb(RTPICKS);
            (*pset)->resval.rlname[0] = ss[0];
            (*pset)->resval.rlname[1] = ss[1];
        }
    }
    return RTNORM;
}

int zcedSSSetFirst(const ads_name pset, const ads_name unused) {
    (void)unused;
    if (!pset || (pset[0] == 0 && pset[1] == 0)) {
        host::setPickFirstSet({});
        return RTNORM;
    }
    Set* s = findSet(pset);
    if (!s) return RTERROR;
    host::setPickFirstSet(s->ids());
    return RTNORM;
}

// ======================================================================
// Filters

struct host::SelectionFilter::Node {
    enum Kind { kAnd, kOr, kXor, kNot, kTest, kXData };
    Kind kind = kAnd;
    std::vector<std::unique_ptr<Node>> kids;
    ZcDbDxfItem value;
    std::vector<std::string> ops;              // kTest: one, or three for points
    std::vector<std::string> apps;             // kXData
    std::vector<host::WcPattern> appPatterns;  // kXData: apps, compiled
    std::optional<host::WcPattern> pattern;    // kTest on text: the upper-cased value, compiled
};

namespace {

using Node = host::SelectionFilter::Node;

class FilterParser {
public:
    explicit FilterParser(const resbuf* rb) : m_rb(rb) {}

    // Tests up to the closing tag (empty: the end of the list).
    bool sequence(Node& into, const std::string& closing) {
        while (m_rb) {
            if (m_rb->restype == -4 && m_rb->resval.rstring) {
                std::string tag = host::toUpper(m_rb->resval.rstring);
                if (!closing.empty() && tag == closing) {
                    m_rb = m_rb->rbnext;
                    return true;
                }
                if (tag.size() > 1 && tag[0] == '<' && group(tag.substr(1))) {
                    if (!groupInto(into, tag.substr(1))) return false;
                    continue;
                }
                if (tag.size() > 1 && tag.back() == '>' && group(tag.substr(0, tag.size() - 1))) return false;
            }
            auto t = test();
            if (!t) return false;
            into.kids.push_back(std::move(t));
        }
        return closing.empty();
    }

private:
    static bool group(const std::string& name) {
        return name == "AND" || name == "OR" || name == "XOR" || name == "NOT";
    }

    bool groupInto(Node& into, const std::string& name) {
        m_rb = m_rb->rbnext;
        auto node = std::make_unique<Node>();
        node->kind = name == "AND"   ? Node::kAnd
                     : name == "OR"  ? Node::kOr
                     : name == "XOR" ? Node::kXor
                                     : Node::kNot;
        if (!sequence(*node, name + ">")) return false;
        if (node->kind == Node::kXor && node->kids.size() != 2) return false;
        if (node->kind == Node::kNot && node->kids.size() != 1) return false;
        if (node->kids.empty()) return false;
        into.kids.push_back(std::move(node));
        return true;
    }

    std::unique_ptr<Node> test() {
        auto node = std::make_unique<Node>();
        if (m_rb->restype == -3) {
            node->kind = Node::kXData;
            for (m_rb = m_rb->rbnext; m_rb && m_rb->restype == 1001; m_rb = m_rb->rbnext)
                node->apps.push_back(host::toUpper(m_rb->resval.rstring ? m_rb->resval.rstring : ""));
            if (node->apps.empty()) return nullptr;
            for (const std::string& app : node->apps) node->appPatterns.emplace_back(app);
            return node;
        }
        node->kind = Node::kTest;
        node->ops = {"="};
        if (m_rb->restype == -4) {
            node->ops = splitOps(m_rb->resval.rstring ? m_rb->resval.rstring : "");
            if (node->ops.empty()) return nullptr;
            m_rb = m_rb->rbnext;
            if (!m_rb || m_rb->restype == -4 || m_rb->restype == -3) return nullptr;
        }
        if (ZcDbDxfItem::kindOfCode(m_rb->restype) == ZcDbDxfItem::kUnknown ||
            !zcdbItemFromResbuf(*m_rb, node->value))
            return nullptr;
        if (node->value.kind == ZcDbDxfItem::kString || node->value.kind == ZcDbDxfItem::kHandle)
            node->pattern.emplace(host::toUpper(node->value.text));
        m_rb = m_rb->rbnext;
        return node;
    }

    static std::vector<std::string> splitOps(const std::string& text) {
        static const char* known[] = {"=", "!=", "/=", "<>", "<", "<=", ">", ">=", "*", "&", "&="};
        std::vector<std::string> ops;
        std::size_t start = 0;
        while (true) {
            std::size_t comma = text.find(',', start);
            std::string op =
                text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            op.erase(std::remove(op.begin(), op.end(), ' '), op.end());
            if (std::find(std::begin(known), std::end(known), op) == std::end(known)) return {};
            ops.push_back(op);
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        if (ops.size() != 1 && ops.size() != 3) return {};
        return ops;
    }

    const resbuf* m_rb;
};

// The operator as a view: each test of it is then a length and a byte or
// two, not a call (filters are matched against every entity a walk meets).
bool compareNumbers(double a, double b, std::string_view op) {
    double tol = 1e-10 * std::max({1.0, std::fabs(a), std::fabs(b)});
    if (op == "*") return true;
    if (op == "=") return std::fabs(a - b) <= tol;
    if (op == "!=" || op == "/=" || op == "<>") return std::fabs(a - b) > tol;
    if (op == "<") return a < b - tol;
    if (op == "<=") return a <= b + tol;
    if (op == ">") return a > b + tol;
    if (op == ">=") return a >= b - tol;
    auto ia = static_cast<std::int64_t>(a), ib = static_cast<std::int64_t>(b);
    if (op == "&") return (ia & ib) != 0;
    if (op == "&=") return (ia & ib) == ib;
    return false;
}

bool compareStrings(std::string_view have, const Node& t) {
    const std::string_view op = t.ops[0];
    if (op == "*") return true;
    if (op == "=" || op == "!=" || op == "/=" || op == "<>")
        return t.pattern->matches(have, true) == (op == "=");
    int c = host::toUpper(std::string(have)).compare(host::toUpper(t.value.text));
    if (op == "<") return c < 0;
    if (op == "<=") return c <= 0;
    if (op == ">") return c > 0;
    if (op == ">=") return c >= 0;
    return false;
}

bool compareItem(const ZcDbDxfItem& have, const Node& t) {
    const ZcDbDxfItem& want = t.value;
    switch (want.kind) {
        case ZcDbDxfItem::kString:
        case ZcDbDxfItem::kHandle:
            return compareStrings(have.text, t);
        case ZcDbDxfItem::kPoint:
            for (int i = 0; i < 3; ++i)
                if (!compareNumbers(have.real[i], want.real[i],
                                    t.ops[t.ops.size() == 3 ? static_cast<std::size_t>(i) : 0]))
                    return false;
            return true;
        case ZcDbDxfItem::kReal:
            return compareNumbers(have.real[0], want.real[0], t.ops[0]);
        case ZcDbDxfItem::kId: {
            bool same = have.id == want.id;
            return t.ops[0] == "*" || (t.ops[0] == "=" ? same : !same);
        }
        default:
            return compareNumbers(static_cast<double>(have.integer), static_cast<double>(want.integer),
                                  t.ops[0]);
    }
}

// The value a group has when the entity's list leaves it out.
std::optional<ZcDbDxfItem> defaultItem(int code) {
    ZcDbDxfItem it;
    it.code = code;
    it.kind = ZcDbDxfItem::kindOfCode(code);
    switch (code) {
        case 8:
            it.text = std::string("0");
            return it;
        case 6:
            it.text = std::string("BYLAYER");
            return it;
        case 62:
            it.integer = 256;
            return it;
        case 67:
            it.integer = 0;
            return it;
        default:
            return std::nullopt;
    }
}

// What a filter is evaluated against: an entity, or for a filter that
// reads only the kind, the class alone.
struct Subject {
    const ZcDbEntity* e;
    const ZcRxClass* kind;
    mutable std::optional<std::vector<ZcDbDxfItem>> items;
    const std::vector<ZcDbDxfItem>& list() const {
        if (!items) items = host::entityDataItems(e, nullptr);
        return *items;
    }
};

// The text of a group read off the entity in place, for the groups every
// entity has: the kind, the layer and the linetype.
std::optional<std::string_view> directText(const Subject& s, int code) {
    if (code == 0) return std::string_view(s.kind->dxfName());
    const ZcDbEntity& e = *s.e;
    switch (code) {
        case 8:
            return e.layer().empty() ? std::string_view("0") : std::string_view(e.layer());
        case 6:
            return std::string_view(e.linetype());
        default:
            return std::nullopt;
    }
}

std::optional<ZcDbDxfItem> directItem(const ZcDbEntity& e, int code) {
    ZcDbDxfItem it;
    it.code = code;
    it.kind = ZcDbDxfItem::kindOfCode(code);
    switch (code) {
        case 0:
            it.text = e.isA()->dxfName();
            return it;
        case 8:
            it.text = e.layer().empty() ? "0" : e.layer();
            return it;
        case 6:
            it.text = e.linetype();
            return it;
        case 62:
            it.integer = e.colorIndex();
            return it;
        default:
            return std::nullopt;
    }
}

bool evaluate(const Node& n, const Subject& s) {
    switch (n.kind) {
        case Node::kAnd:
            for (const auto& k : n.kids)
                if (!evaluate(*k, s)) return false;
            return true;
        case Node::kOr:
            for (const auto& k : n.kids)
                if (evaluate(*k, s)) return true;
            return false;
        case Node::kXor:
            return evaluate(*n.kids[0], s) != evaluate(*n.kids[1], s);
        case Node::kNot:
            return !evaluate(*n.kids[0], s);
        case Node::kXData:
            for (const host::WcPattern& app : n.appPatterns) {
                bool found = false;
                for (const ZcDbXDataApp& a : s.e->xDataApps())
                    if (app.matches(a.app, true)) found = true;
                if (!found) return false;
            }
            return true;
        case Node::kTest: {
            // The common groups are read off the entity: no list needed,
            // and a text is compared where it lies, without a copy.
            if (n.value.kind == ZcDbDxfItem::kString)
                if (std::optional<std::string_view> text = directText(s, n.value.code))
                    return compareStrings(*text, n);
            if (std::optional<ZcDbDxfItem> direct = directItem(*s.e, n.value.code))
                return compareItem(*direct, n);
            bool seen = false;
            for (const ZcDbDxfItem& it : s.list()) {
                if (it.code != n.value.code) continue;
                seen = true;
                if (compareItem(it, n)) return true;
            }
            if (seen) return false;
            std::optional<ZcDbDxfItem> d = defaultItem(n.value.code);
            return d && compareItem(*d, n);
        }
    }
    return false;
}

bool testsKindOnly(const Node& n) {
    if (n.kind == Node::kXData) return false;
    if (n.kind == Node::kTest) return n.value.code == 0 && n.value.kind == ZcDbDxfItem::kString;
    for (const auto& k : n.kids)
        if (!testsKindOnly(*k)) return false;
    return true;
}

}  // namespace

namespace host {

namespace {

// A filter list as the bytes of its groups' codes and values: two lists
// with the same key compile to the same filter. None for a list naming an
// entity, which is found in the drawings as they are when compiled.
std::optional<std::string> filterKey(const resbuf* filter) {
    std::string key;
    const auto bytes = [&key](const void* p, std::size_t n) { key.append(static_cast<const char*>(p), n); };
    for (const resbuf* rb = filter; rb; rb = rb->rbnext) {
        const short code = rb->restype;
        bytes(&code, sizeof code);
        const ads_u_val& v = rb->resval;
        switch (host::rbValueKind(rb->restype)) {
            case host::RbValueKind::Real:
                bytes(&v.rreal, sizeof v.rreal);
                break;
            case host::RbValueKind::Point:
                bytes(v.rpoint, sizeof v.rpoint);
                break;
            case host::RbValueKind::Short:
                bytes(&v.rint, sizeof v.rint);
                break;
            case host::RbValueKind::Long:
                bytes(&v.rlong, sizeof v.rlong);
                break;
            case host::RbValueKind::String: {
                // Its length first: no string can run into the next group.
                const std::size_t n = v.rstring ? std::strlen(v.rstring) : static_cast<std::size_t>(-1);
                bytes(&n, sizeof n);
                if (v.rstring) bytes(v.rstring, n);
                break;
            }
            case host::RbValueKind::Name:
                return std::nullopt;
            case host::RbValueKind::Int64:
                bytes(&v.mnLongPtr, sizeof v.mnLongPtr);
                break;
            case host::RbValueKind::None:
                break;
        }
    }
    return key;
}

struct CompiledFilter {
    std::shared_ptr<const Node> root;
    bool ok = false;
};

// Filters compiled before, by their lists' keys: a command selecting the
// entities of one application per object it makes compiles the same list
// (upper-casing its texts and making their patterns) again and again. A
// compiled filter depends on its list alone; the store is bounded.
std::unordered_map<std::string, CompiledFilter>& compiledFilters() {
    static std::unordered_map<std::string, CompiledFilter> kept;
    return kept;
}

constexpr std::size_t kCompiledFiltersKept = 256;

}  // namespace

SelectionFilter::SelectionFilter(const resbuf* filter) {
    const auto compile = [filter] {
        auto root = std::make_shared<Node>();
        FilterParser p(filter);
        CompiledFilter made;
        made.ok = p.sequence(*root, "");
        made.root = std::move(root);
        return made;
    };
    std::optional<std::string> key = filterKey(filter);
    CompiledFilter made;
    if (!key) {
        made = compile();
    } else {
        auto& kept = compiledFilters();
        auto found = kept.find(*key);
        if (found == kept.end()) {
            if (kept.size() >= kCompiledFiltersKept) kept.clear();
            found = kept.emplace(std::move(*key), compile()).first;
        }
        made = found->second;
    }
    m_root = std::move(made.root);
    m_ok = made.ok;
    m_kindOnly = m_ok && testsKindOnly(*m_root);
}

bool SelectionFilter::matchesKind(const ZcRxClass* kind) const {
    if (!m_ok || !m_kindOnly || !kind) return false;
    if (m_root->kids.empty()) return true;
    Subject s{nullptr, kind, std::nullopt};
    return evaluate(*m_root, s);
}

SelectionFilter::~SelectionFilter() = default;

namespace {

// An xdata test that every match of the group must pass: one among its
// tests, or among those of an AND group inside it, as deep as they go.
const std::vector<std::string>* requiredApps(const host::SelectionFilter::Node& group) {
    for (const auto& k : group.kids)
        if (k->kind == Node::kXData) return &k->apps;
    for (const auto& k : group.kids)
        if (k->kind == Node::kAnd)
            if (const std::vector<std::string>* apps = requiredApps(*k)) return apps;
    return nullptr;
}

}  // namespace

const std::vector<std::string>* SelectionFilter::requiredXDataApps() const {
    return m_ok ? requiredApps(*m_root) : nullptr;
}

bool SelectionFilter::empty() const {
    return m_root->kids.empty();
}

bool SelectionFilter::matches(const ZcDbEntity* e) const {
    if (!m_ok || !e) return false;
    if (m_root->kids.empty()) return true;
    Subject s{e, e->isA(), std::nullopt};
    return evaluate(*m_root, s);
}

bool entityIsVisible(const ZcDbEntity* e) {
    ZcDbDatabase* db = e->database();
    if (!db) return true;
    ZcDbLayerTableRecord* layer = nullptr;
    if (zcdbOpenObject(layer, db->recordId(db->layerTableId(), e->layer()), ZcDb::kForRead) != Zcad::eOk)
        return true;
    bool visible = !layer->isOff() && !layer->isFrozen();
    layer->close();
    return visible;
}

void forEachSelectable(ZcDbDatabase* db, const std::function<void(ZcDbObjectId, const ZcDbEntity*)>& f) {
    ZcDbObjectId space = currentSpaceForNewEntities(db);
    std::unordered_map<std::string, bool> layerVisible;
    // Neighbours are mostly on one layer: the last answer is kept at hand.
    const std::string* lastLayer = nullptr;
    bool lastVisible = true;
    const std::vector<ZcDbObjectId>& all = drawingEntities(db);
    for (size_t i = 0; i < all.size(); ++i) {
        host::prefetchAhead<4>(all, i, 16);
        const ZcDbObjectId id = all[i];
        if (id.isErased()) continue;
        ZcDbEntity* e = nullptr;
        if (zcdbOpenObject(e, id, ZcDb::kForRead) != Zcad::eOk) continue;
        if (e->ownerId() == space && e->visibility() == ZcDb::kVisible) {
            // Each layer is looked up once, not once for every entity on it.
            if (!lastLayer || *lastLayer != e->layer()) {
                auto [known, fresh] = layerVisible.try_emplace(e->layer(), true);
                if (fresh) known->second = entityIsVisible(e);
                lastLayer = &known->first;
                lastVisible = known->second;
            }
            if (lastVisible) f(id, e);
        }
        e->close();
    }
}

std::vector<ZcDbObjectId> selectableEntities(ZcDbDatabase* db) {
    std::vector<ZcDbObjectId> out;
    forEachSelectable(db, [&](ZcDbObjectId id, const ZcDbEntity*) { out.push_back(id); });
    return out;
}

std::vector<ZcDbObjectId> selectionMembers(const ads_name ss) {
    Set* s = findSet(ss);
    return s ? s->ids() : std::vector<ZcDbObjectId>();
}

int makeSelection(const std::vector<ZcDbObjectId>& ids, ads_name ss) {
    ss[0] = ss[1] = 0;
    if (ids.empty()) return RTERROR;
    ads_name fresh;
    Set& set = sets().sets[newSet(fresh)];
    for (ZcDbObjectId id : ids) set.add(id);
    ss[0] = fresh[0];
    ss[1] = fresh[1];
    return RTNORM;
}

void setPreviousSelection(const std::vector<ZcDbObjectId>& ids) {
    sets().previous = setOf(ids);
}
const std::vector<ZcDbObjectId>& previousSelection() {
    return liveIds(sets().previous);
}
const std::vector<ZcDbObjectId>& pickFirstSet() {
    return liveIds(sets().pickFirst);
}

void setPickFirstSet(const std::vector<ZcDbObjectId>& ids, bool notify) {
    sets().pickFirst = setOf(ids);
    if (notify) editorNotifyPickfirstModified();
}

void resetSelections() {
    sets() = Sets();
    resetSpatialIndexes();
}

}  // namespace host
