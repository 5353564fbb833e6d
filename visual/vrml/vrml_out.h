// The VRML 2.0 export: the 3D faces of the drawing (model space and every
// block reference at any depth) written as one Shape per layer group with
// the material of the group's row in "LAYERVRML.DEF" and the colour of its
// layer; a background whose sky and ground come from the table's sky rows,
// turned from the file's y-up into the drawing's z-up; a viewpoint from the
// current view and one per camera object the user picks; one light per
// light object of the drawing.
//
// Coordinates are written in drawing units and axes. Faces share vertices
// within a group: a corner equal (within the drawing tolerance) to one
// already listed takes its index. A face with two coinciding neighbour
// corners is a triangle. Layers that are off or frozen give no faces.
//
// The vertex search asks a grid of cells one tolerance wide, so a group of
// any size costs the same per corner; among equal vertices the lowest index
// wins, as a search from the first would have it.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/ge/gebase.h"
#include "visual/model3d/scene_file.h"
#include "visual/vrml/vrml_table.h"

class ZcDbBlockReference;
class ZcDbObjectId;
struct ZcDbXform;

// One layer group while one walk of a block lasts: its vertices in index
// order and its faces, the first made first (the file lists them last
// made first).
struct VrmlFace {
    int index[5] = {-1, -1, -1, -1, -1};  // the unused ones end the face
};

// The vertices of a group by grid cell. A vertex equal to a point lies in
// the point's cell or a neighbouring one; points with a coordinate that is
// not finite compare equal in ways no cell can hold, so they are kept apart
// and tried each time.
struct VrmlVertexGrid {
    struct CellHash {
        std::size_t operator()(const std::array<std::int64_t, 3>& c) const noexcept;
    };
    double cell = 0.0;  // the width the cells were made with
    std::unordered_map<std::array<std::int64_t, 3>, std::vector<int>, CellHash> cells;
    std::vector<int> unplaced;
};

struct VrmlLayerGroup {
    std::string name;
    std::vector<ZcGePoint3d> vertices;
    std::vector<VrmlFace> faces;
    VrmlVertexGrid grid;  // kept by FindOrAddVertex
};

// The groups of one walk, the first made first (written last made first).
using VrmlLayerGroups = std::vector<VrmlLayerGroup>;

struct VrmlMaterial {
    double ambientIntensity = 0.2;
    double shininess = 0.2;
    double transparency = 0.0;
    double diffuse[3] = {1.0, 0.0, 0.0};
    double specular[3] = {1.0, 0.0, 0.0};
};

// What an export left under its name.
enum class VrmlWritten {
    Nothing,       // the file could not be written; the name is as it was
    Whole,         // the whole model
    WithoutModel,  // cancelled at the camera prompt: header, sky, viewpoints
};

class CVrmlOut {
public:
    CVrmlOut();
    virtual ~CVrmlOut();
    CVrmlOut(const CVrmlOut&) = delete;
    CVrmlOut& operator=(const CVrmlOut&) = delete;

    // Writes the file and puts it under `path` (a cancel at the camera
    // prompt keeps what was written up to it); Nothing, the name as it
    // was, when the file would grow past maxFileMegabytes or cannot be
    // written.
    VrmlWritten Write(const std::string& path);

    // 0 when the user cancelled at the camera prompt, else 1.
    int WriteViewpoints();
    void WriteLights();
    void WriteModelSpaceShapes();
    void WriteBlockShapes(const ZcDbBlockReference& insert, const ZcDbXform& parent);
    void WriteShape(const VrmlLayerGroup& group);
    VrmlMaterial GetLayerMaterial(const std::string& groupName) const;

    double unitFactor = 1.0;
    ZcGeVector3d viewDir;
    ZcGePoint3d viewCentre;
    double viewSize = 0.0;
    int headlight = 0;
    AAR_LAYERVRML layerMaterials;
    std::uint64_t maxFileMegabytes = scene::kMaxSceneMegabytes;

private:
    void WriteBackground();
    // Adds one 3DFACE or walks one nested reference.
    void AddEntity(const ZcDbObjectId& id, const ZcDbXform& transform, VrmlLayerGroups& groups);
    void WriteGroups(VrmlLayerGroups& groups);
    void Emit(const char* format, ...);

    // Whether the file has stopped (its bound reached, a write failed):
    // the walk ends, nothing more is written.
    bool Stopped() const;

    scene::SceneFile* m_out = nullptr;  // the file while Write writes
};

// The orientation (axis and angle) that turns the VRML camera, which looks
// along -z with +y up, to look from `eye` at `target` with its up vector
// towards the drawing's +z.
void LookAtOrientation(const ZcGePoint3d& eye, const ZcGePoint3d& target, ZcGeVector3d& axis, double& angle);

// The group of a layer name: after an external reference's "|", then
// without a leading "VELM" and its "$" part.
std::string VrmlGroupName(const std::string& layerName);
VrmlLayerGroup& FindOrAddLayerGroup(const std::string& name, VrmlLayerGroups& groups);
int FindOrAddVertex(const ZcGePoint3d& point, VrmlLayerGroup& group);
// Adds a face of four corners: a triangle when two neighbours coincide.
void AddVrmlFace(const ZcGePoint3d (&corners)[4], VrmlLayerGroup& group);
void FreeLayerGroups(VrmlLayerGroups& groups);

// The file name the export proposes: the drawing's name without a
// three-letter extension.
std::string VrmlDefaultFileName(const std::string& drawingName);

// "VELMWRLOUT"
void CmdWrlOut();
