// Writing the records of a placed object. Lists in the context hold their
// points as the section readers left them (most at the head, so in the
// reverse of the file order); each record states the order it stores.
#include "objects/language/obj_records.h"

#include <cmath>
#include <vector>

#include "core/base/velm_assert.h"
#include "core/entity_data.h"
#include "core/geometry/geom_basic.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/units.h"
#include "host/ed/grdraw.h"
#include "host/util/nocase.h"
#include "objects/language/obj_args.h"

namespace {

// A chain of xdata groups built front to back.
class Chain {
public:
    Chain& text(int code, std::string_view s) {
        resbuf* rb = zcutNewRb(code);
        host::rbSetString(rb, std::string(s));
        return add(rb);
    }
    Chain& app(const char* name) { return text(1001, name); }
    Chain& integer(double v) {
        resbuf* rb = zcutNewRb(1070);
        rb->resval.rint = static_cast<short>(static_cast<int>(v));
        return add(rb);
    }
    Chain& real(double v) { return real(1040, v); }
    Chain& real(int code, double v) {
        resbuf* rb = zcutNewRb(code);
        rb->resval.rreal = v;
        return add(rb);
    }
    Chain& shortValue(int code, int v) {
        resbuf* rb = zcutNewRb(code);
        rb->resval.rint = static_cast<short>(v);
        return add(rb);
    }
    Chain& point(int code, const Point3& p) {
        resbuf* rb = zcutNewRb(code);
        rb->resval.rpoint[0] = p.x;
        rb->resval.rpoint[1] = p.y;
        rb->resval.rpoint[2] = p.z;
        return add(rb);
    }
    Chain& open() {
        ++m_depth;
        return text(1002, "{");
    }
    Chain& close() {
        VELM_ASSERT(m_depth > 0);
        --m_depth;
        return text(1002, "}");
    }
    // Takes a whole list.
    Chain& add(resbuf* list) {
        if (!list) return *this;
        VELM_ASSERT(list != m_head.get());
        if (m_tail)
            m_tail->rbnext = list;
        else
            m_head.reset(list);
        m_tail = list;
        while (m_tail->rbnext) m_tail = m_tail->rbnext;
        return *this;
    }
    // The chain followed by `rest`.
    resbuf* release(resbuf* rest = nullptr) {
        VELM_ASSERT(m_depth == 0);  // a record with an open group reads as damaged
        if (!m_head) return rest;
        m_tail->rbnext = rest;
        m_tail = nullptr;
        return m_head.release();
    }

private:
    host::ResbufList m_head;
    resbuf* m_tail = nullptr;
    int m_depth = 0;  // groups opened and not yet closed
};

double Val(const ObjContext& c, int n) {
    const ObjVar* v = FindObjVar(n, c.vars);
    return v ? v->value : 0.0;
}
std::string Txt(const ObjContext& c, int n) {
    const ObjVar* v = FindObjVar(n, c.vars);
    return v ? v->text : std::string();
}
bool Declared(const ObjContext& c, int n) {
    return FindObjVar(n, c.vars) != nullptr;
}

Point3 InsertionPoint(const ObjContext& c) {
    return {c.insertionPoint[0], c.insertionPoint[1], c.insertionPoint[2]};
}

Matrix4 WorldMatrix(const ObjContext& c) {
    Matrix4 move, turn, m;
    TranslationMatrix(move, InsertionPoint(c));
    RotationZMatrix(turn, c.rotation);
    MultiplyMatrix4(move, turn, m);
    return m;
}

Point3 World(const Matrix4& m, const Point3& p) {
    Point3 out;
    TransformPoint(m, p, out);
    return out;
}

Point3 Placed(const ObjContext& c, const Point3& p) {
    Point3 out;
    RotateOffset(InsertionPoint(c), c.rotation, p, out);
    return out;
}

// The vertices of a list in file order: lists filled at the head are read
// backwards.
std::vector<const VertexNode*> Backwards(const VertexNode* list) {
    std::vector<const VertexNode*> out;
    for (; list; list = list->next) out.push_back(list);
    return {out.rbegin(), out.rend()};
}

bool IsOpeningType(InsertionType type) {
    return type == InsertionType::StraightWallOpening || type == InsertionType::ArcWallOpening ||
           type == InsertionType::WallCorner;
}

resbuf* Prepend(Chain& record, resbuf* chain) {
    return record.release(chain);
}

resbuf* WriteParametri(const ObjContext& c) {
    Chain r;
    r.app(kParamRecordApp).text(1000, c.objectName).text(1000, c.paramSetName);
    r.integer(static_cast<int>(c.insertionType)).integer(c.fixedPointIndex);
    double fixed[3];
    GetObjPoint(c, fixed);
    r.point(1010, {fixed[0] * c.scale[0], fixed[1] * c.scale[1], fixed[2] * c.scale[2]});
    r.integer(c.alignment);
    Point3 placement{0.0, 0.0, 0.0};
    switch (c.insertionType) {
        case InsertionType::StraightWallOpening:
        case InsertionType::ArcWallOpening: {
            const bool door = Declared(c, 11008);
            placement = {Val(c, door ? 11027 : 27), Val(c, door ? 11025 : 25),
                         Val(c, c.insertionType == InsertionType::StraightWallOpening ? 8 : 13)};
            break;
        }
        case InsertionType::SlabCutTotalGiven:
        case InsertionType::SlabCutPartGiven:
            placement.x = Val(c, 11002) + 2.0 * Val(c, 11003);
            break;
        case InsertionType::WallCorner:
            placement = {Val(c, 27), Val(c, 25), 0.0};
            break;
        case InsertionType::SlabOpening:
        case InsertionType::OnSlab:
        case InsertionType::RoofWindow:
            placement.x = Val(c, 30);
            break;
        default:
            break;
    }
    r.point(1010, placement);
    const double flags = Val(c, 16) + 2.0 * Val(c, 5001) + (c.only3d ? 4.0 : 0.0);
    r.point(1010, {flags, Val(c, 11011), Val(c, 11010)});
    for (auto it = c.vars.rbegin(); it != c.vars.rend(); ++it) {
        const ObjVar& v = **it;
        if (v.kind != kVarParameter) continue;
        r.integer(v.number);
        if (v.type == u'S')
            r.text(1000, v.text);
        else
            r.real(v.value);
    }
    return r.release();
}

resbuf* WritePoligFalda(const ObjContext& c, const Matrix4& m) {
    Chain r;
    r.app(kPoligFaldaApp);
    r.integer(c.insertionType == InsertionType::SlabOpening || c.insertionType == InsertionType::RoofWindow
                  ? std::trunc(Val(c, 31))
                  : 0.0);
    for (const VertexNode* v : Backwards(c.polig.get())) r.add(OutlinePointGroups(m, *v));
    return r.release();
}

// A 3D cut outline as (flag, point) pairs in file order.
void CutGroup(Chain& r, const Matrix4& m, const VertexNode* list, bool flagged) {
    if (!list) return;
    r.open();
    for (const VertexNode* v : Backwards(list)) {
        if (flagged)
            r.add(OutlinePointGroups(m, *v));
        else
            r.point(1011, World(m, v->pt()));
    }
    r.close();
}

const std::array<const char*, 16> kApps = {
    kParamRecordApp,   kPoligFaldaApp,      kParaSpecApp,     kCambioLayerApp,
    kInfoScaleSt3dApp, kIsolTrattApp,       kTernaCompApp,    kPilastroStrApp,
    kDetCompScaleApp,  kTag3DiStrRecordApp, kDatiCManoApp,    kDatiCManoScalaApp,
    kSeparatoreApp,    kAbInfissiTabApp,    kAbInfissiObjApp, kAbGenericiObjApp};

constexpr const char* kCannotCreate = "\nNie można utworzyć obiektu %s";

}  // namespace

