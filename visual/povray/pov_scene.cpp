// The POV-Ray scene writer: see pov_scene.h for what the file holds.
#include "visual/povray/pov_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <numbers>
#include <vector>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/geometry/geom_basic.h"
#include "core/host_services.h"
#include "core/levels.h"
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
#include "host/ui/msgbox.h"
#include "host/util/nocase.h"
#include "host/win/files.h"
#include "host/win/textutil.h"
#include "settings/matpov_registry.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "visual/model3d/scene_file.h"
#include "visual/model3d/scene_walk.h"
#include "visual/povray/pov_engine.h"
#include "visual/povray/pov_tables.h"

namespace {

using namespace scene;

constexpr double kPi = std::numbers::pi;

double Degrees(double radians) {
    return radians * 180.0 / kPi;
}

double Radians(double degrees) {
    return degrees * kPi / 180.0;
}

PovColour SplitColour(int colourRef) {
    return {colourRef & 0xFF, (colourRef >> 8) & 0xFF, (colourRef >> 16) & 0xFF};
}

double RegistryReal(const char* name) {
    double value = 0.0;
    ReadRegistryVariables(name, nullptr, &value, nullptr);
    return value;
}

int RegistryInt(const char* name) {
    int value = 0;
    ReadRegistryVariables(name, &value, nullptr, nullptr);
    return value;
}

double ReadRealVar(const char* name) {
    const int read = 0;
    return SysVarReal(name, nullptr, &read);
}

int ReadShortVar(const char* name) {
    const int read = -1;
    return SysVarShort(name, &read);
}

bool IsCameraRecord(const resbuf* list) {
    const resbuf* name = ObjectNameGroup(list);
    return name && name->resval.rstring && zcutEqualsNoCase(name->resval.rstring, kCameraName);
}

// The parameter pairs of a placed object: from the eighth group after its
// name, a 1070 number and the value after it, as long as numbers follow.
template <class Fn>
void ForEachParameter(const resbuf* list, Fn fn) {
    const resbuf* rb = ObjectNameGroup(list);
    for (int i = 0; rb && i < 8; ++i) rb = rb->rbnext;
    while (rb && rb->restype == 1070 && rb->rbnext) {
        const resbuf* value = rb->rbnext;
        const bool real = value->restype == 1040 || value->restype == RTREAL;
        fn(static_cast<int>(rb->resval.rint), real ? value->resval.rreal : 0.0, real);
        rb = value->rbnext;
    }
}

struct RadiosityLevel {
    double pretraceEnd;
    int count;
    int nearestCount;
    double errorBound;
    int recursionLimit;
    double lowErrorFactor;
    double minimumReuse;
};

constexpr RadiosityLevel kRadiosityLevels[5] = {
    {0.08, 10, 3, 1.8, 1, 0.7, 0.008},   {0.06, 35, 5, 1.0, 2, 0.5, 0.01},
    {0.04, 100, 8, 0.2, 3, 0.4, 0.02},   {0.02, 200, 10, 0.03, 4, 0.3, 0.03},
    {0.01, 500, 15, 0.01, 5, 0.2, 0.04},
};

// The centre and height of a parallel view looking against `dir` that
// shows the box [lo, hi] whole: its eight corners projected on the view
// plane, the picture 1.33 times as wide as it is high. False for a plan
// view (the host frames those itself) or an empty box.
bool FrameBoxAlong(const ZcGePoint3d& lo, const ZcGePoint3d& hi, ZcGeVector3d dir, ZcGePoint3d& centre,
                   double& height) {
    if (lo.x > hi.x || lo.y > hi.y || lo.z > hi.z || dir.isZeroLength()) return false;
    dir.normalize();
    ZcGeVector3d right = ZcGeVector3d::kZAxis.crossProduct(dir);
    if (right.length() < 1e-9) return false;
    right.normalize();
    const ZcGeVector3d up = dir.crossProduct(right);
    double minR = 1e300, maxR = -1e300, minU = 1e300, maxU = -1e300;
    for (int i = 0; i < 8; ++i) {
        const ZcGeVector3d corner((i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z);
        const double r = corner.dotProduct(right), u = corner.dotProduct(up);
        minR = std::min(minR, r), maxR = std::max(maxR, r);
        minU = std::min(minU, u), maxU = std::max(maxU, u);
    }
    const ZcGeVector3d middle = (lo.asVector() + hi.asVector()) / 2.0;
    const double along = middle.dotProduct(dir);
    centre = ZcGePoint3d::kOrigin + right * ((minR + maxR) / 2.0) + up * ((minU + maxU) / 2.0) + dir * along;
    height = std::max(maxU - minU, (maxR - minR) / 1.33);
    return height > 0.0;
}

}  // namespace

// ---------------------------------------------------------------- building

CPovRay::CPovRay() {
    unitFactor = SettingReal(SetupVar::SFTMTCM, 1.0);
    textureScale = unitFactor / 0.01;
    imageDistance = SettingReal(SetupVar::SETPOVIMGDIST, 3000.0);
    addImage = SettingInt(SetupVar::SETPOVADDIMG, 0);
    imageFile = SettingString(SetupVar::SETPOVFILEIMG, "");
    ambientIntensity = RegistryReal("povIntAmbiente");
    groundHeight = SettingReal(SetupVar::SETPOVPIANOQZ, 0.0);
    brightness = RegistryReal("povBrightness");
    grayThreshold = RegistryReal("povGrayHold");
    groundPlaneOn = SettingInt(SetupVar::SETPOVPIANOORI, 0);
    skySphereOn = SettingInt(SetupVar::SETPOVSFERACEL, 0);
    radiosityQuality = RegistryInt("qualitaRadiosity");
    // A level the table has no row for reads as the middle one.
    if (radiosityQuality < 0 || radiosityQuality > 4) radiosityQuality = 2;
    ambientColour = SplitColour(RegistryInt("povColAmbiente"));
    backgroundColour = SplitColour(RegistryInt("povColSfondo"));
    zenithColour = SplitColour(RegistryInt("povColZenit"));
    horizonColour = SplitColour(RegistryInt("povColOrizzonte"));
    radiosityOn = brightness > 0.0;
    noClassicLights = RegistryInt("povSenzaLuci") > 0;
}

CPovRay::~CPovRay() = default;

void CPovRay::SetCamera(const ads_name camera) {
    ads_name_set(camera, cameraEntity);
    cameraPicked = true;
}

bool CPovRay::PickCamera() {
    for (;;) {
        ads_name picked;
        ads_point at;
        const int rc =
            zcedEntSel("\nWybierz aparat fotograficzny lub Enter, aby renderować bieżący widok:", picked, at);
        if (rc == RTCAN) return false;
        if (rc == RTERROR) {
            if (PickHitNothing()) continue;
            cameraPicked = false;
            return true;
        }
        if (rc != RTNORM) return true;
        host::ResbufList list(GetEntXData(picked, kParamApp));
        if (list && IsCameraRecord(list.get())) {
            SetCamera(picked);
            return true;
        }
        zcutPrintf(kNotACamera);
    }
}

// ---------------------------------------------------------------- the file

void CPovRay::Emit(const char* format, ...) {
    va_list args;
    va_start(args, format);
    if (m_out) m_out->emit(format, args);
    va_end(args);
}

bool CPovRay::Stopped() const {
    return m_out && m_out->stopped();
}

bool CPovRay::WriteScene(const std::string& path) {
    // The view is read with the scene, as the extents are (reading those
    // brings the drawing's stored extents up to date, which a command
    // cancelled at the camera prompt must not do).
    viewDir = ReadPointVar("VIEWDIR");
    viewCentre = ReadPointVar("VIEWCTR");
    viewTarget = ReadPointVar("TARGET");
    viewSize = ReadRealVar("VIEWSIZE");
    lensLength = ReadRealVar("LENSLENGTH");
    viewMode = ReadShortVar("VIEWMODE");
    PreparePovFolders();
    // The scene replaces the name whole once written: a link under the
    // name (as an unpacked archive may hold) is replaced, not written
    // through, and a scene that fails halfway, or grows past its bound,
    // leaves the old file.
    scene::SceneFile file(maxSceneMegabytes);
    if (!file.open(path)) return false;
    m_out = &file;
    m_refused.clear();
    for (const char* include : {"colors.inc", "textures.inc", "stones.inc", "metals.inc", "glass.inc",
                                "woods.inc", "velmak.inc", "velmakUser.inc"})
        Emit("#include \"%s\"\n", include);
    if (radiosityOn) WriteRadiosity();
    if (!WriteCamera()) {
        m_out = nullptr;
        return false;
    }
    WriteLights();
    Emit("global_settings { ambient_light <%.2f %.2f %.2f> }\n\n", ambientColour.r * ambientIntensity / 255.0,
         ambientColour.g * ambientIntensity / 255.0, ambientColour.b * ambientIntensity / 255.0);
    if (!(cameraPicked && addImage)) {
        if (skySphereOn) {
            Emit("sky_sphere { pigment { gradient z color_map {\n");
            Emit("[0 color <%.2f %.2f %.2f>]\n", horizonColour.r / 255.0, horizonColour.g / 255.0,
                 horizonColour.b / 255.0);
            Emit("[1 color <%.2f %.2f %.2f>]\n", zenithColour.r / 255.0, zenithColour.g / 255.0,
                 zenithColour.b / 255.0);
            Emit("} scale 1 translate -1 } }\n");
        } else {
            Emit("background { color rgb < %.2f %.2f %.2f> }\n", backgroundColour.r / 255.0,
                 backgroundColour.g / 255.0, backgroundColour.b / 255.0);
        }
    }
    WriteGeometry();
    m_out = nullptr;
    if (!file.commit()) return false;
    PlacePovIncludes(path);
    return true;
}

void CPovRay::WriteRadiosity() {
    RadiosityLevel level = kRadiosityLevels[radiosityQuality];
    if (noClassicLights) {
        level.pretraceEnd = 0.005;
        level.errorBound = 1.0;
        level.recursionLimit = 1;
        level.minimumReuse = 0.1;
    }
    Emit(
        "global_settings { radiosity { \npretrace_start 0.08\npretrace_end %.3f \ncount %d \nnearest_count "
        "%d "
        "\nerror_bound %.3f \nrecursion_limit %d \nlow_error_factor %.3f \ngray_threshold %.3f "
        "\nminimum_reuse "
        "%.3f \nbrightness %.3f \nadc_bailout 0.01/2 \n}\n}\n\n",
        level.pretraceEnd, level.count, level.nearestCount, level.errorBound, level.recursionLimit,
        level.lowErrorFactor, grayThreshold, level.minimumReuse, brightness);
}

bool CPovRay::WriteCamera() {
    if (!cameraPicked) {
        if (viewMode & 1) {
            // The host keeps VIEWDIR as the offset from the target to the eye.
            const ZcGePoint3d eye = viewTarget + viewDir.asVector();
            Emit("camera { \n");
            Emit("perspective   sky  <0, 0, 1>\n");
            Emit("right     <-1.33, 0, 0>\n");
            Emit("angle     %.2f\n", Degrees(2.0 * std::atan(17.5 / lensLength)));
            Emit("location  <%.2f, %.2f, %.2f>\n", eye.x, eye.y, eye.z);
            Emit("look_at  <%.2f, %.2f, %.2f>\n}\n", viewTarget.x, viewTarget.y, viewTarget.z);
        } else {
            const ZcGePoint3d extMin = ReadPointVar("EXTMIN"), extMax = ReadPointVar("EXTMAX");
            // The host's view centre and size of a 3D view are those of the
            // plan: the model is framed as it is seen along the view.
            FrameBoxAlong(extMin, extMax, viewDir.asVector(), viewCentre, viewSize);
            if (sceneSize < 0.0)
                sceneSize = std::max({extMin.distanceTo(extMax), extMin.distanceTo(viewCentre),
                                      extMax.distanceTo(viewCentre)});
            const ZcGePoint3d eye = viewCentre + viewDir.asVector() * sceneSize;
            Emit("camera { \n");
            Emit("orthographic   sky  <0, 0, 1>\n");
            Emit("right  <%.2f, 0, 0>\n", -1.33 * viewSize);
            Emit("up     <0, %.2f, 0>\n", viewSize);
            Emit("location  <%.2f, %.2f, %.2f>\n", eye.x, eye.y, eye.z);
            Emit("look_at  <%.2f, %.2f, %.2f>\n}\n", viewCentre.x, viewCentre.y, viewCentre.z);
        }
        return true;
    }

    host::ResbufList list(GetEntXData(cameraEntity, kParamApp));
    if (!list || !IsCameraRecord(list.get())) {
        zcutPrintf(kNotACamera);
        return false;
    }
    double height = 0.0, opening = 0.0, tilt = 0.0;
    int found = 0;
    ForEachParameter(list.get(), [&](int number, double value, bool) {
        if (number == 35) height = value, ++found;
        if (number == 40) opening = value, ++found;
        if (number == 41) tilt = value, ++found;
    });
    if (found != 3) {
        zcutPrintf(kNotACamera);
        return false;
    }
    ZcGePoint3d location = InsertionPoint(list.get());
    location.z = height;
    const double rotation = InsertionRotation(list.get());
    const double heading = rotation + kPi / 2.0;
    const double reach = 100.0 * unitFactor;
    const double halfTan = std::tan(Radians(opening) / 2.0);
    if (std::fabs(halfTan) < SharedTolerance) {
        zcutPrintf("\nNieprawidłowy kąt otwarcia dla aparatu fotograficznego");
        return false;
    }
    const double t = Radians(tilt);
    const double h = std::cos(t) * reach;
    ZcGePoint3d target = h >= SharedTolerance ? Polar(location, heading, h) : location;
    target.z = location.z + std::sin(t) * reach;
    Emit("camera { \n");
    Emit("perspective   sky  <0, 0, 1>\n");
    Emit("right     <-1.33, 0, 0>\n");
    Emit("angle     %.2f\n", opening);
    Emit("location  <%.2f, %.2f, %.2f>\n", location.x, location.y, location.z);
    Emit("look_at   <%.2f, %.2f, %.2f>\n}\n", target.x, target.y, target.z);
    if (addImage) {
        ZcGeVector3d n = location - target;
        if (n.length() > 0.0) n = n / n.length();
        const double d = n.dotProduct(location.asVector()) - imageDistance;
        const double w = 2.0 * imageDistance * halfTan;
        const double hh = aspect * w;
        std::string type = "sys";
        const std::size_t size = imageFile.size();
        if (size > 4 && imageFile[size - 4] == '.') {
            const std::string ext = imageFile.substr(size - 3);
            if (zcutEqualsNoCase(ext, "jpg"))
                type = "jpeg";
            else if (zcutEqualsNoCase(ext, "gif"))
                type = "gif";
            else if (zcutEqualsNoCase(ext, "png"))
                type = "png";
            else if (zcutEqualsNoCase(ext, "bmp"))
                type = "bmp";  // the engine on this system defines no "sys" format
        }
        const std::optional<std::string> quoted = PovString(imageFile);
        if (!quoted) {
            // A name that cannot be a string of the scene is left out, with
            // the picture behind the camera.
            zcutPrintf("\nSETPOVFILEIMG: nazwa pliku obrazu zawiera znaki sterujące; obraz tła pominięto.");
            return true;
        }
        Emit("plane { <%f,%f,%f> , %f\n", n.x, n.y, n.z, d);
        Emit("texture {\n");
        Emit("pigment { image_map { %s %s once } }\n", type.c_str(), quoted->c_str());
        Emit("scale <%f,%f,%f> \n", w, hh, 0.0);
        Emit("translate <%f,%f,%f> \n", -w / 2.0, -hh / 2.0, 0.0);
        Emit("rotate <%f,%f,%f> \n", tilt + 90.0, 0.0, Degrees(rotation));
        Emit("translate <%f,%f,%f> \n", location.x, location.y, location.z);
        Emit("}\n");
        Emit("}\n");
    }
    return true;
}

void CPovRay::WriteLights() {
    scene::ForEachPlacedLight([&](const ads_name light) {
        const int kind = LightKind(light);
        if (kind == kNoLight) return true;
        if (radiosityOn && noClassicLights &&
            AfxMessageBox("Opcje: Bez tradycyjnego oświetlenia. Czy ignorować światła w rysunku?", MB_YESNO,
                          0) == IDYES)
            return false;
        host::ResbufList list(GetEntXData(light, kParamApp));
        if (!list) return true;
        ZcGePoint3d p = InsertionPoint(list.get());
        const double rotation = InsertionRotation(list.get());
        // What a definition leaves out is given a plain value: a light of
        // strength one, level, reaching one metre; a spot of 30/45 degrees.
        double radius = 30.0, falloff = 45.0, tightness = 0.0, tilt = 0.0, distance = 100.0 * unitFactor;
        double intensity = 1.0, colour[3] = {1.0, 1.0, 1.0};
        ForEachParameter(list.get(), [&](int number, double value, bool) {
            switch (number) {
                case 45:
                    p.z += value;
                    break;
                case 46:
                    radius = value;
                    break;
                case 47:
                    falloff = value;
                    break;
                case 48:
                    tightness = value;
                    break;
                case 49:
                    tilt = value;
                    break;
                case 51:
                    distance = value;
                    break;
                case 59:
                    intensity = value;
                    break;
                case 60:
                    colour[0] = value / 255.0;
                    break;
                case 61:
                    colour[1] = value / 255.0;
                    break;
                case 62:
                    colour[2] = value / 255.0;
                    break;
                default:
                    break;
            }
        });
        const double c[3] = {colour[0] * 2.0 * intensity, colour[1] * 2.0 * intensity,
                             colour[2] * 2.0 * intensity};
        if (kind == kPointLight) {
            Emit("light_source { <%.2f, %.2f, %.2f> color <%.2f, %.2f, %.2f>}\n", p.x, p.y, p.z, c[0], c[1],
                 c[2]);
            return true;
        }
        if (kind != kSpotLight && kind != kDirectionalLight) return true;
        const double t = Radians(tilt);
        ZcGePoint3d aim = Polar(p, rotation, std::cos(t) * distance);
        aim.z = p.z + std::sin(t) * distance;
        if (kind == kSpotLight)
            Emit(
                "light_source { <%.2f, %.2f, %.2f> color <%.2f, %.2f, %.2f> spotlight radius %.2f falloff "
                "%.2f "
                "tightness %.2f point_at <%.2f, %.2f, %.2f>}\n",
                p.x, p.y, p.z, c[0], c[1], c[2], radius, falloff, tightness, aim.x, aim.y, aim.z);
        else
            Emit(
                "light_source { <%.2f, %.2f, %.2f> color <%.2f, %.2f, %.2f> parallel point_at <%.2f, %.2f, "
                "%.2f>}\n",
                p.x, p.y, p.z, c[0], c[1], c[2], aim.x, aim.y, aim.z);
        return true;
    });
}

void CPovRay::WriteGeometry() {
    m_materials.clear();
    m_materials = DrawingLayerMaterials();
    if (groundPlaneOn) {
        Emit("plane { z, %.2f\n", groundHeight);
        WriteTexture(ZcGePlane(), "povRayPlane");
        Emit("}\n");
    }
    for (const char* type : {"3DFACE", "INSERT"}) {
        ads_name set;
        if (!ExistsEntityType(type, false, set)) continue;
        std::int32_t count = 0;
        zcedSSLength(set, &count);
        for (std::int32_t i = 0; i < count && !Stopped(); ++i) {
            ads_name entity;
            ZcDbObjectId id;
            if (zcedSSName(set, i, entity) != RTNORM || zcdbGetObjectId(id, entity) != Zcad::eOk) continue;
            ZcDbObjectPointer<ZcDbEntity> opened(id, ZcDb::kForRead);
            if (!opened || opened->isErased()) continue;
            if (const ZcDbFace* face = ZcDbFace::cast(opened.get()))
                WritePolygon(*face, ZcDbXform());
            else if (const ZcDbBlockReference* insert = ZcDbBlockReference::cast(opened.get()))
                WriteBlockFaces(*insert, nullptr);
        }
        zcedSSFree(set);
    }
}

void CPovRay::WriteBlockFaces(const ZcDbBlockReference& insert, const ZcDbXform* parent) {
    const ZcDbObjectId block = insert.blockTableRecord();
    auto holds = m_holdsFaces.find(block);
    if (holds == m_holdsFaces.end()) holds = m_holdsFaces.emplace(block, scene::SceneFaces(block) > 0).first;
    if (!holds->second) return;
    const ZcDbXform own = insert.blockTransform();
    const ZcDbXform transform = parent ? Product(*parent, own) : own;
    for (const ZcDbObjectId& id : scene::BlockEntities(block)) {
        if (Stopped()) return;
        ZcDbObjectPointer<ZcDbEntity> opened(id, ZcDb::kForRead);
        if (!opened || opened->isErased()) continue;
        if (const ZcDbFace* face = ZcDbFace::cast(opened.get()))
            WritePolygon(*face, transform);
        else if (const ZcDbBlockReference* inner = ZcDbBlockReference::cast(opened.get()))
            WriteBlockFaces(*inner, &transform);
    }
}

void CPovRay::WritePolygon(const ZcDbFace& face, const ZcDbXform& transform) {
    const std::string key = PovLayerKey(face.layer());
    ZcGePoint3d corners[4];
    for (int i = 0; i < 4; ++i) {
        face.getVertexAt(i, corners[i]);
        corners[i] = transform.apply(corners[i]);
    }
    if (ArePointsCollinear4ByValue(ToPoint3(corners[0]), ToPoint3(corners[1]), ToPoint3(corners[2]),
                                   ToPoint3(corners[3]), SharedTolerance))
        return;
    int twin = -1;
    for (int i = 0; i < 4 && twin < 0; ++i)
        if (PointsEqual(ToPoint3(corners[i]), ToPoint3(corners[(i + 1) % 4]), true)) twin = i;
    std::vector<std::vector<ZcGePoint3d>> polygons;
    if (twin >= 0) {
        std::vector<ZcGePoint3d> triangle;
        for (int i = 0; i < 4; ++i)
            if (i != twin) triangle.push_back(corners[i]);
        polygons.push_back(std::move(triangle));
    } else {
        const ZcGePlane plane(corners[0], corners[1], corners[2]);
        double a = 0.0, b = 0.0, c = 0.0, d = 0.0;
        plane.getCoefficients(a, b, c, d);
        const double off = std::fabs(a * corners[3].x + b * corners[3].y + c * corners[3].z + d);
        if (off <= 2.220446049250313e-16)
            polygons.push_back({corners[0], corners[1], corners[2], corners[3]});
        else {
            polygons.push_back({corners[0], corners[1], corners[2]});
            polygons.push_back({corners[2], corners[3], corners[0]});
        }
    }
    for (const std::vector<ZcGePoint3d>& polygon : polygons) {
        Emit("polygon {\n");
        Emit("   %d,", static_cast<int>(polygon.size()) + 1);
        for (const ZcGePoint3d& p : polygon) Emit(" <%.16lf, %.16lf, %.16lf>", p.x, p.y, p.z);
        Emit(" <%.16lf, %.16lf, %.16lf>\n", polygon[0].x, polygon[0].y, polygon[0].z);
        WriteTexture(ZcGePlane(polygon[0], polygon[1], polygon[2]), key);
        Emit("}\n");
    }
}

void CPovRay::WriteTexture(const ZcGePlane& plane, const std::string& layerKey) {
    const auto row = std::find_if(m_materials.begin(), m_materials.end(),
                                  [&](const AA_LAYERPOV& r) { return zcutEqualsNoCase(r.layer, layerKey); });
    if (row == m_materials.end() || row->texture.empty() || row->texture == " " || !TextureNamed(*row)) {
        Emit(" pigment { color %s }\n", LayerColourName(layerKey).c_str());
        return;
    }
    const double scale = row->scale * textureScale;
    switch (row->integer) {
        case 0:
            Emit("pigment { %s }\n", row->texture.c_str());
            break;
        case 1:
            Emit("texture { %s  scale %.2f }\n", row->texture.c_str(), scale);
            break;
        case 2: {
            double a = 0.0, b = 0.0, c = 0.0, d = 0.0;
            plane.getCoefficients(a, b, c, d);
            if (c < 0.0) a = -a, b = -b, c = -c;
            const double length = std::sqrt(a * a + b * b + c * c);
            if (length > 0.0) a /= length, b /= length, c /= length;
            const double theta = std::acos(std::clamp(c, -1.0, 1.0));
            const double s = std::sin(theta);
            const double phi =
                std::fabs(s) < GeomEpsilon ? 0.0 : std::acos(std::clamp(a / s, -1.0, 1.0)) - kPi / 2.0;
            Emit("texture { %s\tscale <%.2f %.2f %.2f>  rotate <%f,%f,%f> }\n", row->texture.c_str(), scale,
                 scale, scale, Degrees(theta), 0.0, Degrees(phi));
            break;
        }
        default:
            break;
    }
}

bool CPovRay::TextureNamed(const AA_LAYERPOV& row) {
    if (IsPovIdentifier(row.texture)) return true;
    // The text would be read by the renderer as code: the layer takes its
    // colour, and the row is named once a scene.
    if (m_refused.insert(host::toUpper(row.layer)).second)
        zcutPrintf(
            "\nVELM_MATPOV, warstwa %s: tekstura „%s” nie jest nazwą POV-Ray (tylko litery, cyfry i _, "
            "bez cyfry na początku); warstwa dostaje kolor domyślny.",
            row.layer.c_str(), row.texture.c_str());
    return false;
}

// ---------------------------------------------------------------- layers

std::optional<std::string> PovString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return std::nullopt;
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::string PovLayerKey(const std::string& layerName) {
    std::string local, key;
    SplitAtBar(layerName, local);
    StripAppPrefix(local, key);
    return key;
}

std::string LayerColourName(const std::string& key) {
    ZcDbDatabase* db = GetWorkingDatabase();
    if (!db) return "Red";
    ZcDbSymbolTableIterator* it = nullptr;
    {
        ZcDbObjectPointer<ZcDbLayerTable> layers(db->layerTableId(), ZcDb::kForRead);
        if (!layers || layers->newIterator(it) != Zcad::eOk || !it) return "Red";
    }
    std::string name = "Red";
    for (; !it->done(); it->step()) {
        ZcDbObjectId id;
        it->getRecordId(id);
        ZcDbObjectPointer<ZcDbLayerTableRecord> layer(id, ZcDb::kForRead);
        if (!layer) continue;
        std::string layerKey;
        StripAppPrefix(layer->name(), layerKey);
        if (!zcutEqualsNoCase(layerKey, key)) continue;
        static constexpr const char* kNames[] = {"Red",  "Yellow",  "Green", "Cyan",
                                                 "Blue", "Magenta", "White"};
        const int index = layer->colorIndex();
        name = index >= 1 && index <= 7 ? kNames[index - 1] : "Gray";
        break;
    }
    delete it;
    return name;
}
