// ZcDbEntity: what every drawing entity carries — layer, colour (ACI:
// 0 by block, 256 by layer; an optional true colour), linetype and its
// scale, line weight, visibility — plus transformBy and highlighting.
// Layer, linetype and the like are kept by name and resolved to ids through
// the database's case-insensitive tables on demand.
#pragma once

#include <string>

#include "host/db/dbfields.h"
#include "host/db/dbobject.h"
#include "host/db/dbxform.h"

class ZcDbEntity : public ZcDbObject {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbEntity);
    ZCDB_DECLARE_FILING;

    ZcDbObjectId blockId() const { return ownerId(); }

    const std::string& layer() const { return m_layer; }
    ZcDbObjectId layerId() const;
    // eKeyNotFound when the entity is resident and the layer does not exist.
    Zcad::ErrorStatus setLayer(const std::string& name, bool doSubents = true);
    Zcad::ErrorStatus setLayer(ZcDbObjectId layerId, bool doSubents = true);

    int colorIndex() const { return m_color; }
    Zcad::ErrorStatus setColorIndex(int aci, bool doSubents = true);  // 0..256
    bool hasTrueColor() const { return m_trueColor >= 0; }
    std::int32_t trueColor() const { return m_trueColor; }  // 0xRRGGBB, -1 when none
    Zcad::ErrorStatus setTrueColor(std::int32_t rgb);

    const std::string& linetype() const { return m_linetype; }
    ZcDbObjectId linetypeId() const;
    Zcad::ErrorStatus setLinetype(const std::string& name, bool doSubents = true);
    double linetypeScale() const { return m_linetypeScale; }
    Zcad::ErrorStatus setLinetypeScale(double s, bool doSubents = true);

    ZcDb::LineWeight lineWeight() const { return static_cast<ZcDb::LineWeight>(m_lineWeight); }
    Zcad::ErrorStatus setLineWeight(int weight, bool doSubents = true);

    ZcDb::Visibility visibility() const { return m_invisible ? ZcDb::kInvisible : ZcDb::kVisible; }
    Zcad::ErrorStatus setVisibility(ZcDb::Visibility v, bool doSubents = true);

    // Current layer "0"-style defaults of the database (or the given one).
    void setDatabaseDefaults(ZcDbDatabase* db = nullptr);

    virtual Zcad::ErrorStatus transformBy(const ZcDbXform& xform);

    Zcad::ErrorStatus highlight();
    Zcad::ErrorStatus unhighlight();
    bool isHighlighted() const { return m_highlighted; }

protected:
    // Sub-entities (vertices, attributes) follow their owner's properties.
    virtual void propagateProperties() {}
    void copyPropertiesTo(ZcDbEntity* other) const;

private:
    std::string m_layer;
    std::string m_linetype = "ByLayer";
    std::int16_t m_color = 256;
    std::int32_t m_trueColor = -1;
    double m_linetypeScale = 1.0;
    std::int16_t m_lineWeight = ZcDb::kLnWtByLayer;
    bool m_invisible = false;
    bool m_highlighted = false;
};

inline Zcad::ErrorStatus zcdbOpenZcDbEntity(ZcDbEntity*& ent, ZcDbObjectId id, ZcDb::OpenMode mode,
                                            bool openErased = false) {
    return zcdbOpenObject(ent, id, mode, openErased);
}
