// Stair paths of the shapes users draw, generated rather than chosen:
// straight runs, L and U turns, landings of one to three segments turning
// at right and other angles, winders, flights of any length, mirrored.
// Each path is drawn twice with the path jig: once kept as model lines, to
// count the step lines, and once built. The built stair must be whole:
// every step line a riser, treads and landings under the whole path, its
// top at the floor height, its plan along the whole path. A path that
// cannot be built must be refused with a message and a failed command,
// and leave the drawing empty. Never a part of a stair and success.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/entity_data.h"
#include "host/ads/rbutil.h"
#include "host/db/dbents.h"
#include "host/ui/driver.h"
#include "stairs/commands/stair_commands.h"
#include "stairs/stair_model.h"
#include "stairs/stair_record.h"
#include "tests/visual/section_judge.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kFloor = 300.0;

struct PathPiece {
    enum Kind { kFlight, kLanding, kWinder } kind;
    Point3 from, to, through;  // `through`: a winder's middle point
};

struct StairPath {
    double width = 110.0;
    double step = 30.0;
    std::vector<PathPiece> pieces;
    bool plain = true;  // no piece shorter than the width, no sharp turn
    std::vector<std::string> answers;
    std::string text;
};

std::string At(const Point3& p) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.4f,%.4f", p.x, p.y);
    return buffer;
}

// A path from the origin: a first flight, then one or two groups, each a
// landing of one to three segments or a winder, followed by a flight.
StairPath MakePath(std::mt19937& random) {
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto uniform = [&random](double a, double b) {
        return a + (b - a) * static_cast<double>(random() % 10000) / 10000.0;
    };
    StairPath path;
    const double widths[] = {90.0, 100.0, 110.0, 120.0};
    const double steps[] = {25.0, 28.0, 30.0};
    path.width = widths[pick(4)];
    path.step = steps[pick(3)];
    const double mirror = pick(2) ? 1.0 : -1.0;
    double heading = (kPi / 2.0) * pick(4) + (pick(4) == 0 ? 0.4 : 0.0);
    Point3 at{0.0, 0.0, 0.0};
    auto flight = [&] {
        const double length = path.step * (2 + pick(6)) + (pick(2) ? uniform(0.0, path.step) : 0.0);
        // Past a turn, a last flight no longer than half the width has no
        // inner side and so no steps: such a stair is refused.
        if (!path.pieces.empty() && length < path.width) {
            const PathPiece& before = path.pieces.back();
            const double direction =
                before.kind == PathPiece::kWinder ? heading : AngleTo(before.from, before.to);
            if (std::fabs(std::remainder(direction - heading, 2.0 * kPi)) > 1e-6) path.plain = false;
        }
        const Point3 to = PolarPoint(at, heading, length);
        path.pieces.push_back({PathPiece::kFlight, at, to, {}});
        at = to;
    };
    // A landing turned through its middle: a quarter turn over a square
    // landing, or a half turn over one twice as long or longer, as the
    // centre line of the flights meets it. Without a well between the
    // flights of a half turn, their inner sides run over each other.
    auto throughMiddle = [&] {
        const int turns = 1 + pick(2);
        const double well = turns == 2 && pick(2) ? uniform(5.0, 40.0) : 0.0;
        if (turns == 2 && well == 0.0) path.plain = false;
        const double lengths[3] = {path.width / 2.0, turns == 1 ? path.width / 2.0 : path.width + well,
                                   path.width / 2.0};
        for (int k = 0; k <= turns; ++k) {
            if (k > 0) heading += mirror * kPi / 2.0;
            const Point3 to = PolarPoint(at, heading, lengths[k]);
            path.pieces.push_back({PathPiece::kLanding, at, to, {}});
            at = to;
        }
    };
    auto landing = [&] {
        if (pick(3) == 0) return throughMiddle();
        const int segments = 1 + pick(3);
        const double turns[] = {0.0, kPi / 2.0, kPi / 4.0, kPi / 3.0};
        for (int k = 0; k < segments; ++k) {
            const double turn = k == 0 && pick(2) ? 0.0 : turns[pick(4)];
            heading += mirror * turn;
            const double length = path.width * uniform(turn == 0.0 ? 0.3 : 0.6, 1.5);
            if (length < path.width || (turn > 0.0 && turn < kPi / 2.0 - 1e-9)) path.plain = false;
            const Point3 to = PolarPoint(at, heading, length);
            path.pieces.push_back({PathPiece::kLanding, at, to, {}});
            at = to;
        }
        const double after[] = {0.0, kPi / 2.0, kPi / 4.0};
        const double turn = after[pick(3)];
        if (turn > 0.0 && turn < kPi / 2.0 - 1e-9) path.plain = false;
        heading += mirror * turn;
    };
    int winders = 0;
    auto winder = [&] {
        // Two winders and their flights outgrow what the host keeps of
        // an entity's extended data: such a stair is refused whole.
        if (++winders > 1) path.plain = false;
        const double turn = mirror * (pick(2) ? kPi / 2.0 : kPi / 4.0);
        const double radius = path.width * uniform(0.6, 1.5);
        const Point3 centre = PolarPoint(at, heading + (turn > 0 ? kPi / 2.0 : -kPi / 2.0), radius);
        const double from = AngleTo(centre, at);
        const Point3 through = PolarPoint(centre, from + turn / 2.0, radius);
        const Point3 to = PolarPoint(centre, from + turn, radius);
        path.pieces.push_back({PathPiece::kWinder, at, to, through});
        at = to;
        heading += turn;
    };
    if (pick(6) == 0) landing();
    flight();
    for (int groups = 1 + pick(2); groups > 0; --groups) {
        if (pick(4) == 0)
            winder();
        else
            landing();
        flight();
    }

    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", path.width);
    path.answers = {"Szerokość", buffer};
    std::snprintf(buffer, sizeof buffer, "%g", path.step);
    path.answers.insert(path.answers.end(), {"Stopień", buffer, At(path.pieces.front().from)});
    bool flightOn = true;
    path.text =
        "width " + path.answers[1] + ", step " + path.answers[3] + ": " + At(path.pieces.front().from);
    for (const PathPiece& piece : path.pieces) {
        const bool wantFlight = piece.kind != PathPiece::kLanding;
        if (wantFlight != flightOn) {
            path.answers.push_back(wantFlight ? "Kondygnacja" : "Półpiętro");
            path.text += wantFlight ? " Kondygnacja" : " Półpiętro";
            flightOn = wantFlight;
        }
        if (piece.kind == PathPiece::kWinder) {
            path.answers.insert(path.answers.end(), {"Łuk", At(piece.through), At(piece.to)});
            path.text += " Łuk " + At(piece.through) + " " + At(piece.to);
        } else {
            path.answers.push_back(At(piece.to));
            path.text += " " + At(piece.to);
        }
    }
    return path;
}

