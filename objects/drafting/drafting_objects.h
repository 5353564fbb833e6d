// The object library's side of the walls' drafting doors: an opening
// definition written by the wall-hole command placed as its file says, and
// the block of a grid label drawn with the grid's variables.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "walls/drafting/drafting_hooks.h"

void RunDraftingScriptObject(const std::string& definition);
std::optional<LabelBlock> BuildDraftingLabelBlock(const std::string& definition,
                                                  const std::vector<LabelVariable>& vars, const Point3& at);
