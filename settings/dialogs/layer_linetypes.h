// Layer attributes from the layer catalogue applied to the drawing's
// layers: LoadLayerLinetypes sets colour, linetype, line weight and the off
// state of named layers, loading missing linetypes from the host's linetype
// file "zwcad.lin" first; a drawing that changed is regenerated.
//
// Catalogue values that no layer can take are skipped rather than written:
// colours outside 1-255 (by-layer 256, by-block 0) and the line weights
// by-layer (-1) and by-block (-2).
#pragma once

#include <string>

#include "core/layer_catalogue.h"

class ZcDbDatabase;
class ZcDbLayerTableRecord;

// Loads the linetype `name` (letter case ignored) from "zwcad.lin" found on
// the support search path into the drawing; true when the drawing holds it
// afterwards.
bool LoadLinetypeFromLin(ZcDbDatabase* db, const std::string& name);
// The linetype definition in linetype file lines: its comment and dashes;
// false when the file has no such linetype.
bool FindLinetypeDefinition(const std::vector<std::string>& lines, const std::string& name,
                            std::string& comments, std::vector<double>& dashes);

// Sets what of a catalogue colour and line weight a layer can take.
void ApplyLayerColour(ZcDbLayerTableRecord& layer, int colourIndex);
void ApplyLayerLineWeight(ZcDbLayerTableRecord& layer, int lineWeight);

void LoadLayerLinetypes(const LayerAttrEntry* first);
