// The face model of a section or view: SectionFace, one planar triangle or
// quadrilateral in view coordinates (x right along the section line, y up,
// z the depth away from the viewer; z < 0 lies in front of the section
// plane and is cut away), and the section object CSezione whose face set
// collects them from 3DFACE corners, polygons and solids.
//
// A face is built from four corners; two coincident neighbours make it a
// triangle (the fourth corner then reads (0, 0, 0)). Its plane is taken
// through three corners that are not in one line, its normal turned towards
// the viewer (c <= 0). A face that gets no plane is not valid and is never
// kept.
//
// CSezione is declared here with what the face set needs; its construction
// from the drawing's settings, the view frames and the cutting passes grow
// on it in their own units.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/geometry/geom_basic.h"
#include "core/geometry/matrix4.h"
#include "core/geometry/vertex_list.h"
#include "core/name_list.h"
#include "host/ge/geplane.h"

class ZcDbEntity;

struct SectionFace {
    SectionFace* next = nullptr;
    Point3 corners[4];
    double a = 0.0, b = 0.0, c = 0.0, d = 0.0;
    // Cells of the hidden-line grid; set by whoever spans the grid.
    std::int32_t cellLow[3] = {0, 0, 0};
    std::int32_t cellHigh[3] = {0, 0, 0};
    // Edge i runs from corner i to corner i + 1 (the last back to corner 0):
    // non-zero shown, 0 hidden (a diagonal, a bridge, an invisible edge).
    std::int32_t edgeWords[4] = {0, 0, 0, 0};
    std::uint8_t edgeMarks[4] = {0, 0, 0, 0};
    std::int32_t colour = 256;
    std::string layer;
    ZcGePlane plane;
    std::uint8_t triangle = 1;
    std::uint8_t valid = 0;

    SectionFace(const Point3 corners[4], const int words[4], int colour, std::string_view layer);
    int cornerCount() const { return triangle ? 3 : 4; }
};

class CSezione {
public:
    CSezione();
    virtual ~CSezione();
    CSezione(const CSezione&) = delete;
    CSezione& operator=(const CSezione&) = delete;

    // Adds count faces of four corners and four edge words each. With the
    // display frame set, each face is first re-expressed in it, and the
    // re-expressed corners are written back into the caller's array.
    void AddQuadFaces(Point3* corners, const int* words, int count, std::string_view layer, int colour);
    // Triangulates one planar ring (holes bridged in), places it by matrix,
    // brings it into the view frame, cuts it at the section plane and adds
    // what lies behind it.
    void AddEntityFaces(const VertexNode* ring, Matrix4 matrix, std::string_view layer, int colour);
    // The planar faces of a solid, placed by matrix.
    void CollectEntityFaces(ZcDbEntity* entity, Matrix4 matrix);

    // Cuts one face at the plane z = level and keeps what lies at z >= level:
    // one or two faces of four corners and words into the out arrays (room
    // for two), new edges on the plane carrying -1.
    int CutFace(const Point3 corners[4], const int words[4], Point3* outCorners, int* outWords,
                const ZcGePlane& plane, double level);
    // Normalises a layer name in place (reference prefix, renaming); -1 for
    // a 3D wall layer of a level, 1 for any other.
    int ParseLevel3DLayer(std::string& name);

    // The face set, newest first, and its bounding box.
    SectionFace* faces = nullptr;
    double boxMin[3] = {0.0, 0.0, 0.0};
    double boxMax[3] = {0.0, 0.0, 0.0};

    Matrix4 viewFrame;         // world to view
    Matrix4 displayFrame;      // world to the current display (axonometric)
    Matrix4 inverseViewFrame;  // view to world (axonometric)
    std::uint8_t axonometric = 0;
    ZcGePlane sectionPlane;  // z = 0 in view coordinates

    std::uint8_t useEntityColour = 0;

    // Layers of the gathered faces and lines, each with its signed number.
    NameNode* layerNames = nullptr;
    std::int32_t layerCount = 0;

private:
    void AddFace(SectionFace* face);
};
