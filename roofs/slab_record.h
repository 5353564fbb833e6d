// The slab record: a floor slab, roof pitch, Z-profile or girder is one
// INSERT of an anonymous block of 3DFACEs whose xdata "VELM5$_$VFALDA-"
// holds everything needed to rebuild, edit, cut or query it (layer key,
// which outline edges are drawn, thickness, five option flags and its loops
// with one edge flag per vertex). CFALDA is that record in memory; its loops
// are ContourNode lists (the first the outline, the others openings) whose
// vertices carry the stored edge flag in edgeFlag and the loop's index in
// data1.
//
// Edge flags: a stored value above 90 stands for value - 100 and marks an
// approximated edge (a chord of an arc). After that reduction 1 is a visible
// edge, 0 no edge, -1 a hidden edge, -2 a fully hidden edge.
#pragma once

#include <cstddef>
#include <string>

#include "core/geometry/vertex_list.h"
#include "core/hatch.h"
#include "host/ads/adsowners.h"
#include "host/util/adscodes.h"
#include "host/util/resbuf.h"

constexpr const char* kSlabApp = "VELM5$_$VFALDA-";
// The most xdata bytes the host keeps on one entity.
constexpr std::size_t kSlabXDataLimit = 16383;

// The edge keys in the order of their numbers 0..3.
extern const char* const kSlabEdgeKeys[4];

// The bits of the flag word, which marks the element's kind as well as its
// options: a slab or roof pitch carries at most the floor link, the 2D
// drawing and the wall-height bit, a girder the single-layer bit alone, a
// Z-profile the Z-profile, wall-height and single-layer bits.

// The elevation follows the floor of the INSERT's layer ("$" level).
constexpr int kSlabLinkedToFloor = 1;
// The block also holds the plan outline as LINEs on the 2D layer.
constexpr int kSlabDraw2D = 2;
// All faces on the one layer "3D" + name instead of its "_S", "_T", "_B"
// layers.
constexpr int kSlabSingleLayer = 4;
// Left out when wall heights are fitted under the slabs.
constexpr int kSlabIgnoreWallHeight = 8;
// A Z-profile: only the Z-profile editor takes it, openings never cut it.
constexpr int kSlabZProfile = 16;

// A word the reader takes as a Z-profile's: any above 15.
constexpr bool IsZProfileWord(int word) {
    return word >= kSlabZProfile;
}
// A word of a slab, roof pitch or girder (a missing word reads as -1).
constexpr bool IsSlabWord(int word) {
    return word >= 0 && word < kSlabZProfile;
}
// A girder's word: a slab word with the single-layer bit.
constexpr bool IsGirderWord(int word) {
    return IsSlabWord(word) && (word & kSlabSingleLayer) != 0;
}

// The hatch found over a slab's outline: its record, its kind (0 when the
// slab has none) and its entity.
struct SlabHatch {
    HatchXData data;
    int kind = 0;
    ads_name entity{0, 0};
};

class CFALDA {
public:
    CFALDA() = default;
    ~CFALDA();
    CFALDA(const CFALDA&) = delete;
    CFALDA& operator=(const CFALDA&) = delete;

    int edgeKey = 0;  // 0 key_nes, 1 key_sup, 2 key_inf, 3 key_ent
    ContourNode* loops = nullptr;
    SlabHatch hatch;
    std::string name;  // the layer key
    std::string sideLayer, topLayer, bottomLayer, layer2d;
    double thickness = 0.0;
    double slope = 0.0;  // degrees
    bool hideApproximated = false;
    // The five option flags, each the bit of the flag word named alike.
    bool ignoreWallHeight = false, linkedToFloor = false, draw2D = false, zProfile = false,
         singleLayer = false;
    // The same flags by the value of their bit, as older code spells them.
    bool& flag8 = ignoreWallHeight;
    bool& flag1 = linkedToFloor;
    bool& flag2 = draw2D;
    bool& flag16 = zProfile;
    bool& flag4 = singleLayer;

    // The sum of the bits of the flags set.
    int FlagWord() const;
    // Frees the loops held and takes `newLoops`.
    void SetLoops(ContourNode* newLoops);
};

// The stored edge flag with the approximation mark taken off.
inline int ReducedEdgeFlag(int stored) {
    return stored > 90 ? stored - 100 : stored;
}

// The entity-data list of `entity` with its slab xdata; null without it. A
// record too long for one entity's xdata holds its vertex count as a 1071
// after the flag word and its loops in pieces on carrier faces of its
// block (each piece a 1071 loop index and a braced run of vertices); they
// are gathered back here into the braced loops of a short record, so that
// every reader sees one form. A record whose pieces do not add up to its
// count comes back without loops.
host::ResbufList GetSlabXData(const ads_name entity);
// Reads the slab xdata of `entity` into the record; false without the xdata
// or without its name. floorElevation gets the level of the INSERT's layer
// when the slab follows its floor, else 0.0.
bool ReadSlabRecord(const ads_name entity, CFALDA& record, double& floorElevation);
// The same from an entity-data list holding the slab xdata (layer from its
// group 8); the hatch is searched only when searchHatch is set.
bool ReadSlabRecordFromList(const resbuf* list, CFALDA& record, double& floorElevation, bool searchHatch);
// The loops of a slab xdata list in xdata order; null without a group 1002.
ContourNode* ParseSlabLoops(const resbuf* xdata);
// The outline of the slab `entity` without repeated points, in reverse
// xdata order, every edge flag 1; null without the xdata.
VertexNode* GetSlabOutlineVertices(const ads_name entity);
// Sets the five flags from a flag word (all cleared first: a record loaded
// again must not keep a flag of the slab it held before).
void DecodeSlabFlags(CFALDA& record, int flagWord);
// Group 70 of the bottom (out[0]) and top (out[1]) 3DFACE of the triangle
// a, b, c of the slab's loops; keyPair is (bottom mask, top mask).
void GetFaceEdgeFlags(int out[2], const int keyPair[2], const VertexNode* a, const VertexNode* b,
                      const VertexNode* c, const ContourNode* loops);
// The (bottom mask, top mask) pair of an edge key.
void SlabKeyPair(int edgeKey, int keyPair[2]);
// A deep copy of a loop list.
ContourNode* CopySlabLoops(const ContourNode* loops);
// Sets each vertex's data1 to the position of its loop.
void RenumberSlabLoops(ContourNode* loops);
