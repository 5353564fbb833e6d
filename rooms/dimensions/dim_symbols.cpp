// Dimension symbols along room walls and chains of lines, elevation marks,
// and dimension texts measured again after an edit.
//
// Symbols are made by the object library in its dimension-symbol mode: the
// definition reads the length, the decimals and the drawing's DIMLFAC from
// variables 12040-12042 and draws the symbol and its text; the block it
// leaves is inserted here with the symbol's record and its attributes. The
// library places objects at the floor elevation of the settings, so that
// setting is switched to the symbol's floor for the run and put back.
//
// Symbols stand inside the room, `offset` away from the wall faces they
// measure, so that the next pick of the same room finds them through the
// room's outline and replaces them.
#include "rooms/dimensions/dim_symbols.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "core/base/module_state.h"
#include "core/dimtext.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/geometry/geom_basic.h"
#include "core/geometry/host_geometry.h"
#include "core/geometry/outline.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "core/layer_catalogue.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ads/units.h"
#include "host/ed/adspick.h"
#include "host/ed/cmdproc.h"
#include "host/ed/prompts.h"
#include "host/util/findfile.h"
#include "objects/language/obj_context.h"
#include "objects/placement/object_run.h"
#include "resources/velmresources.h"
#include "roofs/outline_select.h"
#include "rooms/dimensions/dim_dialogs.h"
#include "rooms/record_insert.h"
#include "settings/floor_cmds_run.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/contour_highlight.h"
#include "walls/graph/outline_kind.h"
#include "walls/graph/wall_face.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr const char* kNotInRoom = "\nPunkt nie jest wewnątrz pokoju lub pokój nie jest zamknięty";
constexpr const char* kRemovePrompt = "\nWybierz symbole wymiaru do usunięcia:";
constexpr const char* kOnlyLines = "\nMożna wybrać tylko linie i liniowe elementy polilinii";

std::string EntityType(const ads_name entity) {
    std::string type;
    GetEntTypeAndColor(entity, type);
    return type;
}

// "key_qd1" … "key_qd4" from the stored style 0 to 3.
std::string SymbolDefinitionName() {
    return "key_qd" + std::to_string(SettingInt(SetupVar::CQUOTETIPO, 1) + 1);
}

bool DefinitionFileFound(const std::string& name) {
    char found[1024];
    if (zcedFindFile((name + ".txt").c_str(), found) == RTNORM) return true;
    zcutPrintf("\n%s: %s", name.c_str(), "Pliku nie znaleziono");
    return false;
}

bool HasSymbolRecord(const ads_name entity) {
    host::ResbufList apps(zcutBuildList(RTSTR, kDimensionSymbolApp, 0));
    host::ResbufList list(zcdbEntGetX(entity, apps.get()));
    return FindXDataApp(list.get(), kDimensionSymbolApp) != nullptr;
}

// The floor of a symbol: its layer's level, else the elevation its record
// keeps (the last real of the record).
bool SymbolLevel(const ads_name entity, double& level) {
    if (GetEntityLevel(entity, level, nullptr, false) == 1) return true;
    host::ResbufList apps(zcutBuildList(RTSTR, kDimensionSymbolApp, 0));
    host::ResbufList list(zcdbEntGetX(entity, apps.get()));
    const resbuf* app = FindXDataApp(list.get(), kDimensionSymbolApp);
    bool found = false;
    for (const resbuf* r = app ? app->rbnext : nullptr; r && r->restype != 1001; r = r->rbnext) {
        if (r->restype == 1040) {
            level = r->resval.rreal;
            found = true;
        }
    }
    return found;
}

// Lets the user pick symbols to take away again; only symbols are erased,
// whatever else the window caught (walls and openings stand right beside
// them).
void RemovePickedSymbols() {
    zcutPrintf("%s", kRemovePrompt);
    constexpr int kAdd = 1;
    const int pickadd = SysVarShort("PICKADD", &kAdd);
    host::SelectionSet picked;
    const int rc = zcedSSGet(nullptr, nullptr, nullptr, nullptr, picked.put());
    SysVarShort("PICKADD", &pickadd);
    if (rc != RTNORM) return;
    ads_name e;
    for (std::int32_t i = 0; picked.name(i, e); ++i)
        if (HasSymbolRecord(e)) zcdbEntDel(e);
}

