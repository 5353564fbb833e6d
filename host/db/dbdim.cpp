// Dimensions.
#include "host/db/dbdim.h"

#include <cmath>

#include "host/db/dbdatabase.h"
#include "host/db/dbents.h"
#include "host/db/dbsymtb.h"
#include "host/util/nocase.h"

ZCDB_DEFINE_HOST_CLASS(ZcDbDimension, ZcDbEntity, "AcDbDimension", "DIMENSION", false)
ZCDB_DEFINE_HOST_CLASS(ZcDbAlignedDimension, ZcDbDimension, "AcDbAlignedDimension", "DIMENSION", true)
ZCDB_DEFINE_HOST_CLASS(ZcDbRotatedDimension, ZcDbAlignedDimension, "AcDbRotatedDimension", "DIMENSION", true)
ZCDB_DEFINE_HOST_CLASS(ZcDb3PointAngularDimension, ZcDbDimension, "AcDb3PointAngularDimension", "DIMENSION",
                       true)
ZCDB_DEFINE_HOST_CLASS(ZcDb2LineAngularDimension, ZcDbDimension, "AcDb2LineAngularDimension", "DIMENSION",
                       true)

ZcRxClass* zcdbClassForDxf(const std::string& dxfName, const std::vector<ZcDbDxfItem>& items) {
    if (dxfName != "DIMENSION") return zcrxFindClassByDxfName(dxfName);
    int type = 0;
    for (const ZcDbDxfItem& it : items)
        if (it.code == 70) {
            type = static_cast<int>(it.integer) & 0x0F;
            break;
        }
    switch (type) {
        case 0:
            return ZcDbRotatedDimension::desc();
        case 1:
            return ZcDbAlignedDimension::desc();
        case 2:
            return ZcDb2LineAngularDimension::desc();
        case 5:
            return ZcDb3PointAngularDimension::desc();
        default:
            return nullptr;  // kinds this platform does not make
    }
}

// ------------------------------------------------------------------- base

void ZcDbDimension::fields(ZcDbFields& v) {
    v.str(2, m_block);
    v.pt(10, m_dimLinePoint);
    v.pt(11, m_textPosition);
    if (v.mode() == ZcDbFields::kDxfOut) {
        // The kind, "block used by this dimension only", and "text moved".
        std::int16_t flags = static_cast<std::int16_t>(dimensionType() | 32 | (m_flagsRead & 128));
        v.i16(70, flags);
    } else {
        v.i16(70, m_flagsRead);
    }
    v.i16(71, m_attachment);
    v.str(1, m_text);
    v.real(53, m_textRotation);
    v.normal(210, m_normal);
    v.str(3, m_style);
}
ZCDB_DEFINE_FIELD_FILING(ZcDbDimension, ZcDbEntity, "AcDbDimension")

ZcDbObjectId ZcDbDimension::dimBlockId() const {
    ZcDbDatabase* db = database() ? database() : zcdbCurDwg();
    return db && !m_block.empty() ? db->recordId(db->blockTableId(), m_block) : ZcDbObjectId();
}

