// The doors from the drafting commands to the slab code and the object
// library, which lie above the walls: the pick of a closed outline, the run
// of an object definition written for one opening, the block of a
// parametric label built with the caller's variables, and the search of a
// file in the library folders. The owners'
// registrations set them; while one is unset its call finds nothing (no
// outline, no object, no label, no file).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "core/geometry/vertex_list.h"

// status 1 while the pick runs, 0 after a cancel; a null list with status 1
// is a failed pick.
using ClosedOutlinePicker = std::function<VertexNode*(int& status, const char* prompt)>;
void SetClosedOutlinePicker(ClosedOutlinePicker picker);
VertexNode* PickClosedOutline(int& status, const char* prompt);

// Places the object of that definition as its file says, without the
// parameter dialog.
using ScriptObjectRunner = std::function<void(const std::string& definition)>;

// One variable handed to a label definition: a real or a text.
struct LabelVariable {
    int number = 0;
    bool isText = false;
    double value = 0.0;
    std::string text;
};
// An attribute definition of a label block, its offset from the insertion
// point and the text style's factors already looked up.
struct LabelAttribute {
    std::string tag, value, layer, style;
    double height = 0.0, dx = 0.0, dy = 0.0, rotation = 0.0;
    double widthFactor = 1.0, oblique = 0.0;
    int flags = 0, justification = 0;
};
struct LabelBlock {
    std::string blockName, layer;
    double scale[3]{1.0, 1.0, 1.0};
    std::vector<LabelAttribute> attributes;
};
// The block drawn for a label definition at `at`; empty when the definition
// is missing or drew nothing.
using LabelBlockBuilder = std::function<std::optional<LabelBlock>(
    const std::string& definition, const std::vector<LabelVariable>& vars, const Point3& at)>;

void SetObjectLibraryDoors(ScriptObjectRunner runner, LabelBlockBuilder labels);
void RunScriptObject(const std::string& definition);
std::optional<LabelBlock> BuildLabelBlock(const std::string& definition,
                                          const std::vector<LabelVariable>& vars, const Point3& at);

// RTNORM and the full path of a file found in the library folders, then on
// the search path; the host's status otherwise.
using LibraryFileFinder = std::function<int(const std::string& name, std::string& fullPath)>;
void SetLibraryFileFinder(LibraryFileFinder finder);
int FindDraftingLibraryFile(const std::string& name, std::string& fullPath);
