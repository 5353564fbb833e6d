// The preference pages' doors to the folders above settings. Each is set by
// its owner's registration unit; while one is unset its call does nothing
// (the name mapping gives the name back unchanged).
#pragma once

#include <functional>
#include <string>

// The 3D wall faces of the level at `elevation` made again for the floor's
// height and edge-view mode.
using Regen3DWallsOfLevelHook = std::function<void(double elevation, double height, int edgeMode)>;
void SetRegen3DWallsOfLevelHook(Regen3DWallsOfLevelHook hook);
void RegenerateWallsOfLevel(double elevation, double height, int edgeMode);

// The enlarged view of one slide bitmap (the room card preview).
using SlideDialogHook = std::function<void(const std::string& imageName)>;
void SetSlideDialogHook(SlideDialogHook hook);
void ShowSlideDialog(const std::string& imageName);

// The current name of a room card for an old one; other names unchanged.
using LabelTemplateNameHook = std::function<std::string(const std::string& name)>;
void SetLabelTemplateNameHook(LabelTemplateNameHook hook);
std::string MappedLabelTemplateName(const std::string& name);