Zcad::ErrorStatus ZcDbDimension::setDimBlockId(ZcDbObjectId blockId) {
    if (blockId.isNull()) {
        assertWriteEnabled();
        m_block.clear();
        return Zcad::eOk;
    }
    if (!blockId.stub()->object) return Zcad::eNullObjectId;
    auto* rec = ZcDbBlockTableRecord::cast(blockId.stub()->object.get());
    if (!rec) return Zcad::eWrongObjectType;
    assertWriteEnabled();
    m_block = rec->name();
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbDimension::setDimensionText(const std::string& text) {
    assertWriteEnabled();
    m_text = text;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbDimension::setTextPosition(const ZcGePoint3d& p) {
    assertWriteEnabled();
    m_textPosition = p;
    m_flagsRead = static_cast<std::int16_t>(m_flagsRead | 128);
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbDimension::setTextRotation(double a) {
    assertWriteEnabled();
    m_textRotation = a;
    return Zcad::eOk;
}
ZcDbObjectId ZcDbDimension::dimensionStyle() const {
    ZcDbDatabase* db = database();
    return db ? db->recordId(db->dimStyleTableId(), m_style) : ZcDbObjectId();
}
Zcad::ErrorStatus ZcDbDimension::setDimensionStyle(const std::string& name) {
    if (ZcDbDatabase* db = database())
        if (db->recordId(db->dimStyleTableId(), name).isNull()) return Zcad::eKeyNotFound;
    assertWriteEnabled();
    m_style = name;
    return Zcad::eOk;
}

// ------------------------------------------------------- own overrides

namespace {

constexpr int kDimscaleCode = 40;
constexpr int kDimtxtCode = 140;

bool (*&pictureMaker())(ZcDbDimension*) {
    static bool (*maker)(ZcDbDimension*) = nullptr;
    return maker;
}

// The overrides of an "ACAD" xdata list: the items between "DSTYLE" "{"
// and its "}"; false when the list holds no such record.
bool overrideRange(const std::vector<ZcDbDxfItem>& items, std::size_t& first, std::size_t& last) {
    for (std::size_t i = 0; i + 1 < items.size(); ++i) {
        if (items[i].code != 1000 || !zcutEqualsNoCase(items[i].text, "DSTYLE")) continue;
        if (items[i + 1].code != 1002 || items[i + 1].text != "{") continue;
        first = i + 2;
        for (std::size_t j = first; j < items.size(); ++j) {
            if (items[j].code == 1002 && items[j].text == "}") {
                last = j;
                return true;
            }
        }
        return false;  // a record never closed is not read past its end
    }
    return false;
}

const ZcDbXDataApp* acadXData(const std::vector<ZcDbXDataApp>& apps) {
    for (const ZcDbXDataApp& app : apps)
        if (zcutEqualsNoCase(app.app, "ACAD")) return &app;
    return nullptr;
}

// The value item of the override of `code` in the record, as an index; -1
// for none.
long ownIndex(const std::vector<ZcDbDxfItem>& items, int code) {
    std::size_t first = 0, last = 0;
    if (!overrideRange(items, first, last)) return -1;
    for (std::size_t i = first; i + 1 < last; i += 2)
        if (items[i].code == 1070 && items[i].integer == code && items[i + 1].code == 1040)
            return static_cast<long>(i + 1);
    return -1;
}

void registerAcad(ZcDbDatabase* db) {
    if (!db || !db->recordId(db->regAppTableId(), "ACAD").isNull()) return;
    ZcDbRegAppTable* table = nullptr;
    if (db->getRegAppTable(table, ZcDb::kForWrite) != Zcad::eOk) return;
    auto* rec = new ZcDbRegAppTableRecord;
    rec->setName("ACAD");
    if (table->add(rec) == Zcad::eOk)
        rec->close();
    else
        delete rec;
    table->close();
}

}  // namespace

void zcdbSetDimensionPictureMaker(bool (*maker)(ZcDbDimension* dim)) {
    pictureMaker() = maker;
}

bool ZcDbDimension::ownReal(int code, double& value) const {
    const ZcDbXDataApp* acad = acadXData(xDataApps());
    const long i = acad ? ownIndex(acad->items, code) : -1;
    if (i < 0) return false;
    value = acad->items[static_cast<std::size_t>(i)].real[0];
    return true;
}

bool ZcDbDimension::hasOwnDimscale() const {
    double unused = 0.0;
    return ownReal(kDimscaleCode, unused);
}

double ZcDbDimension::dimscale() const {
    double scale = 1.0;
    if (ownReal(kDimscaleCode, scale)) return scale;
    ZcDbDimStyleTableRecord* rec = nullptr;
    if (ZcDbDatabase* db = database()) {
        if (zcdbOpenObject(rec, db->recordId(db->dimStyleTableId(), m_style), ZcDb::kForRead) == Zcad::eOk) {
            scale = rec->dimscale();
            rec->close();
        }
    }
    return scale;
}

double ZcDbDimension::dimtxt() const {
    double height = 2.5;
    if (ownReal(kDimtxtCode, height)) return height;
    ZcDbDimStyleTableRecord* rec = nullptr;
    if (ZcDbDatabase* db = database()) {
        if (zcdbOpenObject(rec, db->recordId(db->dimStyleTableId(), m_style), ZcDb::kForRead) == Zcad::eOk) {
            height = rec->dimtxt();
            rec->close();
        }
    }
    return height;
}

Zcad::ErrorStatus ZcDbDimension::setDimscale(double scale) {
    if (!(scale >= 0.0)) return Zcad::eInvalidInput;
    return setOwnReal(kDimscaleCode, scale);
}

Zcad::ErrorStatus ZcDbDimension::setOwnReal(int code, double value) {
    assertWriteEnabled();
    std::vector<ZcDbDxfItem> items;
    if (const ZcDbXDataApp* acad = acadXData(xDataApps())) items = acad->items;
    auto item = [](int c, ZcDbDxfItem::Kind kind) {
        ZcDbDxfItem it;
        it.code = c;
        it.kind = kind;
        return it;
    };
    ZcDbDxfItem real = item(1040, ZcDbDxfItem::kReal);
    real.real[0] = value;
    ZcDbDxfItem key = item(1070, ZcDbDxfItem::kInt16);
    key.integer = code;
    const long at = ownIndex(items, code);
    std::size_t first = 0, last = 0;
    if (at >= 0) {
        items[static_cast<std::size_t>(at)] = real;
    } else if (overrideRange(items, first, last)) {
        items.insert(items.begin() + static_cast<long>(last), {key, real});
    } else {
        // Other "ACAD" data the dimension holds stays before the record.
        ZcDbDxfItem name = item(1000, ZcDbDxfItem::kString);
        name.text = "DSTYLE";
        ZcDbDxfItem open = item(1002, ZcDbDxfItem::kString);
        open.text = "{";
        ZcDbDxfItem close = item(1002, ZcDbDxfItem::kString);
        close.text = "}";
        items.insert(items.end(), {name, open, key, real, close});
    }
    // A dimension not yet in a drawing goes to the current one.
    registerAcad(database() ? database() : zcdbCurDwg());
    setXDataApp("ACAD", std::move(items));
    // One not yet in a drawing is drawn by whoever adds it.
    if (database()) m_pictureStale = true;
    return Zcad::eOk;
}

void ZcDbDimension::subClose() {
    if (!m_pictureStale) return;
    m_pictureStale = false;
    if (pictureMaker() && database()) pictureMaker()(this);
}

// ----------------------------------------------------------------- aligned

ZcDbAlignedDimension::ZcDbAlignedDimension(const ZcGePoint3d& xLine1, const ZcGePoint3d& xLine2,
                                           const ZcGePoint3d& dimLine, const std::string& text,
                                           ZcDbObjectId style)
    : m_x1(xLine1), m_x2(xLine2) {
    m_dimLinePoint = dimLine;
    m_text = text;
    m_textPosition = dimLine;
    if (!style.isNull() && style.stub()->object)
        if (auto* rec = ZcDbDimStyleTableRecord::cast(style.stub()->object.get())) m_style = rec->name();
}

void ZcDbAlignedDimension::alignedFields(ZcDbFields& v) {
    v.pt(13, m_x1);
    v.pt(14, m_x2);
    v.real(52, m_oblique);
}

Zcad::ErrorStatus ZcDbAlignedDimension::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbDimension::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    ZcDbFields v(f, true);
    const_cast<ZcDbAlignedDimension*>(this)->alignedFields(v);
    return f->filerStatus();
}
Zcad::ErrorStatus ZcDbAlignedDimension::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbDimension::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    ZcDbFields v(f, false);
    alignedFields(v);
    return f->filerStatus();
}
Zcad::ErrorStatus ZcDbAlignedDimension::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbDimension::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(100, "AcDbAlignedDimension");
    ZcDbFields v(f);
    const_cast<ZcDbAlignedDimension*>(this)->alignedFields(v);
    return f->filerStatus();
}
Zcad::ErrorStatus ZcDbAlignedDimension::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbDimension::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    if (!f->atSubclassData("AcDbAlignedDimension")) return f->filerStatus();
    return zcdbDxfReadSection(f, [this](ZcDbFields& v) { alignedFields(v); });
}

