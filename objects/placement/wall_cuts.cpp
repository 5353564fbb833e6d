// Cutting and rejoining the wall faces at openings in straight and arc walls
// and at objects set into wall corners (see the header).
#include "objects/placement/wall_cuts.h"

#include <cmath>
#include <string>
#include <vector>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/ssget.h"
#include "host/util/nocase.h"
#include "objects/placement/wall_edit_util.h"

using namespace wallcut;

namespace {

void Clear(ads_name n) {
    ads_name_clear(n);
}

// ---- straight walls ----

// Cuts the gap out of one LINE; `rename` makes the name follow the piece
// beyond the gap's second end.
void CutLineAtGap(ads_name line, const Point3 gap[2], bool rename) {
    if (ads_name_nil(line)) return;
    Point3 s, e;
    if (!GetLineData(line, s, e)) return;
    if (!IsPointOnSegment(gap[0], s, e) || !IsPointOnSegment(gap[1], s, e)) return;
    Point3 g1, g2;
    NearerPoint(s, gap[0], gap[1], g1);
    NearerPoint(e, gap[0], gap[1], g2);
    host::ResbufList list = ReadWhole(line);
    if (!list) return;
    // The pieces are made before the line goes, so a list the host refuses
    // leaves the line whole.
    const ads_name whole = {line[0], line[1]};
    ads_name first = {0, 0};
    if (!PointsEqual(s, g1, true) && !MakeLine(list.get(), g1, s, first)) return;
    if (!PointsEqual(e, g2, true)) {
        ads_name made;
        if (!MakeLine(list.get(), g2, e, made)) {
            if (!ads_name_nil(first)) zcdbEntDel(first);
            return;
        }
        if (rename) ads_name_set(made, line);
    }
    zcdbEntDel(whole);
}

// What the rejoin of one face gathers: the gap's new ends, the line that
// holds or continues past the second jamb, and the piece past the first.
struct FaceJoin {
    Point3 end1, end2;
    ads_name line = {0, 0};
    ads_name second = {0, 0};
};

// Tries the three ways a LINE s-e can belong to the face of gap g.
bool JoinToFace(FaceJoin& f, const Point3 g[2], const ads_name entity, Point3 s, Point3 e) {
    if (IsPointOnSegment(g[0], s, e) && IsPointOnSegment(g[1], s, e)) {
        f.end1 = s;
        f.end2 = e;
        ads_name_set(entity, f.line);
        return true;
    }
    if (JoinCollinearSegments(g[0], g[1], s, e, SharedTolerance, true)) {
        f.end2 = e;
        ads_name_set(entity, f.line);
        return true;
    }
    if (JoinCollinearSegments(g[1], g[0], s, e, SharedTolerance, true)) {
        f.end1 = e;
        ads_name_set(entity, f.second);
        return true;
    }
    return false;
}

// The piece past the first jamb goes once the joined line exists; a joined
// line the host refuses leaves both pieces.
void FinishFace(FaceJoin& f, ads_name out) {
    if (ads_name_nil(f.line)) {
        ads_name_set(f.second, f.line);
        Clear(f.second);
    }
    Clear(out);
    if (ads_name_nil(f.line)) return;
    const bool refused = !RemakeLine(f.line, f.end1, f.end2, out) && !PointsEqual(f.end1, f.end2, true);
    if (!refused && !ads_name_nil(f.second)) zcdbEntDel(f.second);
}

void RejoinStraight(const OutlineNode& o, ads_name lineA, ads_name lineB) {
    FaceJoin a{o.gapA[0], o.gapA[1]}, b{o.gapB[0], o.gapB[1]};
    WallSelection lines("LINE", o.z, false);
    for (std::int32_t i = 0; i < lines.size(); ++i) {
        ads_name e;
        Point3 s, t;
        if (!lines.name(i, e) || !GetLineData(e, s, t)) continue;
        if (!JoinToFace(b, o.gapB, e, s, t)) JoinToFace(a, o.gapA, e, s, t);
    }
    ads_name outA, outB;
    FinishFace(b, outB);
    FinishFace(a, outA);
    if (lineA) ads_name_set(outA, lineA);
    if (lineB) ads_name_set(outB, lineB);
}

// ---- arc walls ----

bool ReadArc(const ads_name e, ArcRecord& arc) {
    return !ads_name_nil(e) && GetArcData(e, arc) == 1;
}

bool IsFaceArc(const OutlineNode& o, const ArcRecord& arc, double radius) {
    return PointsEqual(arc.centre, o.base, true) && std::abs(arc.radius - radius) <= SharedTolerance;
}

void CutArcAtGap(const OutlineNode& o, const ads_name e) {
    ArcRecord arc;
    if (!ReadArc(e, arc)) return;
    if (!IsPointOnArc(o.gapA[0], arc, false) || !IsPointOnArc(o.gapA[1], arc, false)) return;
    // The gap runs counter-clockwise like the arc: its first angle is the
    // one met first from the arc's start, whichever jamb it belongs to.
    double first = o.gapAngle[0], second = o.gapAngle[1];
    if (AngleDiffCcw(arc.startAngle, second) < AngleDiffCcw(arc.startAngle, first)) std::swap(first, second);
    host::ResbufList list = ReadWhole(e);
    if (!list) return;
    SetRbReal(list.get(), 51, first);
    if (!SameAngle(arc.startAngle, first))
        zcdbEntMod(list.get());
    else
        zcdbEntDel(e);
    if (SameAngle(second, arc.endAngle)) return;
    SetRbReal(list.get(), 50, second);
    SetRbReal(list.get(), 51, arc.endAngle);
    zcdbEntMake(list.get());
}

// Merges the arcs of one face pairwise across the gap; `out` names the
// arc that remains.
void MergeFaceArcs(const OutlineNode& o, const WallSelection& arcs, double radius, ads_name out) {
    struct Piece {
        ads_name e;
        ArcRecord arc;
        bool changed = false;
    };
    std::vector<Piece> pieces;
    for (std::int32_t i = 0; i < arcs.size(); ++i) {
        Piece p;
        if (!arcs.name(i, p.e) || !ReadArc(p.e, p.arc) || !IsFaceArc(o, p.arc, radius)) continue;
        if (!IsPointOnArc(o.gapA[0], p.arc, false) && !IsPointOnArc(o.gapA[1], p.arc, false)) continue;
        pieces.push_back(p);
    }
    Point3 mid;
    MidPoint(o.gapA[0], o.gapA[1], mid);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        for (std::size_t j = i + 1; j < pieces.size();) {
            // Either union MergeArcs gives must hold the gap's middle: then
            // the two pieces are one face interrupted by the opening.
            ArcRecord merged;
            MergeArcs(mid, pieces[i].arc, pieces[j].arc, merged);
            if (!IsPointOnArc(mid, merged, false)) {
                ++j;
                continue;
            }
            zcdbEntDel(pieces[j].e);
            pieces[i].arc = merged;
            pieces[i].changed = true;
            pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(j));
        }
    }
    Clear(out);
    for (Piece& p : pieces) {
        if (p.changed) {
            host::ResbufList list = ReadWhole(p.e);
            if (!list) continue;
            SetRbReal(list.get(), 50, p.arc.startAngle);
            SetRbReal(list.get(), 51, p.arc.endAngle);
            zcdbEntDel(p.e);
            if (zcdbEntMake(list.get()) != RTNORM) continue;
            zcdbEntLast(p.e);
        }
        if (ads_name_nil(out)) ads_name_set(p.e, out);
    }
}

