// What a view shows, gathered into the section object: the 3DFACEs, 3D
// LINEs, hatch pattern lines and solids of the drawing (or of the user's
// selection), the contents of block references down to any depth, and the
// level marks of the views made from selected objects. Faces are cut at the
// section plane on the way in and, once every object is in, projected into
// the face records and segments the visibility pass works on.
//
// An INSERT with a view record is a view of the whole model: drawing it
// into a new view would show the model twice, so it is passed over whole,
// level marks and all. A nested reference is never tested for records; only
// the references the selection holds are.
//
// The section object's cutters read the frame from world to view; an entity
// inside a block is brought into the world by its placement first, which is
// done by cutting with the product of the two as the frame for that one
// entity (the result is the same view point, so an axonometric view's way
// back to the world stays right).
#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/host_services.h"
#include "core/name_list.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/ssget.h"
#include "host/db/dbblockwalk.h"
#include "host/db/dbents.h"
#include "host/db/dbhatch.h"
#include "host/db/dbhatchpat.h"
#include "host/db/dbinsert.h"
#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsolid.h"
#include "host/db/dbsymtb.h"
#include "host/ed/prompts.h"
#include "visual/model3d/scene_walk.h"
#include "visual/views/hidden_faces.h"
#include "visual/views/polygon_clip.h"
#include "visual/views/section_caps.h"
#include "visual/views/section_cut.h"
#include "visual/views/section_faces.h"
#include "visual/views/shadow_hatch.h"
#include "visual/views/view_commands.h"
#include "visual/views/view_shading.h"

namespace {

constexpr double kEmptyBox = 3.4028234663852886e+38;

// The section object's frame for the cut of one placed entity, put back
// when the cut is done.
class PlacedFrame {
public:
    PlacedFrame(CSezione& section, const Matrix4& placement) : section_(section), saved_(section.viewFrame) {
        MultiplyMatrix4(saved_, placement, section_.viewFrame);
    }
    ~PlacedFrame() { section_.viewFrame = saved_; }
    PlacedFrame(const PlacedFrame&) = delete;
    PlacedFrame& operator=(const PlacedFrame&) = delete;

private:
    CSezione& section_;
    Matrix4 saved_;
};

Matrix4 ToMatrix4(const ZcDbXform& x) {
    Matrix4 m;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m.m[r][c] = x.m[r][c];
    return m;
}

Matrix4 Identity() {
    Matrix4 m;
    SetIdentity4(m);
    return m;
}

// The 1011 points of the reference's level mark record, each once, after
// those found before.
void TakeLevelMarks(const ads_name insert, std::vector<Point3>& found) {
    host::ResbufList list(GetEntXData(insert, kLevelMarkApp));
    const resbuf* app = FindXDataApp(list.get(), kLevelMarkApp);
    if (!app) return;
    for (const resbuf* rb = app->rbnext; rb && rb->restype != 1001; rb = rb->rbnext) {
        if (rb->restype != 1011) continue;
        const Point3 p{rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]};
        bool known = false;
        for (const Point3& q : found)
            if (PointsEqual(p, q, true)) {
                known = true;
                break;
            }
        if (!known) found.push_back(p);
    }
}

// The faces gathered while one lives are one object's (an insert's, a
// solid's): the caps group them by it.
class ObjectFaces {
public:
    explicit ObjectFaces(CSezione& section) : section_(section) {
        section_.solidGroup = ++section_.solidGroups;
    }
    ~ObjectFaces() { section_.solidGroup = 0; }
    ObjectFaces(const ObjectFaces&) = delete;
    ObjectFaces& operator=(const ObjectFaces&) = delete;

private:
    CSezione& section_;
};

// One selected entity by its class.
void CollectEntity(CSezione& section, const ads_name name, std::vector<Point3>& marks) {
    ZcDbObjectId id;
    if (zcdbGetObjectId(id, name) != Zcad::eOk) return;
    bool takeMarks = false;
    {
        ZcDbObjectPointer<ZcDbEntity> entity(id, ZcDb::kForRead);
        if (!entity) return;
        if (const auto* face = ZcDbFace::cast(entity.get())) {
            CollectViewFace(section, face, Identity());
        } else if (const auto* line = ZcDbLine::cast(entity.get())) {
            section.CutLineEntity(line);
        } else if (const auto* hatch = ZcDbHatch::cast(entity.get())) {
            section.CutHatchLines(hatch);
        } else if (ZcDb3dSolid::cast(entity.get())) {
            ObjectFaces numbered(section);
            section.CollectEntityFaces(entity.get(), Identity());
        } else if (const auto* insert = ZcDbBlockReference::cast(entity.get())) {
            if (host::ResbufList(GetEntXData(name, kViewRecordApp))) return;
            ObjectFaces numbered(section);
            CollectBlockObjects(section, insert, nullptr);
            takeMarks = true;
        }
    }
    if (takeMarks) TakeLevelMarks(name, marks);
}

