// Sections whose plane meets faces and edges of the model exactly: a roof
// cut along its ridge, where one pitch ends and the next begins; a wall
// or a slab whose face the plane runs along; a face lying in the plane; a
// stair cut at a riser. The cut there must be the one a hair behind the
// plane gives, every solid capped and hatched.
//
// The oracle is independent of the view's own cap search: each solid's
// faces are cut by the plane a hair behind the section plane, and a point
// of the plane lies in the cut of a solid when a ray from it in the plane
// crosses those cut segments an odd number of times. Roof pitches are
// slabs of vertical thickness t over a plan polygon, so the area of each
// one's cut is t times the chord the plane draws across its plan.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "core/geometry/matrix4.h"
#include "host/db/dbinsert.h"
#include "host/db/dbobjptr.h"
#include "host/ui/driver.h"
#include "tests/visual/section_judge.h"
#include "tests/visual/views/view_oracle.h"
#include "visual/model3d/scene_walk.h"

namespace {

using oracle::Ring;

struct Plan {
    double x, y;
};

// A pitch: a slab over a convex plan polygon between the plane
// z = h + k (distance inwards from its gutter line) and t above it.
struct Pitch {
    std::vector<Plan> plan;
    Plan gutter, inwards;  // a point of the gutter line, the unit direction up the slope
    double h, k, t;

    double Bottom(double x, double y) const {
        return h + k * ((x - gutter.x) * inwards.x + (y - gutter.y) * inwards.y);
    }
    // The length of the chord y = c draws across the plan.
    double Chord(double c) const {
        double lo = 1e300, hi = -1e300;
        for (std::size_t i = 0; i < plan.size(); ++i) {
            const Plan& a = plan[i];
            const Plan& b = plan[(i + 1) % plan.size()];
            if ((a.y - c) * (b.y - c) > 0.0 || a.y == b.y) continue;
            const double x = a.x + (c - a.y) / (b.y - a.y) * (b.x - a.x);
            lo = std::min(lo, x);
            hi = std::max(hi, x);
        }
        return hi > lo ? hi - lo : 0.0;
    }
    // The cut's area a hair behind the plane y = c.
    double CutArea(double c) const { return t * Chord(c + 1e-9); }
};

// The cut segments of a group of faces at depth `at`, in view x and y.
struct Segment2 {
    double ax, ay, bx, by;
};

class CutOracle {
public:
    // Faces (world) grouped by solid, seen through the frame; each face's
    // triangles are cut by the plane at depth `at`.
    CutOracle(const std::vector<std::vector<Face3D>>& solids, const Matrix4& frame, double at) {
        for (const std::vector<Face3D>& solid : solids) {
            std::vector<Segment2> cut;
            for (const Face3D& f : solid) {
                Point3 v[4];
                for (int k = 0; k < 4; ++k) TransformPoint(frame, f.c[k], v[k]);
                for (int t = 0; t < (f.triangle() ? 1 : 2); ++t) {
                    const Point3 tri[3] = {v[0], v[1 + t], v[2 + t]};
                    std::vector<Point3> on;
                    for (int k = 0; k < 3; ++k) {
                        const Point3& a = tri[k];
                        const Point3& b = tri[(k + 1) % 3];
                        if ((a.z - at) * (b.z - at) >= 0.0) continue;
                        const double s = (at - a.z) / (b.z - a.z);
                        on.push_back({a.x + s * (b.x - a.x), a.y + s * (b.y - a.y), at});
                    }
                    if (on.size() == 2) cut.push_back({on[0].x, on[0].y, on[1].x, on[1].y});
                }
            }
            if (!cut.empty()) cuts_.push_back(cut);
        }
    }

    // The spans of the line at height y inside a cut, each solid's by
    // crossings (a wall's cut, its two sides only, included).
    std::vector<std::pair<double, double>> Spans(double y) const {
        std::vector<std::pair<double, double>> out;
        std::vector<double> xs;
        for (const std::vector<Segment2>& cut : cuts_) {
            xs.clear();
            for (const Segment2& s : cut)
                if ((s.ay > y) != (s.by > y)) xs.push_back(s.ax + (y - s.ay) * (s.bx - s.ax) / (s.by - s.ay));
            std::sort(xs.begin(), xs.end());
            for (std::size_t k = 0; k + 1 < xs.size(); k += 2) out.push_back({xs[k], xs[k + 1]});
        }
        return out;
    }
    // The heights of the cuts' ends.
    std::vector<double> Heights() const {
        std::vector<double> out;
        for (const std::vector<Segment2>& cut : cuts_)
            for (const Segment2& s : cut) out.push_back(s.ay), out.push_back(s.by);
        return out;
    }