// The symbols of the floor `level` that the ring's outline crosses or holds.
void EraseRoomSymbols(const VertexNode* ring, double level) {
    resbuf* points = nullptr;
    resbuf* tail = nullptr;
    for (const VertexNode* v = ring; v; v = v->next) {
        resbuf* p = zcutNewRb(RTPOINT);
        p->resval.rpoint[0] = v->x;
        p->resval.rpoint[1] = v->y;
        p->resval.rpoint[2] = v->z;
        (tail ? tail->rbnext : points) = p;
        tail = p;
    }
    host::ResbufList polygon(points);
    host::ResbufList filter(zcutBuildList(-3, 1001, kDimensionSymbolApp, 0));
    host::SelectionSet found;
    if (zcedSSGet("CP", polygon.get(), nullptr, filter.get(), found.put()) != RTNORM) return;
    ads_name e;
    for (std::int32_t i = 0; found.name(i, e); ++i) {
        double at = 0.0;
        if (SymbolLevel(e, at) && std::fabs(at - level) < GeomEpsilon) zcdbEntDel(e);
    }
}

// The gap an opening leaves on the segment s-e (its outline holds one pair
// of points per wall face).
bool GapOnSegment(const OutlineNode& o, const Point3& s, const Point3& e, Point3 out[2]) {
    if (o.kind != OutlineKind::StraightWallOpening && o.kind != OutlineKind::WallCorner) return false;
    for (const Point3* pair : {o.gapA, o.gapB}) {
        if (IsOnSegmentTol(pair[0], s, e, SharedTolerance) &&
            IsOnSegmentTol(pair[1], s, e, SharedTolerance)) {
            out[0] = pair[0];
            out[1] = pair[1];
            return true;
        }
    }
    return false;
}

double NormalAngle(double a) {
    a = std::fmod(a, 2.0 * kPi);
    return a < 0.0 ? a + 2.0 * kPi : a;
}

WallFace* StraightFaceBetween(const CFACCIATE& graph, const Point3& p, const Point3& q) {
    for (WallFace* f = graph.faces; f; f = f->next) {
        if (f->isArc()) continue;
        if ((PointsEqual(f->start, p, false) && PointsEqual(f->end, q, false)) ||
            (PointsEqual(f->start, q, false) && PointsEqual(f->end, p, false)))
            return f;
    }
    return nullptr;
}

// The symbols along the ring's edges that are whole wall faces. The walk
// begins on the nearest face, whose direction from the room is known, and
// turns that direction with the ring at every corner.
void RoomWallSymbols(const CFACCIATE& graph, const VertexNode* ring, const WallFace& nearest, double angle,
                     bool wholeWalls, double offset, int decimals, const std::string& name, double level) {
    std::vector<Point3> corners;
    for (const VertexNode* v = ring; v; v = v->next) corners.push_back(v->pt());
    if (corners.size() > 1 && PointsEqual(corners.front(), corners.back(), false)) corners.pop_back();
    const std::size_t n = corners.size();
    if (n < 2) return;
    std::size_t first = n;
    for (std::size_t i = 0; i < n && first == n; ++i) {
        const Point3 &p = corners[i], &q = corners[(i + 1) % n];
        if ((PointsEqual(p, nearest.start, false) && PointsEqual(q, nearest.end, false)) ||
            (PointsEqual(p, nearest.end, false) && PointsEqual(q, nearest.start, false)))
            first = i;
    }
    if (first == n) return;
    double direction = angle;
    double previous = AngleTo(corners[first], corners[(first + 1) % n]);
    for (std::size_t k = 0; k < n; ++k) {
        const Point3& p = corners[(first + k) % n];
        const Point3& q = corners[(first + k + 1) % n];
        const double along = AngleTo(p, q);
        if (k > 0) direction = NormalAngle(direction + AngleDiffCcw(previous, along));
        previous = along;
        if (const WallFace* face = StraightFaceBetween(graph, p, q))
            WallSymbolChain(*face, direction, wholeWalls, offset, decimals, name, level);
    }
}

// One straight piece of a "VELMDBROKEN" chain: turned so that its text
// reads from left to right.
void BrokenSegmentSymbol(const Point3& p1, const Point3& p2, double offset, int decimals,
                         const std::string& name, double level) {
    const double a = AngleTo(p1, p2);
    double rotation = a;
    Point3 base = p1;
    if (!(a < 0.75 * kPi || a > 1.75 * kPi)) {
        rotation = a - kPi;
        if (rotation < 0.0) rotation += 2.0 * kPi;
        base = p2;
    }
    CreateDimensionSymbol(PolarPoint(base, a + kPi / 2.0, offset), rotation, Distance2d(p1, p2), decimals,
                          name, level);
}

}  // namespace

