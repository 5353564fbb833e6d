// Registers every database class of the platform in the class dictionary,
// parents first, so that lookups by name or DXF name find them all.
#include "host/db/dbmain.h"

void zcdbInitClasses() {
    ZcRxObject::desc();
    ZcRxClass::desc();
    ZcRxDictionary::desc();
    ZcDbObject::desc();
    ZcDbDatabase::desc();
    ZcDbDictionary::desc();
    ZcDbSymbolTable::desc();
    ZcDbSymbolTableRecord::desc();
    ZcDbBlockTable::desc();
    ZcDbLayerTable::desc();
    ZcDbLinetypeTable::desc();
    ZcDbTextStyleTable::desc();
    ZcDbRegAppTable::desc();
    ZcDbDimStyleTable::desc();
    ZcDbViewTable::desc();
    ZcDbUCSTable::desc();
    ZcDbViewportTable::desc();
    ZcDbBlockTableRecord::desc();
    ZcDbLayerTableRecord::desc();
    ZcDbLinetypeTableRecord::desc();
    ZcDbTextStyleTableRecord::desc();
    ZcDbRegAppTableRecord::desc();
    ZcDbDimStyleTableRecord::desc();
    ZcDbViewTableRecord::desc();
    ZcDbUCSTableRecord::desc();
    ZcDbViewportTableRecord::desc();
    ZcDbEntity::desc();
    ZcDbLine::desc();
    ZcDbCircle::desc();
    ZcDbArc::desc();
    ZcDbPoint::desc();
    ZcDbFace::desc();
    ZcDbSolid::desc();
    ZcDbText::desc();
    ZcDbAttributeDefinition::desc();
    ZcDbAttribute::desc();
    ZcDbMText::desc();
    ZcDbPolyline::desc();
    ZcDbSequenceEnd::desc();
    ZcDbVertex::desc();
    ZcDb2dPolyline::desc();
    ZcDbBlockReference::desc();
    ZcDbViewport::desc();
    ZcDbDimension::desc();
    ZcDbAlignedDimension::desc();
    ZcDbRotatedDimension::desc();
    ZcDb3PointAngularDimension::desc();
    ZcDb2LineAngularDimension::desc();
    ZcDbHatch::desc();
    ZcDbModelerStandIn::desc();
    ZcDbRegion::desc();
    ZcDb3dSolid::desc();
    ZcDbBody::desc();
    ZcDbOpaqueObject::desc();
    ZcDbOpaqueEntity::desc();
    // ZCDB_ENTITY_CLASSES
}
