// "VELMOBJECTCL": the parts of inserted objects that lie on one layer moved
// to another. A plain block is changed in its definition, so every insert
// of it follows; a parametric object keeps the change as a layer
// substitution in its own xdata ("VELM11CAD$_$CAMBIOLAYER-": pairs of the
// definition's layer and the layer used instead) and is regenerated, so the
// change outlives every later regeneration.
#pragma once

#include <string>

#include "host/util/adscodes.h"

inline constexpr const char* kLayerChangeApp = "VELM11CAD$_$CAMBIOLAYER-";

// Records on a parametric object that its parts now on `oldLayer` go to
// `newLayer`: an existing pair that led to `oldLayer` is redirected, or
// dropped when it would lead back to its own layer; otherwise the pair
// (old, new) goes first.
void SetLayerChange(const ads_name entity, const std::string& oldLayer, const std::string& newLayer);

// Moves the parts on `oldLayer` of the INSERT's block definition (and those
// of block references one level down) to `newLayer`, made when missing.
void ChangeLayerInBlock(const ads_name entity, const std::string& oldLayer, const std::string& newLayer);

// "VELMOBJECTCL"
void CmdObjectChangeLayer();
