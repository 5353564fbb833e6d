// Chains of the host's own dimensions: along a line across a plan (the
// walls a drawn sequence crosses, or the faces of a front elevation of
// walls), across a room through a picked point, and through points the
// user picks. Each command collects measuring points, projects them onto
// the dimension line, thins them and hands them to DrawDimension.
#pragma once

#include "core/geometry/geom_basic.h"
#include "core/geometry/vertex_list.h"

class CFACCIATE;
struct WallFace;

// The direction of an aligned chain: an angle typed or shown, or, on
// Enter, the direction of a LINE picked as parallel. With `options` the
// keyword "Opcje" opens the layer and style dialog and asks again.
// 1 with the angle; 0 on cancel.
int GetDimensionAngle(double& angle, bool options);

// Adds the face's measuring points to `list` without duplicates: its two
// ends, and with `openings` 1 the centre, with 2 the jambs, of every
// opening cut into it that is not nearly perpendicular to the dimension
// direction `angle`. Returns the list.
VertexNode* CollectFacePoints(VertexNode* list, const WallFace& face, int openings, double angle);

// Asks a sequence of points and returns where it crosses the lines that
// run across the direction `angle` (at most 45 degrees off its normal) on
// visible layers: the wall lines of `level`, or with `allLines` every
// LINE of the drawing. Null with fewer than two points or no line.
VertexNode* SequenceIntersectionPoints(bool allLines, double level, double angle);

// Asks the first and the last line of a front elevation and returns the
// points of the wall faces connected end to end from the first to the
// last; `level` gets the level of the first line. Null on cancel, when
// the faces do not reach the last one, or when the walk meets a face it
// has already taken (a ring of walls has no end to dimension to).
VertexNode* ElevationChainPoints(const Point3 line[2], double& level, int openings);

// The points across a room: where `line` (symmetric about the picked
// point) crosses the nearest straight face on either side, and the points
// of the faces connected from one of them round to the other. Null when a
// side has no face or the walk meets a face it has already taken.
VertexNode* RoomCrossingPoints(const CFACCIATE& graph, const Point3 line[2], int openings);

// "VELMDPLAN"
void VelmDPlan();
// "VELMDPROOM"
void VelmDPRoom();
// "VELMDV"
void VelmDV();