Zcad::ErrorStatus ZcDbAlignedDimension::setXLine1Point(const ZcGePoint3d& p) {
    assertWriteEnabled();
    m_x1 = p;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbAlignedDimension::setXLine2Point(const ZcGePoint3d& p) {
    assertWriteEnabled();
    m_x2 = p;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbAlignedDimension::setDimLinePoint(const ZcGePoint3d& p) {
    assertWriteEnabled();
    m_dimLinePoint = p;
    return Zcad::eOk;
}

double ZcDbAlignedDimension::measurement() const {
    return m_x1.distanceTo(m_x2);
}

Zcad::ErrorStatus ZcDbAlignedDimension::transformBy(const ZcDbXform& x) {
    assertWriteEnabled();
    m_x1 = x.apply(m_x1);
    m_x2 = x.apply(m_x2);
    m_dimLinePoint = x.apply(m_dimLinePoint);
    m_textPosition = x.apply(m_textPosition);
    ZcGeVector3d n = x.apply(m_normal);
    if (n.length() > 0) m_normal = n / n.length();
    return Zcad::eOk;
}

// ----------------------------------------------------------------- rotated

ZcDbRotatedDimension::ZcDbRotatedDimension(double rotation, const ZcGePoint3d& xLine1,
                                           const ZcGePoint3d& xLine2, const ZcGePoint3d& dimLine,
                                           const std::string& text)
    : ZcDbAlignedDimension(xLine1, xLine2, dimLine, text), m_rotation(rotation) {}

Zcad::ErrorStatus ZcDbRotatedDimension::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbAlignedDimension::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeDouble(m_rotation);
    return f->filerStatus();
}
Zcad::ErrorStatus ZcDbRotatedDimension::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbAlignedDimension::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    f->readDouble(&m_rotation);
    return f->filerStatus();
}
Zcad::ErrorStatus ZcDbRotatedDimension::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbDimension::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    // The format puts the rotation (50) in the aligned section and closes
    // with an empty rotated-dimension marker.
    f->writeString(100, "AcDbAlignedDimension");
    f->writePoint3d(13, m_x1);
    f->writePoint3d(14, m_x2);
    f->writeDouble(50, m_rotation);
    f->writeDouble(52, m_oblique);
    f->writeString(100, "AcDbRotatedDimension");
    return f->filerStatus();
}
Zcad::ErrorStatus ZcDbRotatedDimension::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbDimension::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    if (!f->atSubclassData("AcDbAlignedDimension")) return f->filerStatus();
    es = zcdbDxfReadSection(f, [this](ZcDbFields& v) {
        alignedFields(v);
        v.real(50, m_rotation);
    });
    if (es != Zcad::eOk) return es;
    f->atSubclassData("AcDbRotatedDimension");
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbRotatedDimension::setRotation(double a) {
    assertWriteEnabled();
    m_rotation = a;
    return Zcad::eOk;
}