bool CreateDimensionSymbol(const Point3& at, double rotation, double length, int decimals,
                           const std::string& name, double elevation) {
    std::unique_ptr<ObjContext> context = NewObjContext(name);
    if (!context) {
        zcutPrintf("\nBłąd generowania obiektu wymiaru: %s", name.c_str());
        return false;
    }
    ObjContext& c = *context;
    c.skipParamInput = 1;
    c.runMode = 8;
    InitObjVariables(c);
    resbuf lfac{};
    const double dimlfac =
        zcedGetVar("DIMLFAC", &lfac) == RTNORM && lfac.restype == RTREAL ? lfac.resval.rreal : 1.0;
    SetObjVar(12040, 0, 0, u'R', "", length, "", 0, 0, c.vars);
    SetObjVar(12041, 0, 0, u'R', "", decimals, "", 0, 0, c.vars);
    SetObjVar(12042, 0, 0, u'R', "", dimlfac, "", 0, 0, c.vars);
    c.insertionPoint[0] = at.x;
    c.insertionPoint[1] = at.y;
    c.insertionPoint[2] = at.z;

    const double floor = SettingReal(SetupVar::SQPAV);
    SetSettingReal(SetupVar::SQPAV, elevation);
    RunInsertParamObject(c, 1);
    SetSettingReal(SetupVar::SQPAV, floor);

    if (c.blockName.empty()) {
        FreeObjContext(std::move(context));
        zcutPrintf("\nBłąd generowania obiektu wymiaru: %s", name.c_str());
        return false;
    }
    zcdbRegApp(kDimensionSymbolApp);
    ads_point where{at.x, at.y, at.z};
    host::ResbufList record(zcutBuildList(1001, kDimensionSymbolApp, 1011, where, 1040, rotation, 1040,
                                          length, 1070, static_cast<short>(decimals), 1000, name.c_str(),
                                          1040, elevation, 0));
    ads_name made;
    const int ok = WriteRecordInsert(c, c.insertLayer, at, rotation, std::move(record), made);
    FreeObjContext(std::move(context));
    return ok == 1;
}

void WallSymbolChain(const WallFace& face, double angle, bool wholeWalls, double offset, int decimals,
                     const std::string& name, double elevation) {
    const double r =
        NormalAngle((angle <= kPi / 4.0 || angle >= 1.25 * kPi) ? angle + kPi / 2.0 : angle - kPi / 2.0);
    const Point3 p1 = face.start, p2 = face.end;
    const bool forward = std::cos(AngleDiffCcw(r, AngleTo(p1, p2))) >= 0.95;
    const Point3 S = forward ? p1 : p2, E = forward ? p2 : p1;
    const double inward = angle + kPi;
    auto place = [&](const Point3& from, double length) {
        CreateDimensionSymbol(PolarPoint(from, inward, offset), r, length, decimals, name, elevation);
    };
    if (wholeWalls) {
        place(S, Distance2d(p1, p2));
        return;
    }
    Point3 C = S;
    for (;;) {
        bool found = false;
        Point3 nearJamb, farJamb;
        for (const OutlineLink* link = face.outlineLinks; link; link = link->next) {
            Point3 gap[2];
            if (!link->outline || !GapOnSegment(*link->outline, C, E, gap)) continue;
            const bool firstNearer = Distance2d(S, gap[0]) <= Distance2d(S, gap[1]);
            const Point3 n = firstNearer ? gap[0] : gap[1], f = firstNearer ? gap[1] : gap[0];
            // A gap must lead on, or the walk would stand still.
            if (Distance2d(S, f) <= Distance2d(S, C) + SharedTolerance) continue;
            if (!found || Distance2d(S, n) < Distance2d(S, nearJamb)) {
                nearJamb = n;
                farJamb = f;
                found = true;
            }
        }
        if (!found) {
            if (Distance2d(C, E) >= SharedTolerance) place(C, Distance2d(C, E));
            return;
        }
        if (Distance2d(C, nearJamb) >= SharedTolerance) place(C, Distance2d(C, nearJamb));
        C = farJamb;
    }
}