void CollectSet(CSezione& section, const host::SelectionSet& set, std::vector<Point3>& marks) {
    ads_name name;
    for (std::int32_t i = 0; !section.abortFlag && set.name(i, name); ++i)
        CollectEntity(section, name, marks);
}

// The hidden faces removed, the face groups' shadows cast, the light's
// angle on the sheet.
void HideFacesAndShade(CSezione& section) {
    double grid[63];
    SpanViewGrid(section.boxMin, section.boxMax, grid);
    // The faces left go on in the order they came: the lines drawn of them
    // must be those drawn when no face is taken out, and the line pass's
    // result may hang on the order of faces that touch.
    std::unordered_map<const SectionFace*, std::size_t> order;
    for (const SectionFace* f = section.faces; f; f = f->next) order.emplace(f, order.size());
    section.faces = ComputeHiddenLines(section.faces, grid, &section.coplanarGroups);
    std::vector<SectionFace*> left;
    for (SectionFace* f = section.faces; f; f = f->next) left.push_back(f);
    std::sort(left.begin(), left.end(),
              [&order](const SectionFace* a, const SectionFace* b) { return order.at(a) < order.at(b); });
    section.faces = nullptr;
    for (auto f = left.rbegin(); f != left.rend(); ++f) {
        (*f)->next = section.faces;
        section.faces = *f;
    }
    if (zcedUsrBrk()) section.abortFlag = 1;
    if (!section.abortFlag)
        section.shadeOutlines = ComputeViewShading(&section.coplanarGroups, section.viewFrame,
                                                   section.lightDirection, section.abortFlag);
    if (!section.abortFlag) ClearShadowsInCaps(section);
    section.coplanarGroups = FreeFaceGroups(section.coplanarGroups);
    if (section.abortFlag) return;
    Point3 origin, light;
    TransformPoint(section.viewFrame, Point3{0.0, 0.0, 0.0}, origin);
    TransformPoint(section.viewFrame, section.lightDirection, light);
    double angle = std::atan2(light.y - origin.y, light.x - origin.x);
    if (angle < 0.0) angle += 2.0 * std::numbers::pi;
    section.lightAngle = angle;
}

}  // namespace

void CollectViewObjects(CSezione& section, std::uint8_t selectMode) {
    for (int k = 0; k < 3; ++k) {
        section.boxMin[k] = kEmptyBox;
        section.boxMax[k] = -kEmptyBox;
    }
    // The level marks as found, each once, in world coordinates.
    std::vector<Point3> found;
    if (selectMode == 0) {
        if (scene::RefuseOversizedScene()) {
            section.abortFlag = 1;
            return;
        }
        // Kinds in this order, as one set of them all would hold them.
        const char* const kinds[] = {"3DFACE", "INSERT", "HATCH", "LINE", "3DSOLID"};
        for (const char* kind : kinds) {
            host::SelectionSet set;
            const int got = std::string_view(kind) == "LINE"
                                ? SelectTypeOnLayer(kind, "*3D*", false, set.put(), false)
                                : ExistsEntityType(kind, false, set.put());
            if (got) CollectSet(section, set, found);
            if (section.abortFlag) return;
        }
    } else {
        const char* prompts[2] = {"Wybierz obiekty, które chcesz wygenerować w widoku:",
                                  "Usuń obiekty ze zbioru wskazań:"};
        host::SelectionSet set;
        if (zcedSSGet(":$", prompts, nullptr, nullptr, set.put()) != RTNORM) {
            section.abortFlag = 1;
            return;
        }
        CollectSet(section, set, found);
        if (section.abortFlag) return;
    }

    // The caps are read off the whole face set: the hidden faces taken out
    // below would spoil the count of faces behind a cut.
    if (section.cleanUp || section.hiddenLines) FindSectionCaps(section);
    if (section.hiddenLines) {
        HideFacesAndShade(section);
        if (section.abortFlag) return;
    }

    // Marks in front of the section plane are cut away with what they mark.
    VertexNode** tail = &section.levelMarks;
    while (*tail) tail = &(*tail)->next;
    for (const Point3& p : found) {
        Point3 view;
        TransformPoint(section.viewFrame, p, view);
        if (view.z < 0.0) continue;
        view.z = 0.0;
        bool known = false;
        for (const VertexNode* v = section.levelMarks; v && !known; v = v->next)
            known = PointsEqual(v->pt(), view, true);
        if (known) continue;
        *tail = NewVertex(view.x, view.y, 0.0, 0, 0, 0, 0);
        tail = &(*tail)->next;
    }

    while (SectionFace* face = section.faces) {
        section.faces = face->next;
        face->next = nullptr;
        section.ProjectFace(face);
        delete face;
    }
}

