// The wall drawing engine (see the header).
//
// The jig's chain holds the segments: the newest is live and unwritten,
// every older one is in the drawing. A point, a finished arc, a triangle or
// a join distance writes the live segment and starts the next one at its
// end; undo erases the newest written one and makes it live again. At the
// end the last written segment is squared at its end (its mitre with the
// unwritten live one taken back), capped or closed to the first.
#include "walls/drawing/draw_walls.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "core/entity_readers.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "core/level_layers.h"
#include "core/level_settings.h"
#include "host/ads/adsent.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/transcript.h"
#include "host/db/dbents.h"
#include "host/db/dbobjptr.h"
#include "host/ed/prompts.h"
#include "host/util/nocase.h"
#include "store/open_or_create.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "walls/drawing/ajig_muro.h"
#include "walls/drawing/dlg_cmd_muro.h"

namespace {

using Mode = AJIG_MURO::Mode;

std::optional<Point3> askFirstPoint(AJIG_MURO& jig);
std::optional<Point3> startOnPickedWall(AJIG_MURO& jig);
void runLoop(AJIG_MURO& jig);
const char* promptFor(const AJIG_MURO& jig);
void beginArc(AJIG_MURO& jig);
void backToStraight(AJIG_MURO& jig);
void acceptPoint(AJIG_MURO& jig);
void acceptArc(AJIG_MURO& jig);
void askDiagonalEnd(AJIG_MURO& jig);
void undoSegment(AJIG_MURO& jig);
bool pickJoinWall(AJIG_MURO& jig);
void finishDrawing(AJIG_MURO& jig);
void cancelDrawing(AJIG_MURO& jig);

void setLastPoint(const Point3& p) {
    const ads_point at{p.x, p.y, p.z};
    SysVarPoint("LASTPOINT", at, nullptr);
}

void counterClockwiseAngles() {
    const int zero = 0;
    SysVarShort("ANGDIR", &zero);
}

int readInt(int slot, int fallback) {
    int value = fallback;
    if (!GetVarInt(&slot, &value)) value = fallback;
    return value;
}

double readReal(int slot, double fallback) {
    double value = fallback;
    if (!GetVarReal(&slot, &value)) value = fallback;
    return value;
}

std::string readText(int slot) {
    std::string text;
    GetVarString(&slot, text);
    return text;
}

// The options the dialog records as it closes (its six settings and the
// thickness history, which it makes when the drawing has none), kept as
// the command found them and put back when it is cancelled: a cancelled
// command leaves the drawing as it was.
class KeptWallOptions {
public:
    KeptWallOptions()
        : trim_(readInt(SetupVar::MTRIMAUTO, 0)),
          alignment_(readInt(SetupVar::ALLINMURO, 1)),
          start_(readReal(SetupVar::MDPLINESTART, 0.0)),
          end_(readReal(SetupVar::MDPLINEEND, 0.0)),
          type_(readText(SetupVar::ULTIMOTMURO)),
          layer_(readText(SetupVar::ULAYERMURO)) {
        if (ZcDbObjectPointer<VELM_SPESSMURI> kept(OpenOrCreateSetting<VELM_SPESSMURI>(true, nullptr, false));
            kept)
            history_ = kept->thicknesses;
    }

    void Restore() const {
        const int trimSlot = SetupVar::MTRIMAUTO, alignSlot = SetupVar::ALLINMURO;
        const int startSlot = SetupVar::MDPLINESTART, endSlot = SetupVar::MDPLINEEND;
        const int typeSlot = SetupVar::ULTIMOTMURO, layerSlot = SetupVar::ULAYERMURO;
        short trim = static_cast<short>(trim_), alignment = static_cast<short>(alignment_);
        double start = start_, end = end_;
        SetVarInt(&trimSlot, &trim);
        SetVarInt(&alignSlot, &alignment);
        SetVarReal(&startSlot, &start);
        SetVarReal(&endSlot, &end);
        SetVarString(&typeSlot, type_.c_str());
        SetVarString(&layerSlot, layer_.c_str());
        ZcDbObjectPointer<VELM_SPESSMURI> now(OpenOrCreateSetting<VELM_SPESSMURI>(false, nullptr, false));
        if (!now) return;
        if (history_)
            now->thicknesses = *history_;
        else
            now->erase();
    }

private:
    int trim_, alignment_;
    double start_, end_;
    std::string type_, layer_;
    std::optional<std::array<double, 5>> history_;
};

}  // namespace

