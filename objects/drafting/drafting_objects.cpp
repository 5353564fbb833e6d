// The object library as the drafting commands use it (see the header).
#include "objects/drafting/drafting_objects.h"

#include <memory>

#include "objects/language/obj_context.h"
#include "objects/language/obj_var.h"
#include "objects/placement/insert_run.h"

void RunScriptObject(const std::string& definition) {
    std::unique_ptr<ObjContext> context = NewObjContext(definition);
    if (!context) return;
    context->skipParamInput = 1;
    context->runMode = 0;
    InitObjVariables(*context);
    InsertParamObject(*context, nullptr, nullptr, 1);
    FreeObjContext(std::move(context));
}

std::optional<LabelBlock> BuildLabelBlock(const std::string& definition,
                                          const std::vector<LabelVariable>& vars, const Point3& at) {
    std::unique_ptr<ObjContext> context = NewObjContext(definition);
    if (!context) return std::nullopt;
    context->skipParamInput = 1;
    context->runMode = 0;
    InitObjVariables(*context);
    for (const LabelVariable& v : vars)
        SetObjVar(v.number, kVarFixed, 0, v.isText ? u'S' : u'R', "", v.value, v.text, 0, 0, context->vars);
    context->insertionPoint[0] = at.x;
    context->insertionPoint[1] = at.y;
    context->insertionPoint[2] = at.z;
    InsertParamObject(*context, nullptr, nullptr, 1);
    std::optional<LabelBlock> block;
    if (!context->blockName.empty()) {
        block.emplace();
        block->blockName = context->blockName;
        block->layer = context->insertLayer;
        for (int i = 0; i < 3; ++i) block->scale[i] = context->scale[i];
        for (const AttdefRecord& a : context->attdefs) {
            LabelAttribute attribute;
            attribute.tag = a.tag;
            attribute.value = a.defaultValue;
            attribute.layer = a.layer;
            attribute.style = a.style;
            attribute.height = a.height;
            attribute.dx = a.point[0];
            attribute.dy = a.point[1];
            attribute.rotation = a.rotation;
            attribute.flags = a.flags;
            attribute.justification = a.justification;
            block->attributes.push_back(attribute);
        }
    }
    FreeObjContext(std::move(context));
    return block;
}
