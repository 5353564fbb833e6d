// The floor the wall-graph and room benchmarks share: cols x rows rooms
// drawn as wall faces 30 thick on their axes, each room with a door in its
// bottom wall. Each benchmark writes its own door (its outline, and the
// records it needs) through the callback.
#pragma once

#include <initializer_list>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "walls/graph/outline_record.h"

namespace roomgrid {

inline constexpr double kRoomX = 400.0, kRoomY = 300.0, kHalf = 15.0;
inline constexpr double kDoorFrom = 150.0, kDoorTo = 240.0;

inline void Make(resbuf* list) {
    zcdbEntMake(list);
    zcutRelRb(list);
}

inline void Wall(double x1, double y1, double x2, double y2) {
    const ads_point a = {x1, y1, 0}, b = {x2, y2, 0};
    Make(zcutBuildList(RTDXF0, "LINE", 8, "VELM2DWALLS$0", 10, a, 11, b, -3, 1001, "VELM5$_$DATITIPOMURO-",
                       1000, "Mur 30", 1070, 0, 0));
}

// A horizontal wall face from x1 to x2 at y, interrupted by the doors whose
// jambs start at the given x positions.
inline void FaceWithDoors(double x1, double x2, double y, std::initializer_list<double> doors) {
    double from = x1;
    for (double d : doors) {
        Wall(from, y, d + kDoorFrom, y);
        from = d + kDoorTo;
    }
    Wall(from, y, x2, y);
}

// The door of the room at (x0, y0): its outline's base point and jambs.
struct DoorPoints {
    ads_point base, a1, a2, b1, b2;
    DoorPoints(double x0, double y0)
        : base{x0 + (kDoorFrom + kDoorTo) / 2, y0, 0},
          a1{x0 + kDoorFrom, y0 + kHalf, 0},
          a2{x0 + kDoorFrom, y0 - kHalf, 0},
          b1{x0 + kDoorTo, y0 + kHalf, 0},
          b2{x0 + kDoorTo, y0 - kHalf, 0} {}
};

// cols x rows rooms; every room has a door in its bottom wall.
template <class DoorWriter>
void DrawGrid(int cols, int rows, DoorWriter&& door) {
    zcdbRegApp("VELM5$_$DATITIPOMURO-");
    zcdbRegApp(kTag3DiStrApp);
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < cols; ++i) {
            const double x0 = i * kRoomX, y0 = j * kRoomY;
            const double l = x0 + kHalf, r = x0 + kRoomX - kHalf, b = y0 + kHalf, t = y0 + kRoomY - kHalf;
            FaceWithDoors(l, r, b, {x0});
            if (j + 1 < rows)
                FaceWithDoors(l, r, t, {x0});
            else
                Wall(l, t, r, t);
            Wall(l, b, l, t);
            Wall(r, b, r, t);
            door(x0, y0);
            // The outer faces of the house, one line per room side.
            if (j == 0)
                FaceWithDoors(x0 - (i == 0 ? kHalf : 0), x0 + kRoomX + (i + 1 == cols ? kHalf : 0), -kHalf,
                              {x0});
            if (j + 1 == rows)
                Wall(x0 - (i == 0 ? kHalf : 0), rows * kRoomY + kHalf,
                     x0 + kRoomX + (i + 1 == cols ? kHalf : 0), rows * kRoomY + kHalf);
            if (i == 0)
                Wall(-kHalf, y0 - (j == 0 ? kHalf : 0), -kHalf, y0 + kRoomY + (j + 1 == rows ? kHalf : 0));
            if (i + 1 == cols)
                Wall(cols * kRoomX + kHalf, y0 - (j == 0 ? kHalf : 0), cols * kRoomX + kHalf,
                     y0 + kRoomY + (j + 1 == rows ? kHalf : 0));
        }
    }
}

}  // namespace roomgrid
