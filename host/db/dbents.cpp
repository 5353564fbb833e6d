// Simple entities: data, filing through their field lists, transforms.
#include "host/db/dbents.h"

#include <cmath>

#include "host/db/dbdatabase.h"
#include "host/db/dbsymtb.h"

ZCDB_DEFINE_HOST_CLASS(ZcDbLine, ZcDbEntity, "AcDbLine", "LINE", true)
ZCDB_DEFINE_HOST_CLASS(ZcDbCircle, ZcDbEntity, "AcDbCircle", "CIRCLE", true)
ZCDB_DEFINE_HOST_CLASS(ZcDbArc, ZcDbCircle, "AcDbArc", "ARC", true)
ZCDB_DEFINE_HOST_CLASS(ZcDbPoint, ZcDbEntity, "AcDbPoint", "POINT", true)
ZCDB_DEFINE_HOST_CLASS(ZcDbFace, ZcDbEntity, "AcDbFace", "3DFACE", true)
ZCDB_DEFINE_HOST_CLASS(ZcDbSolid, ZcDbEntity, "AcDbTrace", "SOLID", true)
ZCDB_DEFINE_HOST_CLASS(ZcDbText, ZcDbEntity, "AcDbText", "TEXT", true)
ZCDB_DEFINE_HOST_CLASS(ZcDbAttributeDefinition, ZcDbText, "AcDbAttributeDefinition", "ATTDEF", true)
ZCDB_DEFINE_HOST_CLASS(ZcDbAttribute, ZcDbText, "AcDbAttribute", "ATTRIB", true)
ZCDB_DEFINE_HOST_CLASS(ZcDbMText, ZcDbEntity, "AcDbMText", "MTEXT", true)

namespace {

constexpr double kTwoPi = 6.283185307179586476925286766559;

ZcGeVector3d unitOr(const ZcGeVector3d& v, const ZcGeVector3d& fallback) {
    double l = v.length();
    return l > 0 ? v / l : fallback;
}

// Moves an OCS point of plane `normal` through the transform into the OCS
// of the transformed plane `newNormal`.
ZcGePoint3d moveOcs(const ZcGePoint3d& ocs, const ZcGeVector3d& normal, const ZcGeVector3d& newNormal,
                    const ZcDbXform& x) {
    return zcdbWcsToOcs(x.apply(zcdbOcsToWcs(ocs, normal)), newNormal);
}

double normAngle(double a) {
    a = std::fmod(a, kTwoPi);
    return a < 0 ? a + kTwoPi : a;
}

}  // namespace

double zcdbTransformAngle(double angle, const ZcGeVector3d& normal, const ZcDbXform& xform) {
    ZcGeVector3d n = unitOr(normal, {0, 0, 1});
    ZcGeVector3d ax = zcdbOcsXAxis(n), ay = n.crossProduct(ax);
    ZcGeVector3d dir = ax * std::cos(angle) + ay * std::sin(angle);
    ZcGeVector3d newN = unitOr(xform.apply(n), n);
    if (xform.det() < 0) newN = -newN;
    ZcGeVector3d d = xform.apply(dir);
    ZcGeVector3d bx = zcdbOcsXAxis(newN), by = newN.crossProduct(bx);
    return normAngle(std::atan2(d.dotProduct(by), d.dotProduct(bx)));
}

// -------------------------------------------------------------------- LINE

void ZcDbLine::fields(ZcDbFields& v) {
    v.realOpt(39, m_thickness);
    v.pt(10, m_start);
    v.pt(11, m_end);
    v.normal(210, m_normal);
}
ZCDB_DEFINE_FIELD_FILING(ZcDbLine, ZcDbEntity, "AcDbLine")

