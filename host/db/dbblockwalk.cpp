// Block walks: the path a recursive walk keeps, and one depth-first search
// of the graph whose nodes are block records and whose edges are the
// references and dimensions inside them. The search runs on its own stack
// (a chain of nested blocks as deep as a file can make it costs no call
// depth) and reads the objects in place, without opening them, so that it
// may run while the caller holds any of them open.
#include "host/db/dbblockwalk.h"

#include <algorithm>
#include <unordered_map>

#include "host/db/dbmain.h"

ZcDbBlockPath::Step::Step(ZcDbBlockPath& path, ZcDbObjectId block) : m_path(path) {
    ZcDbStub* stub = block.stub();
    if (!stub || path.m_blocks.size() >= kMaxDepth) return;
    if (std::find(path.m_blocks.begin(), path.m_blocks.end(), stub) != path.m_blocks.end()) return;
    path.m_blocks.push_back(stub);
    m_entered = true;
}

ZcDbBlockPath::Step::~Step() {
    if (m_entered) m_path.m_blocks.pop_back();
}

ZcDbObjectId zcdbShownBlock(const ZcDbEntity* ent) {
    if (auto* ref = ZcDbBlockReference::cast(ent)) return ref->blockTableRecord();
    if (auto* dim = ZcDbDimension::cast(ent)) return dim->dimBlockId();
    return ZcDbObjectId();
}

namespace {

const ZcDbObject* live(ZcDbObjectId id) {
    ZcDbStub* stub = id.stub();
    return stub && !stub->erased ? stub->object.get() : nullptr;
}

std::string blockName(ZcDbObjectId id) {
    auto* btr = ZcDbBlockTableRecord::cast(live(id));
    return btr ? btr->name() : std::string();
}

struct Edge {
    ZcDbObjectId entity, block;
};

// A block on the search's stack: what it holds besides references, its
// edges, and the next edge to follow.
struct Frame {
    ZcDbObjectId block;
    std::uint64_t plain = 0;
    std::vector<Edge> edges;
    std::size_t next = 0;
};

const ZcDbExpansionFilter kEverything;

Frame frameOf(ZcDbObjectId blockId, const ZcDbExpansionFilter& filter) {
    Frame f;
    f.block = blockId;
    auto* btr = ZcDbBlockTableRecord::cast(live(blockId));
    if (!btr) return f;
    for (ZcDbObjectId id : btr->entityIds()) {
        auto* ent = ZcDbEntity::cast(live(id));
        if (!ent) continue;
        ZcDbObjectId shown = zcdbShownBlock(ent);
        if (!filter.throughDimensions && ZcDbDimension::cast(ent)) shown = ZcDbObjectId();
        if (!shown.isNull() && live(shown))
            f.edges.push_back({id, shown});
        else if (!filter.counted || filter.counted(*ent))
            ++f.plain;
    }
    return f;
}

// Depth first from `root`, blocks already done (true in `done`) not
// entered again. `back(frame, edge)` for an edge into a block on the
// stack; `finish(frame)` once all of a block's edges were followed, its
// children finished before it.
template <class Back, class Finish>
void depthFirst(ZcDbObjectId root, std::unordered_map<ZcDbStub*, bool>& done,
                const ZcDbExpansionFilter& filter, Back back, Finish finish) {
    if (done.count(root.stub())) return;
    std::vector<Frame> stack;
    stack.push_back(frameOf(root, filter));
    done[root.stub()] = false;
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next == top.edges.size()) {
            finish(top);
            done[top.block.stub()] = true;
            stack.pop_back();
            continue;
        }
        const Edge edge = top.edges[top.next++];
        auto seen = done.find(edge.block.stub());
        if (seen == done.end()) {
            done[edge.block.stub()] = false;
            stack.push_back(frameOf(edge.block, filter));
        } else if (!seen->second) {
            back(top, edge);
        }
    }
}

std::uint64_t saturatedSum(std::uint64_t a, std::uint64_t b) {
    return a > ZcDbBlockExpansion::kSaturated - b ? ZcDbBlockExpansion::kSaturated : a + b;
}

}  // namespace

ZcDbBlockExpansion zcdbBlockExpansion(ZcDbObjectId blockId) {
    return zcdbBlockExpansion(blockId, kEverything);
}

ZcDbBlockExpansion zcdbBlockExpansion(ZcDbObjectId blockId, const ZcDbExpansionFilter& filter) {
    std::unordered_map<ZcDbStub*, bool> done;
    std::unordered_map<ZcDbStub*, ZcDbBlockExpansion> found;
    std::unordered_map<ZcDbStub*, std::string> cycles;  // by the block holding the edge back
    depthFirst(
        blockId, done, filter,
        [&](const Frame& f, const Edge& e) { cycles.emplace(f.block.stub(), blockName(e.block)); },
        [&](const Frame& f) {
            ZcDbBlockExpansion x;
            x.entities = f.plain;
            if (auto c = cycles.find(f.block.stub()); c != cycles.end()) x.cycleBlock = c->second;
            for (const Edge& e : f.edges) {
                auto inner = found.find(e.block.stub());
                if (inner == found.end()) continue;  // an edge back: nothing drawn through it
                x.entities = saturatedSum(x.entities, inner->second.entities);
                x.depth = std::max(x.depth, inner->second.depth + 1);
                if (x.cycleBlock.empty()) x.cycleBlock = inner->second.cycleBlock;
            }
            found[f.block.stub()] = std::move(x);
        });
    auto root = found.find(blockId.stub());
    return root == found.end() ? ZcDbBlockExpansion{} : root->second;
}

std::vector<ZcDbBlockCycle> zcdbBlockCycles(ZcDbDatabase* db) {
    std::vector<ZcDbBlockCycle> cycles;
    auto* table = db ? ZcDbBlockTable::cast(live(db->blockTableId())) : nullptr;
    if (!table) return cycles;
    std::unordered_map<ZcDbStub*, bool> done;
    for (ZcDbObjectId blockId : table->recordIds())
        depthFirst(
            blockId, done, kEverything,
            [&](const Frame& f, const Edge& e) {
                cycles.push_back({e.entity, blockName(f.block), blockName(e.block)});
            },
            [](const Frame&) {});
    return cycles;
}