double ZcDbRotatedDimension::measurement() const {
    ZcGeVector3d dir(std::cos(m_rotation), std::sin(m_rotation), 0);
    return std::fabs((m_x2 - m_x1).dotProduct(dir));
}

Zcad::ErrorStatus ZcDbRotatedDimension::transformBy(const ZcDbXform& x) {
    m_rotation = zcdbTransformAngle(m_rotation, m_normal, x);
    return ZcDbAlignedDimension::transformBy(x);
}

// ----------------------------------------------------------------- angular

ZcDb3PointAngularDimension::ZcDb3PointAngularDimension(const ZcGePoint3d& center, const ZcGePoint3d& xLine1,
                                                       const ZcGePoint3d& xLine2, const ZcGePoint3d& arcPoint,
                                                       const std::string& text)
    : m_center(center), m_x1(xLine1), m_x2(xLine2) {
    m_dimLinePoint = arcPoint;
    m_textPosition = arcPoint;
    m_text = text;
}

void ZcDb3PointAngularDimension::angularFields(ZcDbFields& v) {
    v.pt(13, m_x1);
    v.pt(14, m_x2);
    v.pt(15, m_center);
}

Zcad::ErrorStatus ZcDb3PointAngularDimension::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbDimension::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    ZcDbFields v(f, true);
    const_cast<ZcDb3PointAngularDimension*>(this)->angularFields(v);
    return f->filerStatus();
}
Zcad::ErrorStatus ZcDb3PointAngularDimension::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbDimension::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    ZcDbFields v(f, false);
    angularFields(v);
    return f->filerStatus();
}
Zcad::ErrorStatus ZcDb3PointAngularDimension::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbDimension::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(100, "AcDb3PointAngularDimension");
    ZcDbFields v(f);
    const_cast<ZcDb3PointAngularDimension*>(this)->angularFields(v);
    return f->filerStatus();
}
Zcad::ErrorStatus ZcDb3PointAngularDimension::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbDimension::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    if (!f->atSubclassData("AcDb3PointAngularDimension")) return f->filerStatus();
    return zcdbDxfReadSection(f, [this](ZcDbFields& v) { angularFields(v); });
}