    // In the cut of some solid, farther than `margin` from any cut edge.
    bool InCut(double x, double y, double margin) const {
        for (const std::vector<Segment2>& cut : cuts_) {
            bool in = false, near = false;
            for (const Segment2& s : cut) {
                if ((s.ay > y) != (s.by > y) && x < s.ax + (y - s.ay) * (s.bx - s.ax) / (s.by - s.ay))
                    in = !in;
                near = near || Distance(s, x, y) < margin;
            }
            if (in && !near) return true;
        }
        return false;
    }
    // Farther than margin from every cut edge and outside every cut.
    bool OutsideCuts(double x, double y, double margin) const {
        for (const std::vector<Segment2>& cut : cuts_) {
            bool in = false;
            for (const Segment2& s : cut) {
                if (Distance(s, x, y) < margin) return false;
                if ((s.ay > y) != (s.by > y) && x < s.ax + (y - s.ay) * (s.bx - s.ax) / (s.by - s.ay))
                    in = !in;
            }
            if (in) return false;
        }
        return true;
    }
    int Solids() const { return static_cast<int>(cuts_.size()); }

private:
    static double Distance(const Segment2& s, double x, double y) {
        const double dx = s.bx - s.ax, dy = s.by - s.ay, len2 = dx * dx + dy * dy;
        const double u = len2 > 0.0 ? std::clamp(((x - s.ax) * dx + (y - s.ay) * dy) / len2, 0.0, 1.0) : 0.0;
        return std::hypot(s.ax + u * dx - x, s.ay + u * dy - y);
    }
    std::vector<std::vector<Segment2>> cuts_;
};

double RingArea(const Ring& r) {
    double a = 0.0;
    for (std::size_t i = 0; i < r.size(); ++i) {
        const Point3& p = r[i];
        const Point3& q = r[(i + 1) % r.size()];
        a += p.x * q.y - q.x * p.y;
    }
    return std::fabs(a) / 2.0;
}

double HatchedArea(const std::vector<Ring>& rings) {
    double total = 0.0;
    for (const Ring& r : rings) total += RingArea(r);
    return total;
}

class RidgeSection : public Model3DTest {
protected:
    // The section along y = c looking north: view x is the world's x +
    // 1000, view y the world's z, the depth the world's y - c. Looking
    // south, view x runs westwards and the depth is c - y.
    static Matrix4 Frame(double c, bool south = false) {
        Matrix4 m;
        SetIdentity4(m);
        const double s = south ? -1.0 : 1.0;
        const double rows[3][4] = {{s, 0, 0, 1000}, {0, 0, 1, 0}, {0, s, 0, -s * c}};
        for (int r = 0; r < 3; ++r)
            for (int k = 0; k < 4; ++k) m.m[r][k] = rows[r][k];
        return m;
    }

    static std::string At(double x, double y) { return std::to_string(x) + "," + std::to_string(y); }

    // A section along y = c looking north, placed at `place`; its block.
    static std::string SectionAlong(double c, const Point3& place, bool south = false) {
        EXPECT_EQ(run({"VELMGENVIEW", At(-1000.0, c), At(2000.0, c),
                       At(500.0, south ? c + 3000.0 : c - 3000.0), At(place.x, place.y)}),
                  RTNORM)
            << transcript();
        return NewestView();
    }

    static std::string NewestView() {
        std::string block;
        oracle::NewestView(modelSpace(), block);
        return block;
    }

    static std::vector<Ring> SectionHatches(const std::string& block) {
        return oracle::BlockHatchRings(db(), block, "VELMSECTION_H");
    }

