// The extents of one entity without its geometry list, against the extents
// of the list: saving writes the model's extents into the header, so the
// two must agree to the bit (signed zeros included) or a saved file changes.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <random>
#include <string>

#include "host/db/dbents.h"
#include "host/db/dbgeom.h"
#include "host/db/dbmain.h"
#include "host/db/dbpoly.h"

namespace {

bool SameBits(const ZcGePoint3d& a, const ZcGePoint3d& b) {
    for (int i = 0; i < 3; ++i)
        if (std::bit_cast<std::uint64_t>(a[i]) != std::bit_cast<std::uint64_t>(b[i])) return false;
    return true;
}

// Coordinates and directions where the rounding is awkward: zeros of
// either sign, whole numbers, long fractions, the axes and slanted normals.
struct Shapes {
    std::mt19937_64 rng{31};
    double coordinate() {
        switch (rng() % 5) {
            case 0:
                return rng() % 2 ? 0.0 : -0.0;
            case 1:
                return static_cast<double>(static_cast<int>(rng() % 2001) - 1000);
            default:
                return std::uniform_real_distribution<double>(-1e4, 1e4)(rng);
        }
    }
    double angle() {
        return rng() % 3 == 0 ? std::numbers::pi / 2 * static_cast<double>(rng() % 5)
                              : std::uniform_real_distribution<double>(-7.0, 7.0)(rng);
    }
    ZcGeVector3d normal() {
        switch (rng() % 4) {
            case 0:
                return {0, 0, 1};
            case 1:
                return {0, 0, -1};
            case 2:
                return {0.0, -0.0, 1.0};
            default:
                return {coordinate() / 1e4, coordinate() / 1e4, 0.1 + std::fabs(coordinate()) / 1e4};
        }
    }
    ZcGePoint3d point() { return {coordinate(), coordinate(), coordinate()}; }

    std::unique_ptr<ZcDbEntity> entity() {
        switch (rng() % 5) {
            case 0:
                return std::make_unique<ZcDbLine>(point(), point());
            case 1:
                return std::make_unique<ZcDbCircle>(point(), normal(), 0.001 + std::fabs(coordinate()));
            case 2:
                return std::make_unique<ZcDbArc>(point(), normal(), 0.001 + std::fabs(coordinate()), angle(),
                                                 angle());
            case 3: {
                auto text = std::make_unique<ZcDbText>(point(), rng() % 4 ? "pokój 12" : "",
                                                       0.1 + std::fabs(coordinate()) / 100, angle());
                text->setNormal(normal());
                return text;
            }
            default: {  // a kind with no path of its own
                auto pl = std::make_unique<ZcDbPolyline>();
                for (unsigned i = 0; i < 2 + rng() % 4; ++i)
                    pl->addVertexAt(i, ZcGePoint2d(coordinate(), coordinate()), rng() % 2 ? 0.0 : 0.5);
                return pl;
            }
        }
    }
};

}  // namespace

TEST(DbExtents, one_entity_without_its_geometry_list_has_the_extents_of_the_list) {
    Shapes shapes;
    ZcDbGeometry scratch, listed;
    for (int i = 0; i < 50000; ++i) {
        const std::unique_ptr<ZcDbEntity> ent = shapes.entity();
        listed.clear();
        zcdbEntityGeometry(ent.get(), listed);
        const ZcDbExtents3d expected = zcdbGeomExtents(listed);
        const ZcDbExtents3d got = zcdbEntityExtents(ent.get(), scratch);
        ASSERT_TRUE(SameBits(got.min, expected.min) && SameBits(got.max, expected.max))
            << "entity " << i << " " << ent->isA()->name();
    }
}
