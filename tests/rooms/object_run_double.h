// A stand-in for the object library's insertion run until the library's own
// is set into the hook: it loads the definition, applies the parameter set
// the test names, evaluates the computed variables and runs the DRAW
// section into a block with the library's real runner. A table (option
// flag clear) is placed at the point the test gives and written with the
// library's records, as the real run does; rows and totals are left to
// their callers. Rebuilding a placed object only counts the calls.
#pragma once

#include <string>
#include <vector>

#include "core/layer_catalogue.h"
#include "host/ads/adsent.h"
#include "objects/draw/draw_runner.h"
#include "objects/language/obj_data.h"
#include "objects/language/obj_expr.h"
#include "objects/language/obj_records.h"
#include "objects/language/obj_text.h"
#include "rooms/object_run.h"
#include "store/settings_store.h"

struct ObjectRunDouble {
    static inline std::string paramSet;      // TYPO set chosen by the "user"
    static inline Point3 tablePoint{};       // point the "user" gives a table
    static inline bool makeNothing = false;  // every run fails to make a block
    static inline std::vector<std::string> insertedNames;
    static inline int regenCalls = 0;

    static void install() {
        paramSet.clear();
        tablePoint = {};
        makeNothing = false;
        insertedNames.clear();
        regenCalls = 0;
        SetObjectRunHook({&Insert, &Place, &Regen});
    }
    static void uninstall() { SetObjectRunHook({}); }

    static int Draw(ObjContext& c) {
        if (makeNothing || !c.text) return RTERROR;
        const double level = c.elevation;
        ReadInsertionType(c);
        c.elevation = level;
        EvaluateComputedVars(c.vars, DrawingUnitFactor());
        if (!FindSection("DRAW", *c.text, true)) return RTERROR;
        AAR_LAYERC catalogue;
        catalogue.ReadLayerDefFile("LAYERC.DEF");
        return RunDrawBlock(c, catalogue) > 0 ? RTNORM : RTERROR;
    }

    static int Place(ObjContext& c) { return Draw(c); }

    static int Insert(ObjContext& c, int, Point3* preset) {
        if (preset) preset->z = c.insertionPoint[2];
        insertedNames.push_back(c.objectName);
        if (makeNothing) return RTERROR;
        const double level = c.elevation;
        if (LoadObjFile(c, c.objectName) != 1 || ReadVarSection(true, c) != 0) return RTERROR;
        ReadTypoSection(c);
        for (const ObjParamSet& set : c.paramSets)
            if (set.name == paramSet) {
                c.paramSetName = set.name;
                for (const auto& v : set.vars)
                    SetObjVar(v->number, kVarParameter, 1, v->type, v->description, v->value, v->text, 0, 0,
                              c.vars);
            }
        c.elevation = level;
        if (Draw(c) != RTNORM) {
            c.blockName.clear();
            return RTERROR;
        }
        // Only tables are written by the run; labels, cards, rows and totals
        // by their callers.
        if (c.option2 || c.insertionType != InsertionType::OpeningSchedule) return RTNORM;
        c.insertionPoint[0] = tablePoint.x;
        c.insertionPoint[1] = tablePoint.y;
        c.insertionPoint[2] = tablePoint.z;
        AAR_LAYERC catalogue;
        catalogue.ReadLayerDefFile("LAYERC.DEF");
        c.insertLayer = "2DABCDATA";
        EnsureLayer(c.insertLayer, catalogue, true, level, false);
        ads_name made;
        return AttachParamXdata(c, made) == 1 ? RTNORM : RTERROR;
    }

    static int Regen(const ads_name, const AAR_LAYERC&) {
        ++regenCalls;
        return RTNORM;
    }
};
