// Selection sets of the classic interface and their filters.
//
// Sets, the previous set and the pick-first set hold ids of one drawing;
// once that drawing's database is gone they read as freed (or empty).
//
// A selection set is named by an ads_name whose first word is a tag no
// database serial takes; its members keep the order they were added in,
// which for a selection is database order. zcedSSGet modes (a leading "_"
// ignored, case ignored):
//   "X"          every entity of the drawing (model and paper space)
//   "W" "C"      window / crossing between the points pt1 and pt2
//   "WP" "CP" "F"  polygon window / polygon crossing / fence through the
//                points of pt1, a resbuf list of RTPOINT/RT3DPOINT nodes
//   "L" "P"      the last entity made / the previous selection
//   "I"          the pick-first set
//   "A", "ALL"   every entity of the current space on a visible layer
//   nullptr, "", ":S", ":E", ":$", ":S:E" … interactive (see adspick.h)
// Graphical modes test the real geometry in plan (host/db/dbgeom.h) of the
// entities of the current space whose layer is on and thawed.
//
// Filters: a resbuf list of group tests, all of which must hold. A test
// compares one group of the entity's list (absent groups take their
// default: 8 "0", 6 "BYLAYER", 62 256, 67 0); strings match as wildcard
// patterns without regard to case; an entity with several groups of that
// code passes when one does. "-4" groups give relational operators for the
// next test ("=", "!=", "/=", "<>", "<", "<=", ">", ">=", "*", "&" any bit
// of the mask, "&=" every bit; for points one operator or three separated
// by commas, one per coordinate) and logical groupings "<AND" … "AND>",
// "<OR" … "OR>", "<XOR" two tests "XOR>", "<NOT" one test "NOT>" (case
// ignored). "-3" followed by 1001 names requires xdata of every named
// application (wildcards allowed). A malformed filter makes zcedSSGet fail.
//
// Statuses: RTNORM with a set that has members; RTERROR when nothing was
// selected or the arguments are bad; RTCAN when an interactive selection
// was cancelled. The last non-empty selection becomes the previous one.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "host/db/dbid.h"
#include "host/util/resbuf.h"

class ZcDbEntity;
class ZcRxClass;

int zcedSSGet(const char* str, const void* pt1, const void* pt2, const resbuf* filter, ads_name ss);
int zcedSSFree(const ads_name sname);
int zcedSSLength(const ads_name sname, std::int32_t* len);
int zcedSSLength(const ads_name sname, long* len);
int zcedSSName(const ads_name ss, std::int32_t i, ads_name entres);
// ename null and ss null: a new empty set in result; ss null: a new set of
// ename; otherwise ename is added to ss (no duplicates) and result names ss.
int zcedSSAdd(const ads_name ename, const ads_name sname, ads_name result);
int zcedSSDel(const ads_name ename, const ads_name ss);
int zcedSSMemb(const ads_name ename, const ads_name ss);
// The grip set (always empty here) and the pick-first set as RTPICKS lists
// of one node each; null pointers are not written.
int zcedSSGetFirst(resbuf** gset, resbuf** pset);
// Makes pset (or nothing, when null) the pick-first set and tells the
// editor reactors.
int zcedSSSetFirst(const ads_name pset, const ads_name unused);

namespace host {

// A compiled filter; ok() false for a malformed list.
class SelectionFilter {
public:
    explicit SelectionFilter(const resbuf* filter);
    ~SelectionFilter();
    SelectionFilter(const SelectionFilter&) = delete;
    SelectionFilter& operator=(const SelectionFilter&) = delete;
    bool ok() const { return m_ok; }
    bool empty() const;
    bool matches(const ZcDbEntity* e) const;
    // True when the filter tests nothing but the kind (group 0): then
    // matchesKind answers for every entity of a class at once.
    bool readsKindOnly() const { return m_ok && m_kindOnly; }
    bool matchesKind(const ZcRxClass* kind) const;
    // The application patterns (upper-cased) of an xdata test that every
    // match must pass (one at the top level of the filter): the entities
    // carrying none of them need not be looked at. Null without such a test.
    const std::vector<std::string>* requiredXDataApps() const;

    struct Node;

private:
    std::shared_ptr<const Node> m_root;  // shared with the same list's earlier filters
    bool m_ok = true;
    bool m_kindOnly = false;
};

// Whether the entity is on a layer that is on and thawed.
bool entityIsVisible(const ZcDbEntity* e);
// The entities of the current space that are not erased and visible, in
// database order.
std::vector<ZcDbObjectId> selectableEntities(ZcDbDatabase* db);
// The same walk, calling f(id, entity) while each is open for read: one
// opening per entity for a pick or a window.
void forEachSelectable(ZcDbDatabase* db, const std::function<void(ZcDbObjectId, const ZcDbEntity*)>& f);

// Sets as id lists, for the picks and the editor.
std::vector<ZcDbObjectId> selectionMembers(const ads_name ss);
// A new set holding ids (duplicates dropped) — RTNORM, or RTERROR when empty.
int makeSelection(const std::vector<ZcDbObjectId>& ids, ads_name ss);
void setPreviousSelection(const std::vector<ZcDbObjectId>& ids);
const std::vector<ZcDbObjectId>& previousSelection();
const std::vector<ZcDbObjectId>& pickFirstSet();
void setPickFirstSet(const std::vector<ZcDbObjectId>& ids, bool notify = true);

// The interactive part of zcedSSGet (defined with the picks).
int interactiveSelect(const char* mode, const void* pt1, const SelectionFilter& filter,
                      std::vector<ZcDbObjectId>& out);

// Frees every set and forgets the previous and pick-first sets.
void resetSelections();

}  // namespace host
