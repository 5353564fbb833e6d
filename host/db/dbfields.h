// One description of a class's fields, four filing directions. A class
// lists its fields once in `fields(ZcDbFields&)` (group code and member);
// the visitor writes them to the DWG filer, reads them back in the same
// order, writes them as DXF items, or, in DXF reading, assigns the member
// whose code matches the current item. Variable-length data (vertex lists,
// loops) is filed by hand next to this.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>

#include "host/db/dbfiler.h"
#include "host/rx/rxobject.h"

template <class T>
ZcRxObject* zcdbMakeIfConcrete() {
    if constexpr (std::is_abstract_v<T>)
        return nullptr;
    else
        return new T;
}

class ZcDbFields {
public:
    enum Mode { kDwgOut, kDwgIn, kDxfOut, kDxfIn };
    explicit ZcDbFields(ZcDbDwgFiler* f, bool out) : m_mode(out ? kDwgOut : kDwgIn), m_dwg(f) {}
    explicit ZcDbFields(ZcDbDxfFiler* f) : m_mode(kDxfOut), m_dxf(f) {}
    explicit ZcDbFields(const ZcDbDxfItem* item) : m_mode(kDxfIn), m_item(item) {}

    Mode mode() const { return m_mode; }
    bool matched() const { return m_matched; }

    // Reading a file asks every field of a section for every item: that
    // direction is inline, the three others out of line.
    void b(int code, bool& v) {
        if (m_mode != kDxfIn) return bOther(code, v);
        if (takes(code)) v = m_item->integer != 0;
    }
    void i16(int code, std::int16_t& v) {
        if (m_mode != kDxfIn) return i16Other(code, v);
        if (takes(code))
            v = static_cast<std::int16_t>(m_item->kind == ZcDbDxfItem::kReal ? m_item->real[0]
                                                                             : m_item->integer);
    }
    void i32(int code, std::int32_t& v) {
        if (m_mode != kDxfIn) return i32Other(code, v);
        if (takes(code)) v = static_cast<std::int32_t>(m_item->integer);
    }
    void real(int code, double& v) {
        if (m_mode != kDxfIn) return realOther(code, v);
        if (takes(code))
            v = m_item->kind == ZcDbDxfItem::kReal || m_item->kind == ZcDbDxfItem::kPoint
                    ? m_item->real[0]
                    : static_cast<double>(m_item->integer);
    }
    void pt(int code, ZcGePoint3d& v) {
        if (m_mode != kDxfIn) return ptOther(code, v);
        if (takes(code)) v = m_item->point();
    }
    void pt2(int code, ZcGePoint2d& v) {
        if (m_mode != kDxfIn) return pt2Other(code, v);
        if (takes(code)) v = {m_item->real[0], m_item->real[1]};
    }
    void vec(int code, ZcGeVector3d& v) {
        if (m_mode != kDxfIn) return vecOther(code, v);
        if (takes(code)) v = {m_item->real[0], m_item->real[1], m_item->real[2]};
    }
    // Optional groups: left out of a DXF output that omits defaults when
    // the value is the default (a thickness of 0, the normal 0,0,1).
    void realOpt(int code, double& v, double dflt = 0.0) {
        if (m_mode == kDxfOut && v == dflt && !includesDefaults()) return;
        real(code, v);
    }
    void normal(int code, ZcGeVector3d& v) {
        if (m_mode == kDxfOut && v.x == 0 && v.y == 0 && v.z == 1 && !includesDefaults()) return;
        vec(code, v);
    }
    void str(int code, std::string& v) {
        if (m_mode != kDxfIn) return strOther(code, v);
        if (takes(code)) v = m_item->text;
    }
    void id(int code, ZcDbObjectId& v) {
        if (m_mode != kDxfIn) return idOther(code, v);
        if (takes(code)) v = m_item->id;
    }

private:
    bool takes(int code) {
        if (m_item->code != code) return false;
        m_matched = true;
        return true;
    }
    void bOther(int code, bool& v);
    void i16Other(int code, std::int16_t& v);
    void i32Other(int code, std::int32_t& v);
    void realOther(int code, double& v);
    void ptOther(int code, ZcGePoint3d& v);
    void pt2Other(int code, ZcGePoint2d& v);
    void vecOther(int code, ZcGeVector3d& v);
    void strOther(int code, std::string& v);
    void idOther(int code, ZcDbObjectId& v);
    bool includesDefaults() const;

