// The last pass of a view: the visible segments are merged, cleaned of
// overlaps (the nearer of two segments in one place wins, a cut edge over
// an ordinary one), gathered into the closed outlines of the cut walls for
// the section hatch, mapped onto the sheet (real size, or fitted into the
// window from the lower-left point to the corner point) and written as
// LINEs: cut edges on "VELMSECTION_SEC", others on "VELMSECTION", shadow
// outlines on the second shade layer, a stepped section's break line on
// "VELMSECTION_BRK". A colour below 0 marks a cut edge throughout.
#pragma once

class CSezione;

inline constexpr const char* kSectionLayer = "VELMSECTION";
inline constexpr const char* kSectionCutLayer = "VELMSECTION_SEC";
inline constexpr const char* kSectionBreakLayer = "VELMSECTION_BRK";

// Writes the section segment list (which it consumes) into the current
// output: the block being defined, or model space with the direct-output
// flag. Sets the output flag when a line is written, the abort flag on a
// user break; the wall outlines are left in the section object, mapped.
void SectionWalls(CSezione& section, bool fit);