void UpdateDimensionText(const ads_name entity) {
    host::ResbufList apps(zcutBuildList(RTSTR, "*", 0));
    host::ResbufList list(zcdbEntGetX(entity, apps.get()));
    resbuf* data = list.get();
    const resbuf* p13 = FindRbCode(data, 13);
    const resbuf* p14 = FindRbCode(data, 14);
    const resbuf* style = FindRbCode(data, 3);
    const resbuf* text = FindRbCode(data, 1);
    if (!p13 || !p14 || !style || !style->resval.rstring || !text || !text->resval.rstring) return;
    const std::string current = text->resval.rstring;
    const std::size_t override = current.find("\\H");
    if (current.empty() || current == "<>" || override == std::string::npos) return;
    double height = -1.0;
    if (std::sscanf(current.c_str() + override, "\\H%lf", &height) != 1) height = -1.0;

    host::ResbufList record(zcdbTblSearch("DIMSTYLE", style->resval.rstring, 0));
    const resbuf* textHeight = FindRbCode(record.get(), 140);
    if (!textHeight) return;
    const resbuf* scaleRb = FindRbCode(record.get(), 40);
    const double scale = scaleRb ? scaleRb->resval.rreal : 1.0;
    const resbuf* angleRb = FindRbCode(data, 50);
    if (!angleRb) return;

    const double a = angleRb->resval.rreal;
    const double dx = p14->resval.rpoint[0] - p13->resval.rpoint[0];
    const double dy = p14->resval.rpoint[1] - p13->resval.rpoint[1];
    const double length = std::fabs(dx * std::cos(a) + dy * std::sin(a));
    double rounded = 0.0;
    std::string digits, fresh;
    RoundDimensionValue(length, rounded, digits);
    if (height <= 0.0) height = scale * textHeight->resval.rreal * 0.714;
    FormatDimensionText(textHeight->resval.rreal, rounded, digits, fresh, height);
    if (fresh == current) return;
    data = ReplaceRb(data, 1, fresh.c_str());
    zcdbEntMod(data);
}

void VelmDRoom() {
    using namespace SetupVar;
    {
        CZcModuleResourceOverride use(VelmResourceHandle());
        CDlgQi dialog;
        dialog.LoadSettings();
        if (dialog.DoModal() != IDOK) return;
        dialog.SaveSettings();
    }
    const bool wholeWalls = SettingInt(CQUOTESTILE, 0) != 0;
    const int decimals = SettingInt(CQUOTEPREC, 2);
    const double offset = SettingReal(CDISTQUOTE, 30.0);
    const bool ignoreSeparators = SettingInt(SET_TRASCURALFQI, 0) != 0;
    const std::string name = SymbolDefinitionName();
    if (!DefinitionFileFound(name)) return;

    const double level = SettingReal(SQPAV);
    CFACCIATE graph;
    graph.level = level;
    graph.floorHeight = GetFloorHeightAt(level);
    graph.Build(false, false, nullptr, false);
    graph.MergePillars();
    graph.SplitAtJunctions();
    if (!ignoreSeparators) graph.MergeFunLines();

    ads_point picked;
    while (GetPointInRange(0, nullptr, nullptr, "\nWybierz punkt wewnętrzny pokoju:", picked) == RTNORM) {
        double angle = 0.0;
        WallFace* nearest = graph.FindNearestFace({picked[0], picked[1], picked[2]}, &angle);
        if (!nearest) {
            zcutPrintf("%s", kNotInRoom);
            continue;
        }
        double curveArea = 0.0;
        OwnedList<VertexNode> ring(graph.RecognizeContour(angle, nearest, &curveArea, true));
        if (!graph.contour) {
            HighlightContour(ring.get(), 1, false);
            zcutPrintf("%s", kNotInRoom);
            return;
        }
        EraseRoomSymbols(ring.get(), level);
        RoomWallSymbols(graph, ring.get(), *nearest, angle, wholeWalls, offset, decimals, name, level);
        RemovePickedSymbols();
    }
}

