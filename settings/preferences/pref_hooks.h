// The preference pages' doors to the folders above settings: what they
// call belongs to the 3D model and the room labels, which build on the
// settings, so the call runs upward and each owner's registration unit sets
// its door. A door called while unset stops the module (`VELM_ASSERT`).
#pragma once

#include <functional>
#include <string>

// The 3D wall faces of the level at `elevation` made again for the floor's
// height and edge-view mode.
using Regen3DWallsOfLevelHook = std::function<void(double elevation, double height, int edgeMode)>;
void SetRegen3DWallsOfLevelHook(Regen3DWallsOfLevelHook hook);
void RegenerateWallsOfLevel(double elevation, double height, int edgeMode);

// The current name of a room card for an old one; other names unchanged.
using LabelTemplateNameHook = std::function<std::string(const std::string& name)>;
void SetLabelTemplateNameHook(LabelTemplateNameHook hook);
std::string MappedLabelTemplateName(const std::string& name);
