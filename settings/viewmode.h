// View modes: which of the 2D and 3D layer lists of "VXD.LST" are shown,
// applied to the layers themselves in model space and to the current
// viewport's layer freezing in paper space; and the plain pattern lists
// "VLTETTI.LST" (roof plates) and "VLSOLAI.LST" (floor plates) switched on
// or off as a whole.
//
// "VXD.LST": lines before the first one beginning with "V2D" are ignored,
// then come the 2D patterns up to a line beginning with "V3D", then the 3D
// patterns up to "END"; the section words are compared ignoring case. Each
// pattern is a wildcard for layer names; names and patterns are compared in
// capitals, so case never matters. Lines are cut at 122 characters.
//
// Each layer is matched against the patterns once per call: the cost is the
// number of layers times the number of patterns.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/level_settings.h"
#include "core/support_files.h"
#include "host/db/dbmain.h"

class VELM_PIANI;

// The stored view mode is a character code: kViewMode2D ('2'),
// kViewMode3D ('3') and kViewModeBoth ('E') of the toolkit.

constexpr const char* kVxdListFile = "VXD.LST";
constexpr const char* kRoofPlateListFile = "VLTETTI.LST";
constexpr const char* kFloorPlateListFile = "VLSOLAI.LST";

struct VxdLists {
    std::vector<std::string> list2d;  // patterns in capitals
    std::vector<std::string> list3d;
    bool complete = false;  // the "END" line was met
};

// The two lists of a "VXD.LST" read into lines.
VxdLists ParseVxdLines(const std::vector<std::string>& lines);
// Where a "VXD.LST" stops being one: at its last line when "V2D", then
// "V3D", then "END" do not follow in that order. A file cut short would
// leave some layers out of its mode without a word.
std::optional<SupportFault> VxdListFault(const std::vector<std::string>& lines);
// Every line a pattern (in capitals), for the plate lists.
std::vector<std::string> ParsePatternLines(const std::vector<std::string>& lines);

// True when a pattern of the list matches the layer name, ignoring case.
bool MatchesAnyPattern(const std::vector<std::string>& patterns, std::string_view layer);

// `in2d` when the name matches a 2D pattern (searched first), else `in3d`
// when it matches a 3D one, else -1.
int FindLayerInVxdList(const VxdLists& lists, std::string_view layer, int in2d, int in3d);

// Whether the mode shows the 2D or the 3D layers.
inline bool ModeShows2D(int mode) {
    return mode == kViewMode2D || mode == kViewModeBoth;
}
inline bool ModeShows3D(int mode) {
    return mode == kViewMode3D || mode == kViewModeBoth;
}

// What a layer's state becomes under a mode: thawed, frozen, or untouched
// (in no list). A layer in both lists follows the 3D list, read last.
std::optional<bool> VxdThawDecision(const VxdLists& lists, std::string_view layer, int mode);

// Whether some layer without a level suffix that matches the 2D (3D) list
// is thawed in the viewport.
struct VxdViewportState {
    bool shows2d = false;
    bool shows3d = false;
};
VxdViewportState GetViewportVxdState(ZcDbDatabase* db, const VxdLists& lists, ZcDbObjectId viewport);

// Applies a mode. Model space (`tilemode` non-zero): freezes and thaws the
// matching layers. Paper space: changes only the viewport's freezing, and
// only for layers whose floor the viewport shows (`floors` may be null:
// every layer then takes part; a list file cut short before "END" changes
// no viewport).
void ApplyViewModeLists(ZcDbDatabase* db, const VxdLists& lists, int tilemode, int mode,
                        ZcDbObjectId viewport, const VELM_PIANI* floors);

// Switches the layers of a plate list on (thawed) or off (frozen): on the
// layers in model space, in the viewport in paper space.
void SwitchLayerList(ZcDbDatabase* db, const std::vector<std::string>& patterns, int tilemode, bool on,
                     ZcDbObjectId viewport);

// The mode a viewing direction asks for: 2D for a plan view, else 3D.
int ViewModeForDirection(const ZcGeVector3d& viewdir);
