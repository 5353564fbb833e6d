// The objects the host's own editing commands touch: doors, windows and
// corner objects set into walls, pilasters, objects and stairs that cut a
// slab opening, and dimensions. While the host edits, the database reactor
// notes each of them in one list (newest first); when a tracked edit
// command ends, the editor reactor runs the owning subsystem's update on
// every note, so the wall lines close over an erased opening, the slab
// loses its hole and a stretched dimension is measured again.
//
// Wall lines and arcs that carry the automatic-3D mark are noted as they
// were before a tracked edit command first changes them; when it ends the
// 3D sides they stood on and now stand on are made again, so a stretched
// or turned wall keeps its faces in step with its lines.
//
// Notes are kept from any command, also the module's own, and dropped
// unprocessed when the next tracked edit command starts; so only what that
// command touched is ever updated. The updates themselves erase and make
// entities: what they touch is noted too and dropped with the list.
#pragma once

#include <functional>
#include <vector>

#include "core/geometry/vertex_list.h"
#include "host/util/adscodes.h"
#include "visual/model3d/wall3d_commands.h"
#include "walls/graph/wall_face.h"

class ZcDbObject;

// What a record's kind runs when the command ends. Kind 11, 12 and 18
// objects get their wall's marks checked (false, said, when the sides
// could not be made again as they were: the walk ends there as after a
// failed update), their wall rejoined and then the 3D faces of those walls
// regenerated; -100 dimensions their text measured again; -500 stairs and
// 14, 15, 19, 48 objects their polygon taken out of the slab (with the
// notch flag the stair never has); 17 pilasters the wall lines round them
// rebuilt. The wall lines an edit moved have their 3D sides made again,
// all in one call, after every record.
struct TouchedObjectUpdates {
    std::function<bool(const OutlineNode&)> checkWallMarks;
    std::function<void(const OutlineNode&)> rejoinStraightWall;
    std::function<void(const OutlineNode&)> rejoinArcWall;
    std::function<void(const OutlineNode&)> rejoinCornerWall;
    std::function<void(const OutlineNode&)> regenerate3DWalls;
    std::function<void(const ads_name dimension)> updateDimensionText;
    std::function<void(const VertexNode* polygon, bool notch)> removeSlabOpening;
    std::function<void(const VertexNode* points, double level)> rejoinPilaster;
    std::function<void(const std::vector<EditedWallLine>&)> regenerateEditedWalls;
};

// The updates of the subsystems that own the objects.
TouchedObjectUpdates OwnerUpdates();

// The host's command names, compared without regard to case: the 14 edit
// commands (erase, stretch and rotate in English, Italian and German, and
// grip stretching), the 5 of them that stretch, and the 3 view commands.
bool IsEditCommand(const char* name);
bool IsStretchCommand(const char* name);
bool IsViewCommand(const char* name);

// The one list; the database reactor holds it.
class TouchedObjectList {
public:
    TouchedObjectList() = default;
    TouchedObjectList(const TouchedObjectList&) = delete;
    TouchedObjectList& operator=(const TouchedObjectList&) = delete;
    ~TouchedObjectList() { clear(); }

    // A dimension modified while CMDNAMES is a stretch command, once.
    void noteModified(const ZcDbObject& object);
    // An erased object of a tracked kind with the records its update needs;
    // nothing for anything else.
    void noteErased(const ZcDbObject& object);
    // A wall line or arc with a positive automatic-3D mark about to be
    // changed while CMDNAMES is an edit command: what it was, once.
    void noteOpenedForModify(const ZcDbObject& object);

    // Runs each record's update, newest first, and empties the list. An
    // update that throws is said on the command line and ends the walk, as
    // does a check that fails: false, and the drawing is half updated until
    // the command is taken back.
    bool runUpdates(const TouchedObjectUpdates& updates);
    void clear();

    const OutlineNode* head() const { return m_head; }
    const std::vector<EditedWallLine>& editedWallLines() const { return m_wallLines; }

private:
    void push(OutlineNode* record);
    OutlineNode* m_head = nullptr;
    std::vector<EditedWallLine> m_wallLines;
};