    // Every 3DFACE of the drawing by solid: each top-level INSERT's faces
    // (nested ones placed too) one solid, the loose ones of each layer
    // name up to its "_" or "$" another.
    static std::vector<std::vector<Face3D>> Solids() {
        std::map<std::string, std::vector<Face3D>> byLayer;
        for (const Face3D& f : Faces()) byLayer[f.layer.substr(0, f.layer.find_first_of("_$"))].push_back(f);
        std::vector<std::vector<Face3D>> out;
        for (auto& [name, faces] : byLayer) out.push_back(std::move(faces));
        for (ZcDbObjectId id : modelSpace()) {
            ZcDbObjectPointer<ZcDbBlockReference> ref(id, ZcDb::kForRead);
            if (!ref) continue;
            std::vector<Face3D> faces;
            BlockFaces(ref->blockTableRecord(), ToMatrix(ref->blockTransform()), faces);
            if (!faces.empty()) out.push_back(faces);
        }
        return out;
    }

    static Matrix4 ToMatrix(const ZcDbXform& x) {
        Matrix4 m;
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k) m.m[r][k] = x.m[r][k];
        return m;
    }

    static void BlockFaces(const ZcDbObjectId& block, const Matrix4& placement, std::vector<Face3D>& out) {
        for (const ZcDbObjectId& id : scene::BlockEntities(block)) {
            ZcDbObjectPointer<ZcDbEntity> entity(id, ZcDb::kForRead);
            if (const auto* face = ZcDbFace::cast(entity.get())) {
                Face3D f;
                for (int k = 0; k < 4; ++k) {
                    ZcGePoint3d p;
                    face->getVertexAt(k, p);
                    TransformPoint(placement, Point3{p.x, p.y, p.z}, f.c[k]);
                }
                out.push_back(f);
            } else if (const auto* nested = ZcDbBlockReference::cast(entity.get())) {
                Matrix4 inner;
                MultiplyMatrix4(placement, ToMatrix(nested->blockTransform()), inner);
                BlockFaces(nested->blockTableRecord(), inner, out);
            }
        }
    }

    // The view's extent as the view command finds it: the least x and y of
    // what of the faces lies behind the plane.
    static Point3 ViewMin(const std::vector<std::vector<Face3D>>& solids, const Matrix4& frame) {
        std::vector<Face3D> all;
        for (const auto& s : solids) all.insert(all.end(), s.begin(), s.end());
        const oracle::ViewOracle o(all, frame);
        return {o.xmin, o.ymin, 0.0};
    }

    // Samples every `step` of the sheet's window: the cut area left without
    // section hatch, the hatched area that lies in no cut, and the area
    // hatched twice.
    struct Verdict {
        double bare = 0.0, stray = 0.0, doubled = 0.0, cut = 0.0;
    };
    static Verdict Judge(const CutOracle& cuts, const std::vector<Ring>& hatches, const Point3& sheetOrigin,
                         const Point3& viewMin, double width, double height) {
        const double step = 2.0, margin = 0.5;
        Verdict v;
        for (double x = 0.37; x < width; x += step)
            for (double y = 0.29; y < height; y += step) {
                const double vx = viewMin.x + x, vy = viewMin.y + y;
                const Point3 p{sheetOrigin.x + x, sheetOrigin.y + y, 0.0};
                const auto under = std::count_if(hatches.begin(), hatches.end(),
                                                 [&p](const Ring& r) { return oracle::InRing(p, r); });
                if (under > 1) v.doubled += step * step;
                if (cuts.InCut(vx, vy, margin)) {
                    v.cut += step * step;
                    if (under == 0) v.bare += step * step;
                } else if (under > 0 && cuts.OutsideCuts(vx, vy, margin)) {
                    v.stray += step * step;
                }
            }
        return v;
    }

    using Spans = judge::Spans;

