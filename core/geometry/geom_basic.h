// Points, angles, segments and arcs: the small geometric vocabulary every
// subsystem speaks. Plain records in, plain records out; the only module-wide
// value read is SharedTolerance. Lengths compare within
// SharedTolerance unless a tolerance is passed; degenerate cases (zero-length
// vectors, zero rise or chord) use the single-precision epsilon GeomEpsilon.
// Angles are radians, counter-clockwise from +X in plan; 2*pi is always
// pi + pi. Collinearity tests use unnormalised cross products, so
// their tolerance is an area, not a length.
#pragma once

#include "host/ge/gebase.h"

// The single-precision epsilon, used for degenerate cases.
inline constexpr double GeomEpsilon = 1.1920928955078125e-07;

struct Point3 {
    double x = 0.0, y = 0.0, z = 0.0;
};

// An arc running counter-clockwise from startAngle to endAngle about its
// centre; the normal is (0, 0, 1) unless the writer had another.
struct ArcRecord {
    Point3 centre;
    double radius = 0.0;
    double startAngle = 0.0;
    double endAngle = 0.0;
    Point3 normal{0.0, 0.0, 1.0};
};

// ---- the host's plan primitives (polar point, angle, distance) ----
Point3 PolarPoint(const Point3& base, double angle, double distance);
double AngleTo(const Point3& from, const Point3& to);   // plan angle in [0, 2pi)
double HostDistance(const Point3& p, const Point3& q);  // three-dimensional
double TwoPi();

// ---- angles and scalars ----
bool IsEqualTol(double a, double b, double tol);
double AngleOfVector(const double& dy, const double& dx);
bool SameAngle(double a, double b);
double AngleDiffCcw(double a, double b);
double AngleBetweenLines(const Point3& p1, const Point3& p2, const Point3& p3, const Point3& p4);
// The same from the two directions (AngleTo values) already known.
double AngleBetweenDirections(double a1, double a2);
double PerpendicularAngleTowards(const Point3& p, double angle, const Point3& ref);
double SlopeLength(double length, double slopeDegrees);

// ---- points ----
void CopyPoint(Point3& destination, const Point3& source);
void CopyPoints(const Point3* source, Point3* destination, int n);
void SwapPoints(Point3& p, Point3& q);
void MidPoint(const Point3& p, const Point3& q, Point3& out);
void NearerPoint(const Point3& ref, const Point3& p, const Point3& q, Point3& out);
void FartherPoint(const Point3& ref, const Point3& p, const Point3& q, Point3& out);
double Distance2d(const Point3& p, const Point3& q);
double Distance2dRev(const Point3& p, const Point3& q);
double Distance3dRev(const Point3& p, const Point3& q);
bool PointsEqual(const Point3& p, const Point3& q, bool withZ);
void RotateOffset(const Point3& base, double angle, const Point3& offset, Point3& out);
void PerpendicularPoint(const Point3& a, const Point3& b, const Point3& p, double d, Point3 out[2]);
void PerpendicularFoot(const Point3& p, const Point3& a, const Point3& b, Point3& out);
// How far p lies in plan from the nearest point of the segment a-b.
double PlanDistanceToSegment(const Point3& p, const Point3& a, const Point3& b);
bool IsPolarPointAt(const Point3& base, double angle, double distance, const Point3& p);
void TranslatePoint(const Point3& v, const Point3& p, Point3& out);

// ---- collinearity and segments ----
bool ArePointsCollinear(const Point3& a, const Point3& b, const Point3& c, double tol);
bool ArePointsCollinearByValue(Point3 a, Point3 b, Point3 c, double tol);
bool ArePointsCollinear4(const Point3& a, const Point3& b, const Point3& c, const Point3& d, double tol);
bool ArePointsCollinear4ByValue(Point3 a, Point3 b, Point3 c, Point3 d, double tol);
bool ArePointsCollinear4Plan(const Point3& a, const Point3& b, const Point3& c, const Point3& d, double tol);
bool IsPointOnSegment(const Point3& p, const Point3& a, const Point3& b);
bool IsOnSegmentTol(const Point3& p, const Point3& a, const Point3& b, double tol);
bool IsPointStrictlyInside(const Point3& p, const Point3& a, const Point3& b);
bool SegmentsTouchCollinear(const Point3& a, const Point3& b, const Point3& c, const Point3& d, double tol);
void CollinearSegmentsExtent(const Point3& a, const Point3& b, const Point3& c, const Point3& d,
                             Point3 out[2]);
// May exchange c and d so that the second segment starts where the first ends.
bool JoinCollinearSegments(const Point3& a, const Point3& b, Point3& c, Point3& d, double tol,
                           bool checkFold);
bool AreSegmentsParallel(const Point3& a, const Point3& b, const Point3& c, const Point3& d);
// Plan intersection of segments a-b and c-d (segments != 0) or of the lines
// through them; out = (x, y, 0). Parallel lines never intersect.
bool IntersectLines2d(const Point3& a, const Point3& b, const Point3& c, const Point3& d, Point3& out,
                      int segments, const ZcGeTol& tol);

// ---- arcs and circles ----
void ArcEndPoints(const Point3& centre, double radius, double start, double end, Point3& outStart,
                  Point3& outEnd);
bool IsPointOnArc(const Point3& p, const ArcRecord& arc, bool checkRadius);
bool MergeArcs(const Point3& p, const ArcRecord& arc1, const ArcRecord& arc2, ArcRecord& out);
bool ArcCentreFromRise(const Point3& p1, const Point3& p2, double rise, Point3& out);
bool IntersectLineCircle(const Point3& a, const Point3& b, const Point3& centre, double radius, Point3& out1,
                         Point3& out2);

// ---- object coordinate system of a normal (the arbitrary-axis rule) ----
Point3 WorldToOcs(const Point3& p, const Point3& normal);
Point3 OcsToWorld(const Point3& p, const Point3& normal);
