// Drawing the build-up layers of recognised walls, and the general wall
// type every drawing of build-ups falls back on.
//
// For each wall pair of a recognition set, the outlines of its build-up
// layers (one record per layer, closed rings whose vertices mark the edges
// along inner layer boundaries) become LINEs on the layers' drawing layers
// and HATCHes, grouped in an anonymous block inserted at the origin on the
// set's block-name layer. At a coarse scale (1:200 and over) a wall whose
// first layer is still "lDaDefinire" is drawn as plain LINEs on the
// block-name layer instead, without block or hatch. Everything on the
// block-name layer is erased first, so drawing again replaces the drawing.
#pragma once

#include <string>
#include <vector>

#include "core/geometry/vertex_list.h"
#include "walls/types/wall_types.h"

inline constexpr const char* kGeneralWallType = "Ściana ogólna";
inline constexpr const char* kNoWallsMessage = "\nNie można rozpoznać ścian w bieżącym rysunku";

// One build-up layer of one wall.
struct LayerOutline {
    std::string layer;
    std::string pattern;  // "0": no hatch
    double angle = 0.0;   // radians
    double scale = 1.0;
    // Closed rings; a vertex's edgeFlag set marks the edge to the next
    // vertex as a line to draw.
    std::vector<OwnedList<VertexNode>> rings;
};

// What the drawing of build-ups reads of a wall-recognition set.
class WallLayerSet {
public:
    virtual ~WallLayerSet() = default;
    virtual CListMuri& WallTypes() = 0;
    virtual int DrawingScale() const = 0;
    virtual double Elevation() const = 0;
    // "STRAT_BLOCK" as the layer of the set's floor level.
    virtual std::string BlockLayer() const = 0;
    virtual int WallPairCount() const = 0;
    // Whether the second segment of a pair is the wall's external side.
    virtual bool SecondSegmentExternal(int pair) const = 0;
    virtual void SwapSegments(int pair) = 0;
    // The outlines of the pair's build-up layers, first layer first; empty
    // when they cannot be built.
    virtual std::vector<LayerOutline> LayerOutlines(int pair) = 0;
};

// The general wall type: "Ściana ogólna", colour 7, priority 0, layer "0",
// no file and no build-ups.
CMuro GeneralWallType();
// Puts the general wall type at the head of the list when no type has its
// name, and gives every type without a 1:200 build-up the default one (two
// halves of the wall on "lDaDefinire", no hatch).
void EnsureDefaultWallType(CListMuri& list);
// Draws the build-ups of every wall pair of the set (see above).
void DrawWallLayers(WallLayerSet& set);