int DrawWalls(bool showOptions) {
    const KeptWallOptions kept;
    AJIG_MURO jig;
    jig.chain.push_back(std::make_unique<VELM_MUROJ>());
    if (!OpenWallOptions(jig, jig.live(), showOptions)) return RTCAN;
    const std::optional<Point3> first = askFirstPoint(jig);
    if (!first) {
        RestoreMetWall(jig.startWall);
        kept.Restore();
        return RTCAN;
    }
    // Registered once there is a wall to carry it.
    RegisterXDataApp(kWallTypeApp);
    jig.live().seg.vertex = *first;
    jig.acquired = *first;
    runLoop(jig);
    if (jig.mode == Mode::Cancel || jig.segmentCount == 0) {
        cancelDrawing(jig);
        kept.Restore();
        return RTCAN;
    }
    finishDrawing(jig);
    return RTNORM;
}

bool OpenWallOptions(AJIG_MURO& jig, VELM_MUROJ& segment, bool showOptions) {
    if (showOptions && !ShowWallOptionsDialog()) return false;
    jig.elevation = readReal(SetupVar::SQPAV, 0.0);
    segment.wallType = readText(SetupVar::ULTIMOTMURO);
    std::string layer = readText(SetupVar::ULAYERMURO);
    segment.seg.startThickness = readReal(SetupVar::MDPLINESTART, 0.0);
    segment.seg.endThickness = readReal(SetupVar::MDPLINEEND, 0.0);
    jig.trimWalls = readInt(SetupVar::MTRIMAUTO, 0) != 0;
    const int alignment = readInt(SetupVar::ALLINMURO, 1);
    jig.alignment = alignment == 0   ? WallAlignment::Left
                    : alignment == 2 ? WallAlignment::Right
                                     : WallAlignment::Centre;
    segment.alignment = jig.alignment;
    AAR_LAYERC catalogue;
    catalogue.ReadLayerDefFile("LAYERC.DEF");
    LayerAttrEntry entry;
    EnsureLayer(layer, catalogue, true, jig.elevation, false, &entry);
    if (entry.createdLater) jig.pendingLayers.push_back(entry);
    segment.layer = layer;
    segment.seg.vertex.z = jig.elevation;
    return true;
}

int EraseNullWallLines() {
    const double level = readReal(SetupVar::SQPAV, 0.0);
    ads_name ss;
    if (!SelectOnWallLayers("LINE", ss, level, false)) return 0;
    std::int32_t n = 0;
    zcedSSLength(ss, &n);
    int erased = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        Point3 a, b;
        if (zcedSSName(ss, i, e) != RTNORM || !GetLineData(e, a, b)) continue;
        if (HostDistance(a, b) < GeomEpsilon && zcdbEntDel(e) == RTNORM) ++erased;
    }
    zcedSSFree(ss);
    return erased;
}

int EraseNullWallLines(const std::vector<ZcDbObjectId>& touched) {
    if (touched.empty()) return 0;
    const double level = readReal(SetupVar::SQPAV, 0.0);
    const bool levelsOn = !LevelsSwitchedOff();
    std::vector<std::string> layers;
    for (std::string layer : DrawingWallLayers()) {
        if (levelsOn) MakeLevelLayerName(layer, level);
        layers.push_back(layer);
    }
    std::vector<ZcDbObjectId> ids(touched);
    std::sort(ids.begin(), ids.end(), [](ZcDbObjectId a, ZcDbObjectId b) { return a.handle() < b.handle(); });
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    int erased = 0;
    for (ZcDbObjectId id : ids) {
        Point3 a, b;
        {
            ZcDbObjectPointer<ZcDbLine> line(id, ZcDb::kForRead);
            if (!line || line->isErased()) continue;
            const std::string layer = line->layer().empty() ? "0" : line->layer();
            if (std::none_of(layers.begin(), layers.end(),
                             [&](const std::string& w) { return zcutEqualsNoCase(layer, w); }))
                continue;
            const ZcGePoint3d p = line->startPoint(), q = line->endPoint();
            a = {p.x, p.y, p.z};
            b = {q.x, q.y, q.z};
        }
        ads_name e;
        if (HostDistance(a, b) < GeomEpsilon && zcdbGetAdsName(e, id) == Zcad::eOk && zcdbEntDel(e) == RTNORM)
            ++erased;
    }
    return erased;
}

