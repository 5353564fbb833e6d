#include "walls/drafting/drafting_hooks.h"

#include <utility>

#include "host/util/adscodes.h"

namespace {

struct DraftingDoors {
    ClosedOutlinePicker picker;
    ScriptObjectRunner runner;
    LabelBlockBuilder labels;
    LibraryFileFinder finder;
};

DraftingDoors& Doors() {
    static DraftingDoors doors;
    return doors;
}

}  // namespace

void SetClosedOutlinePicker(ClosedOutlinePicker picker) {
    Doors().picker = std::move(picker);
}

VertexNode* PickClosedOutline(int& status, const char* prompt) {
    if (!Doors().picker) {
        status = 1;
        return nullptr;
    }
    return Doors().picker(status, prompt);
}

void SetObjectLibraryDoors(ScriptObjectRunner runner, LabelBlockBuilder labels) {
    Doors().runner = std::move(runner);
    Doors().labels = std::move(labels);
}

void RunScriptObject(const std::string& definition) {
    if (Doors().runner) Doors().runner(definition);
}

std::optional<LabelBlock> BuildLabelBlock(const std::string& definition,
                                          const std::vector<LabelVariable>& vars, const Point3& at) {
    if (!Doors().labels) return std::nullopt;
    return Doors().labels(definition, vars, at);
}

void SetLibraryFileFinder(LibraryFileFinder finder) {
    Doors().finder = std::move(finder);
}

int FindDraftingLibraryFile(const std::string& name, std::string& fullPath) {
    return Doors().finder ? Doors().finder(name, fullPath) : RTERROR;
}