const std::array<const char*, 16>& ObjectRecordApps() {
    return kApps;
}

void RegisterObjectRecordApps() {
    for (const char* app : kApps) zcdbRegApp(app);
}

resbuf* OutlinePointGroups(const Matrix4& matrix, const VertexNode& vertex) {
    Chain r;
    r.integer(vertex.edgeFlag).point(1011, World(matrix, vertex.pt()));
    return r.release();
}

void TranslateOpeningType(std::string_view word, std::string& out, bool toEnglish) {
    static constexpr std::string_view kEnglish[3] = {"WINDOWS", "DOORS", "OPENINGS"};
    static constexpr std::string_view kItalian[3] = {"FINESTRE", "PORTE", "APERTURE"};
    for (int i = 0; i < 3; ++i)
        if (zcutEqualsNoCase(word, toEnglish ? kItalian[i] : kEnglish[i])) {
            out = toEnglish ? kEnglish[i] : kItalian[i];
            return;
        }
}

resbuf* WriteCambioLayer(const ObjContext& c, resbuf* chain) {
    if (c.layerSubstitutions.empty()) return chain;
    Chain r;
    r.app(kCambioLayerApp);
    for (auto it = c.layerSubstitutions.rbegin(); it != c.layerSubstitutions.rend(); ++it)
        r.text(1000, it->oldName).text(1000, it->newName);
    return Prepend(r, chain);
}

