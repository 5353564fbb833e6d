// Simple drawing entities: LINE, CIRCLE, ARC, POINT, 3DFACE, SOLID, TEXT,
// ATTDEF, ATTRIB, MTEXT. Each keeps its data the way the drawing format
// does (OCS coordinates where the format uses them: circle and arc centres,
// text points, solid corners), with WCS accessors on top, so filing is an
// exact copy of the members. Angles are radians.
#pragma once

#include <string>

#include "host/db/dbentity.h"

#define ZCDB_ENTITY_MEMBERS(CLASS) \
    ZCRX_DECLARE_MEMBERS(CLASS);   \
    ZCDB_DECLARE_FILING;           \
    void fields(ZcDbFields& v);    \
    Zcad::ErrorStatus transformBy(const ZcDbXform& xform) override

class ZcDbLine : public ZcDbEntity {
public:
    ZCDB_ENTITY_MEMBERS(ZcDbLine);
    ZcDbLine() = default;
    ZcDbLine(const ZcGePoint3d& start, const ZcGePoint3d& end) : m_start(start), m_end(end) {}
    ZcGePoint3d startPoint() const { return m_start; }
    ZcGePoint3d endPoint() const { return m_end; }
    Zcad::ErrorStatus setStartPoint(const ZcGePoint3d& p);
    Zcad::ErrorStatus setEndPoint(const ZcGePoint3d& p);
    double thickness() const { return m_thickness; }
    Zcad::ErrorStatus setThickness(double t);
    ZcGeVector3d normal() const { return m_normal; }
    Zcad::ErrorStatus setNormal(const ZcGeVector3d& n);

private:
    ZcGePoint3d m_start, m_end;
    double m_thickness = 0;
    ZcGeVector3d m_normal{0, 0, 1};
};

class ZcDbCircle : public ZcDbEntity {
public:
    ZCDB_ENTITY_MEMBERS(ZcDbCircle);
    ZcDbCircle() = default;
    ZcDbCircle(const ZcGePoint3d& center, const ZcGeVector3d& normal, double radius);
    ZcGePoint3d center() const { return zcdbOcsToWcs(m_center, m_normal); }
    Zcad::ErrorStatus setCenter(const ZcGePoint3d& p);
    double radius() const { return m_radius; }
    Zcad::ErrorStatus setRadius(double r);
    ZcGeVector3d normal() const { return m_normal; }
    Zcad::ErrorStatus setNormal(const ZcGeVector3d& n);
    double thickness() const { return m_thickness; }
    Zcad::ErrorStatus setThickness(double t);

protected:
    ZcGePoint3d m_center;  // OCS
    double m_radius = 1;
    double m_thickness = 0;
    ZcGeVector3d m_normal{0, 0, 1};
};

class ZcDbArc : public ZcDbCircle {
public:
    ZCDB_ENTITY_MEMBERS(ZcDbArc);
    ZcDbArc() = default;
    ZcDbArc(const ZcGePoint3d& center, double radius, double startAngle, double endAngle);
    ZcDbArc(const ZcGePoint3d& center, const ZcGeVector3d& normal, double radius, double startAngle,
            double endAngle);
    double startAngle() const { return m_startAngle; }
    double endAngle() const { return m_endAngle; }
    Zcad::ErrorStatus setStartAngle(double a);
    Zcad::ErrorStatus setEndAngle(double a);
    ZcGePoint3d startPoint() const;
    ZcGePoint3d endPoint() const;

private:
    double m_startAngle = 0, m_endAngle = 0;
};

class ZcDbPoint : public ZcDbEntity {
public:
    ZCDB_ENTITY_MEMBERS(ZcDbPoint);
    ZcDbPoint() = default;
    explicit ZcDbPoint(const ZcGePoint3d& p) : m_position(p) {}
    ZcGePoint3d position() const { return m_position; }
    Zcad::ErrorStatus setPosition(const ZcGePoint3d& p);
    double thickness() const { return m_thickness; }
    ZcGeVector3d normal() const { return m_normal; }

private:
    ZcGePoint3d m_position;
    double m_thickness = 0;
    ZcGeVector3d m_normal{0, 0, 1};
    double m_xAngle = 0;
};

