// The stair model: risers and two sides as element lists of the stair
// record, read from picked model lines, kept ordered along the sides, and
// turned into tread areas (steps) for the plan, the 3D faces and the slab
// opening. Everything here but the model reader and the entity writers is
// plain geometry over the record's lists.
//
// Positions along a side are lengths measured from the side's start (the
// first riser) along its lines and the chords of its arcs.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/geometry/vertex_list.h"
#include "stairs/stair_record.h"

constexpr const char* kStairOnlyLinesAndArcsMessage =
    "\nMożna wybrać tylko łuki i linie do zdefiniowania modelu schodów";
constexpr const char* kStairTwoSidesMessage = "\nNie można rozpoznać dwóch stron schodów";
constexpr const char* kStairRisersOnlyLinesMessage =
    "\nMożna reprezentować podstopnie schodów tylko z liniami";

// A new element; an arc (kind != 0) gets its chords at the record's scale.
StairElement* NewStairElement(const CSCALA& record, const Point3& pointA, const Point3& pointB,
                              const Point3& endA, const Point3& endB, int kind, const ads_name source,
                              bool landing);
// The element's arc as chords in walking order (endA to endB), `size` the
// chord length of the drawing's arc approximation.
ArcPointNode* MakeArcPoints(const StairElement& element, double size);
void TranslateElements(StairElement* list, double dx, double dy);

// Where the riser's infinite line crosses the side (the crossing on a piece
// nearest to the riser's midpoint) and its position along the side; none
// when no piece is crossed.
struct SideCrossing {
    Point3 point;
    double position = 0.0;
    const StairElement* element = nullptr;
};
std::optional<SideCrossing> RiserSideIntersection(const StairLine& riser, const StairElement* side);
// Intersection of two infinite lines; parallel lines meet only at a shared end.
bool IntersectLines(const StairLine& l, const StairLine& m, Point3& out);
void SortRisers(const CSCALA& record, StairElement* risers);
bool IsPointOnArcElement(const StairElement& element, const Point3& p);
// The first side element holding end `which` (0 a, 1 b) of the line; for an
// arc element `out` is the crossing of the line with the arc's circle
// nearer to that end (unset when there is none).
StairElement* FindSideElementAt(StairElement* side, const StairLine& line, int which, Point3& out);
void ShortenLineEnds(StairLine& line, double t1, double t2, double w);

// The side as one polyline (line ends and arc chord points) in walking
// order, and a point's position along it; none when it is not on it.
std::vector<Point3> SidePolyline(const StairElement* side);
std::optional<double> PositionAlongPolyline(const std::vector<Point3>& polyline, const Point3& p);

StairStep* BuildStairSteps(const CSCALA& record, const StairElement* risers, int nosing, double drop);
// Writes the tread faces; the number of 3DFACEs made.
int DrawTreadFaces(const StairStep* steps, const std::string& layer);
StairStep* AppendOutline(StairStep** list, VertexNode* ring);
void CollectStepOutlines(StairStep** outlines, const StairStep* steps, bool fromHead);
// The side chains of the tread areas in walking order: first-side and
// second-side vertices of each ring, front to back; a riser is two nodes
// at one plan point. The nodes name the rings' vertices.
void StepSideChains(const StairStep* steps, RingNode** first, RingNode** second);
// Fills the record's three outline point lists from reference chains.
void BuildStairOutlines(CSCALA& record, const RingNode* openingFirst, const RingNode* openingSecond,
                        const RingNode* planFirst, const RingNode* planSecond);
void PlaneThroughLines(const StairLine& l, const StairLine& m, Point3 out[3]);
double StructureDepthAtRiser(const CSCALA& record, double thickness, double treadDepth);

bool MakeLineEntity(const Point3& a, const Point3& b, const std::string& layer);
bool MakeArcEntity(const Point3& centre, double radius, double start, double end, const std::string& layer);

// One picked model entity as the reader needs it.
struct StairModelEntity {
    bool isLine = false;
    bool isArc = false;
    Point3 a, b;  // ends (an arc's at its start and end angle)
    Point3 centre;
    double radius = 0.0, startAngle = 0.0, endAngle = 0.0;
    ads_name source = {0, 0};
};

// Builds the model from the entities, `firstRiser` the index of the first
// riser. Empty on success, else the message to print.
std::string BuildStairModel(CSCALA& record, std::vector<StairModelEntity> entities, std::size_t firstRiser);
// Reads the selection set and builds the model; prints the message and
// returns false when the model cannot be had.
bool ReadStairModelFromLines(CSCALA& record, const ads_name selection, const ads_name firstRiser);