resbuf* WriteInfoScaleSt3d(const ObjContext& c, resbuf* chain) {
    if (c.planes.empty()) return chain;
    const Matrix4 m = WorldMatrix(c);
    Chain r;
    r.app(kInfoScaleSt3dApp);
    // The planes were put at the head of their list: the last is the first read.
    for (auto plane = c.planes.rbegin(); plane != c.planes.rend(); ++plane) {
        r.open();
        for (const VertexNode* v : Backwards(plane->get())) r.point(1011, World(m, v->pt()));
        r.close();
    }
    return Prepend(r, chain);
}

resbuf* WriteIsolTratt(const ObjContext& c, resbuf* chain) {
    if (!c.islandH) return chain;
    const Matrix4 m = WorldMatrix(c);
    Chain r;
    r.app(kIsolTrattApp);
    for (const VertexNode* v : Backwards(c.islandH.get())) r.point(1011, World(m, v->pt()));
    return Prepend(r, chain);
}

resbuf* WriteTernaComp(const ObjContext& c, resbuf* chain) {
    if (c.comEntries.empty()) return chain;
    Chain r;
    r.app(kTernaCompApp);
    for (auto it = c.comEntries.rbegin(); it != c.comEntries.rend(); ++it)
        r.text(1000, it->label).text(1000, it->second).text(1000, it->third);
    return Prepend(r, chain);
}

resbuf* WritePilastroStr(const ObjContext& c, resbuf* chain) {
    if (c.insertionType != InsertionType::Pilaster || !c.cut2d[0]) return chain;
    const Matrix4 m = WorldMatrix(c);
    Chain r;
    r.app(kPilastroStrApp);
    for (const VertexNode* v : Backwards(c.cut2d[0].get())) r.point(1011, World(m, v->pt()));
    return Prepend(r, chain);
}

resbuf* WriteDetCompScale(const ObjContext& c, resbuf* chain) {
    if (!c.poligDed) return chain;
    const Matrix4 m = WorldMatrix(c);
    Chain r;
    r.app(kDetCompScaleApp);
    for (const VertexNode* v : Backwards(c.poligDed.get())) r.point(1011, World(m, v->pt()));
    return Prepend(r, chain);
}

