// The field visitor's four directions.
#include "host/db/dbfields.h"

void ZcDbFields::bOther(int code, bool& v) {
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
            break;
    }
}

void ZcDbFields::i16Other(int code, std::int16_t& v) {
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
            break;
    }
}

void ZcDbFields::i32Other(int code, std::int32_t& v) {
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
            break;
    }
}

void ZcDbFields::realOther(int code, double& v) {
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
            break;
    }
}

void ZcDbFields::ptOther(int code, ZcGePoint3d& v) {
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
            break;
    }
}

void ZcDbFields::pt2Other(int code, ZcGePoint2d& v) {
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
            break;
    }
}

void ZcDbFields::vecOther(int code, ZcGeVector3d& v) {
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
            break;
    }
}

bool ZcDbFields::includesDefaults() const {
    return m_dxf->includesDefaultValues();
}

void ZcDbFields::strOther(int code, std::string& v) {
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
            break;
    }
}

void ZcDbFields::idOther(int code, ZcDbObjectId& v) {
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
            break;
    }
}