namespace {

std::optional<Point3> askFirstPoint(AJIG_MURO& jig) {
    VELM_MUROJ& seg = jig.live();
    ads_point p{0, 0, 0};
    int rc = RTNORM;
    {
        ElevationScope level(jig.elevation);
        rc = GetPointInRange(0, "Nagłówek Wybierz", nullptr, "\n[Nagłówek/<Wybierz>]Pierwszy punkt:", p);
    }
    if (rc == RTNORM) {
        const Point3 at{p[0], p[1], jig.elevation};
        MetWall wall;
        if (FindWallAtPoint(at, seg.seg.startThickness, jig.elevation, nullptr, wall)) {
            jig.startWall = wall;
            SplitWall(jig.startWall, at, jig.trimWalls);
            jig.closeAllowed = false;
        }
        return at;
    }
    if (rc == RTKWORD) {
        char word[64] = "";
        zcedGetInput(word);
        if (std::strcmp(word, "Nagłówek") == 0) {
            seg.seg.startCap = true;
            ElevationScope level(jig.elevation);
            if (GetPointInRange(1, nullptr, nullptr, "\nPierwszy punkt:", p) != RTNORM) return std::nullopt;
            return Point3{p[0], p[1], jig.elevation};
        }
        return startOnPickedWall(jig);
    }
    if (rc == RTNONE) return startOnPickedWall(jig);
    return std::nullopt;
}

// "Wybierz" at the first point: a wall, then the distance along it from
// its end nearer to the pick.
std::optional<Point3> startOnPickedWall(AJIG_MURO& jig) {
    MetWall wall;
    if (!PickStartOrJoinWall(true, jig.elevation, wall)) return std::nullopt;
    const ads_point from{wall.ends[0].x, wall.ends[0].y, wall.ends[0].z};
    double distance = 0.0;
    for (;;) {
        if (GetDistInRange(0, nullptr, from, "\nOdległość:", &distance) != RTNORM) return std::nullopt;
        if (CoordinateInRange(distance)) break;
        ReportOutOfRange();
    }
    Point3 at = PolarPoint(wall.ends[0], AngleTo(wall.ends[0], wall.ends[1]), distance);
    at.z = jig.elevation;
    jig.startWall = wall;
    SplitWall(jig.startWall, at, jig.trimWalls);
    jig.closeAllowed = false;
    setLastPoint(at);
    return at;
}

void runLoop(AJIG_MURO& jig) {
    while (jig.mode != Mode::Finish && jig.mode != Mode::Cancel) {
        switch (jig.mode) {
            case Mode::Triangle:
                jig.mode = Mode::TriangleLength;
                continue;
            case Mode::Undo:
                undoSegment(jig);
                jig.mode = Mode::Point;
                continue;
            case Mode::Options:
                // A cancelled dialog keeps the options the live segment has.
                OpenWallOptions(jig, jig.live(), true);
                jig.mode = Mode::Point;
                continue;
            case Mode::Select:
                jig.mode = pickJoinWall(jig) ? Mode::JoinDistance : Mode::Point;
                continue;
            default:
                break;
        }
        const Mode asked = jig.mode;
        jig.setDispPrompt("%s", promptFor(jig));
        const ZcEdJig::DragStatus st = jig.drag();
        if (st == ZcEdJig::kNoChange) continue;
        if (jig.mode == Mode::Flip) {
            jig.mode = jig.savedMode;
            jig.update();
            continue;
        }
        if (st == ZcEdJig::kCancel) {
            const bool inner = AJIG_MURO::IsArcMode(asked) || asked == Mode::TriangleLength ||
                               asked == Mode::TriangleDiagonal;
            if (inner) backToStraight(jig);
            jig.mode = inner ? Mode::Point : Mode::Cancel;
            continue;
        }
        if (st == ZcEdJig::kNull) {
            jig.mode = Mode::Finish;
            continue;
        }
        if (st != ZcEdJig::kNormal) {
            if (asked == Mode::Point && jig.mode == Mode::ArcChord) beginArc(jig);
            continue;
        }
        switch (asked) {
            case Mode::Point:
                acceptPoint(jig);
                break;
            case Mode::ArcChord:
                jig.mode = Mode::ArcRise;
                break;
            case Mode::ArcRise:
                jig.mode = Mode::ArcSweep;
                break;
            case Mode::ArcCentre:
                jig.mode = Mode::ArcAngle;
                break;
            case Mode::ArcSweep:
            case Mode::ArcAngle:
                acceptArc(jig);
                break;
            case Mode::JoinDistance:
                jig.WriteLiveAndContinue(jig.acquired);
                jig.mode = Mode::Finish;
                break;
            case Mode::TriangleLength:
                askDiagonalEnd(jig);
                break;
            case Mode::TriangleDiagonal:
                jig.WriteLiveAndContinue(jig.acquired);
                jig.arcAllowed = true;
                jig.mode = Mode::Point;
                break;
            default:
                break;
        }
    }
}

const char* promptFor(const AJIG_MURO& jig) {
    switch (jig.mode) {
        case Mode::Point:
            if (jig.segmentCount == 0) return "\n[Wybierz]Następny punkt:";
            if (jig.segmentCount == 1 || (jig.arcAllowed && !jig.closeAllowed))
                return "\n[Cofnij/Łuk/Opcje/Wybierz/Nagłówek/Trójkąt]Następny punkt:";
            if (jig.arcAllowed) return "\n[Cofnij/Łuk/Zamknij/Opcje/Wybierz/Nagłówek/Trójkąt]Następny punkt:";
            if (jig.closeAllowed) return "\n[Cofnij/Zamknij/Opcje/Wybierz/Nagłówek/Trójkąt]Następny punkt:";
            return "\n[Cofnij/Opcje/Wybierz/Nagłówek/Trójkąt]Następny punkt:";
        case Mode::JoinDistance:
            return "\nOdległość:";
        case Mode::TriangleLength:
            return "\nDługość ściany:";
        case Mode::TriangleDiagonal:
            return "\nDługość przekątnej:";
        case Mode::ArcChord:
            return "\n[Kąt/Odwróć kierunek obrotu]Długość cięciwy:";
        case Mode::ArcRise:
            return "\n[Odwróć kierunek obrotu]Strzałka:";
        case Mode::ArcSweep:
            return "\n[Odwróć kierunek obrotu]Kąt obrotu:";
        case Mode::ArcCentre:
            return "\n[Odwróć kierunek obrotu]Centrum:";
        case Mode::ArcAngle:
            return "\n[Odwróć kierunek obrotu]Kąt:";
        default:
            return "";
    }
}

// The chord starts in the direction the wall came from.
void beginArc(AJIG_MURO& jig) {
    const VELM_MUROJ* prev = jig.previous();
    if (!prev) {
        jig.mode = Mode::Point;
        return;
    }
    jig.chordDirection = AngleTo(prev->seg.vertex, jig.live().seg.vertex);
    jig.angle = jig.chordDirection;
    jig.chord = jig.previousChord = jig.rise = 0.0;
}

void backToStraight(AJIG_MURO& jig) {
    jig.live().seg.kind = DrawnSegment::kStraight;
    jig.live().seg.ccw = true;
    counterClockwiseAngles();
}

// A point: a wall met there ends the drawing after this segment.
void acceptPoint(AJIG_MURO& jig) {
    const Point3 at = jig.acquired;
    VELM_MUROJ& seg = jig.live();
    const VELM_MUROJ* prev = jig.previous();
    MetWall wall;
    const bool met =
        FindWallAtPoint(at, seg.seg.startThickness, jig.elevation, prev ? prev->faceEntity : nullptr, wall);
    if (met) {
        jig.joinWall = wall;
        SplitWall(jig.joinWall, at, jig.trimWalls);
        OpenMetWall(jig.joinWall, seg.seg, true, jig.trimWalls);
    }
    jig.WriteLiveAndContinue(at);
    jig.arcAllowed = true;
    jig.mode = met ? Mode::Finish : Mode::Point;
}

void acceptArc(AJIG_MURO& jig) {
    Point3 end, centre;
    if (!jig.ComputeArc(end, centre)) return;
    jig.WriteLiveAndContinue(end);
    jig.arcAllowed = false;
    counterClockwiseAngles();
    jig.mode = Mode::Point;
}

void askDiagonalEnd(AJIG_MURO& jig) {
    const Point3 vertex = jig.live().seg.vertex;
    for (;;) {
        ads_point p{0, 0, 0};
        int rc;
        {
            ElevationScope level(jig.elevation);
            rc = GetPointInRange(0, nullptr, nullptr, "\nPunkt końcowy przekątnej:", p);
        }
        if (rc != RTNORM) {
            jig.mode = Mode::Point;
            return;
        }
        const Point3 end{p[0], p[1], jig.elevation};
        if (Distance2d(vertex, end) < GeomEpsilon) {
            zcutPrintf("\nOkreślony punkt jest nieprawidłowy");
            continue;
        }
        jig.diagonalEnd = end;
        jig.mode = Mode::TriangleDiagonal;
        return;
    }
}

void undoSegment(AJIG_MURO& jig) {
    if (jig.segmentCount < 1) return;
    jig.chain.pop_back();
    VELM_MUROJ& seg = jig.live();
    seg.EraseSegmentEntities();
    seg.seg.kind = DrawnSegment::kStraight;
    seg.seg.ccw = true;
    --jig.segmentCount;
    const VELM_MUROJ* prev = jig.previous();
    jig.arcAllowed = prev && prev->seg.kind == DrawnSegment::kStraight;
    setLastPoint(seg.seg.vertex);
}

bool pickJoinWall(AJIG_MURO& jig) {
    MetWall wall;
    if (!PickStartOrJoinWall(false, jig.elevation, wall)) return false;
    jig.joinWall = wall;
    Point3 middle;
    MidPoint(wall.ends[0], wall.ends[1], middle);
    SplitWall(jig.joinWall, middle, jig.trimWalls);
    return true;
}

void finishDrawing(AJIG_MURO& jig) {
    const int count = jig.segmentCount;
    VELM_MUROJ& last = *jig.chain[count - 1];
    VELM_MUROJ& live = jig.live();
    const Point3 final = live.seg.vertex;
    if (last.seg.kind == DrawnSegment::kArc) {
        for (DrawnFace& f : last.seg.face) f.endAngle = AngleTo(f.centre, final);
    } else {
        // Its own alignment: the options may have changed since it was drawn.
        OffsetLineSegment(last.seg, final, last.alignment);
    }
    if (count >= 2) {
        VELM_MUROJ& before = *jig.chain[count - 2];
        JoinWallSegments(before.seg, last.seg);
        before.UpdateSegmentEntities();
    }
    OpenMetWall(jig.joinWall, last.seg, true, jig.trimWalls);
    if (count == 1) OpenMetWall(jig.startWall, last.seg, false, jig.trimWalls);
    last.UpdateSegmentEntities();
    if (live.seg.endCap) {
        ads_name cap;
        last.WriteCap(true, cap);
    }
    if (live.seg.close && count >= 2) {
        VELM_MUROJ& first = *jig.chain.front();
        live.seg.kind = DrawnSegment::kStraight;
        OffsetLineSegment(live.seg, first.seg.vertex, live.alignment);
        JoinWallSegments(last.seg, live.seg);
        JoinWallSegments(live.seg, first.seg);
        last.UpdateSegmentEntities();
        first.UpdateSegmentEntities();
        jig.WriteLiveAndContinue(first.seg.vertex);
    }
}

void cancelDrawing(AJIG_MURO& jig) {
    RestoreMetWall(jig.joinWall);
    RestoreMetWall(jig.startWall);
    for (auto& seg : jig.chain) seg->EraseSegmentEntities();
}

}  // namespace