    // Measured by bands between the heights of all ends, each taken at a
    // few heights across it: the cuts' area, how much of it the rings
    // (view coordinates) cover, what of the rings lies in no cut, and what
    // lies under two rings.
    struct Cover {
        double area = 0.0, covered = 0.0, stray = 0.0, doubled = 0.0;
    };
    static Cover CoveredArea(const CutOracle& cuts, const std::vector<Ring>& rings) {
        std::vector<double> heights = cuts.Heights();
        for (const Ring& r : rings)
            for (const Point3& p : r) heights.push_back(p.y);
        std::sort(heights.begin(), heights.end());
        Cover c;
        const int steps = 8;
        for (std::size_t k = 0; k + 1 < heights.size(); ++k) {
            const double band = heights[k + 1] - heights[k];
            if (!(band > 1e-9)) continue;
            for (int j = 0; j < steps; ++j) {
                const double y = heights[k] + (j + 0.5) * band / steps, w = band / steps;
                const Spans cut = judge::Joined(cuts.Spans(y));
                Spans hatch;
                for (const Ring& r : rings) {
                    std::vector<double> xs;
                    for (std::size_t i = 0; i < r.size(); ++i) {
                        const Point3 &a = r[i], &b = r[(i + 1) % r.size()];
                        if ((a.y > y) != (b.y > y)) xs.push_back(a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y));
                    }
                    std::sort(xs.begin(), xs.end());
                    for (std::size_t i = 0; i + 1 < xs.size(); i += 2) hatch.push_back({xs[i], xs[i + 1]});
                }
                const Spans hatched = judge::Joined(hatch);
                const double common = judge::Common(cut, hatched);
                c.area += judge::Length(cut) * w;
                c.covered += common * w;
                c.stray += (judge::Length(hatched) - common) * w;
                c.doubled += (judge::Length(hatch) - judge::Length(hatched)) * w;
            }
        }
        return c;
    }

    // The length of the block's LINEs, of every layer, that lies inside a
    // cut farther than `margin` from its edges, on samples.
    static double LinesInCuts(const CutOracle& cuts, const std::string& block, const Point3& sheetOrigin,
                              const Point3& viewMin, double margin) {
        const double step = 0.1;
        // Inside all round: a wall's cut has no edge along its foot or top.
        const auto inside = [&](double x, double y) {
            return cuts.InCut(x, y, margin) && cuts.InCut(x + margin, y, 0.0) &&
                   cuts.InCut(x - margin, y, 0.0) && cuts.InCut(x, y + margin, 0.0) &&
                   cuts.InCut(x, y - margin, 0.0);
        };
        double length = 0.0;
        for (const oracle::Line2& l : oracle::BlockLines(db(), block, "VELMSECTION"))
            for (const Point3& p : oracle::Samples({l}, step))
                if (inside(p.x - sheetOrigin.x + viewMin.x, p.y - sheetOrigin.y + viewMin.y)) length += step;
        return length;
    }

    // The section along y = c (looking south when `south`) judged whole:
    // its hatched area is the cuts' area, no cut is bare or hatched twice,
    // nothing hatched lies outside the cuts and no line is drawn inside one.
    void ExpectCapsWhole(double c, bool south, const Point3& place) {
        const std::string what =
            std::string(south ? "looking south" : "looking north") + " at y = " + std::to_string(c);
        const std::string block = SectionAlong(c, place, south);
        ASSERT_FALSE(block.empty()) << what;
        const std::vector<std::vector<Face3D>> model = Solids();
        const CutOracle cuts(model, Frame(c, south), 1e-6);
        const Point3 viewMin = ViewMin(model, Frame(c, south));
        const std::vector<Ring> hatches = SectionHatches(block);
        std::vector<Ring> inView;
        for (const Ring& r : hatches) {
            Ring view;
            for (const Point3& p : r)
                view.push_back({p.x - place.x + viewMin.x, p.y - place.y + viewMin.y, 0.0});
            inView.push_back(view);
        }
        const Cover c = CoveredArea(cuts, inView);
        EXPECT_GT(c.area, 0.0) << what;
        EXPECT_NEAR(c.covered, c.area, 1e-4 * c.area) << what;
        EXPECT_LT(c.stray, 1e-4 * c.area) << what;
        EXPECT_LT(c.doubled, 1e-4 * c.area) << what;
        EXPECT_EQ(LinesInCuts(cuts, block, place, viewMin, 0.05), 0.0) << what;
    }

    // Every cut of the section along y = c hatched, and nothing else.
    void ExpectEveryCutHatched(double c, const Point3& place, double width, double height, int solids) {
        const std::string block = SectionAlong(c, place);
        ASSERT_FALSE(block.empty());
        const std::vector<std::vector<Face3D>> model = Solids();
        const CutOracle cuts(model, Frame(c), 1e-6);
        EXPECT_EQ(cuts.Solids(), solids) << "y = " << c;
        const Verdict v = Judge(cuts, SectionHatches(block), place, ViewMin(model, Frame(c)), width, height);
        EXPECT_GT(v.cut, 1000.0) << "y = " << c;
        EXPECT_EQ(v.bare, 0.0) << "y = " << c << ": of " << v.cut;
        EXPECT_EQ(v.stray, 0.0) << "y = " << c;
        EXPECT_EQ(v.doubled, 0.0) << "y = " << c;
    }

    // One pitch's faces: top, bottom and vertical sides, the plan polygon
    // fanned from its first corner, on layers of its own.
    static void MakePitch(const Pitch& p, double turn, int number) {
        const std::string name = "3DROOF" + std::to_string(number);
        const std::string bottom = name + "_B", top = name + "_T", side = name + "_S";
        const double c = std::cos(turn), s = std::sin(turn);
        const auto at = [&](const Plan& q, double z) {
            return Point3{c * q.x - s * q.y, s * q.x + c * q.y, z};
        };
        const auto low = [&](const Plan& q) { return at(q, p.Bottom(q.x, q.y)); };
        const auto high = [&](const Plan& q) { return at(q, p.Bottom(q.x, q.y) + p.t); };
        const std::size_t n = p.plan.size();
        for (std::size_t k = 1; k + 1 < n; ++k) {
            MakeFace(bottom.c_str(), low(p.plan[0]), low(p.plan[k]), low(p.plan[k + 1]), low(p.plan[k + 1]));
            MakeFace(top.c_str(), high(p.plan[0]), high(p.plan[k]), high(p.plan[k + 1]), high(p.plan[k + 1]));
        }
        for (std::size_t k = 0; k < n; ++k) {
            const Plan &a = p.plan[k], &b = p.plan[(k + 1) % n];
            MakeFace(side.c_str(), low(a), low(b), high(b), high(a));
        }
    }

    // A hip roof over x0..x1 by y0..y1 (longer on x), gutters at h, slope
    // k, t thick: two trapezoids and two triangles, the ridge on the middle
    // y.
    static std::vector<Pitch> HipRoof(double x0, double y0, double x1, double y1, double h, double k,
                                      double t) {
        const double half = (y1 - y0) / 2.0, ym = y0 + half;
        return {{{{x0, y0}, {x1, y0}, {x1 - half, ym}, {x0 + half, ym}}, {x0, y0}, {0, 1}, h, k, t},
                {{{x1, y1}, {x0, y1}, {x0 + half, ym}, {x1 - half, ym}}, {x0, y1}, {0, -1}, h, k, t},
                {{{x0, y1}, {x0, y0}, {x0 + half, ym}}, {x0, y0}, {1, 0}, h, k, t},
                {{{x1, y0}, {x1, y1}, {x1 - half, ym}}, {x1, y0}, {-1, 0}, h, k, t}};
    }

    static std::vector<Pitch> GableRoof(double x0, double y0, double x1, double y1, double h, double k,
                                        double t) {
        const double ym = (y0 + y1) / 2.0;
        return {{{{x0, y0}, {x1, y0}, {x1, ym}, {x0, ym}}, {x0, y0}, {0, 1}, h, k, t},
                {{{x1, y1}, {x0, y1}, {x0, ym}, {x1, ym}}, {x0, y1}, {0, -1}, h, k, t}};
    }

    static double OracleArea(const std::vector<Pitch>& roof, double c) {
        double total = 0.0;
        for (const Pitch& p : roof) total += p.CutArea(c);
        return total;
    }
};

}  // namespace

