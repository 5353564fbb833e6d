// "VELMDEFWALL": walls recognised in plain 2D lines are shown coloured by
// wall type; the user assigns a wall type to picked lines ("Przypisz") as
// often as wanted, then draws every wall's build-up layers ("Rysuj").
//
// The recognition itself (face graph, segments, wall pairs, the display
// entity, the assignment of a type to lines, the layer outlines) belongs to
// the wall-recognition set; it reaches this command through one hook, set
// by the recognition's registration. Run while the hook is unset, the
// command stops the module (`VELM_ASSERT`).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "walls/recognition/wall_layers.h"

class ZcDbEntity;

// One run of the command over the current drawing's floor.
class WallRecognitionSession : public WallLayerSet {
public:
    // The face graph of the drawing's floor, in recognition mode.
    virtual void BuildFaceGraph() = 0;
    // Clears the face graph, frees the wall pairs, builds the graph again.
    virtual void RebuildFaceGraph() = 0;
    virtual void ClearFaceGraph() = 0;
    virtual void SplitAtPilasters() = 0;
    virtual void FreeSegments() = 0;
    virtual void PairSegments() = 0;
    // The display entity over the faces and segments, not yet in the
    // drawing; null when it cannot be made.
    virtual ZcDbEntity* NewDisplayEntity() = 0;
    // Lets the user pick lines and gives them the wall type; true when any
    // line received it.
    virtual bool AssignWallTypeToLines(const std::string& typeName) = 0;
};

using WallRecognitionFactory = std::function<std::unique_ptr<WallRecognitionSession>()>;
void SetWallRecognitionFactory(WallRecognitionFactory factory);

// "VELMDEFWALL"
void CmdDefWall();

// The build-up layers of the current floor's walls drawn again at the
// current factors, without asking anything; false when the floor's wall
// types cannot be loaded. A new print scale asks for it floor by floor.
bool RedrawFloorWallLayers();