resbuf* WriteTag3DiStr(const ObjContext& c, resbuf* chain) {
    if (!IsOpeningType(c.insertionType)) return chain;
    const Matrix4 m = WorldMatrix(c);
    Chain r;
    r.app(kTag3DiStrRecordApp);
    r.integer(static_cast<int>(c.insertionType)).integer(std::trunc(Val(c, 191)));
    r.real(Val(c, 190)).real(Val(c, 11015)).real(Val(c, 192));
    r.integer(0).real(Val(c, 1));
    double last = 0.0;
    if (Declared(c, 11016))
        last = Val(c, 11016);
    else if (Declared(c, 11015))
        last = Val(c, 190) * Val(c, 191);
    r.real(last);
    for (const auto& p : c.cutPoints) r.point(1011, {p[0], p[1], p[2]});
    CutGroup(r, m, c.cut2d[0].get(), false);
    CutGroup(r, m, c.cut2d[1].get(), false);
    CutGroup(r, m, c.cut3dInner[0].get(), true);
    CutGroup(r, m, c.cut3dOuter[0].get(), true);
    CutGroup(r, m, c.cut3dInner[1].get(), true);
    CutGroup(r, m, c.cut3dOuter[1].get(), true);
    return Prepend(r, chain);
}

resbuf* WriteDatiCMano(const ObjContext& c, resbuf* chain) {
    if (c.handrails.empty() || (c.insertionType != InsertionType::StairBalustrade &&
                                c.insertionType != InsertionType::HandrailCorner))
        return chain;
    const ObjHandrail& h = c.handrails.front();
    Chain r;
    r.app(kDatiCManoApp);
    r.real(h.a[0]).real(h.a[1]).real(h.a[2]).real(h.b[2]).real(h.c[1]).real(h.c[2]);
    return Prepend(r, chain);
}

resbuf* WriteDatiCManoScala(const ObjContext& c, resbuf* chain) {
    if (c.handrails.empty()) return chain;
    auto pt = [](const double t[3]) { return Point3{t[0], t[1], t[2]}; };
    Chain r;
    r.app(kDatiCManoScalaApp);
    for (auto it = c.handrails.rbegin(); it != c.handrails.rend(); ++it) {
        const ObjHandrail& h = *it;
        r.open();
        r.real(h.a[0]).real(h.a[1]).real(h.a[2]).real(h.b[2]).real(h.c[1]).real(h.c[2]);
        r.point(1011, Placed(c, pt(h.b))).real(h.c[0]);
        r.point(1011, Placed(c, pt(h.d))).point(1011, Placed(c, pt(h.e))).point(1011, Placed(c, pt(h.f)));
        r.close();
    }
    return Prepend(r, chain);
}

resbuf* WriteSeparatore(const ObjContext& c, resbuf* chain) {
    if (c.insertionType != InsertionType::Separator) return chain;
    ads_point end;
    zcutPolar(c.insertionPoint, Val(c, 30), Val(c, 40), end);
    Chain r;
    r.app(kSeparatoreApp).point(1011, InsertionPoint(c)).point(1011, {end[0], end[1], end[2]});
    return Prepend(r, chain);
}

resbuf* WriteAbInfissiTab(const ObjContext& c, resbuf* chain) {
    if (c.insertionType != InsertionType::OpeningSchedule) return chain;
    Chain r;
    r.app(kAbInfissiTabApp).text(1000, Txt(c, 41)).text(1000, Txt(c, 79)).integer(std::trunc(Val(c, 40)));
    return Prepend(r, chain);
}

resbuf* WriteAbInfissiObj(const ObjContext& c, resbuf* chain) {
    if (!IsOpeningType(c.insertionType)) return chain;
    // An unknown kind is stored empty.
    std::string kind;
    const std::string english = Txt(c, 11102);
    TranslateOpeningType(english, kind, false);
    const int mark = static_cast<int>(Val(c, zcutEqualsNoCase(english, "WINDOWS") ? 11100 : 11101));
    Chain r;
    r.app(kAbInfissiObjApp);
    r.text(1000, c.objectName).text(1000, kind).text(1000, c.paramSetName);
    r.text(1000, Txt(c, 11105)).text(1000, Txt(c, 11099)).real(Val(c, 11106)).text(1000, Txt(c, 11098));
    r.integer(mark);
    r.real(c.insertionType == InsertionType::WallCorner ? Val(c, 40) + Val(c, 41) : Val(c, 8));
    r.real(Val(c, 11103)).real(Val(c, 190));
    r.integer(Declared(c, 11015) ? 1 : 0).real(Val(c, 11015));
    r.real(Val(c, 11010)).real(Val(c, 11011));
    r.integer(0).text(1000, "").integer(0).text(1000, "");
    r.text(1000, Txt(c, 11104)).real(Val(c, 1));
    r.integer(Declared(c, 11107) ? std::trunc(Val(c, 11107)) : mark);
    r.real(Val(c, 11016));
    return Prepend(r, chain);
}

