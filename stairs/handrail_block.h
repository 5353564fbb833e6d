// The handrail written into the drawing: one anonymous block of 3DFACEs
// (the vertical elements, the rail band's walls, top, bottom and ends) and
// the band's plan drawing, inserted on the level layer of the stair base
// layer. Every entity the host refuses abandons the block and no INSERT is
// made.
#pragma once

#include <string>
#include <vector>

#include "stairs/handrail_geometry.h"

// The edge polylines of the band: [0] along the path, [1] along the far
// edge, each split where an arc piece (which has faces of its own) stands;
// at the top of the band (`top`) or at its bottom.
std::vector<std::vector<Point3>> RailEdgePolylines(const std::vector<HandrailPiece>& pieces, bool top,
                                                   int edge);
// The vertical faces between a top polyline and the bottom polyline below
// it: one planar polygon per stretch lying in one vertical plane. The
// number of faces made; `failed` set when the host refused one.
int FacesBetweenPolylines(const std::vector<Point3>& top, const std::vector<Point3>& bottom,
                          const std::string& layer, bool& failed);
// The faces and plan arcs of an arc piece, divided by the chord `chord`.
void ArcPieceFaces(const HandrailPiece& piece, double chord, const std::string& layer3D,
                   const std::string& planLayer, bool& failed);

// Writes the block of the pieces (moved so that the block's origin is the
// first piece's start) and the faces of the vertical elements on
// `postKey`'s layer; the block's name is kept in `rail`. False when the
// host refused an entity.
bool MakeHandrailBlock(CCorrimano& rail, const HandrailWork& work, const std::string& postKey,
                       bool separateLayers);
// The INSERT of the block at the work's insertion point, at its level, on
// the level layer of its base layer.
bool InsertHandrailBlock(const CCorrimano& rail, const HandrailWork& work);
