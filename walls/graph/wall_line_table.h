// The wall LINEs of a drawing, kept in a table instead of selected anew:
// placing an object in a wall read every LINE of the drawing several times
// ("X" selections for both faces, the second side and the clean-up of
// zero-length lines), so a floor of doors grew with the square of its
// size.
//
// The table holds every LINE of model and paper space by its layer, in
// database order, and those of zero length; the reactor that keeps the
// outline records current keeps it too, through additions, changes,
// erasures and undo. What it gives is what the "X" selections on the wall
// layers of a level give, in the same order, frozen and off layers
// included.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "host/ads/spatial_index.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbid.h"

// Below this a wall LINE is a leftover of wall editing: reading the graph
// erases it.
inline constexpr double kZeroLengthWallLine = GeomEpsilon;

class WallLineTable {
public:
    explicit WallLineTable(ZcDbDatabase* db) : m_db(db) {}

    // A change of an object of the drawing (from the reactor).
    void note(const ZcDbObject* obj, bool erased);

    // The LINEs on the layers the patterns name: first those on the first
    // pattern's layers, then those new on the second's, and so on, each
    // group in database order. With zeroLengthOnly, those of zero length.
    std::vector<ZcDbObjectId> linesOn(const std::vector<std::string>& layerPatterns, bool zeroLengthOnly);
    // The same order for the LINEs among the candidates (in database order).
    std::vector<ZcDbObjectId> linesAmong(const std::vector<ZcDbObjectId>& candidates,
                                         const std::vector<std::string>& layerPatterns);

private:
    struct ByHandle {
        bool operator()(const ZcDbStub* a, const ZcDbStub* b) const { return a->handle < b->handle; }
    };
    using Lines = std::set<ZcDbStub*, ByHandle>;

    void build();
    void forget(ZcDbStub* stub);
    void keep(ZcDbStub* stub, const ZcDbObject* obj);
    // The place of each layer that has lines in the patterns' order (-1:
    // none matches).
    std::map<std::string, int> ranks(const std::vector<std::string>& layerPatterns) const;

    ZcDbDatabase* m_db;
    bool m_built = false;
    std::unordered_map<ZcDbStub*, std::string> m_layerOf;
    std::uint64_t m_keptTop = 0;  // no line of a higher handle is in m_layerOf
    std::map<std::string, Lines> m_byLayer;
    Lines m_zeroLength;
};

// The drawing's table, kept by the reactor that keeps the outline records
// (defined with them, in outline_cache.cpp).
WallLineTable& KeptWallLineTable(ZcDbDatabase* db);

// The wall LINEs of the level, as SelectOnWallLayers("LINE") gives them.
std::vector<ZcDbObjectId> WallLinesOfLevel(double level);
// Those of them whose extents meet the plan box, in the same order.
std::vector<ZcDbObjectId> WallLinesOfLevelNear(double level, const host::PlanBox& box);
