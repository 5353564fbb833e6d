// Polylines: LWPOLYLINE (vertices in the entity, OCS 2D with bulges and
// widths), and the old POLYLINE with separate VERTEX entities and a closing
// SEQEND (2D, 3D or polyface mesh, told apart by the flags 8 and 64).
// A POLYLINE owns its vertices and its SEQEND: vertices given before the
// polyline is in a database are held and appended with it; a file layer
// writes POLYLINE, then vertexIds() in order, then seqendId().
#pragma once

#include <memory>
#include <vector>

#include "host/db/dbents.h"
#include "host/db/dbowned.h"

class ZcDbPolyline : public ZcDbEntity {
public:
    ZCDB_ENTITY_MEMBERS(ZcDbPolyline);
    struct Vertex {
        ZcGePoint2d point;
        double bulge = 0, startWidth = 0, endWidth = 0;
    };

    unsigned int numVerts() const { return static_cast<unsigned int>(m_verts.size()); }
    Zcad::ErrorStatus addVertexAt(unsigned int index, const ZcGePoint2d& pt, double bulge = 0,
                                  double startWidth = -1, double endWidth = -1);
    Zcad::ErrorStatus removeVertexAt(unsigned int index);
    Zcad::ErrorStatus getPointAt(unsigned int index, ZcGePoint2d& pt) const;
    Zcad::ErrorStatus getPointAt(unsigned int index, ZcGePoint3d& pt) const;  // WCS
    Zcad::ErrorStatus setPointAt(unsigned int index, const ZcGePoint2d& pt);
    Zcad::ErrorStatus getBulgeAt(unsigned int index, double& bulge) const;
    Zcad::ErrorStatus setBulgeAt(unsigned int index, double bulge);
    Zcad::ErrorStatus getWidthsAt(unsigned int index, double& startWidth, double& endWidth) const;
    Zcad::ErrorStatus setWidthsAt(unsigned int index, double startWidth, double endWidth);
    bool isClosed() const { return (m_flags & 1) != 0; }
    void setClosed(bool closed);
    bool hasPlinegen() const { return (m_flags & 128) != 0; }
    void setPlinegen(bool on);
    double elevation() const { return m_elevation; }
    void setElevation(double z);
    double thickness() const { return m_thickness; }
    Zcad::ErrorStatus setThickness(double t);
    ZcGeVector3d normal() const { return m_normal; }
    Zcad::ErrorStatus setNormal(const ZcGeVector3d& n);
    // True (and the width) when every segment has the same constant width.
    bool getConstantWidth(double& width) const;
    Zcad::ErrorStatus setConstantWidth(double width);
    const std::vector<Vertex>& vertices() const { return m_verts; }
    // The area enclosed, the last vertex joined to the first whether closed
    // or not, arc segments (bulges) with their circular segments; never
    // negative. eInvalidInput with fewer than two vertices.
    Zcad::ErrorStatus getArea(double& area) const;

private:
    std::vector<Vertex> m_verts;
    std::int16_t m_flags = 0;
    double m_elevation = 0, m_thickness = 0;
    ZcGeVector3d m_normal{0, 0, 1};
};

class ZcDbSequenceEnd : public ZcDbEntity {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbSequenceEnd);
};