// A hip roof (and a gable roof) cut along its ridge and a unit to either
// side: the hatched area is each pitch's cut as its own geometry gives it,
// no cut is bare, and the ridge's hatches are those a hair away give.
TEST_F(RidgeSection, a_roof_cut_along_its_ridge_is_hatched_as_a_hair_to_either_side) {
    struct Case {
        const char* name;
        std::vector<Pitch> roof;
        double ridge;
    };
    const Case cases[] = {{"hip", HipRoof(-50.0, -50.0, 1050.0, 850.0, 280.0, 0.4, 31.32), 400.0},
                          {"gable", GableRoof(-30.0, 0.0, 830.0, 600.0, 300.0, 0.7, 25.0), 300.0}};
    double y = -6000.0;
    for (const Case& roofCase : cases) {
        int number = 0;
        for (const Pitch& p : roofCase.roof) MakePitch(p, 0.0, ++number);
        std::vector<double> hatched;
        std::vector<std::size_t> rings;
        for (const double c : {roofCase.ridge - 1.0, roofCase.ridge, roofCase.ridge + 1.0,
                               roofCase.ridge - 0.01, roofCase.ridge + 0.01}) {
            const std::string what = std::string(roofCase.name) + " cut at y = " + std::to_string(c);
            const Point3 place{0.0, y, 0.0};
            y -= 1000.0;
            const std::string block = SectionAlong(c, place);
            ASSERT_FALSE(block.empty()) << what;
            const std::vector<Ring> hatches = SectionHatches(block);
            const double expected = OracleArea(roofCase.roof, c);
            EXPECT_NEAR(HatchedArea(hatches), expected, 1e-3 * expected) << what;
            hatched.push_back(HatchedArea(hatches));
            rings.push_back(hatches.size());

            const std::vector<std::vector<Face3D>> model = Solids();
            const CutOracle cuts(model, Frame(c), 1e-6);
            const Verdict v = Judge(cuts, hatches, place, ViewMin(model, Frame(c)), 1200.0, 600.0);
            EXPECT_GT(v.cut, 0.5 * expected) << what;
            EXPECT_EQ(v.bare, 0.0) << what << ", of " << v.cut;
            EXPECT_EQ(v.stray, 0.0) << what;
            EXPECT_EQ(v.doubled, 0.0) << what;
        }
        // Along the ridge, as a hair before it and a hair behind it.
        EXPECT_NEAR(hatched[1], hatched[3], 1e-3 * hatched[1]) << roofCase.name;
        EXPECT_NEAR(hatched[1], hatched[4], 1e-3 * hatched[1]) << roofCase.name;
        EXPECT_EQ(rings[1], rings[3]) << roofCase.name;
        EXPECT_EQ(rings[1], rings[4]) << roofCase.name;
        std::vector<ZcDbObjectId> ids;
        for (ZcDbObjectId id : modelSpace()) ids.push_back(id);
        for (const ZcDbObjectId& id : ids) ZcDbObjectPointer<ZcDbEntity>(id, ZcDb::kForWrite)->erase();
    }
}