// Whether the stair would pass over itself: two points of the centre line
// far apart along it but nearer than the width in plan.
bool PassesOverItself(const StairPath& path) {
    std::vector<std::pair<Point3, double>> points;
    double run = 0.0;
    auto walk = [&](const Point3& a, const Point3& b) {
        const double length = Distance2d(a, b);
        for (double d = 0.0; d < length; d += 2.0)
            points.push_back({PolarPoint(a, AngleTo(a, b), d), run + d});
        run += length;
    };
    for (const PathPiece& piece : path.pieces) {
        if (piece.kind == PathPiece::kWinder) {
            walk(piece.from, piece.through);
            walk(piece.through, piece.to);
        } else {
            walk(piece.from, piece.to);
        }
    }
    for (std::size_t i = 0; i < points.size(); ++i)
        for (std::size_t j = i + 1; j < points.size(); ++j)
            if (points[j].second - points[i].second > 2.5 * path.width &&
                Distance2d(points[i].first, points[j].first) < path.width - 1e-6)
                return true;
    return false;
}

// Points along the path's centre line, every half step, the ends left out.
std::vector<Point3> Samples(const StairPath& path) {
    std::vector<Point3> out;
    for (const PathPiece& piece : path.pieces) {
        if (piece.kind != PathPiece::kWinder) {
            const double length = Distance2d(piece.from, piece.to);
            for (double d = 1.0; d < length - 1.0; d += path.step / 2.0)
                out.push_back(PolarPoint(piece.from, AngleTo(piece.from, piece.to), d));
            continue;
        }
        for (const double t : {0.25, 0.5, 0.75}) {
            const Point3& a = t < 0.5 ? piece.from : piece.through;
            const Point3& b = t < 0.5 ? piece.through : piece.to;
            const double u = t < 0.5 ? t * 2.0 : t * 2.0 - 1.0;
            out.push_back({a.x + (b.x - a.x) * u, a.y + (b.y - a.y) * u, 0.0});
        }
    }
    return out;
}

