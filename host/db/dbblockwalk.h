// Walks over the contents of blocks. A reference (INSERT) or a dimension
// leads from a block into another, and a drawing, from a file or made so by
// commands, may hold a block whose contents contain itself, or nest deep
// and wide enough that a few kilobytes stand for more entities than the
// machine can hold. Every recursive walk keeps the path of blocks it is in
// and does not enter one already on it; a walk of a whole drawing (an
// export) first asks what the drawing expands to, a count made once per
// block definition, without expanding anything.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/db/dbid.h"

class ZcDbDatabase;
class ZcDbEntity;

// The blocks a recursive walk is inside, outermost first.
class ZcDbBlockPath {
public:
    // One step into a block; false when the walk is already inside it (a
    // cycle) or the path is as deep as it may grow: the walk then leaves
    // the block out. Left when the step ends.
    class Step {
    public:
        Step(ZcDbBlockPath& path, ZcDbObjectId block);
        ~Step();
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;
        explicit operator bool() const { return m_entered; }

    private:
        ZcDbBlockPath& m_path;
        bool m_entered = false;
    };
    // Deeper than any drawing nests its blocks, shallow enough for the
    // stack of any recursive walk.
    static constexpr std::size_t kMaxDepth = 256;
    std::size_t depth() const { return m_blocks.size(); }

private:
    std::vector<ZcDbStub*> m_blocks;
};

// The block whose contents an entity draws: a reference's block, a
// dimension's own block; null for any other entity.
ZcDbObjectId zcdbShownBlock(const ZcDbEntity* ent);

// What a block's contents (a space's, say) expand to when every reference
// and dimension is replaced by its block's contents, each reachable block
// counted once however often it is used. A reference back into a block
// being expanded counts nothing (the walks stop there) and is reported.
struct ZcDbBlockExpansion {
    static constexpr std::uint64_t kSaturated = UINT64_MAX;
    std::uint64_t entities = 0;  // the entities other than references; kSaturated past it
    std::size_t depth = 0;       // the deepest nesting of blocks below this one
    std::string cycleBlock;      // a block reached whose contents contain itself; "" when none
};
ZcDbBlockExpansion zcdbBlockExpansion(ZcDbObjectId blockId);
// What an expansion looks at: the entities it counts (every one that draws
// no block, when `counted` is empty) and whether a dimension's block is
// entered (a dimension is then an entity like any other). An export that
// draws one kind of entity through references alone counts what it draws.
struct ZcDbExpansionFilter {
    std::function<bool(const ZcDbEntity&)> counted;
    bool throughDimensions = true;
};
ZcDbBlockExpansion zcdbBlockExpansion(ZcDbObjectId blockId, const ZcDbExpansionFilter& filter);

// One entity that closes a cycle: a reference (or dimension) in `owner`
// whose block is already on the path from the block the search began at.
struct ZcDbBlockCycle {
    ZcDbObjectId entity;
    std::string owner;      // the block holding the entity
    std::string contained;  // the block whose contents contain itself through it
};
// A set of entities whose removal leaves no cycle among the database's
// blocks, found by one depth-first search of every block record.
std::vector<ZcDbBlockCycle> zcdbBlockCycles(ZcDbDatabase* db);