// The same hip roof turned by an odd angle, cut along its turned ridge: the
// plane's depths at the ridge come out of the frame with rounding either
// way, and the cut is the whole one all the same.
TEST_F(RidgeSection, a_turned_hip_roof_cut_along_its_ridge_is_hatched_whole) {
    const std::vector<Pitch> roof = HipRoof(-50.0, -50.0, 1050.0, 850.0, 280.0, 0.4, 31.32);
    for (const double turn : {0.3, 1.1, 2.6}) {
        int number = 0;
        for (const Pitch& p : roof) MakePitch(p, turn, ++number);
        const double c = std::cos(turn), s = std::sin(turn);
        const auto at = [&](double x, double y) { return At(c * x - s * y, s * x + c * y); };
        ASSERT_EQ(run({"VELMGENVIEW", at(-1000.0, 400.0), at(2000.0, 400.0), at(500.0, -3000.0), "0,-3000"}),
                  RTNORM)
            << transcript();
        const std::vector<Ring> hatches = SectionHatches(NewestView());
        const double expected = OracleArea(roof, 400.0);
        EXPECT_NEAR(HatchedArea(hatches), expected, 1e-3 * expected) << "turned " << turn;
        EXPECT_EQ(hatches.size(), 3u) << "turned " << turn;
        std::vector<ZcDbObjectId> ids;
        for (ZcDbObjectId id : modelSpace()) ids.push_back(id);
        for (const ZcDbObjectId& id : ids) ZcDbObjectPointer<ZcDbEntity>(id, ZcDb::kForWrite)->erase();
    }
}

