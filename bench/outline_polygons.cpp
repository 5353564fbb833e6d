// Growth of the wall-side polygon work with the number of faces of a floor:
// each face's elevation rectangle is cut by its openings and notched by its
// doors, as the 3D wall sides and the wall hatching do it for every face.
// Every face carries a door and two windows, one of them running through
// the face. The faces and outlines are made untimed.
#include "walls/graph/outline_polygons.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

VertexNode* Rectangle(double x0, double y0, double x1, double y1) {
    VertexNode* head = nullptr;
    for (Point3 p : {Point3{x0, y0, 0}, Point3{x1, y0, 0}, Point3{x1, y1, 0}, Point3{x0, y1, 0}})
        AppendVertex(&head, p, 1, 0, 0);
    return head;
}

VertexNode* Jamb(double x) {
    VertexNode* head = nullptr;
    AppendVertex(&head, {x, 15, 0}, 1, 0, 0);
    AppendVertex(&head, {x, -15, 0}, 1, 0, 0);
    return head;
}

OutlineNode* Opening(double a, double b, VertexNode* hole) {
    auto* o = new OutlineNode;
    o->kind = 11;
    o->jamb1 = Jamb(a);
    o->jamb2 = Jamb(b);
    o->cut3DExt1 = hole;
    return o;
}

void BM_CutAndNotchFaces(benchmark::State& state) {
    const int faces = static_cast<int>(state.range(0));
    double left = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<WallFace*> walls;
        OutlineNode* outlines = nullptr;
        for (int i = 0; i < faces; ++i) {
            WallFace* face = NewWallFace();
            face->start = {0, -15, 0};
            face->end = {400, -15, 0};
            for (OutlineNode* o : {Opening(150, 240, Rectangle(150, 0, 240, 210)),
                                   Opening(40, 110, Rectangle(40, 90, 110, 210)),
                                   Opening(-10, 410, Rectangle(-10, 230, 410, 260))}) {
                o->next = outlines;
                outlines = o;
                LinkOutline(*face, o);
            }
            walls.push_back(face);
        }
        state.ResumeTiming();
        for (WallFace* face : walls) {
            auto* polygon = new ContourNode;
            polygon->vertices = Rectangle(0, 0, 400, 275);
            ContourNode* pieces = CutPolygonsByOutlines(polygon, face);
            for (ContourNode* p = pieces; p; p = p->next) {
                p->vertices = MergeOutlineIntoPolygon(p->vertices, face);
                left += CountNodes(p->vertices);
            }
            FreeListOfLists(pieces);
        }
        state.PauseTiming();
        for (WallFace* face : walls) FreeFaceList(face);
        FreeOutlineList(outlines);
        state.ResumeTiming();
    }
    benchmark::DoNotOptimize(left);
    state.SetComplexityN(faces);
}

}  // namespace

BENCHMARK(BM_CutAndNotchFaces)->RangeMultiplier(10)->Range(10, 10000)->Complexity();
