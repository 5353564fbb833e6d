// What a room's plain outline gains or loses: the marked deduction
// polylines, stair footprints and pillars inside it, the values of the roof
// windows inside it, and the roof pitches standing over its floor.
//
// Levels are compared within the single-precision epsilon. A pillar or a
// stair footprint inside a deduction polygon is counted once, with the
// polygon. Every deducted outline is shown as a temporary highlight.
#pragma once

#include "core/geometry/vertex_list.h"
#include "rooms/under_roof.h"

inline constexpr const char* kDeductionApp = "VELM16$_$DETRAIPOLIGONI-";
inline constexpr const char* kStairFootprintApp = "VELM7$_$DETCOMPSCALE-";
inline constexpr const char* kSpecialParamsApp = "VELM5$_$PARASPEC-";

// While one lives, the deduction polylines, stairs, pillars and roof
// windows of the drawing are selected once and the selections reused, so a
// command measuring every room of a floor reads the drawing once, not once
// per room; each one's level, point and outline are read once too. Only for
// passes that add, erase or change none of those records.
class RoomRecordScope {
public:
    RoomRecordScope();
    ~RoomRecordScope();
    RoomRecordScope(const RoomRecordScope&) = delete;
    RoomRecordScope& operator=(const RoomRecordScope&) = delete;

private:
    void* m_outer;
};

// The area deducted from the room polygon at the floor elevation `level`.
double ComputeRoomDeductions(const VertexNode* room, double level);

// Sums variables 11015 (window area) and 11016 (ventilation area) of the
// roof windows whose opening lies in the room on that floor.
void SumRoofWindowValues(const VertexNode* room, double level, double& windows, double& ventilation);

// The roof pitches with a vertex above the floor, newest first; null when
// there is none. The caller frees the list.
RoofPitch* CollectRoofPitches(double level);

// Whether the first 1070 value of a slab record (its flag word) makes the
// slab a roof pitch for the room measurements.
bool IsRoofPitchFlag(int flagWord);
