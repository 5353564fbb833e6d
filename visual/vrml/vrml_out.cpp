// The VRML 2.0 writer and "VELMWRLOUT": see vrml_out.h for what the file
// holds.
#include "visual/vrml/vrml_out.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <numbers>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/geometry/geom_basic.h"
#include "core/host_services.h"
#include "core/levels.h"
#include "host/ads/acicolor.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbents.h"
#include "host/db/dbinsert.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/db/dbxform.h"
#include "host/ed/adspick.h"
#include "host/ed/cmdproc.h"
#include "host/ui/hostdialogs.h"
#include "host/util/nocase.h"
#include "host/win/files.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "visual/model3d/scene_walk.h"

namespace {

using namespace scene;

constexpr double kPi = std::numbers::pi;

bool IsRealGroup(const resbuf* rb) {
    return rb && (rb->restype == 1040 || rb->restype == RTREAL);
}

// The numbered variables of a placed object: from the eighth group after
// its name, a number and the value after it. A light's walk stops at the
// first pair that is not a 1070 number with a value; a camera's goes to the
// end of the list and looks at the numbers only.
template <class Fn>
void ForEachVariable(const resbuf* list, bool toTheEnd, Fn fn) {
    const resbuf* rb = ObjectNameGroup(list);
    for (int i = 0; rb && i < 8; ++i) rb = rb->rbnext;
    while (rb && rb->rbnext) {
        const resbuf* value = rb->rbnext;
        if (!toTheEnd && (rb->restype != 1070 || !IsRealGroup(value))) break;
        if (rb->restype == 1070 || rb->restype == RTSHORT)
            fn(static_cast<int>(rb->resval.rint), IsRealGroup(value) ? value->resval.rreal : 0.0,
               IsRealGroup(value));
        rb = value->rbnext;
    }
}

struct Quaternion {
    double x = 0.0, y = 0.0, z = 0.0, w = 1.0;
};

Quaternion AxisAngle(const ZcGeVector3d& axis, double angle) {
    const double s = std::sin(angle / 2.0);
    return {axis.x * s, axis.y * s, axis.z * s, std::cos(angle / 2.0)};
}

Quaternion Multiply(const Quaternion& a, const Quaternion& b) {
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

ZcGeVector3d Rotate(const Quaternion& q, const ZcGeVector3d& v) {
    const Quaternion p = Multiply(Multiply(q, {v.x, v.y, v.z, 0.0}), {-q.x, -q.y, -q.z, q.w});
    return {p.x, p.y, p.z};
}

double ClampedAcos(double c) {
    return std::acos(std::clamp(c, -1.0, 1.0));
}

std::string TextVar(const char* name) {
    std::string value;
    SysVarString(name, {}, value);
    return value;
}

// Red, green and blue of a packed colour, each 0 to 1.
void SplitColour(std::uint32_t packed, double out[3]) {
    const host::AciRgb rgb = VrmlColourRgb(packed);
    out[0] = rgb.r / 255.0, out[1] = rgb.g / 255.0, out[2] = rgb.b / 255.0;
}

}  // namespace

// ---------------------------------------------------------------- command

std::string VrmlDefaultFileName(const std::string& drawingName) {
    std::string name = drawingName;
    if (name.size() > 4 && name[name.size() - 4] == '.') name.resize(name.size() - 4);
    return name;
}

void CmdWrlOut() {
    if (scene::RefuseOversizedScene()) return;
    CVrmlOut out;
    const std::string name = VrmlDefaultFileName(TextVar("DWGNAME"));
    resbuf* answer = nullptr;
    const int rc = zcedGetFileNavDialog("Nazwa pliku do rozpakowania", name.c_str(), "wrl", "File Wrl",
                                        ZCUI_FILE_NEW | ZCUI_FILE_NO_TYPEIT, &answer);
    const host::ResbufList chosen(answer);
    std::string path;
    if (rc == RTNORM && chosen && chosen->restype == RTSTR && chosen->resval.rstring)
        path = chosen->resval.rstring;
    // An export that ends without its file fails, as the command line and
    // a script's exit status say.
    const VrmlWritten written = path.empty() ? VrmlWritten::Nothing : out.Write(path);
    const std::string where = host::absolutePath(path);
    switch (written) {
        case VrmlWritten::Nothing:
            zcutPrintf("\nNie zapisano pliku VRML.");
            host::noteFailed();
            break;
        case VrmlWritten::Whole:
            zcutPrintf("\nZapisano plik VRML %s.", where.c_str());
            break;
        case VrmlWritten::WithoutModel:
            // What the user chose by cancelling: the file as far as it got.
            zcutPrintf(
                "\nZapisano plik VRML %s tylko z tłem i punktami widzenia (przerwano przy wyborze "
                "aparatu: bez świateł i ścian).",
                where.c_str());
            break;
    }
}

// ---------------------------------------------------------------- writer

CVrmlOut::CVrmlOut() {
    unitFactor = SettingReal(SetupVar::SFTMTCM, 1.0);
    viewDir = ReadPointVar("VIEWDIR").asVector();
    if (!viewDir.isZeroLength()) viewDir.normalize();
    viewCentre = ReadPointVar("VIEWCTR");
    const int read = 0;
    viewSize = SysVarReal("VIEWSIZE", nullptr, &read);
    headlight = SettingInt(SetupVar::SETVRML_LOSS, 0);
    ReadLayerVrmlDef(layerMaterials);
}

CVrmlOut::~CVrmlOut() {
    layerMaterials.clear();
}

void CVrmlOut::Emit(const char* format, ...) {
    va_list args;
    va_start(args, format);
    if (m_out) m_out->emit(format, args);
    va_end(args);
}

bool CVrmlOut::Stopped() const {
    return m_out && m_out->stopped();
}

VrmlWritten CVrmlOut::Write(const std::string& path) {
    // Written aside and renamed over the name: a link under the name is
    // replaced, not written through, and a file that fails or grows past
    // its bound leaves the old one.
    scene::SceneFile file(maxFileMegabytes);
    if (!file.open(path)) return VrmlWritten::Nothing;
    m_out = &file;
    Emit("#VRML V2.0 utf8\n");
    Emit("#Elaborato con Velmor versione 2014\n");
    Emit("NavigationInfo {\n");
    Emit(headlight ? "headlight TRUE\n}\n" : "headlight FALSE\n}\n");
    WriteBackground();
    const bool picked = WriteViewpoints() != 0;
    if (picked) {
        WriteLights();
        WriteModelSpaceShapes();
    }
    m_out = nullptr;
    if (!file.commit()) return VrmlWritten::Nothing;
    return picked ? VrmlWritten::Whole : VrmlWritten::WithoutModel;
}

void CVrmlOut::WriteBackground() {
    auto rowColour = [this](const char* name, double r, double g, double b, double out[3]) {
        out[0] = r, out[1] = g, out[2] = b;
        for (const AA_LAYERVRML& row : layerMaterials)
            if (zcutEqualsNoCase(row.layer, name)) {
                SplitColour(row.colour, out);
                return;
            }
    };
    double zenith[3], bottom[3], base[3];
    rowColour("SkyZenith", 0.0, 0.0, 1.0, zenith);
    rowColour("SkyBottom", 0.5, 0.3, 0.3, bottom);
    rowColour("SkyBase", 0.4, 0.4, 0.4, base);
    Emit("Transform {\n");
    Emit("rotation 1 0 0 1.57\n");
    Emit("children [\n");
    Emit("Background {\n");
    // A sky takes one colour more than it has angles: the zenith's colour
    // holds to the first angle, then fades to the bottom's at the second.
    Emit("skyColor [%.2f %.2f %.2f, %.2f %.2f %.2f, %.2f %.2f %.2f]\n", zenith[0], zenith[1], zenith[2],
         zenith[0], zenith[1], zenith[2], bottom[0], bottom[1], bottom[2]);
    Emit("skyAngle [1.3 1.8]\n");
    Emit("groundColor [%.2f %.2f %.2f, %.2f %.2f %.2f]\n", base[0], base[1], base[2], base[0], base[1],
         base[2]);
    Emit("groundAngle [1.4]\n}\n");
    Emit("]\n}\n");
}

int CVrmlOut::WriteViewpoints() {
    const double a = 0.392699;
    const double d = (viewSize * 0.5) / std::sin(a) * std::cos(a);
    const ZcGePoint3d position = viewCentre + viewDir * d;
    ZcGeVector3d axis;
    double angle = 0.0;
    LookAtOrientation(position, viewCentre, axis, angle);
    Emit("Viewpoint {\n");
    Emit("position  %.4lf %.4lf %.4lf \n", position.x, position.y, position.z);
    Emit("orientation  %.4lf %.4lf %.4lf %.4lf\n", axis.x, axis.y, axis.z, angle);
    Emit("description \"Default\"\n");
    Emit("jump TRUE\n");
    Emit("}\n");

    int picks = 0;
    for (;;) {
        ads_name picked;
        ads_point at;
        const int rc = zcedEntSel("\nWybierz aparat fotograficzny lub Enter, aby zakończyć:", picked, at);
        if (rc == RTCAN) return 0;
        if (rc == RTERROR) {
            if (PickHitNothing()) continue;
            return 1;
        }
        if (rc != RTNORM) return 1;
        ++picks;
        host::ResbufList list(GetEntXData(picked, kParamApp));
        const resbuf* name = list ? ObjectNameGroup(list.get()) : nullptr;
        double height = 0.0, opening = 0.0, tilt = 0.0;
        bool found[3] = {false, false, false};
        if (name && name->resval.rstring && zcutEqualsNoCase(name->resval.rstring, kCameraName))
            ForEachVariable(list.get(), true, [&](int number, double value, bool) {
                if (number == 35) height = value, found[0] = true;
                if (number == 40) opening = value, found[1] = true;
                if (number == 41) tilt = value, found[2] = true;
            });
        if (!(found[0] && found[1] && found[2])) {
            zcutPrintf("\nWybrany obiekt nie jest aparatem fotograficznym");
            continue;
        }
        ZcGePoint3d eye = InsertionPoint(list.get());
        eye.z = height;
        const double heading = InsertionRotation(list.get()) + kPi / 2.0;
        const double reach = 100.0 * unitFactor;
        const double t = tilt * kPi / 180.0;
        ZcGePoint3d target = Polar(eye, heading, reach * std::cos(t));
        target.z = eye.z + reach * std::sin(t);
        LookAtOrientation(eye, target, axis, angle);
        Emit("Viewpoint {\n");
        Emit("fieldOfView %.4lf\n", opening * kPi / 180.0);
        Emit("position  %.4lf %.4lf %.4lf \n", eye.x, eye.y, eye.z);
        Emit("orientation  %.4lf %.4lf %.4lf %.4lf\n", axis.x, axis.y, axis.z, angle);
        Emit("description \"Punto di vista%d\"\n", picks);
        Emit("jump TRUE\n");
        Emit("}\n");
    }
}

void LookAtOrientation(const ZcGePoint3d& eye, const ZcGePoint3d& target, ZcGeVector3d& axis, double& angle) {
    axis = ZcGeVector3d(1.0, 0.0, 0.0);
    angle = 0.0;
    ZcGeVector3d d = target - eye;
    // An eye on its target looks nowhere: the camera stays as it is.
    if (d.isZeroLength()) return;
    d.normalize();
    ZcGeVector3d u = ZcGeVector3d(0.0, 0.0, 1.0) - d * d.z;

    Quaternion q1;
    const ZcGeVector3d axis1(d.y, -d.x, 0.0);
    if (axis1.dotProduct(axis1) < GeomEpsilon) {
        if (d.z > 0.0) q1 = {0.0, 1.0, 0.0, 0.0};
    } else {
        q1 = AxisAngle(axis1.normal(), ClampedAcos(-d.z));
    }
    const ZcGeVector3d y1 = Rotate(q1, ZcGeVector3d(0.0, 1.0, 0.0));

    // Looking straight up or down leaves no up direction to turn to: the
    // camera keeps the one the first turn gave it.
    Quaternion q2;
    if (!u.isZeroLength()) {
        u.normalize();
        ZcGeVector3d axis2 = y1.crossProduct(u);
        if (axis2.dotProduct(axis2) <= GeomEpsilon) {
            axis2 = ZcGeVector3d(0.0, -u.z, u.y);
            if (axis2.dotProduct(axis2) < GeomEpsilon) axis2 = ZcGeVector3d(u.z, 0.0, -u.x);
        }
        if (!axis2.isZeroLength()) q2 = AxisAngle(axis2.normal(), ClampedAcos(y1.dotProduct(u)));
    }

    const Quaternion q = Multiply(q2, q1);
    const double half = ClampedAcos(q.w);
    angle = 2.0 * half;
    const double s = std::sin(half);
    if (std::fabs(s) >= GeomEpsilon) axis = ZcGeVector3d(q.x / s, q.y / s, q.z / s);
}

// How far a light at `at` must reach to light the whole model: to the
// farthest corner of the drawing's extents. The file format's own reach is
// 100 units, a metre of a drawing in centimetres, which lights next to
// nothing; a drawing without extents keeps it.
static double LightRadius(const ZcDbExtents3d& model, const ZcGePoint3d& at) {
    if (!model.isValid()) return 100.0;
    double farthest = 0.0;
    for (int corner = 0; corner < 8; ++corner) {
        const ZcGePoint3d p((corner & 1) ? model.max.x : model.min.x,
                            (corner & 2) ? model.max.y : model.min.y,
                            (corner & 4) ? model.max.z : model.min.z);
        farthest = std::max(farthest, p.distanceTo(at));
    }
    // Rounded up past the two decimals written, so the reach never falls
    // short of the corner it was measured to.
    return std::ceil(farthest * 100.0) / 100.0 + 0.01;
}

void CVrmlOut::WriteLights() {
    const ZcDbExtents3d model = host::drawingExtents(GetWorkingDatabase());
    scene::ForEachPlacedLight([&](const ads_name light) {
        const int kind = LightKind(light);
        if (kind < kPointLight || kind > kDirectionalLight) return true;
        host::ResbufList list(GetEntXData(light, kParamApp));
        if (!list) return true;
        ZcGePoint3d p = InsertionPoint(list.get());
        const double rotation = InsertionRotation(list.get());
        // What a light leaves out takes the file format's own defaults; a
        // distance that is not there aims as a positive one does.
        double cutOff = 0.785398, beamWidth = 1.570796, tilt = 0.0, distance = 1.0, intensity = 1.0;
        double colour[3] = {0.0, 0.0, 0.0};
        ForEachVariable(list.get(), false, [&](int number, double value, bool real) {
            if (!real) return;
            switch (number) {
                case 45:
                    p.z += value;
                    break;
                case 46:
                    cutOff = value;
                    break;
                case 47:
                    beamWidth = value;
                    break;
                case 49:
                    tilt = value;
                    break;
                case 51:
                    if (value != 0.0) distance = value;
                    break;
                case 59:
                    intensity = 0.4 * value;
                    break;
                case 60:
                case 61:
                case 62:
                    colour[number - 60] = value / 255.0;
                    break;
                default:
                    break;
            }
        });
        const double t = tilt * kPi / 180.0;
        ZcGePoint3d aim = Polar(p, rotation, distance * std::cos(t));
        aim.z = p.z + distance * std::sin(t);
        ZcGeVector3d dir = aim - p;
        if (!dir.isZeroLength()) dir.normalize();
        if (kind == kPointLight)
            Emit(
                "PointLight {\nintensity %.4lf\nambientIntensity 0.5\ncolor %.2f %.2f %.2f\nlocation %.2f, "
                "%.2f, "
                "%.2f\nattenuation 1 0 0\nradius %.2f\n}\n",
                intensity, colour[0], colour[1], colour[2], p.x, p.y, p.z, LightRadius(model, p));
        else if (kind == kSpotLight)
            Emit(
                "SpotLight {\nintensity %.4lf\nambientIntensity 0.5\ncolor %.2f %.2f %.2f\nlocation %.2f, "
                "%.2f, "
                "%.2f\ndirection %.2f, %.2f, %.2f\nattenuation 1 0 0\nradius %.2f\ncutOffAngle "
                "%.4lf\nbeamWidth "
                "%.4lf\n}\n",
                intensity, colour[0], colour[1], colour[2], p.x, p.y, p.z, dir.x, dir.y, dir.z,
                LightRadius(model, p), cutOff, beamWidth);
        else
            Emit(
                "DirectionalLight {\nintensity %.4lf\nambientIntensity 0.5\ncolor %.2f %.2f %.2f\ndirection "
                "%.2f, "
                "%.2f, %.2f\n}\n",
                intensity, colour[0], colour[1], colour[2], dir.x, dir.y, dir.z);
        return true;
    });
}

// ---------------------------------------------------------------- shapes

void CVrmlOut::WriteModelSpaceShapes() {
    ZcDbDatabase* db = GetWorkingDatabase();
    if (!db) return;
    VrmlLayerGroups groups;
    for (const ZcDbObjectId& id : scene::BlockEntities(db->modelSpaceId())) {
        if (Stopped()) return;
        AddEntity(id, ZcDbXform(), groups);
    }
    WriteGroups(groups);
}

void CVrmlOut::WriteBlockShapes(const ZcDbBlockReference& insert, const ZcDbXform& parent) {
    const ZcDbXform transform = Product(parent, insert.blockTransform());
    VrmlLayerGroups groups;
    for (const ZcDbObjectId& id : scene::BlockEntities(insert.blockTableRecord())) {
        if (Stopped()) return;
        AddEntity(id, transform, groups);
    }
    WriteGroups(groups);
}

void CVrmlOut::AddEntity(const ZcDbObjectId& id, const ZcDbXform& transform, VrmlLayerGroups& groups) {
    ZcDbObjectPointer<ZcDbEntity> opened(id, ZcDb::kForRead);
    if (!opened || opened->isErased()) return;
    if (const ZcDbFace* face = ZcDbFace::cast(opened.get())) {
        if (!IsLayerVisible(face->layer())) return;
        ZcGePoint3d corners[4];
        for (int i = 0; i < 4; ++i) {
            face->getVertexAt(i, corners[i]);
            corners[i] = transform.apply(corners[i]);
        }
        AddVrmlFace(corners, FindOrAddLayerGroup(VrmlGroupName(face->layer()), groups));
    } else if (const ZcDbBlockReference* insert = ZcDbBlockReference::cast(opened.get())) {
        // The reference is read whole before its block is walked, so the
        // entity stays open only for the reading.
        WriteBlockShapes(*insert, transform);
    }
}

void CVrmlOut::WriteGroups(VrmlLayerGroups& groups) {
    for (auto group = groups.rbegin(); group != groups.rend() && !Stopped(); ++group) WriteShape(*group);
    FreeLayerGroups(groups);
}

VrmlMaterial CVrmlOut::GetLayerMaterial(const std::string& groupName) const {
    VrmlMaterial material;
    for (const AA_LAYERVRML& row : layerMaterials) {
        if (!zcutEqualsNoCase(row.layer, groupName)) continue;
        material.ambientIntensity = row.ambient / 10.0;
        material.shininess = row.shininess / 10.0;
        material.transparency = row.transparency / 10.0;
        SplitColour(row.colour, material.specular);
        break;
    }
    ZcDbDatabase* db = GetWorkingDatabase();
    if (!db) return material;
    ZcDbSymbolTableIterator* it = nullptr;
    {
        ZcDbObjectPointer<ZcDbLayerTable> layers(db->layerTableId(), ZcDb::kForRead);
        if (!layers || layers->newIterator(it) != Zcad::eOk || !it) return material;
    }
    for (; !it->done(); it->step()) {
        ZcDbObjectId id;
        it->getRecordId(id);
        ZcDbObjectPointer<ZcDbLayerTableRecord> layer(id, ZcDb::kForRead);
        if (!layer) continue;
        std::string key;
        StripAppPrefix(layer->name(), key);
        if (!zcutEqualsNoCase(key, groupName)) continue;
        host::AciRgb rgb;
        if (layer->trueColor() >= 0) {
            const std::int32_t tc = layer->trueColor();
            rgb = {static_cast<std::uint8_t>((tc >> 16) & 0xFF), static_cast<std::uint8_t>((tc >> 8) & 0xFF),
                   static_cast<std::uint8_t>(tc & 0xFF)};
        } else {
            rgb = host::aciToRgb(layer->colorIndex()).value_or(host::AciRgb{});
        }
        material.diffuse[0] = rgb.r / 255.0, material.diffuse[1] = rgb.g / 255.0,
        material.diffuse[2] = rgb.b / 255.0;
        break;
    }
    delete it;
    return material;
}

void CVrmlOut::WriteShape(const VrmlLayerGroup& group) {
    const VrmlMaterial m = GetLayerMaterial(group.name);
    Emit("Shape {\n");
    Emit("appearance Appearance {\n");
    Emit("material Material {\n");
    Emit("ambientIntensity %.4lf\n", m.ambientIntensity);
    Emit("diffuseColor %.4lf %.4lf %.4lf\n", m.diffuse[0], m.diffuse[1], m.diffuse[2]);
    Emit("specularColor %.4lf %.4lf %.4lf\n", m.specular[0], m.specular[1], m.specular[2]);
    Emit("emissiveColor 0.0 0.0 0.0\n");
    Emit("shininess %.4lf\n", m.shininess);
    Emit("transparency %.4lf\n", m.transparency);
    Emit("}}\n");
    Emit("geometry IndexedFaceSet {\n");
    Emit("coord Coordinate { point [\n");
    for (const ZcGePoint3d& p : group.vertices) Emit("%.4lf %.4lf %.4lf\n", p.x, p.y, p.z);
    Emit("]}\n");
    Emit("coordIndex [\n");
    for (auto face = group.faces.rbegin(); face != group.faces.rend(); ++face) {
        const int* i = face->index;
        if (i[3] < 0)
            Emit("%d %d %d %d\n", i[0], i[1], i[2], i[3]);
        else
            Emit("%d %d %d %d %d\n", i[0], i[1], i[2], i[3], i[4]);
    }
    Emit("]\n");
    Emit("creaseAngle 0.0\n");
    Emit("solid FALSE\n");
    Emit("}}\n");
}

// ---------------------------------------------------------------- groups

std::string VrmlGroupName(const std::string& layerName) {
    std::string local, name;
    SplitAtBar(layerName, local);
    StripAppPrefix(local, name);
    return name;
}

VrmlLayerGroup& FindOrAddLayerGroup(const std::string& name, VrmlLayerGroups& groups) {
    for (VrmlLayerGroup& group : groups)
        if (zcutEqualsNoCase(group.name, name)) return group;
    groups.emplace_back().name = name;
    return groups.back();
}

std::size_t VrmlVertexGrid::CellHash::operator()(const std::array<std::int64_t, 3>& c) const noexcept {
    std::uint64_t h = 1469598103934665603ull;
    for (std::int64_t v : c) h = (h ^ static_cast<std::uint64_t>(v)) * 1099511628211ull;
    return static_cast<std::size_t>(h ^ (h >> 29));
}

namespace {

// The cell of a point, or false when a coordinate is not finite. Far
// coordinates are clamped: the cells out there get crowded, never wrong.
bool VertexCell(const Point3& p, double cell, std::array<std::int64_t, 3>& out) {
    const double c[3] = {p.x, p.y, p.z};
    for (int i = 0; i < 3; ++i) {
        if (!std::isfinite(c[i])) return false;
        out[i] = static_cast<std::int64_t>(std::clamp(std::floor(c[i] / cell), -1e15, 1e15));
    }
    return true;
}

void PlaceVertex(VrmlVertexGrid& grid, const Point3& p, int index) {
    std::array<std::int64_t, 3> key;
    if (VertexCell(p, grid.cell, key))
        grid.cells[key].push_back(index);
    else
        grid.unplaced.push_back(index);
}

}  // namespace

int FindOrAddVertex(const ZcGePoint3d& point, VrmlLayerGroup& group) {
    const Point3 p = ToPoint3(point);
    VrmlVertexGrid& grid = group.grid;
    // A cell never narrower than the tolerance keeps equal points within
    // one cell of each other; a new tolerance re-sorts what is there.
    const double cell = SharedTolerance > 0.0 ? SharedTolerance : 1.0;
    if (grid.cell != cell) {
        grid.cell = cell;
        grid.cells.clear();
        grid.unplaced.clear();
        for (std::size_t i = 0; i < group.vertices.size(); ++i)
            PlaceVertex(grid, ToPoint3(group.vertices[i]), static_cast<int>(i));
    }
    int found = -1;
    const auto consider = [&](int i) {
        if ((found < 0 || i < found) && PointsEqual(ToPoint3(group.vertices[i]), p, true)) found = i;
    };
    std::array<std::int64_t, 3> key;
    if (VertexCell(p, cell, key)) {
        for (std::int64_t dx = -1; dx <= 1; ++dx)
            for (std::int64_t dy = -1; dy <= 1; ++dy)
                for (std::int64_t dz = -1; dz <= 1; ++dz) {
                    const auto it = grid.cells.find({key[0] + dx, key[1] + dy, key[2] + dz});
                    if (it != grid.cells.end())
                        for (int i : it->second) consider(i);
                }
        for (int i : grid.unplaced) consider(i);
    } else {
        for (std::size_t i = 0; i < group.vertices.size() && found < 0; ++i) consider(static_cast<int>(i));
    }
    if (found >= 0) return found;
    group.vertices.push_back(point);
    const int index = static_cast<int>(group.vertices.size()) - 1;
    PlaceVertex(grid, p, index);
    return index;
}

void AddVrmlFace(const ZcGePoint3d (&corners)[4], VrmlLayerGroup& group) {
    int skip = -1;
    for (int i = 0; i < 4 && skip < 0; ++i)
        if (PointsEqual(ToPoint3(corners[i]), ToPoint3(corners[(i + 1) % 4]), true)) skip = i;
    VrmlFace face;
    int n = 0;
    for (int i = 0; i < 4; ++i)
        if (i != skip) face.index[n++] = FindOrAddVertex(corners[i], group);
    group.faces.push_back(face);
}

void FreeLayerGroups(VrmlLayerGroups& groups) {
    groups.clear();
}