void RejoinArcs(const OutlineNode& o, ads_name arcA, ads_name arcB) {
    WallSelection arcs("ARC", o.z, false);
    ads_name a, b;
    MergeFaceArcs(o, arcs, o.radiusA, a);
    MergeFaceArcs(o, arcs, o.radiusA + o.wallThickness, b);
    if (arcA) ads_name_set(a, arcA);
    if (arcB) ads_name_set(b, arcB);
}

// ---- wall corners ----

// The jamb point of each of the four lines, and the corner it goes with.
void CornerPoints(const OutlineNode& o, Point3 jamb[4], Point3 corner[4]) {
    jamb[0] = o.gapA[0];
    jamb[1] = o.gapB[0];
    jamb[2] = o.gapA[1];
    jamb[3] = o.gapB[1];
    corner[0] = corner[2] = o.corner[1];
    corner[1] = corner[3] = o.corner[0];
}

// Each line is made again from `from[i]` to its end farther from corner[i],
// when it holds jamb[i].
void RunCornerLines(const Point3 jamb[4], const Point3 corner[4], const Point3 from[4], ads_name lines[4]) {
    for (int i = 0; i < 4; ++i) {
        if (ads_name_nil(lines[i])) continue;
        Point3 s, e, far;
        if (!GetLineData(lines[i], s, e) || !IsPointOnSegment(jamb[i], s, e)) continue;
        FartherPoint(corner[i], s, e, far);
        ads_name made;
        Clear(made);
        RemakeLine(lines[i], from[i], far, made);
        ads_name_set(made, lines[i]);
    }
}

void RejoinCorner(const OutlineNode& o, ads_name out[4]) {
    ads_name lines[4];
    {
        WallSelection sel("LINE", o.z, false);
        FindCornerWallLinesAtGap(o, sel.set(), lines);
    }
    Point3 jamb[4], corner[4];
    CornerPoints(o, jamb, corner);
    RunCornerLines(jamb, corner, corner, lines);
    if (out)
        for (int i = 0; i < 4; ++i) ads_name_set(lines[i], out[i]);
}

