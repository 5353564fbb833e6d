// The records of a wall's build-up layers: the cross lines of a wall (its
// ends and the jambs of its openings) and, per layer, the closed rings of
// its pieces. The recognition set builds them for one wall pair at a time.
#pragma once

#include <cstdint>
#include <string>

#include "core/geometry/vertex_list.h"

// One cross line of a wall, running from face A to face B; its number is
// also in each vertex's data1. The two jambs of one opening share a number.
// A cut owns its points, so FreeList frees a list of cuts whole.
struct WallCut {
    WallCut() = default;
    WallCut(const WallCut&) = delete;
    WallCut& operator=(const WallCut&) = delete;
    ~WallCut() { FreeList(points); }

    WallCut* next = nullptr;
    VertexNode* points = nullptr;
    std::int32_t number = 0;
};

// One closed ring of a layer, owned by its node.
struct PieceNode {
    explicit PieceNode(VertexNode* r) : ring(r) {}
    PieceNode(const PieceNode&) = delete;
    PieceNode& operator=(const PieceNode&) = delete;
    ~PieceNode() { FreeList(ring); }

    PieceNode* next = nullptr;
    VertexNode* ring = nullptr;
};

// One build-up layer of one wall. A vertex's edgeFlag is 1 where the edge
// to the next vertex runs along the layer's inner boundary (every layer but
// the first). A record owns its pieces and the records before it, so
// deleting the last record of a wall frees them all.
struct LayerRecord {
    LayerRecord() = default;
    LayerRecord(const LayerRecord&) = delete;
    LayerRecord& operator=(const LayerRecord&) = delete;
    ~LayerRecord() {
        FreeList(pieces);
        // A wall has a handful of layers: the chain is short.
        delete previous;
    }

    std::string layerName;
    std::string hatchPattern;  // without a leading '-'
    double hatchAngle = 0.0;   // the wall's mean direction when the pattern began with '-'
    double hatchScale = 1.0;   // unit factor x the layer's hatch scale
    PieceNode* pieces = nullptr;
    LayerRecord* previous = nullptr;
};
