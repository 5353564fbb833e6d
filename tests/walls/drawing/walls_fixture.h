// A new drawing with the module loaded and its default wall options
// (centre alignment, 30 thick, trimming on, floor 0), and readers of the
// wall faces drawn.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "host/util/adscodes.h"
#include "host/util/resbuf.h"
#include "tests/support/velm_test.h"

constexpr const char* kWallLayer = "VELM2DWALLS$0";

struct FaceLine {
    Point3 start, end;
    std::string wallType;  // the "VELM5$_$DATITIPOMURO-" record, empty without it
};

class WallsTest : public VelmTest {
public:
    // Calls `each` on every entity an "X" selection with `filter` finds;
    // the filter is freed.
    static void ForEachSelected(resbuf* filter, const std::function<void(const ads_name)>& each);

protected:
    void SetUp() override;

    // Every LINE (or ARC) of the drawing on the layer.
    static std::vector<FaceLine> Lines(const std::string& layer = kWallLayer);
    static int Arcs(const std::string& layer = kWallLayer);
    // A wall LINE as another command left it, with a wall-type record.
    static void WallLine(Point3 a, Point3 b, const char* wallType = "Ściana ogólna",
                         const char* layer = kWallLayer);
    static void SetReal(int slot, double value);
    static void SetInt(int slot, short value);
    static double Real(int slot);
    // Whether a line with these ends (either way round) is there.
    static bool HasLine(const std::vector<FaceLine>& lines, Point3 a, Point3 b);
};