class ZcDbFace : public ZcDbEntity {
public:
    ZCDB_ENTITY_MEMBERS(ZcDbFace);
    ZcDbFace() = default;
    ZcDbFace(const ZcGePoint3d& p0, const ZcGePoint3d& p1, const ZcGePoint3d& p2, const ZcGePoint3d& p3,
             bool e0 = true, bool e1 = true, bool e2 = true, bool e3 = true);
    Zcad::ErrorStatus getVertexAt(int index, ZcGePoint3d& p) const;
    Zcad::ErrorStatus setVertexAt(int index, const ZcGePoint3d& p);
    Zcad::ErrorStatus isEdgeVisibleAt(int index, bool& visible) const;
    Zcad::ErrorStatus makeEdgeVisibleAt(int index);
    Zcad::ErrorStatus makeEdgeInvisibleAt(int index);
    int invisibleEdgeFlags() const { return m_invisible; }

private:
    ZcGePoint3d m_p[4];
    std::int16_t m_invisible = 0;  // bit i: edge i hidden
};

class ZcDbSolid : public ZcDbEntity {
public:
    ZCDB_ENTITY_MEMBERS(ZcDbSolid);
    ZcDbSolid() = default;
    ZcDbSolid(const ZcGePoint3d& p0, const ZcGePoint3d& p1, const ZcGePoint3d& p2, const ZcGePoint3d& p3);
    Zcad::ErrorStatus getPointAt(int index, ZcGePoint3d& p) const;  // WCS
    Zcad::ErrorStatus setPointAt(int index, const ZcGePoint3d& p);
    double thickness() const { return m_thickness; }
    ZcGeVector3d normal() const { return m_normal; }

private:
    ZcGePoint3d m_p[4];  // OCS
    double m_thickness = 0;
    ZcGeVector3d m_normal{0, 0, 1};
};

namespace ZcDb {
enum TextHorzMode : int {
    kTextLeft = 0,
    kTextCenter = 1,
    kTextRight = 2,
    kTextAlign = 3,
    kTextMid = 4,
    kTextFit = 5
};
enum TextVertMode : int { kTextBase = 0, kTextBottom = 1, kTextVertMid = 2, kTextTop = 3 };
}  // namespace ZcDb

class ZcDbText : public ZcDbEntity {
public:
    ZCDB_ENTITY_MEMBERS(ZcDbText);
    ZcDbText() = default;
    ZcDbText(const ZcGePoint3d& position, const std::string& text, double height = 2.5, double rotation = 0);
    ZcGePoint3d position() const { return zcdbOcsToWcs(m_position, m_normal); }
    Zcad::ErrorStatus setPosition(const ZcGePoint3d& p);
    ZcGePoint3d alignmentPoint() const { return zcdbOcsToWcs(m_alignment, m_normal); }
    Zcad::ErrorStatus setAlignmentPoint(const ZcGePoint3d& p);
    bool isDefaultAlignment() const { return m_horz == 0 && m_vert == 0; }
    const std::string& textString() const { return m_text; }
    Zcad::ErrorStatus setTextString(const std::string& s);
    double height() const { return m_height; }
    Zcad::ErrorStatus setHeight(double h);
    double rotation() const { return m_rotation; }
    Zcad::ErrorStatus setRotation(double a);
    double widthFactor() const { return m_widthFactor; }
    Zcad::ErrorStatus setWidthFactor(double w);
    double oblique() const { return m_oblique; }
    Zcad::ErrorStatus setOblique(double a);
    const std::string& textStyleName() const { return m_style; }
    ZcDbObjectId textStyle() const;
    Zcad::ErrorStatus setTextStyle(const std::string& name);
    ZcDb::TextHorzMode horizontalMode() const { return static_cast<ZcDb::TextHorzMode>(m_horz); }
    Zcad::ErrorStatus setHorizontalMode(ZcDb::TextHorzMode m);
    ZcDb::TextVertMode verticalMode() const { return static_cast<ZcDb::TextVertMode>(m_vert); }
    Zcad::ErrorStatus setVerticalMode(ZcDb::TextVertMode m);
    ZcGeVector3d normal() const { return m_normal; }
    Zcad::ErrorStatus setNormal(const ZcGeVector3d& n);
    double thickness() const { return m_thickness; }

protected:
    ZcGePoint3d m_position, m_alignment;  // OCS
    std::string m_text, m_style = "STANDARD";
    double m_height = 2.5, m_rotation = 0, m_widthFactor = 1, m_oblique = 0, m_thickness = 0;
    std::int16_t m_generation = 0, m_horz = 0, m_vert = 0;
    ZcGeVector3d m_normal{0, 0, 1};
};