    Mode m_mode;
    ZcDbDwgFiler* m_dwg = nullptr;
    ZcDbDxfFiler* m_dxf = nullptr;
    const ZcDbDxfItem* m_item = nullptr;
    bool m_matched = false;
};

// Reads one DXF section through `fields`: items are taken until a 0, a 100,
// or an xdata group (>= 1000), which is pushed back. Unknown codes are
// skipped, or end the section when it was entered without its marker.
template <class Fields>
Zcad::ErrorStatus zcdbDxfReadSection(ZcDbDxfFiler* f, Fields&& fields) {
    while (const ZcDbDxfItem* item = f->nextItem()) {
        if (item->code == 0 || item->code == 100 || item->code >= 1000) {
            f->pushBackItem();
            break;
        }
        ZcDbFields v(item);
        fields(v);
        if (!v.matched() && f->markerless()) {
            f->pushBackItem();
            break;
        }
    }
    return f->filerStatus();
}

// The four filing functions of a class whose data is all in `fields`.
#define ZCDB_DEFINE_FIELD_FILING(CLASS, BASE, MARKER)                       \
    Zcad::ErrorStatus CLASS::dwgOutFields(ZcDbDwgFiler* f) const {          \
        assertReadEnabled();                                                \
        Zcad::ErrorStatus es = BASE::dwgOutFields(f);                       \
        if (es != Zcad::eOk) return es;                                     \
        ZcDbFields v(f, true);                                              \
        const_cast<CLASS*>(this)->fields(v);                                \
        return f->filerStatus();                                            \
    }                                                                       \
    Zcad::ErrorStatus CLASS::dwgInFields(ZcDbDwgFiler* f) {                 \
        assertWriteEnabled();                                               \
        Zcad::ErrorStatus es = BASE::dwgInFields(f);                        \
        if (es != Zcad::eOk) return es;                                     \
        ZcDbFields v(f, false);                                             \
        fields(v);                                                          \
        return f->filerStatus();                                            \
    }                                                                       \
    Zcad::ErrorStatus CLASS::dxfOutFields(ZcDbDxfFiler* f) const {          \
        assertReadEnabled();                                                \
        Zcad::ErrorStatus es = BASE::dxfOutFields(f);                       \
        if (es != Zcad::eOk) return es;                                     \
        f->writeString(100, MARKER);                                        \
        ZcDbFields v(f);                                                    \
        const_cast<CLASS*>(this)->fields(v);                                \
        return f->filerStatus();                                            \
    }                                                                       \
    Zcad::ErrorStatus CLASS::dxfInFields(ZcDbDxfFiler* f) {                 \
        assertWriteEnabled();                                               \
        Zcad::ErrorStatus es = BASE::dxfInFields(f);                        \
        if (es != Zcad::eOk) return es;                                     \
        if (!f->atSubclassData(MARKER)) return f->filerStatus();            \
        return zcdbDxfReadSection(f, [this](ZcDbFields& v) { fields(v); }); \
    }

// Declares what ZCDB_DEFINE_FIELD_FILING defines.
#define ZCDB_DECLARE_FILING                                             \
    Zcad::ErrorStatus dwgInFields(ZcDbDwgFiler* filer) override;        \
    Zcad::ErrorStatus dwgOutFields(ZcDbDwgFiler* filer) const override; \
    Zcad::ErrorStatus dxfInFields(ZcDbDxfFiler* filer) override;        \
    Zcad::ErrorStatus dxfOutFields(ZcDbDxfFiler* filer) const override

// Runtime-class definitions of the platform's own database classes.
#define ZCDB_DEFINE_HOST_CLASS(CLASS, PARENT, NAME, DXFNAME, MAKES)                          \
    ZcRxClass* CLASS::desc() {                                                               \
        static ZcRxClass* cls = zcrxRegisterHostClass(                                       \
            NAME, PARENT::desc(), DXFNAME,                                                   \
            MAKES ? +[]() -> ZcRxObject* { return zcdbMakeIfConcrete<CLASS>(); } : nullptr); \
        return cls;                                                                          \
    }                                                                                        \
    ZcRxClass* CLASS::isA() const {                                                          \
        return CLASS::desc();                                                                \
    }
