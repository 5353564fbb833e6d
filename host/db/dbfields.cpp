// The field visitor's four directions.
#include "host/db/dbfields.h"

void ZcDbFields::b(int code, bool& v) {
    switch (m_mode) {
        case kDwgOut:
            m_dwg->writeBool(v);
            break;
        case kDwgIn:
            m_dwg->readBool(&v);
            break;
        case kDxfOut:
            m_dxf->writeInt16(code, v ? 1 : 0);
            break;
        case kDxfIn:
            if (takes(code)) v = m_item->integer != 0;
            break;
    }
}

void ZcDbFields::i16(int code, std::int16_t& v) {
    switch (m_mode) {
        case kDwgOut:
            m_dwg->writeInt16(v);
            break;
        case kDwgIn:
            m_dwg->readInt16(&v);
            break;
        case kDxfOut:
            m_dxf->writeInt16(code, v);
            break;
        case kDxfIn:
            if (takes(code))
                v = static_cast<std::int16_t>(m_item->kind == ZcDbDxfItem::kReal ? m_item->real[0]
                                                                                 : m_item->integer);
            break;
    }
}

void ZcDbFields::i32(int code, std::int32_t& v) {
    switch (m_mode) {
        case kDwgOut:
            m_dwg->writeInt32(v);
            break;
        case kDwgIn:
            m_dwg->readInt32(&v);
            break;
        case kDxfOut:
            m_dxf->writeInt32(code, v);
            break;
        case kDxfIn:
            if (takes(code)) v = static_cast<std::int32_t>(m_item->integer);
            break;
    }
}

void ZcDbFields::real(int code, double& v) {
    switch (m_mode) {
        case kDwgOut:
            m_dwg->writeDouble(v);
            break;
        case kDwgIn:
            m_dwg->readDouble(&v);
            break;
        case kDxfOut:
            m_dxf->writeDouble(code, v);
            break;
        case kDxfIn:
            if (takes(code))
                v = m_item->kind == ZcDbDxfItem::kReal || m_item->kind == ZcDbDxfItem::kPoint
                        ? m_item->real[0]
                        : static_cast<double>(m_item->integer);
            break;
    }
}

void ZcDbFields::pt(int code, ZcGePoint3d& v) {
    switch (m_mode) {
        case kDwgOut:
            m_dwg->writePoint3d(v);
            break;
        case kDwgIn:
            m_dwg->readPoint3d(&v);
            break;
        case kDxfOut:
            m_dxf->writePoint3d(code, v);
            break;
        case kDxfIn:
            if (takes(code)) v = m_item->point();
            break;
    }
}

void ZcDbFields::pt2(int code, ZcGePoint2d& v) {
    switch (m_mode) {
        case kDwgOut:
            m_dwg->writePoint2d(v);
            break;
        case kDwgIn:
            m_dwg->readPoint2d(&v);
            break;
        case kDxfOut:
            m_dxf->writePoint2d(code, v);
            break;
        case kDxfIn:
            if (takes(code)) v = {m_item->real[0], m_item->real[1]};
            break;
    }
}

void ZcDbFields::vec(int code, ZcGeVector3d& v) {
    switch (m_mode) {
        case kDwgOut:
            m_dwg->writeVector3d(v);
            break;
        case kDwgIn:
            m_dwg->readVector3d(&v);
            break;
        case kDxfOut:
            m_dxf->writeVector3d(code, v);
            break;
        case kDxfIn:
            if (takes(code)) v = {m_item->real[0], m_item->real[1], m_item->real[2]};
            break;
    }
}

void ZcDbFields::realOpt(int code, double& v, double dflt) {
    if (m_mode == kDxfOut && v == dflt && !m_dxf->includesDefaultValues()) return;
    real(code, v);
}

void ZcDbFields::normal(int code, ZcGeVector3d& v) {
    if (m_mode == kDxfOut && v.x == 0 && v.y == 0 && v.z == 1 && !m_dxf->includesDefaultValues()) return;
    vec(code, v);
}

void ZcDbFields::str(int code, std::string& v) {
    switch (m_mode) {
        case kDwgOut:
            m_dwg->writeString(v);
            break;
        case kDwgIn:
            m_dwg->readString(&v);
            break;
        case kDxfOut:
            m_dxf->writeString(code, v);
            break;
        case kDxfIn:
            if (takes(code)) v = m_item->text;
            break;
    }
}

void ZcDbFields::id(int code, ZcDbObjectId& v) {
    switch (m_mode) {
        case kDwgOut:
            m_dwg->writeSoftPointerId(v);
            break;
        case kDwgIn:
            m_dwg->readSoftPointerId(&v);
            break;
        case kDxfOut:
            m_dxf->writeObjectId(code, v);
            break;
        case kDxfIn:
            if (takes(code)) v = m_item->id;
            break;
    }
}