// The faces and lines of the stair INSERT, in world coordinates.
struct StairFigures {
    std::vector<Face3D> faces;
    std::vector<std::pair<Point3, Point3>> lines;
};

void Collect(const ZcDbObjectId& block, const Matrix4& placement, StairFigures& out) {
    judge::BlockFaces(block, placement, out.faces);
    for (const ZcDbObjectId& id : scene::BlockEntities(block)) {
        ZcDbObjectPointer<ZcDbEntity> entity(id, ZcDb::kForRead);
        if (const auto* line = ZcDbLine::cast(entity.get())) {
            Point3 a, b;
            TransformPoint(placement, {line->startPoint().x, line->startPoint().y, 0.0}, a);
            TransformPoint(placement, {line->endPoint().x, line->endPoint().y, 0.0}, b);
            out.lines.push_back({a, b});
        } else if (const auto* nested = ZcDbBlockReference::cast(entity.get())) {
            Matrix4 inner;
            MultiplyMatrix4(placement, judge::ToMatrix(nested->blockTransform()), inner);
            StairFigures lines;
            Collect(nested->blockTableRecord(), inner, lines);
            out.lines.insert(out.lines.end(), lines.lines.begin(), lines.lines.end());
        }
    }
}

bool InsideTriangle(const Point3& p, const Point3& a, const Point3& b, const Point3& c) {
    auto cross = [](const Point3& o, const Point3& u, const Point3& v) {
        return (u.x - o.x) * (v.y - o.y) - (u.y - o.y) * (v.x - o.x);
    };
    const double d1 = cross(a, b, p), d2 = cross(b, c, p), d3 = cross(c, a, p);
    const double tol = 1e-6;
    const bool negative = d1 < -tol || d2 < -tol || d3 < -tol;
    const bool positive = d1 > tol || d2 > tol || d3 > tol;
    return !(negative && positive);
}

// The highest level face lying over the point, or none.
std::optional<double> TreadOver(const std::vector<Face3D>& faces, const Point3& p) {
    std::optional<double> best;
    for (const Face3D& f : faces) {
        if (std::fabs(f.c[0].z - f.c[1].z) > 1e-6 || std::fabs(f.c[0].z - f.c[2].z) > 1e-6 ||
            std::fabs(f.c[0].z - f.c[3].z) > 1e-6)
            continue;
        const bool inside = InsideTriangle(p, f.c[0], f.c[1], f.c[2]) ||
                            (!f.triangle() && InsideTriangle(p, f.c[0], f.c[2], f.c[3]));
        if (inside && (!best || f.c[0].z > *best)) best = f.c[0].z;
    }
    return best;
}

