// A placed object's records read back group by group: a definition read
// through its sections as the insertion run reads it, attached at a fixed
// point and rotation, and its xdata written out as "code value" lines.
#pragma once

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "objects/language/obj_data.h"
#include "objects/language/obj_expr.h"
#include "objects/language/obj_geometry.h"
#include "objects/language/obj_records.h"
#include "tests/objects/draw/draw_fixture.h"

using Lines = std::vector<std::string>;

inline double Clean(double v) {
    return std::abs(v) < 1e-9 ? 0.0 : v;
}

inline std::string GroupLine(const resbuf* rb) {
    char buf[200];
    const int code = rb->restype;
    if (code == 1070)
        std::snprintf(buf, sizeof buf, "%d %d", code, rb->resval.rint);
    else if (code == 1040)
        std::snprintf(buf, sizeof buf, "%d %g", code, Clean(rb->resval.rreal));
    else if (code == 1010 || code == 1011)
        std::snprintf(buf, sizeof buf, "%d %g,%g,%g", code, Clean(rb->resval.rpoint[0]),
                      Clean(rb->resval.rpoint[1]), Clean(rb->resval.rpoint[2]));
    else
        std::snprintf(buf, sizeof buf, "%d %s", code, rb->resval.rstring ? rb->resval.rstring : "");
    return buf;
}

// The groups of one record, its 1001 line first; empty when absent.
inline Lines RecordLines(const resbuf* list, const char* app) {
    Lines out;
    const resbuf* rb = FindXDataApp(list, app);
    if (!rb) return out;
    out.push_back(GroupLine(rb));
    for (rb = rb->rbnext; rb && rb->restype != 1001; rb = rb->rbnext) out.push_back(GroupLine(rb));
    return out;
}

// Every xdata group of a list, from its first 1001.
inline Lines AllXdataLines(const resbuf* list) {
    Lines out;
    for (; list && list->restype != 1001; list = list->rbnext) {
    }
    for (; list; list = list->rbnext) out.push_back(GroupLine(list));
    return out;
}

class ObjRecords : public DrawSection {
protected:
    static constexpr double kHalfPi = 1.5707963267948966;

    // Reads every section of the definition `name` (written from `text`
    // when given) and runs its DRAW section; `predefined`: with the
    // variables the insertion run defines first.
    ObjContext& prepared(const std::string& name, const std::string& text = "", bool predefined = true) {
        if (!text.empty()) write(name + ".txt", text);
        contexts.push_back(NewObjContext(name));
        ObjContext& c = *contexts.back();
        if (predefined) InitObjVariables(c);
        SetCallerVariables(name, c.vars);
        if (name == "LUC1") SetObjVar(23, kVarFixed, 0, u'R', "", 250.0, "", 0, 0, c.vars);
        EXPECT_EQ(LoadObjFile(c, name), 1) << name;
        EXPECT_EQ(ReadVarSection(true, c), 0) << name;
        ReadInsertionType(c);
        EXPECT_EQ(EvaluateComputedVars(c.vars, DrawingUnitFactor()), 1) << name;
        EXPECT_EQ(ReadTypoSection(c), 1) << name;
        EXPECT_EQ(ReadFixpSection(c, true), 1) << name;
        EXPECT_EQ(ReadDragSection(c), 1) << name;
        EXPECT_EQ(ReadCutSection(c), 1) << name;
        EXPECT_EQ(ReadPoligSection(c), 1) << name;
        EXPECT_EQ(ReadPoligDedSection(c), 1) << name;
        EXPECT_EQ(ReadIslandHSection(c), 1) << name;
        EXPECT_EQ(ReadSt3dPlaneSection(c), 1) << name;
        EXPECT_EQ(ReadComSection(c), 1) << name;
        EXPECT_EQ(ReadTabelleSection(c), 1) << name;
        EXPECT_EQ(ReadHandStairSection(c), 1) << name;
        if (c.insertionType == InsertionType::StairBalustrade ||
            c.insertionType == InsertionType::HandrailCorner) {
            EXPECT_GE(ReadHandRailSection(c), 0) << name;
        }
        EXPECT_TRUE(FindSection("DRAW", *c.text, true)) << name;
        ReadTextLine(*c.text, 258, false);
        c.insertLayer = "0";
        EXPECT_GT(RunDrawBlock(c, catalogue), 0) << name;
        return c;
    }

    static void placeAt(ObjContext& c, double x, double y, double rotation) {
        c.insertionPoint[0] = x;
        c.insertionPoint[1] = y;
        c.insertionPoint[2] = 0.0;
        c.rotation = rotation;
    }

    static Groups xdataOf(const ads_name e) {
        resbuf* apps = zcutBuildList(RTSTR, "*", 0);
        resbuf* list = zcdbEntGetX(e, apps);
        zcutRelRb(apps);
        return Groups(list);
    }
};