void VelmDBroken() {
    using namespace SetupVar;
    SegmentRec* chain = nullptr;
    Point3 pick;
    for (;;) {
        ads_name entity;
        ads_point at;
        const int rc = zcedEntSel("\nWybierz linie z sekwencji multilinii do zwymiarowania:", entity, at);
        if (rc == RTERROR && PickHitNothing()) continue;
        if (rc != RTNORM) return;
        ads_point snapped;
        if (zcedOsnap(at, "_NEAR", snapped) == RTNORM) std::copy(snapped, snapped + 3, at);
        pick = {at[0], at[1], at[2]};
        const std::string type = EntityType(entity);
        if (type == "LINE") {
            host::ResbufList filter(zcutBuildList(0, "LINE,ARC", 0));
            host::SelectionSet all;
            if (zcedSSGet("X", nullptr, nullptr, filter.get(), all.put()) != RTNORM) return;
            chain = ChainLinesArcs(entity, all.get());
        } else if (type == "LWPOLYLINE") {
            const std::optional<PolylineData> polyline = ReadPolylineData(entity);
            if (polyline) chain = PolylineToSegments(*polyline, pick);
            if (chain && chain->kind != SegmentRec::kLine) chain = FreeList(chain);
        }
        if (chain) break;
        zcutPrintf("%s", kOnlyLines);
    }
    OwnedList<SegmentRec> segments(chain);

    // The straight pieces, to tell the chain's edges from arc chords.
    std::vector<std::pair<Point3, Point3>> straight;
    for (const SegmentRec* s = chain; s; s = s->next)
        if (s->kind == SegmentRec::kLine) straight.emplace_back(s->first(), s->second());
    Point3 p1 = chain->first(), p2 = chain->second();
    if (Distance2d(pick, p2) < Distance2d(pick, p1)) std::swap(p1, p2);
    chain->kind = SegmentRec::kUsed;
    VertexNode* start = NewVertex(p1.x, p1.y, p1.z, 1, 0, 0, 0);
    start->next = NewVertex(p2.x, p2.y, p2.z, 1, 0, 0, 0);
    Point3 head = p1, tail = p2;
    OwnedList<VertexNode> ordered(
        BuildPolygonFromSegments(0, chain->next, head, tail, start, 2, true, -1.0, nullptr, 1.0, nullptr));

    const double level = SettingReal(SQPAV);
    const int decimals = SettingInt(CQUOTEPREC, 2);
    const double offset = SettingReal(CDISTQUOTE, 30.0);
    const std::string name = SymbolDefinitionName();
    for (const VertexNode* v = ordered.get(); v && v->next; v = v->next) {
        const Point3 a = v->pt(), b = v->next->pt();
        const bool isLine = std::any_of(straight.begin(), straight.end(), [&](const auto& s) {
            return (PointsEqual(s.first, a, true) && PointsEqual(s.second, b, true)) ||
                   (PointsEqual(s.first, b, true) && PointsEqual(s.second, a, true));
        });
        if (isLine) BrokenSegmentSymbol(a, b, offset, decimals, name, level);
    }
    RemovePickedSymbols();
}

void VelmDElev() {
    using namespace SetupVar;
    double rx = 0.0, ry = 0.0, rz = 0.0;
    const int pointSlot = QUOTE_PRIFZERO;
    GetVarPoint(&pointSlot, &rx, &ry, &rz);
    double value = SettingReal(QUOTE_VRIFZERO, 0.0);
    // The mark is drawn in paper millimetres.
    const double scale = PaperScaleFactor(kSymbolScaleEntry);

    ads_point given;
    const int rc = GetPointInRange(0, nullptr, nullptr,
                                   "\nOkreśl punkt odniesienia lub Enter, aby użyć poprzedni:", given);
    if (rc == RTNORM) {
        rx = given[0];
        ry = given[1];
        rz = given[2];
        if (GetRealInRange(RSG_NONULL, nullptr, "\nOkreśl wartość wymiaru tego punktu:", &value) != RTNORM)
            return;
    } else if (rc != RTNONE) {
        return;
    }
    const double base = ry - value;

    // Nothing is kept before the first mark's point: a command cancelled
    // at it leaves the drawing (its reference, its layers) as it was.
    ads_point q;
    if (GetPointInRange(0, nullptr, nullptr, "\nOkreśl punkt wstawienia:", q) != RTNORM) return;
    if (rc == RTNORM) {
        SetVarPoint(&pointSlot, &rx, &ry, &rz);
        SetSettingReal(QUOTE_VRIFZERO, value);
    }
    std::string clayer, replaced;
    SysVarString("CLAYER", {}, clayer);
    constexpr int kAttdia = 0, kAttreq = 1, kOsmode = 32, kCmdecho = 0;
    const int attdia = SysVarShort("ATTDIA", &kAttdia);
    const int attreq = SysVarShort("ATTREQ", &kAttreq);
    const int osmode = SysVarShort("OSMODE", &kOsmode);
    const int cmdecho = SysVarShort("CMDECHO", &kCmdecho);
    AAR_LAYERC layers;
    layers.ReadLayerDefFile("LAYERC.DEF");
    std::string layer = "2DELEV_DIM";
    EnsureLayer(layer, layers, false, 0.0, false);
    SysVarString("CLAYER", layer, replaced);

    do {
        char text[64];
        zcdbRToS(q[1] - base, 2, -1, text);
        zcedCommand(RTSTR, "_-INSERT", RTSTR, "VELM--AQ", RT3DPOINT, q, RTREAL, scale, RTREAL, scale, RTSHORT,
                    0, RTSTR, text, 0);
    } while (GetPointInRange(0, nullptr, nullptr, "\nOkreśl punkt wstawienia:", q) == RTNORM);

    SysVarString("CLAYER", clayer, replaced);
    SysVarShort("CMDECHO", &cmdecho);
    SysVarShort("ATTDIA", &attdia);
    SysVarShort("ATTREQ", &attreq);
    SysVarShort("OSMODE", &osmode);
}