class ZcDbVertex : public ZcDbEntity {
public:
    ZCDB_ENTITY_MEMBERS(ZcDbVertex);
    enum Flags {
        kCurveFit = 1,
        kTangent = 2,
        kSplineFit = 8,
        kSplineFrame = 16,
        k3dPolylineVertex = 32,
        kMeshVertex = 64,
        kFaceRecordOrMeshVertex = 128
    };
    ZcDbVertex() = default;
    explicit ZcDbVertex(const ZcGePoint3d& p, double bulge = 0) : m_position(p), m_bulge(bulge) {}
    ZcGePoint3d position() const { return m_position; }  // OCS for 2D, WCS otherwise
    Zcad::ErrorStatus setPosition(const ZcGePoint3d& p);
    double bulge() const { return m_bulge; }
    Zcad::ErrorStatus setBulge(double b);
    double startWidth() const { return m_startWidth; }
    double endWidth() const { return m_endWidth; }
    Zcad::ErrorStatus setWidths(double s, double e);
    int vertexFlags() const { return m_flags; }
    Zcad::ErrorStatus setVertexFlags(int f);
    // Face records: 1-based vertex indices, negative for an invisible edge.
    Zcad::ErrorStatus getVertexAt(int i, std::int16_t& index) const;
    Zcad::ErrorStatus setVertexAt(int i, std::int16_t index);
    bool isFaceRecord() const { return (m_flags & 128) && !(m_flags & 64); }

private:
    ZcGePoint3d m_position;
    double m_startWidth = 0, m_endWidth = 0, m_bulge = 0, m_tangent = 0;
    std::int16_t m_flags = 0;
    std::int16_t m_face[4] = {0, 0, 0, 0};
};

class ZcDb2dPolyline : public ZcDbEntity {
public:
    ZCDB_ENTITY_MEMBERS(ZcDb2dPolyline);
    enum Flags {
        kClosed = 1,
        kCurveFit = 2,
        kSplineFit = 4,
        k3dPolyline = 8,
        k3dMesh = 16,
        kMeshClosedN = 32,
        kPolyFaceMesh = 64,
        kPlinegen = 128
    };
    ZcDb2dPolyline() = default;
    ~ZcDb2dPolyline() override;

    int polylineFlags() const { return m_flags; }
    Zcad::ErrorStatus setPolylineFlags(int flags);
    bool is3d() const { return (m_flags & k3dPolyline) != 0; }
    bool isPolyFaceMesh() const { return (m_flags & kPolyFaceMesh) != 0; }
    bool isClosed() const { return (m_flags & kClosed) != 0; }
    void makeClosed();
    void makeOpen();
    double elevation() const { return m_elevation.z; }
    void setElevation(double z);
    ZcGeVector3d normal() const { return m_normal; }
    Zcad::ErrorStatus setNormal(const ZcGeVector3d& n);
    double defaultStartWidth() const { return m_startWidth; }
    double defaultEndWidth() const { return m_endWidth; }
    Zcad::ErrorStatus setDefaultWidths(double s, double e);
    // Polyface counts (71 vertices, 72 faces) as filed.
    int numMeshVertices() const { return m_countM; }
    int numFaces() const { return m_countN; }

    // Takes the vertex (ownership passes to the polyline). Resident
    // polyline: the vertex is appended now and left open for write for the
    // caller to close. Otherwise it is held and appended with the polyline.
    Zcad::ErrorStatus appendVertex(ZcDbObjectId& id, ZcDbVertex* vertex);
    Zcad::ErrorStatus appendVertex(ZcDbVertex* vertex);
    std::vector<ZcDbObjectId> vertexIds(bool skipErased = true) const;
    ZcDbObjectId seqendId() const { return m_vertices.seqend(); }
    // Vertex count, held vertices included.
    std::size_t numVertices() const;

    void subAppendedToDb(ZcDbDatabase* db) override;
    // Platform internals for readers: adopts an already resident vertex/SEQEND.
    void adoptVertexId(ZcDbObjectId id) { m_vertices.adopt(id); }
    void adoptSeqendId(ZcDbObjectId id) { m_vertices.adoptSeqend(id); }

private:
    std::int16_t m_flags = 0, m_countM = 0, m_countN = 0;
    ZcGePoint3d m_elevation;  // (0, 0, elevation) as the format keeps it
    double m_startWidth = 0, m_endWidth = 0, m_thickness = 0;
    ZcGeVector3d m_normal{0, 0, 1};
    ZcDbOwnedEntities m_vertices;
};