template <class Test>
void FirstInSelection(const ads_name selection, const char* type, ads_name out, Test test) {
    Clear(out);
    std::int32_t n = 0;
    if (!selection || ads_name_nil(selection) || zcedSSLength(selection, &n) != RTNORM) return;
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        if (zcedSSName(selection, i, e) != RTNORM) continue;
        std::string kind;
        GetEntTypeAndColor(e, kind);
        if (!zcutEqualsNoCase(kind, type) || !test(e)) continue;
        ads_name_set(e, out);
        return;
    }
}

bool LineHolds(const ads_name e, const Point3& p, const Point3* q = nullptr) {
    Point3 s, t;
    if (!GetLineData(e, s, t)) return false;
    return IsPointOnSegment(p, s, t) && (!q || IsPointOnSegment(*q, s, t));
}

// Erases the object; a rejoin goes on whether or not that works.
void EraseObject(const ads_name object) {
    zcdbEntDel(object);
}

}  // namespace

// ---- finders ----

void FindStraightWallLinesAtGap(const OutlineNode& o, const ads_name sel, ads_name lineA, ads_name lineB) {
    FirstInSelection(sel, "LINE", lineA,
                     [&](const ads_name e) { return LineHolds(e, o.gapA[0], &o.gapA[1]); });
    FirstInSelection(sel, "LINE", lineB,
                     [&](const ads_name e) { return LineHolds(e, o.gapB[0], &o.gapB[1]); });
}

void FindArcWallArcsAtGap(const OutlineNode& o, const ads_name sel, ads_name arcA, ads_name arcB) {
    auto holds = [&](const ads_name e, double radius) {
        ArcRecord arc;
        return ReadArc(e, arc) && IsFaceArc(o, arc, radius) && IsPointOnArc(o.gapA[0], arc, false) &&
               IsPointOnArc(o.gapA[1], arc, false);
    };
    FirstInSelection(sel, "ARC", arcA, [&](const ads_name e) { return holds(e, o.radiusA); });
    FirstInSelection(sel, "ARC", arcB,
                     [&](const ads_name e) { return holds(e, o.radiusA + o.wallThickness); });
}

void FindCornerWallLinesAtGap(const OutlineNode& o, const ads_name sel, ads_name lines[4]) {
    Point3 jamb[4], corner[4];
    CornerPoints(o, jamb, corner);
    for (int i = 0; i < 4; ++i)
        FirstInSelection(sel, "LINE", lines[i], [&](const ads_name e) { return LineHolds(e, jamb[i]); });
}

int FindWallLinesAtOpening(const ads_name object, ads_name lines[4]) {
    for (int i = 0; i < 4; ++i) Clear(lines[i]);
    const OwnedOutline o{ReadTag3DiStr(object)};
    if (!o) return 0;
    WallSelection sel("LINE", o->z, false);
    FindCornerWallLinesAtGap(*o, sel.set(), lines);
    return 1;
}

// ---- cuts ----

void CutStraightWallAtOpening(const ads_name object, ads_name lineA, ads_name lineB) {
    const OwnedOutline o{ReadTag3DiStr(object)};
    if (!o) return;
    CutLineAtGap(lineB, o->gapB, true);
    CutLineAtGap(lineA, o->gapA, false);
}

void CutArcWallAtOpening(const ads_name object, ads_name arcA, ads_name arcB) {
    const OwnedOutline o{ReadTag3DiStr(object)};
    if (!o) return;
    CutArcAtGap(*o, arcA);
    CutArcAtGap(*o, arcB);
}

void CutCornerWallAtObject(const ads_name object, ads_name lines[4]) {
    const OwnedOutline o{ReadTag3DiStr(object)};
    if (!o) return;
    Point3 jamb[4], corner[4];
    CornerPoints(*o, jamb, corner);
    RunCornerLines(jamb, corner, jamb, lines);
}

// ---- rejoins ----

void RejoinStraightWallLines(const ads_name object, ads_name lineA, ads_name lineB) {
    const OwnedOutline o{ReadTag3DiStr(object)};
    EraseObject(object);
    Clear(lineA);
    Clear(lineB);
    if (o) RejoinStraight(*o, lineA, lineB);
}

void RejoinArcWallLines(const ads_name object, ads_name arcA, ads_name arcB) {
    const OwnedOutline o{ReadTag3DiStr(object)};
    EraseObject(object);
    Clear(arcA);
    Clear(arcB);
    if (o) RejoinArcs(*o, arcA, arcB);
}

void RejoinCornerWallLines(const ads_name object, ads_name lines[4]) {
    const OwnedOutline o{ReadTag3DiStr(object)};
    EraseObject(object);
    for (int i = 0; i < 4; ++i) Clear(lines[i]);
    if (o) RejoinCorner(*o, lines);
}

void RejoinStraightWallAfterEdit(const OutlineNode& outline) {
    RejoinStraight(outline, nullptr, nullptr);
}

void RejoinArcWallAfterEdit(const OutlineNode& outline) {
    RejoinArcs(outline, nullptr, nullptr);
}

void RejoinCornerWallAfterEdit(const OutlineNode& outline) {
    RejoinCorner(outline, nullptr);
}