double ZcDb3PointAngularDimension::measurement() const {
    ZcGeVector3d a = m_x1 - m_center, b = m_x2 - m_center;
    if (a.isZeroLength() || b.isZeroLength()) return 0;
    return a.angleTo(b);
}

Zcad::ErrorStatus ZcDb3PointAngularDimension::transformBy(const ZcDbXform& x) {
    assertWriteEnabled();
    m_center = x.apply(m_center);
    m_x1 = x.apply(m_x1);
    m_x2 = x.apply(m_x2);
    m_dimLinePoint = x.apply(m_dimLinePoint);
    m_textPosition = x.apply(m_textPosition);
    return Zcad::eOk;
}

// -------------------------------------------------------- two-line angular

ZcDb2LineAngularDimension::ZcDb2LineAngularDimension(const ZcGePoint3d& xLine1Start,
                                                     const ZcGePoint3d& xLine1End,
                                                     const ZcGePoint3d& xLine2Start,
                                                     const ZcGePoint3d& xLine2End,
                                                     const ZcGePoint3d& arcPoint, const std::string& text)
    : m_x1Start(xLine1Start), m_x1End(xLine1End), m_x2Start(xLine2Start), m_arcPoint(arcPoint) {
    m_dimLinePoint = xLine2End;
    m_textPosition = arcPoint;
    m_text = text;
}

void ZcDb2LineAngularDimension::angularFields(ZcDbFields& v) {
    v.pt(13, m_x1Start);
    v.pt(14, m_x1End);
    v.pt(15, m_x2Start);
    v.pt(16, m_arcPoint);
}

Zcad::ErrorStatus ZcDb2LineAngularDimension::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbDimension::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    ZcDbFields v(f, true);
    const_cast<ZcDb2LineAngularDimension*>(this)->angularFields(v);
    return f->filerStatus();
}
Zcad::ErrorStatus ZcDb2LineAngularDimension::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbDimension::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    ZcDbFields v(f, false);
    angularFields(v);
    return f->filerStatus();
}
Zcad::ErrorStatus ZcDb2LineAngularDimension::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbDimension::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(100, "AcDb2LineAngularDimension");
    ZcDbFields v(f);
    const_cast<ZcDb2LineAngularDimension*>(this)->angularFields(v);
    return f->filerStatus();
}
Zcad::ErrorStatus ZcDb2LineAngularDimension::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbDimension::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    if (!f->atSubclassData("AcDb2LineAngularDimension")) return f->filerStatus();
    return zcdbDxfReadSection(f, [this](ZcDbFields& v) { angularFields(v); });
}

double ZcDb2LineAngularDimension::measurement() const {
    ZcGeVector3d a = m_x1End - m_x1Start, b = m_dimLinePoint - m_x2Start;
    if (a.isZeroLength() || b.isZeroLength()) return 0;
    return a.angleTo(b);
}

Zcad::ErrorStatus ZcDb2LineAngularDimension::transformBy(const ZcDbXform& x) {
    assertWriteEnabled();
    m_x1Start = x.apply(m_x1Start);
    m_x1End = x.apply(m_x1End);
    m_x2Start = x.apply(m_x2Start);
    m_arcPoint = x.apply(m_arcPoint);
    m_dimLinePoint = x.apply(m_dimLinePoint);
    m_textPosition = x.apply(m_textPosition);
    return Zcad::eOk;
}