Zcad::ErrorStatus ZcDbLine::setStartPoint(const ZcGePoint3d& p) {
    assertWriteEnabled();
    m_start = p;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbLine::setEndPoint(const ZcGePoint3d& p) {
    assertWriteEnabled();
    m_end = p;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbLine::setThickness(double t) {
    assertWriteEnabled();
    m_thickness = t;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbLine::setNormal(const ZcGeVector3d& n) {
    if (n.isZeroLength()) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_normal = n / n.length();
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbLine::transformBy(const ZcDbXform& x) {
    assertWriteEnabled();
    m_start = x.apply(m_start);
    m_end = x.apply(m_end);
    m_normal = unitOr(x.apply(m_normal), m_normal);
    m_thickness *= x.scale();
    return Zcad::eOk;
}

// ------------------------------------------------------------ CIRCLE, ARC

ZcDbCircle::ZcDbCircle(const ZcGePoint3d& center, const ZcGeVector3d& normal, double radius)
    : m_radius(radius), m_normal(unitOr(normal, {0, 0, 1})) {
    m_center = zcdbWcsToOcs(center, m_normal);
}

void ZcDbCircle::fields(ZcDbFields& v) {
    v.realOpt(39, m_thickness);
    v.pt(10, m_center);
    v.real(40, m_radius);
    v.normal(210, m_normal);
}
ZCDB_DEFINE_FIELD_FILING(ZcDbCircle, ZcDbEntity, "AcDbCircle")

Zcad::ErrorStatus ZcDbCircle::setCenter(const ZcGePoint3d& p) {
    assertWriteEnabled();
    m_center = zcdbWcsToOcs(p, m_normal);
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbCircle::setRadius(double r) {
    if (!(r > 0)) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_radius = r;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbCircle::setNormal(const ZcGeVector3d& n) {
    if (n.isZeroLength()) return Zcad::eInvalidInput;
    assertWriteEnabled();
    ZcGePoint3d c = center();
    m_normal = n / n.length();
    m_center = zcdbWcsToOcs(c, m_normal);
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbCircle::setThickness(double t) {
    assertWriteEnabled();
    m_thickness = t;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbCircle::transformBy(const ZcDbXform& x) {
    if (!x.isUniscaledOrtho()) return Zcad::eNotApplicable;
    assertWriteEnabled();
    ZcGePoint3d c = x.apply(center());
    ZcGeVector3d n = unitOr(x.apply(m_normal), m_normal);
    if (x.det() < 0) n = -n;  // a mirrored circle keeps facing the viewer
    m_normal = n;
    m_center = zcdbWcsToOcs(c, m_normal);
    m_radius *= x.scale();
    m_thickness *= x.scale();
    return Zcad::eOk;
}

ZcDbArc::ZcDbArc(const ZcGePoint3d& center, double radius, double startAngle, double endAngle)
    : ZcDbArc(center, {0, 0, 1}, radius, startAngle, endAngle) {}

ZcDbArc::ZcDbArc(const ZcGePoint3d& center, const ZcGeVector3d& normal, double radius, double startAngle,
                 double endAngle)
    : ZcDbCircle(center, normal, radius),
      m_startAngle(normAngle(startAngle)),
      m_endAngle(normAngle(endAngle)) {}

void ZcDbArc::fields(ZcDbFields& v) {
    v.real(50, m_startAngle);
    v.real(51, m_endAngle);
}
ZCDB_DEFINE_FIELD_FILING(ZcDbArc, ZcDbCircle, "AcDbArc")

Zcad::ErrorStatus ZcDbArc::setStartAngle(double a) {
    assertWriteEnabled();
    m_startAngle = normAngle(a);
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbArc::setEndAngle(double a) {
    assertWriteEnabled();
    m_endAngle = normAngle(a);
    return Zcad::eOk;
}

ZcGePoint3d ZcDbArc::startPoint() const {
    ZcGePoint3d p(m_center.x + m_radius * std::cos(m_startAngle),
                  m_center.y + m_radius * std::sin(m_startAngle), m_center.z);
    return zcdbOcsToWcs(p, m_normal);
}

ZcGePoint3d ZcDbArc::endPoint() const {
    ZcGePoint3d p(m_center.x + m_radius * std::cos(m_endAngle), m_center.y + m_radius * std::sin(m_endAngle),
                  m_center.z);
    return zcdbOcsToWcs(p, m_normal);
}

Zcad::ErrorStatus ZcDbArc::transformBy(const ZcDbXform& x) {
    if (!x.isUniscaledOrtho()) return Zcad::eNotApplicable;
    assertWriteEnabled();
    ZcGeVector3d oldNormal = m_normal;
    double a0 = zcdbTransformAngle(m_startAngle, oldNormal, x);
    double a1 = zcdbTransformAngle(m_endAngle, oldNormal, x);
    Zcad::ErrorStatus es = ZcDbCircle::transformBy(x);
    if (es != Zcad::eOk) return es;
    // The circle's normal was flipped for a mirror, so the counter-clockwise
    // sweep is still from start to end when the ends trade places.
    if (x.det() < 0) std::swap(a0, a1);
    m_startAngle = a0;
    m_endAngle = a1;
    return Zcad::eOk;
}

// ------------------------------------------------------------------- POINT

void ZcDbPoint::fields(ZcDbFields& v) {
    v.pt(10, m_position);
    v.realOpt(39, m_thickness);
    v.normal(210, m_normal);
    v.real(50, m_xAngle);
}
ZCDB_DEFINE_FIELD_FILING(ZcDbPoint, ZcDbEntity, "AcDbPoint")

Zcad::ErrorStatus ZcDbPoint::setPosition(const ZcGePoint3d& p) {
    assertWriteEnabled();
    m_position = p;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbPoint::transformBy(const ZcDbXform& x) {
    assertWriteEnabled();
    m_position = x.apply(m_position);
    m_normal = unitOr(x.apply(m_normal), m_normal);
    return Zcad::eOk;
}

// ------------------------------------------------------------------ 3DFACE

ZcDbFace::ZcDbFace(const ZcGePoint3d& p0, const ZcGePoint3d& p1, const ZcGePoint3d& p2, const ZcGePoint3d& p3,
                   bool e0, bool e1, bool e2, bool e3)
    : m_p{p0, p1, p2, p3} {
    m_invisible = static_cast<std::int16_t>((e0 ? 0 : 1) | (e1 ? 0 : 2) | (e2 ? 0 : 4) | (e3 ? 0 : 8));
}

void ZcDbFace::fields(ZcDbFields& v) {
    v.pt(10, m_p[0]);
    v.pt(11, m_p[1]);
    v.pt(12, m_p[2]);
    v.pt(13, m_p[3]);
    v.i16(70, m_invisible);
}
ZCDB_DEFINE_FIELD_FILING(ZcDbFace, ZcDbEntity, "AcDbFace")

Zcad::ErrorStatus ZcDbFace::getVertexAt(int i, ZcGePoint3d& p) const {
    if (i < 0 || i > 3) return Zcad::eInvalidIndex;
    p = m_p[i];
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbFace::setVertexAt(int i, const ZcGePoint3d& p) {
    if (i < 0 || i > 3) return Zcad::eInvalidIndex;
    assertWriteEnabled();
    m_p[i] = p;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbFace::isEdgeVisibleAt(int i, bool& visible) const {
    if (i < 0 || i > 3) return Zcad::eInvalidIndex;
    visible = (m_invisible & (1 << i)) == 0;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbFace::makeEdgeVisibleAt(int i) {
    if (i < 0 || i > 3) return Zcad::eInvalidIndex;
    assertWriteEnabled();
    m_invisible = static_cast<std::int16_t>(m_invisible & ~(1 << i));
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbFace::makeEdgeInvisibleAt(int i) {
    if (i < 0 || i > 3) return Zcad::eInvalidIndex;
    assertWriteEnabled();
    m_invisible = static_cast<std::int16_t>(m_invisible | (1 << i));
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbFace::transformBy(const ZcDbXform& x) {
    assertWriteEnabled();
    for (ZcGePoint3d& p : m_p) p = x.apply(p);
    return Zcad::eOk;
}

// ------------------------------------------------------------------- SOLID

ZcDbSolid::ZcDbSolid(const ZcGePoint3d& p0, const ZcGePoint3d& p1, const ZcGePoint3d& p2,
                     const ZcGePoint3d& p3)
    : m_p{p0, p1, p2, p3} {}

void ZcDbSolid::fields(ZcDbFields& v) {
    v.pt(10, m_p[0]);
    v.pt(11, m_p[1]);
    v.pt(12, m_p[2]);
    v.pt(13, m_p[3]);
    v.realOpt(39, m_thickness);
    v.normal(210, m_normal);
}
ZCDB_DEFINE_FIELD_FILING(ZcDbSolid, ZcDbEntity, "AcDbTrace")

Zcad::ErrorStatus ZcDbSolid::getPointAt(int i, ZcGePoint3d& p) const {
    if (i < 0 || i > 3) return Zcad::eInvalidIndex;
    p = zcdbOcsToWcs(m_p[i], m_normal);
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbSolid::setPointAt(int i, const ZcGePoint3d& p) {
    if (i < 0 || i > 3) return Zcad::eInvalidIndex;
    assertWriteEnabled();
    m_p[i] = zcdbWcsToOcs(p, m_normal);
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbSolid::transformBy(const ZcDbXform& x) {
    assertWriteEnabled();
    ZcGeVector3d n = unitOr(x.apply(m_normal), m_normal);
    for (ZcGePoint3d& p : m_p) p = moveOcs(p, m_normal, n, x);
    m_normal = n;
    m_thickness *= x.scale();
    return Zcad::eOk;
}

// -------------------------------------------------------------------- TEXT

ZcDbText::ZcDbText(const ZcGePoint3d& position, const std::string& text, double height, double rotation)
    : m_position(position), m_alignment(position), m_text(text), m_height(height), m_rotation(rotation) {}

void ZcDbText::fields(ZcDbFields& v) {
    v.realOpt(39, m_thickness);
    v.pt(10, m_position);
    v.real(40, m_height);
    v.str(1, m_text);
    v.real(50, m_rotation);
    v.real(41, m_widthFactor);
    v.real(51, m_oblique);
    v.str(7, m_style);
    v.i16(71, m_generation);
    v.i16(72, m_horz);
    v.pt(11, m_alignment);
    v.normal(210, m_normal);
}

Zcad::ErrorStatus ZcDbText::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbEntity::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    ZcDbFields v(f, true);
    const_cast<ZcDbText*>(this)->fields(v);
    f->writeInt16(m_vert);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbText::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbEntity::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    ZcDbFields v(f, false);
    fields(v);
    f->readInt16(&m_vert);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbText::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbEntity::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(100, "AcDbText");
    ZcDbFields v(f);
    const_cast<ZcDbText*>(this)->fields(v);
    // TEXT alone closes with a second AcDbText section holding the
    // vertical alignment; attributes file it in their own section.
    if (isA() == ZcDbText::desc()) {
        f->writeString(100, "AcDbText");
        f->writeInt16(73, m_vert);
    }
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbText::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbEntity::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    if (!f->atSubclassData("AcDbText")) return f->filerStatus();
    es = zcdbDxfReadSection(f, [this](ZcDbFields& v) {
        fields(v);
        v.i16(73, m_vert);
    });
    if (es != Zcad::eOk || isA() != ZcDbText::desc()) return es;
    if (!f->atSubclassData("AcDbText")) return f->filerStatus();
    return zcdbDxfReadSection(f, [this](ZcDbFields& v) { v.i16(73, m_vert); });
}

Zcad::ErrorStatus ZcDbText::setPosition(const ZcGePoint3d& p) {
    assertWriteEnabled();
    m_position = zcdbWcsToOcs(p, m_normal);
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbText::setAlignmentPoint(const ZcGePoint3d& p) {
    assertWriteEnabled();
    m_alignment = zcdbWcsToOcs(p, m_normal);
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbText::setTextString(const std::string& s) {
    assertWriteEnabled();
    m_text = s;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbText::setHeight(double h) {
    if (!(h > 0)) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_height = h;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbText::setRotation(double a) {
    assertWriteEnabled();
    m_rotation = a;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbText::setWidthFactor(double w) {
    if (!(w > 0)) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_widthFactor = w;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbText::setOblique(double a) {
    assertWriteEnabled();
    m_oblique = a;
    return Zcad::eOk;
}
ZcDbObjectId ZcDbText::textStyle() const {
    ZcDbDatabase* db = database();
    return db ? db->recordId(db->textStyleTableId(), m_style) : ZcDbObjectId();
}
Zcad::ErrorStatus ZcDbText::setTextStyle(const std::string& name) {
    if (ZcDbDatabase* db = database())
        if (db->recordId(db->textStyleTableId(), name).isNull()) return Zcad::eKeyNotFound;
    assertWriteEnabled();
    m_style = name;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbText::setHorizontalMode(ZcDb::TextHorzMode m) {
    if (m < 0 || m > 5) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_horz = static_cast<std::int16_t>(m);
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbText::setVerticalMode(ZcDb::TextVertMode m) {
    if (m < 0 || m > 3) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_vert = static_cast<std::int16_t>(m);
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbText::setNormal(const ZcGeVector3d& n) {
    if (n.isZeroLength()) return Zcad::eInvalidInput;
    assertWriteEnabled();
    ZcGePoint3d p = position(), a = alignmentPoint();
    m_normal = n / n.length();
    m_position = zcdbWcsToOcs(p, m_normal);
    m_alignment = zcdbWcsToOcs(a, m_normal);
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbText::transformBy(const ZcDbXform& x) {
    assertWriteEnabled();
    ZcGeVector3d n = unitOr(x.apply(m_normal), m_normal);
    if (x.det() < 0) n = -n;  // text is never drawn mirrored
    double rotation = zcdbTransformAngle(m_rotation, m_normal, x);
    m_position = moveOcs(m_position, m_normal, n, x);
    m_alignment = moveOcs(m_alignment, m_normal, n, x);
    m_normal = n;
    m_rotation = rotation;
    m_height *= x.scale();
    m_thickness *= x.scale();
    return Zcad::eOk;
}

// ---------------------------------------------------------- ATTDEF, ATTRIB

void ZcDbAttributeDefinition::attFields(ZcDbFields& v) {
    v.str(3, m_prompt);
    v.str(2, m_tag);
    v.i16(70, m_flags);
    v.i16(73, m_fieldLength);
    v.i16(74, m_vert);
}

Zcad::ErrorStatus ZcDbAttributeDefinition::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbText::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    ZcDbFields v(f, true);
    const_cast<ZcDbAttributeDefinition*>(this)->attFields(v);
    return f->filerStatus();
}
Zcad::ErrorStatus ZcDbAttributeDefinition::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbText::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    ZcDbFields v(f, false);
    attFields(v);
    return f->filerStatus();
}
Zcad::ErrorStatus ZcDbAttributeDefinition::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbText::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(100, "AcDbAttributeDefinition");
    ZcDbFields v(f);
    const_cast<ZcDbAttributeDefinition*>(this)->attFields(v);
    return f->filerStatus();
}
Zcad::ErrorStatus ZcDbAttributeDefinition::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbText::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    if (!f->atSubclassData("AcDbAttributeDefinition")) return f->filerStatus();
    return zcdbDxfReadSection(f, [this](ZcDbFields& v) { attFields(v); });
}

Zcad::ErrorStatus ZcDbAttributeDefinition::setTag(const std::string& s) {
    if (s.empty() || s.find(' ') != std::string::npos) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_tag = s;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbAttributeDefinition::setPrompt(const std::string& s) {
    assertWriteEnabled();
    m_prompt = s;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbAttributeDefinition::setInvisible(bool on) {
    assertWriteEnabled();
    m_flags = static_cast<std::int16_t>(on ? (m_flags | 1) : (m_flags & ~1));
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbAttributeDefinition::setConstant(bool on) {
    assertWriteEnabled();
    m_flags = static_cast<std::int16_t>(on ? (m_flags | 2) : (m_flags & ~2));
    return Zcad::eOk;
}

void ZcDbAttribute::attFields(ZcDbFields& v) {
    v.str(2, m_tag);
    v.i16(70, m_flags);
    v.i16(73, m_fieldLength);
    v.i16(74, m_vert);
}

Zcad::ErrorStatus ZcDbAttribute::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbText::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    ZcDbFields v(f, true);
    const_cast<ZcDbAttribute*>(this)->attFields(v);
    return f->filerStatus();
}
Zcad::ErrorStatus ZcDbAttribute::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbText::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    ZcDbFields v(f, false);
    attFields(v);
    return f->filerStatus();
}
Zcad::ErrorStatus ZcDbAttribute::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbText::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(100, "AcDbAttribute");
    ZcDbFields v(f);
    const_cast<ZcDbAttribute*>(this)->attFields(v);
    return f->filerStatus();
}
Zcad::ErrorStatus ZcDbAttribute::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbText::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    if (!f->atSubclassData("AcDbAttribute")) return f->filerStatus();
    return zcdbDxfReadSection(f, [this](ZcDbFields& v) { attFields(v); });
}

Zcad::ErrorStatus ZcDbAttribute::setTag(const std::string& s) {
    if (s.empty() || s.find(' ') != std::string::npos) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_tag = s;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbAttribute::setInvisible(bool on) {
    assertWriteEnabled();
    m_flags = static_cast<std::int16_t>(on ? (m_flags | 1) : (m_flags & ~1));
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbAttribute::setAttributeFromBlock(const ZcDbAttributeDefinition* def,
                                                       const ZcDbXform& x) {
    if (!def) return Zcad::eNullObjectPointer;
    assertWriteEnabled();
    ZcDbDwgFiler filer(nullptr, ZcDb::kCopyFiler);
    // The text part of the definition is this attribute's text part.
    def->ZcDbText::dwgOutFields(&filer);
    filer.seekStart();
    std::string layer = this->layer();
    ZcDbObjectId owner = ownerId();
    ZcDbText::dwgInFields(&filer);
    ZcDbObject::setOwnerId(owner);
    if (!layer.empty()) setLayer(layer, false);
    m_tag = def->tag();
    m_flags = static_cast<std::int16_t>(def->attributeFlags() & ~8);
    transformBy(x);
    return Zcad::eOk;
}

// ------------------------------------------------------------------- MTEXT

void ZcDbMText::fields(ZcDbFields& v) {
    v.pt(10, m_location);
    v.real(40, m_height);
    v.real(41, m_width);
    v.i16(71, m_attachment);
    v.i16(72, m_flow);
    v.str(1, m_contents);
    v.str(7, m_style);
    v.normal(210, m_normal);
    v.vec(11, m_direction);
    v.real(44, m_lineSpacing);
}
ZCDB_DEFINE_FIELD_FILING(ZcDbMText, ZcDbEntity, "AcDbMText")

Zcad::ErrorStatus ZcDbMText::setLocation(const ZcGePoint3d& p) {
    assertWriteEnabled();
    m_location = p;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbMText::setContents(const std::string& s) {
    assertWriteEnabled();
    m_contents = s;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbMText::setTextHeight(double h) {
    if (!(h > 0)) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_height = h;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbMText::setWidth(double w) {
    if (w < 0) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_width = w;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbMText::setAttachment(int a) {
    if (a < 1 || a > 9) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_attachment = static_cast<std::int16_t>(a);
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbMText::setDirection(const ZcGeVector3d& d) {
    if (d.isZeroLength()) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_direction = d / d.length();
    return Zcad::eOk;
}
double ZcDbMText::rotation() const {
    ZcGeVector3d ax = zcdbOcsXAxis(m_normal), ay = unitOr(m_normal, {0, 0, 1}).crossProduct(ax);
    return normAngle(std::atan2(m_direction.dotProduct(ay), m_direction.dotProduct(ax)));
}
Zcad::ErrorStatus ZcDbMText::setRotation(double a) {
    assertWriteEnabled();
    ZcGeVector3d ax = zcdbOcsXAxis(m_normal), ay = unitOr(m_normal, {0, 0, 1}).crossProduct(ax);
    m_direction = ax * std::cos(a) + ay * std::sin(a);
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbMText::setTextStyle(const std::string& name) {
    if (ZcDbDatabase* db = database())
        if (db->recordId(db->textStyleTableId(), name).isNull()) return Zcad::eKeyNotFound;
    assertWriteEnabled();
    m_style = name;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbMText::setNormal(const ZcGeVector3d& n) {
    if (n.isZeroLength()) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_normal = n / n.length();
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbMText::transformBy(const ZcDbXform& x) {
    assertWriteEnabled();
    m_location = x.apply(m_location);
    m_direction = unitOr(x.apply(m_direction), m_direction);
    ZcGeVector3d n = unitOr(x.apply(m_normal), m_normal);
    m_normal = x.det() < 0 ? -n : n;
    m_height *= x.scale();
    m_width *= x.scale();
    return Zcad::eOk;
}
