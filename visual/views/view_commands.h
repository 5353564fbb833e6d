// The view commands: VELMGENVIEW makes a view of the whole model that can
// be rebuilt later from the record on its block reference, VELMSELVIEW a
// view of selected objects, fitted to a window if one is given, and
// VELMREGENVIEW rebuilds views from their records.
//
// A view is one anonymous block and its INSERT, or, with SETSEZ_GENESPLO 0,
// loose lines and hatches in model space. The INSERT of a regenerable view
// carries "VELMP$_$VISTASEZ-": its kind (1 axonometric, 2 stepped), its
// view frame's first three rows and translation, its hidden-line flag, the
// display frame and the stepped section's depth as the kind asks; and
// "VELMP$_$PUNTIQUOTE-" with the level marks it shows (at most 500).
#pragma once

#include <cstdint>
#include <string>

#include "core/geometry/matrix4.h"
#include "core/geometry/vertex_list.h"
#include "host/util/adscodes.h"

class CSezione;
class ZcDbFace;
class ZcDbBlockReference;

void CmdGenView();
void CmdSelView();
void CmdRegenView();

inline constexpr const char* kViewRecordApp = "VELMP$_$VISTASEZ-";
inline constexpr const char* kLevelMarkApp = "VELMP$_$PUNTIQUOTE-";
inline constexpr const char* kViewMeter = "Zobacz obliczenia...";
inline constexpr int kMaxLevelMarks = 500;

// Asks for the section and the view's place, collects, projects, hides and
// draws; selectMode 1 lets the user pick the objects and a window.
void GenerateView(std::uint8_t selectMode, std::int32_t hiddenLines);
// Rebuilds the view whose INSERT this is; 1 when it carried a readable
// view record (whatever came of the rebuilding), 0 when it carried none or
// one too short, -1 when the record's frames or depth are out of shape (not
// unit rows square to each other, or numbers beyond the drawing's range):
// then the record is named and the view stays as it was.
int RegenerateView(const ads_name insert);

// Draws the visible segments and the hatches: in block mode into a new
// view block with its INSERT (the view record when asked for, the level
// marks), else loose into model space. False when nothing was added to the
// drawing; a loose view broken off is erased again.
bool WriteView(CSezione& section, bool fit, bool withViewRecord);

// Fills the face set, box and level marks (and with hidden lines the face
// groups and shadows); sets the abort flag on a cancelled selection or a
// user break.
void CollectViewObjects(CSezione& section, std::uint8_t selectMode);
// One 3DFACE, placed by the transform, cut at the section plane.
void CollectViewFace(CSezione& section, const ZcDbFace* face, const Matrix4& placement);
// The faces, lines and hatches of a block reference's contents, nested
// references placed by their parents' transforms.
void CollectBlockObjects(CSezione& section, const ZcDbBlockReference* insert, const Matrix4* parent);
// One section hatch along the ring, into the named block or, with an empty
// name, model space; nothing for a ring of fewer than two points or a hatch
// the host cannot evaluate.
void AddViewHatch(const std::string& blockName, const VertexNode* ring, const std::string& layer,
                  const std::string& pattern, double scale, double angleDegrees);
