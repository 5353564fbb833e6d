// The wall jig (see the header).
//
// One sample is one answer: a point, distance or angle for the mode, or a
// keyword. Distances and angles of the arc modes are measured from the
// vertex (the chord and its direction), from the chord's middle (the rise)
// or from the given centre (the end's direction).
#include "walls/drawing/ajig_muro.h"

#include <cmath>
#include <string>

#include "core/host_services.h"
#include "core/input_range.h"
#include "walls/drawing/wall_segment.h"

namespace {

ZcGePoint3d gePoint(const Point3& p) {
    return {p.x, p.y, p.z};
}

std::string joined(const std::vector<const char*>& words) {
    std::string out;
    for (const char* w : words) out += (out.empty() ? "" : " ") + std::string(w);
    return out;
}

}  // namespace

ElevationScope::ElevationScope(double elevation) {
    const int set = 1;
    saved_ = SysVarReal("ELEVATION", &elevation, &set);
}

ElevationScope::~ElevationScope() {
    const int set = 1;
    SysVarReal("ELEVATION", &saved_, &set);
}

AJIG_MURO::AJIG_MURO() {
    const int zero = 0;
    savedAngDir_ = SysVarShort("ANGDIR", &zero);
    const double base = 0.0;
    const int set = 1;
    savedAngBase_ = SysVarReal("ANGBASE", &base, &set);
}

AJIG_MURO::~AJIG_MURO() {
    SysVarShort("ANGDIR", &savedAngDir_);
    const int set = 1;
    SysVarReal("ANGBASE", &savedAngBase_, &set);
}

bool AJIG_MURO::WriteLiveAndContinue(const Point3& next) {
    for (std::size_t i = 0; i + 1 < pendingLayers.size(); ++i) pendingLayers[i].next = &pendingLayers[i + 1];
    if (!pendingLayers.empty()) pendingLayers.back().next = nullptr;
    const bool written = live().WriteWallSegments(pendingLayers.empty() ? nullptr : &pendingLayers.front());
    pendingLayers.clear();
    auto following = std::make_unique<VELM_MUROJ>();
    following->ContinueFrom(live());
    following->seg.vertex = {next.x, next.y, elevation};
    chain.push_back(std::move(following));
    ++segmentCount;
    const ads_point at{next.x, next.y, elevation};
    SysVarPoint("LASTPOINT", at, nullptr);
    return written;
}

ZcEdJig::DragStatus AJIG_MURO::sampler() {
    ElevationScope level(elevation);
    const ZcGePoint3d vertex = gePoint(live().seg.vertex);
    setUserInputControls(kAccept3dCoordinates);
    DragStatus st = kCancel;
    switch (mode) {
        case Point:
            return samplePoint();
        case ArcChord: {
            setKeywordList("Kąt Odwróć");
            double d = 0.0;
            st = acquireDist(d, vertex);
            if (st == kKW1) mode = ArcCentre;
            if (st == kKW2) return flip();
            if (st != kNormal) return st;
            if (!CoordinateInRange(d)) return OutOfRange();
            if (d < GeomEpsilon || d == previousChord) return kNoChange;
            previousChord = chord = d;
            rise = d * 0.5;
            const Point3 end = PolarPoint(live().seg.vertex, chordDirection, chord);
            MidPoint(live().seg.vertex, end, acquired);
            return kNormal;
        }
        case ArcRise: {
            setKeywordList("Odwróć");
            double r = 0.0;
            st = acquireDist(r, gePoint(acquired));
            if (st == kKW1) return flip();
            if (st == kNormal && !CoordinateInRange(r)) return OutOfRange();
            if (st == kNormal) rise = r;
            return st;
        }
        case ArcSweep: {
            setKeywordList("Odwróć");
            double a = 0.0;
            st = acquireAngle(a, vertex);
            if (st == kKW1) return flip();
            if (st == kNormal && !AngleInRange(a)) return OutOfRange();
            if (st == kNormal) angle = a;
            return st;
        }
        case ArcCentre: {
            setKeywordList("Odwróć");
            ZcGePoint3d p;
            st = acquirePoint(p, vertex);
            if (st == kKW1) return flip();
            if (st != kNormal) return st;
            if (!PointInRange(Point3{p.x, p.y, p.z})) return OutOfRange();
            arcCentre = {p.x, p.y, elevation};
            const double reach = Distance2d(live().seg.vertex, arcCentre);
            if (reach < GeomEpsilon) return kNoChange;
            chord = 2.0 * reach;
            rise = reach;
            angle = AngleTo(live().seg.vertex, arcCentre);
            return kNormal;
        }
        case ArcAngle: {
            setKeywordList("Odwróć");
            double a = 0.0;
            st = acquireAngle(a, gePoint(arcCentre));
            if (st == kKW1) return flip();
            if (st == kNormal && !AngleInRange(a)) return OutOfRange();
            // An absolute direction: ANGBASE is 0 while the jig lives.
            if (st == kNormal) angle = a;
            return st;
        }
        case JoinDistance: {
            setKeywordList("");
            double d = 0.0;
            st = acquireDist(d, gePoint(joinWall.ends[0]));
            if (st != kNormal) return st;
            if (!CoordinateInRange(d)) return OutOfRange();
            joinDistance = d;
            acquired = PolarPoint(joinWall.ends[0], AngleTo(joinWall.ends[0], joinWall.ends[1]), d);
            acquired.z = elevation;
            return kNormal;
        }
        case TriangleLength: {
            setKeywordList("");
            ZcGePoint3d p;
            st = acquirePoint(p, vertex);
            if (st != kNormal) return st;
            if (!PointInRange(Point3{p.x, p.y, p.z})) return OutOfRange();
            acquired = {p.x, p.y, elevation};
            wallLength = Distance2d(live().seg.vertex, acquired);
            return kNormal;
        }
        case TriangleDiagonal: {
            setKeywordList("");
            ZcGePoint3d p;
            st = acquirePoint(p, gePoint(diagonalEnd));
            if (st != kNormal) return st;
            if (!PointInRange(Point3{p.x, p.y, p.z})) return OutOfRange();
            cursor = {p.x, p.y, elevation};
            const std::optional<Point3> end =
                TriangleVertex(live().seg.vertex, diagonalEnd, wallLength, cursor);
            if (!end) return kNoChange;
            acquired = {end->x, end->y, elevation};
            return kNormal;
        }
        default:
            return kCancel;
    }
}