resbuf* WriteAbGenericiObj(const ObjContext& c, resbuf* chain) {
    const std::string kind = Txt(c, 11097);
    if (kind.empty()) return chain;
    Chain r;
    r.app(kAbGenericiObjApp);
    r.text(1000, c.objectName).text(1000, kind).text(1000, c.paramSetName);
    r.text(1000, Txt(c, 11104)).text(1000, Txt(c, 14)).real(Val(c, 11103));
    // The list was filled at the head.
    for (auto it = c.tabelle.rbegin(); it != c.tabelle.rend(); ++it) {
        const ObjVar* v = FindObjVar(*it, c.vars);
        if (!v) continue;
        r.integer(v->number);
        if (v->type == u'S')
            r.text(1000, v->text);
        else
            r.real(v->value);
    }
    return Prepend(r, chain);
}

resbuf* WriteParaSpec(const ObjContext& c) {
    Chain r;
    r.app(kParaSpecApp);
    struct Pair {
        int number;
        bool text;
    };
    std::vector<Pair> pairs;
    auto values = [&](std::initializer_list<int> numbers) {
        for (int n : numbers) pairs.push_back({n, false});
    };
    switch (c.insertionType) {
        case InsertionType::StraightWallOpening:
            values({18, 11109, 11108});
            break;
        case InsertionType::ArcWallOpening:
            values({13, 12, 11, 10, 11109, 11108});
            break;
        case InsertionType::ArcWallFaceOpening:
            values({13, 12, 11, 10, 11109, 11108, 20});
            break;
        case InsertionType::WallCorner:
            values({1, 23, 22, 21, 20});
            break;
        case InsertionType::SlabOpening:
        case InsertionType::OnSlab:
            values({24, 23, 22, 21, 20});
            break;
        case InsertionType::RoofWindow:
            values({24, 23, 22, 21, 20, 11015, 11016});
            break;
        case InsertionType::Free40:
            pairs.push_back({21, true});
            values({40});
            break;
        case InsertionType::Free42:
            pairs.push_back({21, true});
            values({39});
            break;
        case InsertionType::Free41:
        case InsertionType::Free43:
        case InsertionType::Free44:
            pairs.push_back({21, true});
            break;
        case InsertionType::CameraOrLight:
            values({34});
            break;
        default:
            break;
    }
    values({10005, 10004, 10003, 10002, 10001});
    for (int n : {11030, 11036, 11035}) pairs.push_back({n, true});
    for (const Pair& p : pairs) {
        r.integer(p.number);
        if (p.text)
            r.text(1000, Txt(c, p.number));
        else
            r.real(Val(c, p.number));
    }
    // Each writer puts its record in front: called last to first.
    resbuf* kinds = WriteAbGenericiObj(c, nullptr);
    kinds = WriteAbInfissiObj(c, kinds);
    kinds = WriteAbInfissiTab(c, kinds);
    kinds = WriteSeparatore(c, kinds);
    kinds = WriteDatiCManoScala(c, kinds);
    kinds = WriteDatiCMano(c, kinds);
    kinds = WriteTag3DiStr(c, kinds);
    kinds = WriteDetCompScale(c, kinds);
    kinds = WritePilastroStr(c, kinds);
    kinds = WriteTernaComp(c, kinds);
    kinds = WriteIsolTratt(c, kinds);
    kinds = WriteInfoScaleSt3d(c, kinds);
    kinds = WriteCambioLayer(c, kinds);
    return r.release(kinds);
}

