// The generated model of the view benchmarks: storeys of rooms in world
// coordinates, each room two walls and a slab as boxes of quads, and the
// frame they are seen in, from the south-west and above.
#pragma once

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "core/geometry/matrix4.h"

namespace bench_views {

struct Quad {
    Point3 c[4];
    std::string layer;
};

inline constexpr double kRoom = 400.0, kWall = 30.0, kStorey = 300.0, kSlab = 20.0;

inline void Box(std::vector<Quad>& out, double x0, double y0, double z0, double x1, double y1, double z1,
                const std::string& layer) {
    const Point3 p[8] = {{x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0},
                         {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}};
    static const int kSides[4][4] = {{0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
    for (const auto& s : kSides) out.push_back({{p[s[0]], p[s[1]], p[s[2]], p[s[3]]}, layer});
    out.push_back({{p[4], p[5], p[6], p[7]}, layer});
    out.push_back({{p[0], p[3], p[2], p[1]}, layer});
}

// About `faces` faces in three storeys: per room two walls of six quads
// each (four sides, top and bottom) and a slab of six; the rooms in a
// square block, or in a row four deep along x. The layers are the prefix
// followed by "3DWALLS$" or "3DSLAB$" and the storey's height.
inline std::vector<Quad> Storeys(int faces, bool row, const std::string& prefix) {
    const int storeys = 3;
    const int rooms = std::max(1, faces / (18 * storeys));
    const int cols =
        row ? std::max(1, rooms / 4) : std::max(1, static_cast<int>(std::sqrt(static_cast<double>(rooms))));
    const int rows = std::max(1, rooms / cols);
    std::vector<Quad> out;
    for (int s = 0; s < storeys; ++s) {
        const double z = s * kStorey;
        const std::string walls = prefix + "3DWALLS$" + std::to_string(static_cast<int>(z));
        const std::string slabs = prefix + "3DSLAB$" + std::to_string(static_cast<int>(z));
        for (int i = 0; i < cols; ++i)
            for (int j = 0; j < rows; ++j) {
                const double x = i * kRoom, y = j * kRoom;
                Box(out, x, y, z + kSlab, x + kRoom, y + kWall, z + kStorey, walls);
                Box(out, x, y + kWall, z + kSlab, x + kWall, y + kRoom, z + kStorey, walls);
                Box(out, x, y, z, x + kRoom, y + kRoom, z + kSlab, slabs);
            }
    }
    return out;
}

// Seen from the south-west and above: x to the right, y up, z away.
inline Matrix4 ViewFrame() {
    const double a = 35.0 * 3.14159265358979 / 180.0, t = 25.0 * 3.14159265358979 / 180.0;
    Matrix4 turn, tilt, frame;
    SetIdentity4(turn);
    SetIdentity4(tilt);
    // Plan turned so that the south-west corner faces the viewer.
    turn.m[0][0] = std::cos(a), turn.m[0][1] = std::sin(a);
    turn.m[1][0] = -std::sin(a), turn.m[1][1] = std::cos(a);
    // Looking north and down by t: up tilts towards the north, and the
    // depth grows northwards and downwards.
    tilt.m[0][0] = 1.0;
    tilt.m[1][0] = 0.0, tilt.m[1][1] = std::sin(t), tilt.m[1][2] = std::cos(t);
    tilt.m[2][0] = 0.0, tilt.m[2][1] = std::cos(t), tilt.m[2][2] = -std::sin(t);
    tilt.m[2][3] = 1000.0;
    MultiplyMatrix4(tilt, turn, frame);
    return frame;
}

}  // namespace bench_views
