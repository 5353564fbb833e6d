// The scene description for the POV-Ray 3.6 renderer: include lines,
// global settings, radiosity when the brightness asks for it, the camera
// (the current view, or a camera object picked in the drawing with an
// optional image backdrop), the light objects, the ambient light, a sky or
// a background, an optional ground plane and one polygon per 3DFACE of
// model space and of every block reference at any depth, each with the
// material its layer has in the drawing's table.
//
// Faces: a face with two coinciding neighbour corners is a triangle of the
// other three; a flat quadrilateral is one polygon; a warped one is two
// triangles sharing the diagonal from corner 2 to corner 0. Faces whose
// four corners lie on a line are left out. Numbers are written in the C
// locale with the precisions the format fixes.
//
// A CPovRay lives for one command: built (it reads the settings and the
// user's render settings, and does not touch the drawing), then
// PickCamera, then WriteScene (which reads the view and the extents).
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>

#include "host/db/dbid.h"
#include "host/ge/gebase.h"
#include "host/ge/geplane.h"
#include "host/util/adscodes.h"
#include "settings/matpov.h"
#include "visual/model3d/scene_file.h"

class ZcDbFace;
struct ZcDbXform;
class ZcDbBlockReference;

inline constexpr const char* kNotACamera = "\nWybrany obiekt nie jest aparatem fotograficznym";

struct PovColour {
    int r = 0, g = 0, b = 0;
};

class CPovRay {
public:
    CPovRay();
    ~CPovRay();
    CPovRay(const CPovRay&) = delete;
    CPovRay& operator=(const CPovRay&) = delete;

    // Asks for a camera object; false on cancel, true with or without one.
    bool PickCamera();
    // Writes the whole scene; false when the file cannot be opened, the
    // picked camera cannot be written, or the scene would grow past
    // maxSceneMegabytes or fails to be written (the name then stays as it
    // was).
    bool WriteScene(const std::string& path);

    // Uses this entity as the picked camera (what PickCamera keeps).
    void SetCamera(const ads_name camera);

    double unitFactor = 1.0;
    double textureScale = 100.0;
    double imageDistance = 3000.0;
    ZcGePoint3d viewDir, viewCentre, viewTarget;
    double viewSize = 0.0;
    double sceneSize = -1.0;  // read from the extents when first needed
    double lensLength = 50.0;
    double aspect = 0.75;
    int viewMode = 0;
    int addImage = 0;
    std::string imageFile;
    ads_name cameraEntity = {0, 0};
    bool cameraPicked = false;
    double ambientIntensity = 1.0;
    double groundHeight = 0.0;
    double brightness = 0.0;
    double grayThreshold = 0.0;
    int groundPlaneOn = 0;
    int skySphereOn = 0;
    int radiosityQuality = 2;
    PovColour ambientColour, backgroundColour, zenithColour, horizonColour;
    bool radiosityOn = false;
    bool noClassicLights = false;
    std::uint64_t maxSceneMegabytes = scene::kMaxSceneMegabytes;

private:
    void WriteRadiosity();
    bool WriteCamera();
    void WriteLights();
    void WriteGeometry();
    void WriteBlockFaces(const ZcDbBlockReference& insert, const ZcDbXform* parent);
    void WritePolygon(const ZcDbFace& face, const ZcDbXform& transform);
    void WriteTexture(const ZcGePlane& plane, const std::string& layerKey);
    // Whether the row's texture may go into the scene; a refused one is
    // named once per layer.
    bool TextureNamed(const AA_LAYERPOV& row);
    void Emit(const char* format, ...);

    // Whether the scene file has stopped (its bound reached, a write
    // failed): the walk ends, nothing more is written.
    bool Stopped() const;

    scene::SceneFile* m_out = nullptr;  // the scene's file while WriteScene writes
    AAR_LAYERPOV m_materials;
    std::set<std::string> m_refused;  // layers whose texture was named
    // Whether a block holds faces at any depth: a block of lines alone,
    // however often inserted, is passed over without opening its entities.
    std::unordered_map<ZcDbObjectId, bool> m_holdsFaces;
};

// `text` as a POV-Ray string literal, quotes included, with '"' and '\'
// escaped; nullopt when it holds a control character, which no string of
// the scene can carry.
std::optional<std::string> PovString(const std::string& text);
// The layer key of a layer name: the part after an external reference's
// "|", then without the "VELM" prefix and the "$" floor suffix.
std::string PovLayerKey(const std::string& layerName);
// The "colors.inc" name of the colour of the drawing's first layer whose
// key is `key` (case ignored); "Red" when none has it.
std::string LayerColourName(const std::string& key);
