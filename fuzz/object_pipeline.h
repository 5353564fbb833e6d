// The run of one object definition as the placing code makes it once the
// position is known, shared by the fuzz targets of the definition language
// and of the templates: the definition and its includes loaded, the VAR
// section read and computed, every data and geometry section read, the DRAW
// section run into a block and the insert with its records made.
#pragma once

#include <memory>
#include <string>

#include "core/layer_catalogue.h"
#include "objects/draw/draw_runner.h"
#include "objects/language/obj_args.h"
#include "objects/language/obj_context.h"
#include "objects/language/obj_data.h"
#include "objects/language/obj_expr.h"
#include "objects/language/obj_geometry.h"
#include "objects/language/obj_records.h"
#include "store/settings_store.h"

namespace fuzz {

// The shipped layer catalogue, read once.
inline const AAR_LAYERC& ShippedLayers() {
    static const AAR_LAYERC layers = [] {
        AAR_LAYERC table;
        table.ReadLayerDefPath(std::string(VELM_SOURCE_DIR) + "/support/LAYERC.DEF");
        return table;
    }();
    return layers;
}

inline void RunDefinitionSections(ObjContext& c, const AAR_LAYERC& layers) {
    const double unit = DrawingUnitFactor();
    if (LoadObjFile(c, c.objectName) != 1 || ReadVarSection(true, c) != 0) return;
    ReadInsertionType(c);
    if (ReadTypoSection(c) < 0) return;
    if (EvaluateComputedVars(c.vars, unit) != 1) return;
    if (ReadFixpSection(c, false) < 0 || ReadDragSection(c) < 0) return;
    if (EvaluateComputedVars(c.vars, unit) != 1) return;
    int (*const readers[])(ObjContext&) = {&ReadIslandHSection,   &ReadComSection,      &ReadTabelleSection,
                                           &ReadCutSection,       &ReadPoligSection,    &ReadPoligDedSection,
                                           &ReadSt3dPlaneSection, &ReadHandStairSection};
    for (auto read : readers)
        if (read(c) < 0) return;
    if (!FindSection("DRAW", *c.text, true)) return;
    std::string layer = ReadTextLine(*c.text, 258, true).value_or("");
    while (!layer.empty() && (layer.back() == '\r' || layer.back() == ' ')) layer.pop_back();
    PrepareStatementLayer(false, layer, &c, layers, false, 0.0);
    c.insertLayer = layer;
    if (RunDrawBlock(c, layers) < 0 || c.blockName.empty()) return;
    ads_name insert{0, 0};
    AttachParamXdata(c, insert);
}

// Runs the definition `name` found on the support path. With
// `callerValues`, variables 40 to 99 are given first, as the room and
// schedule code give a label's or a row's values (79 to 84 texts, the rest
// numbers).
inline void RunDefinition(const std::string& name, bool callerValues = false) {
    std::unique_ptr<ObjContext> c = NewObjContext(name);
    c->positionFixed = 1;
    InitObjVariables(*c);
    if (callerValues)
        for (int n = 40; n < 100; ++n) {
            const bool text = n >= 79 && n <= 84;
            SetObjVar(n, 0, 0, text ? u'S' : u'R', "", text ? 0.0 : 1.0, text ? "DOORS" : "", 0, 0, c->vars);
        }
    RunDefinitionSections(*c, ShippedLayers());
    FreeObjContext(std::move(c));
}

}  // namespace fuzz