// Solids whose faces the plane runs along: a wall and a slab behind it are
// cut a hair behind their faces, capped whole; a box in front and a lone
// face lying in the plane are cut away.
TEST_F(RidgeSection, faces_lying_in_the_plane_go_with_what_is_in_front_and_solids_behind_are_capped) {
    const double c = 200.0;
    const auto box = [](const char* layer, double x0, double y0, double z0, double x1, double y1, double z1) {
        const Point3 p[8] = {{x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0},
                             {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}};
        for (int k = 0; k < 4; ++k) MakeFace(layer, p[k], p[(k + 1) % 4], p[4 + (k + 1) % 4], p[4 + k]);
        MakeFace(layer, p[0], p[1], p[2], p[3]);
        MakeFace(layer, p[4], p[5], p[6], p[7]);
    };
    box("3DWALL$0", 0.0, c, 0.0, 400.0, c + 30.0, 275.0);        // a wall behind, its face on the plane
    box("3DSLAB$0", -100.0, c, 275.0, 600.0, c + 500.0, 300.0);  // a slab behind, its edge on the plane
    box("3DBOX$0", 500.0, c - 80.0, 0.0, 560.0, c, 150.0);       // a box in front, its face on the plane
    MakeFace("3DPANE$0", {700.0, c, 0.0}, {800.0, c, 0.0}, {800.0, c, 100.0}, {700.0, c, 100.0});
    const std::string block = SectionAlong(c, {0.0, -3000.0, 0.0});
    ASSERT_FALSE(block.empty());
    const std::vector<Ring> hatches = SectionHatches(block);
    EXPECT_NEAR(HatchedArea(hatches), 400.0 * 275.0 + 700.0 * 25.0, 1.0);
    const std::vector<std::vector<Face3D>> model = Solids();
    const CutOracle cuts(model, Frame(c), 1e-6);
    EXPECT_EQ(cuts.Solids(), 2);
    const Verdict v = Judge(cuts, hatches, {0.0, -3000.0, 0.0}, ViewMin(model, Frame(c)), 800.0, 400.0);
    EXPECT_GT(v.cut, 100000.0);
    EXPECT_EQ(v.bare, 0.0) << "of " << v.cut;
    EXPECT_EQ(v.stray, 0.0);
    EXPECT_EQ(v.doubled, 0.0);
    // Nothing is drawn of the box in front (x 600 to 660 of the sheet, 0 to
    // 150 high) or of the pane (past the slab's end at 700).
    for (const char* layer : {"VELMSECTION", "VELMSECTION_SEC"})
        for (const oracle::Line2& l : oracle::BlockLines(db(), block, layer)) {
            const double x = (l.a.x + l.b.x) / 2.0, y = (l.a.y + l.b.y) / 2.0 + 3000.0;
            EXPECT_FALSE(x > 600.0 && x < 660.0 && y < 150.0) << layer << " " << x << "," << y;
            EXPECT_LT(std::max(l.a.x, l.b.x), 700.0 + 1e-6) << layer << " " << x << "," << y;
        }
}

// Houses made by the module's commands, each cut through the middle:
// every cut of a wall, slab, stair and roof pitch is hatched, along the
// hip roof's ridge and at a stair's riser as a unit to either side.
class HouseRidgeSection : public RidgeSection {
protected:
    static void Answer(std::initializer_list<const char*> answers) {
        for (const char* answer : answers) {
            std::string error;
            ASSERT_TRUE(zcui::RunDialogScript(answer, &error)) << error;
        }
    }

    // The walkthrough's house: walls, partition, the stair along the east
    // wall, the floor slab with the stair's opening, walls in 3D, the hip
    // roof.
    static void WalkthroughHouse() {
        Answer({"1016 page 0 edit 1001 \"300\" ok", "145 edit 1066 \"12\" click 1073",
                "226 edit 1158 \"300\" edit 1180 \"300\" ok", "152 click 4",
                "109 edit 104 \"40\" edit 105 \"50\" edit 106 \"300\" radio 1027 click 4"});
        ASSERT_EQ(run({"VELMFLOOROPTIONS",
                       "VELMWALLD",
                       "15,15",
                       "985,15",
                       "985,785",
                       "15,785",
                       "Zamknij",
                       "",
                       "VELMWALL",
                       "600,30",
                       "600,770",
                       "",
                       "VELMSTAIRDEF",
                       "Szerokość",
                       "100",
                       "Stopień",
                       "28",
                       "920,150",
                       "920,570",
                       "Utwórz",
                       "VELMFSLAB",
                       "0,0",
                       "1000,0",
                       "1000,800",
                       "0,800",
                       "",
                       "Obiekt",
                       "!pick 920,300",
                       "",
                       "VELMWALL3D",
                       "",
                       "VELMHIPROOF",
                       "0,0",
                       "1000,0",
                       "1000,800",
                       "0,800",
                       ""}),
                  RTNORM)
            << transcript();
        ASSERT_EQ(count("0=INSERT 8=ROOFSLAB"), 4) << transcript();
    }