double DistanceToSegment(const Point3& p, const Point3& a, const Point3& b) {
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    double t = len2 > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

class StairPathShapes : public Model3DTest {
protected:
    // Draws the path and ends it with `last` ("Utwórz" or Enter); the
    // command's status.
    int Draw(const StairPath& path, const std::string& last) {
        std::string error;
        if (!last.empty()) {
            EXPECT_TRUE(zcui::QueueDialogScript("226 edit 1158 \"300\" edit 1180 \"300\" ok", &error))
                << error;
        }
        push("VELMSTAIRDEF");
        for (const std::string& answer : path.answers) push(answer);
        push(last);
        const int status = run({});
        // An answer a refused stair never asked for goes with it.
        zcui::ResetUi();
        return status;
    }
    static void EraseAll() {
        std::vector<ZcDbObjectId> ids = modelSpace();
        for (const ZcDbObjectId& id : ids) ZcDbObjectPointer<ZcDbEntity>(id, ZcDb::kForWrite)->erase();
    }
    // The stair's risers as its record holds them, in the drawing's places.
    static std::vector<std::pair<Point3, Point3>> Risers() {
        std::vector<std::pair<Point3, Point3>> out;
        ads_name last;
        if (zcdbEntLast(last) != RTNORM) return out;
        resbuf* apps = zcutBuildList(RTSTR, kStairApp, 0);
        resbuf* list = zcdbEntGetX(last, apps);
        zcutRelRb(apps);
        if (!list) return out;
        const resbuf* at = FindRbCode(list, 10);
        CSCALA record;
        if (at && record.ReadStairXData(list, {at->resval.rpoint[0], at->resval.rpoint[1], 0.0}, 0.0))
            for (const StairElement* r = record.risers; r; r = r->next) out.push_back({r->pointA, r->pointB});
        zcutRelRb(list);
        return out;
    }
    static bool Refused(const std::string& heard) {
        for (const char* message :
             {kStairPathNotWholeMessage, kStairFlightWithoutStepsMessage, kStairTwoRisersMessage,
              kStairRisersOnlyLinesMessage, kStairTwoSidesMessage, "\nNie można utworzyć schodów"})
            if (heard.find(message) != std::string::npos) return true;
        return false;
    }
};

TEST_F(StairPathShapes, every_path_gives_a_whole_stair_or_a_refusal) {
    std::mt19937 random(20261211);
    int built = 0, refused = 0, plainRefused = 0;
    for (int n = 0; n < 120; ++n) {
        StairPath path = MakePath(random);
        if (PassesOverItself(path)) path.plain = false;
        SCOPED_TRACE("path " + std::to_string(n) + ": " + path.text);

        ASSERT_EQ(Draw(path, ""), RTNORM) << transcript();
        const int stepLines = count("0=LINE 8=0 62=2");
        EraseAll();

        const std::size_t heard = transcript().size();
        const int status = Draw(path, "Utwórz");
        const std::vector<ZcDbObjectId> made = modelSpace();
        if (count("0=INSERT 8=STAIRS") == 0) {
            ++refused;
            plainRefused += path.plain;
            EXPECT_EQ(status, RTERROR) << "refused without a failed status";
            EXPECT_TRUE(Refused(transcript().substr(heard))) << transcript().substr(heard);
            EXPECT_TRUE(made.empty()) << made.size() << " entities left by a refused stair";
            EraseAll();
            continue;
        }
        ++built;
        EXPECT_EQ(status, RTNORM) << transcript().substr(heard);
        EXPECT_EQ(made.size(), 1u) << "the model lines stay beside the stair";
        const std::vector<std::pair<Point3, Point3>> risers = Risers();
        EXPECT_EQ(static_cast<int>(risers.size()), stepLines) << "step lines left out of the stair";
        ASSERT_GE(risers.size(), 2u);
        const Point3 end = path.pieces.back().to;
        EXPECT_LE(DistanceToSegment(end, risers.back().first, risers.back().second), path.step + 1e-3)
            << "the last riser is not at the path's end";

        StairFigures figures;
        for (const ZcDbObjectId& id : made) {
            ZcDbObjectPointer<ZcDbBlockReference> ref(id, ZcDb::kForRead);
            if (ref) Collect(ref->blockTableRecord(), judge::ToMatrix(ref->blockTransform()), figures);
        }
        // The last riser is the edge of the floor above: the last tread
        // lies one riser below it.
        const double n = static_cast<double>(risers.size());
        double top = -1e9;
        for (const Face3D& f : figures.faces)
            for (const Point3& c : f.c) top = std::max(top, c.z);
        EXPECT_NEAR(top, kFloor * (n - 1.0) / n, 1e-6) << "the stair stops short of its top";

        // Where the stair passes over itself the highest tread is a later
        // one.
        const bool over = PassesOverItself(path);
        double previous = -1.0;
        for (const Point3& p : Samples(path)) {
            // Past the last step line the sides are cut.
            if (Distance2d(p, end) < path.step + 1.0) continue;
            const std::optional<double> z = TreadOver(figures.faces, p);
            EXPECT_TRUE(z.has_value()) << "no tread over " << At(p);
            if (!z) continue;
            if (!over) {
                EXPECT_GE(*z, previous - 1e-6) << "the treads go down at " << At(p);
            }
            previous = *z;
            double nearest = 1e9;
            for (const auto& [a, b] : figures.lines) nearest = std::min(nearest, DistanceToSegment(p, a, b));
            EXPECT_LE(nearest, path.width / 2.0 + 1e-3) << "no plan line near " << At(p);
        }
        EraseAll();
        if (HasFailure()) break;
    }
    EXPECT_GT(built, 80) << refused << " of 120 refused";
    EXPECT_EQ(plainRefused, 0) << "plain paths refused";
}

}  // namespace