resbuf* BuildObjectXdata(const ObjContext& c) {
    Chain r;
    if (c.polig) r.add(WritePoligFalda(c, WorldMatrix(c)));
    if (c.insertionType != InsertionType::BlockOnly) r.add(WriteParametri(c));
    r.add(WriteParaSpec(c));
    return r.release();
}

int AttachParamXdata(ObjContext& c, ads_name insert) {
    RegisterObjectRecordApps();
    c.attributeElevation = c.elevation;
    const bool attributes = !c.attdefs.empty();
    Chain list;
    list.text(0, "INSERT").text(2, c.blockName).text(8, c.insertLayer).point(10, InsertionPoint(c));
    list.real(50, c.rotation).real(41, c.scale[0]).real(42, c.scale[1]).real(43, c.scale[2]);
    list.shortValue(66, attributes ? 1 : 0);
    list.point(210, {c.extrusion[0], c.extrusion[1], c.extrusion[2]});
    list.add(zcutNewRb(-3));
    list.add(BuildObjectXdata(c));
    const host::ResbufList made(list.release());
    const int status = zcdbEntMake(made.get());
    if (status != RTNORM) {
        zcutPrintf(kCannotCreate, c.objectName.c_str());
        return -1;
    }
    if (!attributes) return zcdbEntLast(insert) == RTNORM ? 1 : -1;

    bool refused = false;
    for (const AttdefRecord& a : c.attdefs) {
        if (a.flags & 2) continue;  // constant: the block holds it
        Point3 at = Placed(c, {a.point[0], a.point[1], a.point[2]});
        at.z = c.attributeElevation;
        // The host reads an entity list in the order of the entity's DXF
        // record: the text part first, then the attribute's own groups.
        Chain att;
        att.text(0, "ATTRIB").text(8, a.layer).point(10, at).real(40, a.height).text(1, a.defaultValue);
        att.real(50, a.rotation + c.rotation).real(41, GetStyleWidthFactor(a.style));
        att.real(51, GetStyleObliqueAngle(a.style)).text(7, a.style).shortValue(72, a.justification % 100);
        att.point(11, at).text(2, a.tag).shortValue(70, a.flags).shortValue(74, a.justification / 100);
        const host::ResbufList attrib(att.release());
        if (zcdbEntMake(attrib.get()) != RTNORM) refused = true;
    }
    const host::ResbufList seqend(zcutBuildList(RTDXF0, "SEQEND", 0));
    const bool ended = zcdbEntMake(seqend.get()) == RTNORM;
    if (ended && zcdbEntLast(insert) == RTNORM) {
        if (!refused) return 1;
        // An object without all its attributes would be read back wrong.
        zcdbEntDel(insert);
    }
    zcutPrintf(kCannotCreate, c.objectName.c_str());
    return -1;
}

int FindObjectByUniqueCode(std::string_view code) {
    const host::ResbufList filter(zcutBuildList(-3, 1001, kAbGenericiObjApp, 0));
    host::SelectionSet ss;
    if (zcedSSGet("X", nullptr, nullptr, filter.get(), ss.put()) != RTNORM) return 0;
    const host::ResbufList apps(zcutBuildList(RTSTR, kAbGenericiObjApp, 0));
    const std::int32_t n = ss.size();
    int found = 0;
    for (std::int32_t i = 0; i < n && !found; ++i) {
        ads_name e;
        if (!ss.name(i, e)) continue;
        const host::ResbufList list(zcdbEntGetX(e, apps.get()));
        const resbuf* app = FindXDataApp(list.get(), kAbGenericiObjApp);
        const resbuf* rb = app;
        while (rb && rb->restype != 1000) rb = rb->rbnext;
        for (int k = 0; rb && k < 4; ++k) rb = rb->rbnext;
        if (rb && rb->restype == 1000 && rb->resval.rstring && zcutEqualsNoCase(rb->resval.rstring, code)) {
            zcedRedraw(e, 3);
            found = 1;
        }
    }
    return found;
}