    // The views' house: walls, partition, hip roof and slab on the walls,
    // a stair beside the house, walls in 3D.
    static void ViewsHouse() {
        Answer({"1016 page 0 edit 1001 \"300\" ok", "145 click 1073", "109 click 3", "152 click 3",
                "226 edit 1180 \"300\" ok"});
        ASSERT_EQ(run({"VELMFLOOROPTIONS",
                       "VELMWALL",
                       "0,0",
                       "1000,0",
                       "1000,800",
                       "0,800",
                       "Zamknij",
                       "VELMWALLD",
                       "600,15",
                       "600,785",
                       "",
                       "VELMHIPROOF",
                       "!pick 500,815",
                       "VELMFSLAB",
                       "!pick 500,815",
                       "",
                       "VELMSTAIRDEF",
                       "1100,0",
                       "1100,480",
                       "Utwórz",
                       "VELMWALL3D",
                       ""}),
                  RTNORM)
            << transcript();
    }

    // Sections along each of the positions, seen both ways, each judged
    // whole and then erased.
    void Sweep(const std::vector<double>& positions) {
        for (const double c : positions)
            for (const bool south : {false, true}) {
                ExpectCapsWhole(c, south, {0.0, -3000.0, 0.0});
                std::vector<ZcDbObjectId> views;
                for (ZcDbObjectId id : modelSpace())
                    if (ZcDbObjectPointer<ZcDbBlockReference>(id, ZcDb::kForRead)) views.push_back(id);
                if (!views.empty()) ZcDbObjectPointer<ZcDbEntity>(views.back(), ZcDb::kForWrite)->erase();
                if (HasFailure()) return;
            }
    }

    static std::vector<double> Every(double from, double to, double step) {
        std::vector<double> out;
        for (int k = 0; from + k * step <= to + 1e-9; ++k) out.push_back(from + k * step);
        return out;
    }
};

TEST_F(HouseRidgeSection, the_walkthrough_house_cut_along_its_ridge_is_hatched_in_every_cut) {
    WalkthroughHouse();
    // Walls, slab, stair and the two hips with the ridge's pitch.
    ExpectEveryCutHatched(400.0, {0.0, -2000.0, 0.0}, 1300.0, 700.0, 6);
    ExpectEveryCutHatched(399.0, {0.0, -3000.0, 0.0}, 1300.0, 700.0, 6);
    ExpectEveryCutHatched(401.0, {0.0, -4000.0, 0.0}, 1300.0, 700.0, 6);
}

TEST_F(HouseRidgeSection, the_views_house_cut_at_a_riser_and_along_its_ridge_is_hatched_in_every_cut) {
    ViewsHouse();
    // The stair's riser at 450 lies in the plane; the ridge runs along 400.
    ExpectEveryCutHatched(450.0, {0.0, -2000.0, 0.0}, 1500.0, 1000.0, 6);
    ExpectEveryCutHatched(451.0, {0.0, -3000.0, 0.0}, 1500.0, 1000.0, 6);
    ExpectEveryCutHatched(400.0, {0.0, -4000.0, 0.0}, 1500.0, 1000.0, 6);
}

// Sections swept through the last metre of a flight, a unit apart, seen
// up and down it (the flight's side there a fan of slivers meeting at the
// soffit's step), and parallel to a hip roof's ridge: each cut is hatched
// whole and nothing behind the plane is drawn inside it.
TEST_F(HouseRidgeSection, the_walkthrough_house_swept_through_its_flight_is_capped_at_every_unit) {
    WalkthroughHouse();
    Sweep(Every(470.0, 570.0, 1.0));
}

TEST_F(HouseRidgeSection, the_views_house_swept_through_its_flight_is_capped_at_every_unit) {
    ViewsHouse();
    Sweep(Every(380.0, 480.0, 1.0));
}

TEST_F(HouseRidgeSection, the_walkthrough_house_swept_beside_its_ridge_is_capped_everywhere) {
    WalkthroughHouse();
    Sweep(Every(397.0, 401.0, 0.1));
    Sweep(Every(280.0, 420.0, 4.0));
}

TEST_F(HouseRidgeSection, the_views_house_swept_beside_its_ridge_is_capped_everywhere) {
    ViewsHouse();
    Sweep(Every(397.0, 401.0, 0.1));
    Sweep(Every(280.0, 420.0, 4.0));
}