void CollectViewFace(CSezione& section, const ZcDbFace* face, const Matrix4& placement) {
    if (section.depthFlag) {
        PlacedFrame placed(section, placement);
        section.CutDepthFace(face);
        return;
    }
    Point3 view[4];
    int words[4];
    int inFront = 0;
    for (int k = 0; k < 4; ++k) {
        ZcGePoint3d p;
        face->getVertexAt(k, p);
        Point3 world;
        TransformPoint(placement, Point3{p.x, p.y, p.z}, world);
        TransformPoint(section.viewFrame, world, view[k]);
        bool visible = true;
        face->isEdgeVisibleAt(k, visible);
        words[k] = visible ? 1 : 0;
        inFront += !section.BehindCut(view[k].z, 0.0);
    }
    // Wholly on the viewer's side of the section plane, or lying in it: cut
    // away.
    if (inFront == 4) return;

    const std::string layer = face->layer();
    int colour = 256;
    {
        ZcDbObjectPointer<ZcDbLayerTableRecord> record(face->layerId(), ZcDb::kForRead);
        if (!record || record->isOff() || record->isFrozen()) return;
        if (section.useEntityColour) colour = record->colorIndex();
    }
    std::string filed = layer;
    const int level = section.ParseLevel3DLayer(filed);
    if (!FindName(filed, section.layerNames)) {
        section.layerNames = AppendName(filed, section.layerNames, section.layerCount * level);
        ++section.layerCount;
    }

    if (inFront == 0) {
        section.AddQuadFaces(view, words, 1, layer, colour);
    } else {
        Point3 cut[8];
        int cutWords[8] = {0, 0, 0, 0, 0, 0, 0, 0};
        const int pieces = section.CutFace(view, words, cut, cutWords, section.sectionPlane, 0.0);
        if (pieces > 0) section.AddQuadFaces(cut, cutWords, std::min(pieces, 2), layer, colour);
    }
    if (zcedUsrBrk()) section.abortFlag = 1;
}

namespace {

// A reference into a block the walk is already inside draws nothing.
void CollectBlockObjectsOnPath(CSezione& section, const ZcDbBlockReference* insert, const Matrix4* parent,
                               ZcDbBlockPath& path) {
    const ZcDbObjectId blockId = insert->blockTableRecord();
    ZcDbBlockPath::Step step(path, blockId);
    if (!step) return;
    Matrix4 transform = ToMatrix4(insert->blockTransform());
    if (parent) {
        const Matrix4 own = transform;
        MultiplyMatrix4(*parent, own, transform);
    }
    for (const ZcDbObjectId& id : scene::BlockEntities(blockId)) {
        if (section.abortFlag) return;
        ZcDbObjectPointer<ZcDbEntity> entity(id, ZcDb::kForRead);
        if (!entity) continue;
        if (const auto* line = ZcDbLine::cast(entity.get())) {
            PlacedFrame placed(section, transform);
            section.CutLineEntity(line);
        } else if (const auto* hatch = ZcDbHatch::cast(entity.get())) {
            PlacedFrame placed(section, transform);
            section.CutHatchLines(hatch);
        } else if (const auto* face = ZcDbFace::cast(entity.get())) {
            CollectViewFace(section, face, transform);
        } else if (const auto* nested = ZcDbBlockReference::cast(entity.get())) {
            CollectBlockObjectsOnPath(section, nested, &transform, path);
        }
    }
}

}  // namespace

void CollectBlockObjects(CSezione& section, const ZcDbBlockReference* insert, const Matrix4* parent) {
    ZcDbBlockPath path;
    CollectBlockObjectsOnPath(section, insert, parent, path);
}

void AddViewHatch(const std::string& blockName, const VertexNode* ring, const std::string& layer,
                  const std::string& pattern, double scale, double angleDegrees) {
    if (CountNodes(ring) < 2) return;
    ZcDbDatabase* db = GetWorkingDatabase();
    if (!db) return;
    auto* hatch = new ZcDbHatch;
    hatch->setDatabaseDefaults(db);
    hatch->setAssociative(false);
    hatch->setLayer(layer);
    hatch->setPatternScale(scale);
    hatch->setPatternAngle(angleDegrees * std::numbers::pi / 180.0);
    SetPatternFromSupport(*hatch, pattern, "SETSEZMODHSEZ");
    FinishViewHatch(hatch, ring, blockName);
}
