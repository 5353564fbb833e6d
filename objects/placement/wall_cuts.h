// Wall lines at the objects set into walls: the wall faces (plain LINEs and
// ARCs on the wall layers) are interrupted where an opening, a corner object
// or a pilaster sits, and joined again before the object is placed anew or
// after an editing command moved or erased it.
//
// A rewritten wall entity is read with all its xdata, changed in that list,
// erased and made again, so every piece keeps the records of the wall (type,
// 3D data, roof links). A piece is made only when its two ends differ.
//
// Entity names are in and out parameters: a finder leaves a name cleared
// when nothing matches; a cut or rejoin given a cleared name skips it.
#pragma once

#include "core/geometry/vertex_list.h"
#include "host/util/adscodes.h"
#include "walls/graph/outline_record.h"

// ---- finding the wall entities at an object (in a selection's order) ----
// lineA holds both face-A gap points, lineB both face-B gap points.
void FindStraightWallLinesAtGap(const OutlineNode& outline, const ads_name selection, ads_name lineA,
                                ads_name lineB);
// The arcs of faces A and B centred on the object's base whose span holds
// both jamb first points.
void FindArcWallArcsAtGap(const OutlineNode& outline, const ads_name selection, ads_name arcA, ads_name arcB);
// The lines through jamb1 first, jamb1 last, jamb2 first and jamb2 last.
void FindCornerWallLinesAtGap(const OutlineNode& outline, const ads_name selection, ads_name lines[4]);
// The four lines of a placed corner object, from its own outline and the
// wall lines of its level; 1 when the outline was read, else 0.
int FindWallLinesAtOpening(const ads_name object, ads_name lines[4]);

// ---- cutting, after the object is placed ----
// lineB afterwards names the piece beyond the gap's second end when one was
// made.
void CutStraightWallAtOpening(const ads_name object, ads_name lineA, ads_name lineB);
void CutArcWallAtOpening(const ads_name object, ads_name arcA, ads_name arcB);
void CutCornerWallAtObject(const ads_name object, ads_name lines[4]);
void CutWallAtPilaster(const ads_name pilaster);

// ---- rejoining before the object is placed again ----
// Each erases the object first (also when no wall line is found) and gives
// back the joined entities for the cut that follows the new placement.
void RejoinStraightWallLines(const ads_name object, ads_name lineA, ads_name lineB);
void RejoinArcWallLines(const ads_name object, ads_name arcA, ads_name arcB);
void RejoinCornerWallLines(const ads_name object, ads_name lines[4]);
void RejoinPilasterAtObject(const ads_name pilaster);

// ---- rejoining after an editing command erased, moved or turned the object ----
// The outline is the one captured while the object was erased
// (CreateTag3DiStrNode).
void RejoinStraightWallAfterEdit(const OutlineNode& outline);
void RejoinArcWallAfterEdit(const OutlineNode& outline);
void RejoinCornerWallAfterEdit(const OutlineNode& outline);
void RejoinPilasterWallLines(const VertexNode* outline, double level);

// ---- dispatch and command ----
// Cuts the wall entities at one placed object by its insertion type. With
// wholeFloor, objects whose insertion point is not at `level` are skipped
// and nothing is printed. 1 when the object was recognised, else 0.
int BreakWallAtObject(const ads_name entity, double level, bool wholeFloor);
// VELMWALLBRK
void CmdWallBreak();