class ZcDbAttributeDefinition : public ZcDbText {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbAttributeDefinition);
    ZCDB_DECLARE_FILING;
    void attFields(ZcDbFields& v);
    const std::string& tag() const { return m_tag; }
    Zcad::ErrorStatus setTag(const std::string& s);
    const std::string& prompt() const { return m_prompt; }
    Zcad::ErrorStatus setPrompt(const std::string& s);
    bool isInvisible() const { return (m_flags & 1) != 0; }
    bool isConstant() const { return (m_flags & 2) != 0; }
    bool isVerifiable() const { return (m_flags & 4) != 0; }
    bool isPreset() const { return (m_flags & 8) != 0; }
    Zcad::ErrorStatus setInvisible(bool on);
    Zcad::ErrorStatus setConstant(bool on);
    int attributeFlags() const { return m_flags; }

private:
    std::string m_tag, m_prompt;
    std::int16_t m_flags = 0, m_fieldLength = 0;
};

class ZcDbAttribute : public ZcDbText {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbAttribute);
    ZCDB_DECLARE_FILING;
    void attFields(ZcDbFields& v);
    const std::string& tag() const { return m_tag; }
    Zcad::ErrorStatus setTag(const std::string& s);
    bool isInvisible() const { return (m_flags & 1) != 0; }
    Zcad::ErrorStatus setInvisible(bool on);
    bool isConstant() const { return (m_flags & 2) != 0; }
    int attributeFlags() const { return m_flags; }
    // Takes tag, flags, text and placement from a definition, moved by the
    // block reference's transform.
    Zcad::ErrorStatus setAttributeFromBlock(const ZcDbAttributeDefinition* def, const ZcDbXform& blockXform);

private:
    std::string m_tag;
    std::int16_t m_flags = 0, m_fieldLength = 0;
};

class ZcDbMText : public ZcDbEntity {
public:
    ZCDB_ENTITY_MEMBERS(ZcDbMText);
    ZcGePoint3d location() const { return m_location; }
    Zcad::ErrorStatus setLocation(const ZcGePoint3d& p);
    const std::string& contents() const { return m_contents; }
    Zcad::ErrorStatus setContents(const std::string& s);
    double textHeight() const { return m_height; }
    Zcad::ErrorStatus setTextHeight(double h);
    double width() const { return m_width; }
    Zcad::ErrorStatus setWidth(double w);
    int attachment() const { return m_attachment; }
    Zcad::ErrorStatus setAttachment(int a);  // 1..9
    ZcGeVector3d direction() const { return m_direction; }
    Zcad::ErrorStatus setDirection(const ZcGeVector3d& d);
    double rotation() const;
    Zcad::ErrorStatus setRotation(double a);
    const std::string& textStyleName() const { return m_style; }
    Zcad::ErrorStatus setTextStyle(const std::string& name);
    ZcGeVector3d normal() const { return m_normal; }
    Zcad::ErrorStatus setNormal(const ZcGeVector3d& n);

private:
    ZcGePoint3d m_location;
    std::string m_contents, m_style = "STANDARD";
    double m_height = 2.5, m_width = 0, m_lineSpacing = 1;
    std::int16_t m_attachment = 1, m_flow = 1;
    ZcGeVector3d m_direction{1, 0, 0}, m_normal{0, 0, 1};
};

// Where a planar entity's in-plane angle goes under a transform: the new
// angle measured in the OCS of the transformed normal.
double zcdbTransformAngle(double angle, const ZcGeVector3d& normal, const ZcDbXform& xform);