// The point modes: the keywords on offer grow with the segments drawn.
ZcEdJig::DragStatus AJIG_MURO::samplePoint() {
    std::vector<const char*> words;
    if (segmentCount == 0) {
        words = {"Wybierz"};
    } else {
        setUserInputControls(static_cast<UserInputControls>(kAccept3dCoordinates | kNullResponseAccepted));
        words = {"Wybierz", "Opcje", "Cofnij", "Nagłówek", "Trójkąt"};
        if (segmentCount == 1 || arcAllowed) words.push_back("Łuk");
        if (segmentCount > 1 && closeAllowed) words.push_back("Zamknij");
    }
    setKeywordList(joined(words).c_str());
    ZcGePoint3d p;
    const DragStatus st = acquirePoint(p, gePoint(live().seg.vertex));
    if (st == kNormal && !PointInRange(Point3{p.x, p.y, p.z})) return OutOfRange();
    if (st == kNormal) {
        acquired = {p.x, p.y, elevation};
        return st;
    }
    if (st < kKW1 || st > static_cast<int>(words.size())) return st;
    const std::string word = words[st - 1];
    if (word == "Wybierz")
        mode = Select;
    else if (word == "Opcje")
        mode = Options;
    else if (word == "Cofnij")
        mode = Undo;
    else if (word == "Trójkąt")
        mode = Triangle;
    else if (word == "Łuk")
        mode = ArcChord;
    else if (word == "Nagłówek") {
        live().seg.endCap = true;
        mode = Finish;
    } else if (word == "Zamknij") {
        live().seg.close = true;
        mode = Finish;
    }
    return st;
}

// An answer beyond the drawing's range is told and asked for again.
ZcEdJig::DragStatus AJIG_MURO::OutOfRange() {
    ReportOutOfRange();
    return kNoChange;
}

ZcEdJig::DragStatus AJIG_MURO::flip() {
    live().seg.ccw = !live().seg.ccw;
    const int angdir = live().seg.ccw ? 0 : 1;
    SysVarShort("ANGDIR", &angdir);
    savedMode = mode;
    mode = Flip;
    return kKW1;
}

bool AJIG_MURO::ComputeArc(Point3& end, Point3& centre) const {
    const Point3& v = chain.back()->seg.vertex;
    if (mode == ArcCentre || mode == ArcAngle) {
        centre = arcCentre;
        end = mode == ArcCentre ? PolarPoint(v, angle, chord)
                                : PolarPoint(arcCentre, angle, Distance2d(arcCentre, v));
        end.z = v.z;
        return chord >= GeomEpsilon;
    }
    end = PolarPoint(v, mode == ArcSweep ? angle : chordDirection, chord);
    const std::optional<Point3> c = ArcCentreForSegment(v, end, rise, chain.back()->seg.ccw);
    if (!c) return false;
    centre = *c;
    return true;
}

bool AJIG_MURO::update() {
    VELM_MUROJ& seg = live();
    if (IsArcMode(mode)) {
        Point3 end, centre;
        if (!ComputeArc(end, centre)) return false;
        seg.seg.kind = DrawnSegment::kArc;
        OffsetArcSegment(seg.seg, centre, seg.seg.vertex, end, seg.alignment);
    } else {
        seg.seg.kind = DrawnSegment::kStraight;
        OffsetLineSegment(seg.seg, acquired, seg.alignment);
        if (mode == JoinDistance) OpenMetWall(joinWall, seg.seg, true, trimWalls);
    }
    if (VELM_MUROJ* prev = previous()) {
        JoinWallSegments(prev->seg, seg.seg);
        prev->UpdateSegmentEntities();
    } else {
        OpenMetWall(startWall, seg.seg, false, trimWalls);
    }
    return true;
}
