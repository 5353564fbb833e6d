// Symbol tables and their records: BLOCK_RECORD, LAYER, LTYPE, STYLE,
// APPID, DIMSTYLE, VIEW, UCS, VPORT. A table keeps its record ids in
// insertion order and a hash map from the case-folded name (Polish and
// Italian letters included) to the id, so lookups are O(1) and ignore case.
// Erased records are skipped by lookups and iteration. A block table
// record keeps its entities in append order; adding a block named "*U",
// "*D" (any "*<letter>") gives it the next free anonymous name ("*U1" ...).
// DXF: each record files "100 AcDbSymbolTableRecord", its own marker, then
// 2 name and 70 flags first. A file layer writes BLOCK/ENDBLK around a
// block's entities with ZcDbBlockTableRecord::dxfOutBlockBegin/End.
#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/db/dbfields.h"
#include "host/db/dbfoldedname.h"
#include "host/db/dbobject.h"

class ZcDbEntity;
class ZcDbSymbolTable;

class ZcDbSymbolTableRecord : public ZcDbObject {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbSymbolTableRecord);
    Zcad::ErrorStatus dxfInFields(ZcDbDxfFiler* filer) override;
    Zcad::ErrorStatus dxfOutFields(ZcDbDxfFiler* filer) const override;
    Zcad::ErrorStatus dwgInFields(ZcDbDwgFiler* filer) override;
    Zcad::ErrorStatus dwgOutFields(ZcDbDwgFiler* filer) const override;

    Zcad::ErrorStatus getName(std::string& name) const;
    Zcad::ErrorStatus getName(const char*& name) const;
    const std::string& name() const { return m_name; }
    // Renames; eDuplicateKey when the table holds the name already.
    Zcad::ErrorStatus setName(const std::string& name);
    std::int16_t flags() const { return m_flags; }

protected:
    friend class ZcDbSymbolTable;
    std::string m_name;
    std::int16_t m_flags = 0;
};

class ZcDbSymbolTableIterator {
public:
    explicit ZcDbSymbolTableIterator(std::vector<ZcDbObjectId> ids) : m_ids(std::move(ids)) {}
    void start() { m_pos = 0; }
    bool done() const { return m_pos >= m_ids.size(); }
    void step() { ++m_pos; }
    Zcad::ErrorStatus getRecordId(ZcDbObjectId& id) const;
    template <class T>
    Zcad::ErrorStatus getRecord(T*& rec, ZcDb::OpenMode mode = ZcDb::kForRead,
                                bool openErased = false) const {
        if (done()) return Zcad::eInvalidIndex;
        return zcdbOpenObject(rec, m_ids[m_pos], mode, openErased);
    }

private:
    std::vector<ZcDbObjectId> m_ids;
    std::size_t m_pos = 0;
};

class ZcDbSymbolTable : public ZcDbObject {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbSymbolTable);
    ZCDB_DECLARE_FILING;

    Zcad::ErrorStatus getAt(std::string_view name, ZcDbObjectId& id, bool getErased = false) const;
    template <class T>
    Zcad::ErrorStatus getAt(std::string_view name, T*& rec, ZcDb::OpenMode mode,
                            bool openErased = false) const {
        rec = nullptr;
        ZcDbObjectId id;
        Zcad::ErrorStatus es = getAt(name, id, openErased);
        return es == Zcad::eOk ? zcdbOpenObject(rec, id, mode, openErased) : es;
    }
    bool has(std::string_view name) const;
    bool has(ZcDbObjectId id) const;
    // Adds a record (the table open for write); the record becomes resident,
    // owned by the table, and stays open for write for the caller to close.
    Zcad::ErrorStatus add(ZcDbObjectId& id, ZcDbSymbolTableRecord* rec);
    Zcad::ErrorStatus add(ZcDbSymbolTableRecord* rec);
    Zcad::ErrorStatus newIterator(ZcDbSymbolTableIterator*& it, bool atBeginning = true,
                                  bool skipDeleted = true) const;
    std::vector<ZcDbObjectId> recordIds(bool skipErased = true) const;
    // The record class this table accepts.
    virtual ZcRxClass* recordClass() const = 0;

    // Platform internals: keep the name map in step with a rename.
    Zcad::ErrorStatus renameRecord(ZcDbObjectId id, const std::string& oldName, const std::string& newName);

protected:
    friend class ZcDbDatabase;
    virtual std::string resolveNewName(const std::string& name) { return name; }
    // Undoing add: the record's id and name leave the table.
    void takeBackAdded(ZcDbObjectId id);
    std::vector<ZcDbObjectId> m_ids;
    std::unordered_map<std::string, ZcDbObjectId, ZcDbNameHash, std::equal_to<>>
        m_byName;  // folded name → id
};

#define ZCDB_DECLARE_TABLE(TABLE, RECORD)                                                 \
    class RECORD;                                                                         \
    class TABLE : public ZcDbSymbolTable {                                                \
    public:                                                                               \
        ZCRX_DECLARE_MEMBERS(TABLE);                                                      \
        ZcRxClass* recordClass() const override;                                          \
        using ZcDbSymbolTable::getAt;                                                     \
        Zcad::ErrorStatus getAt(std::string_view name, RECORD*& rec, ZcDb::OpenMode mode, \
                                bool openErased = false) const {                          \
            return ZcDbSymbolTable::getAt<RECORD>(name, rec, mode, openErased);           \
        }                                                                                 \
        ZCDB_TABLE_EXTRA                                                                  \
    }

class ZcDbBlockTableRecordIterator;

// ----------------------------------------------------------------- blocks

class ZcDbBlockTableRecord : public ZcDbSymbolTableRecord {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbBlockTableRecord);
    ZCDB_DECLARE_FILING;
    void fields(ZcDbFields& v);

    // Appends an entity (this record open for write): the entity becomes
    // resident, owned by this record, open for write for the caller to close.
    Zcad::ErrorStatus appendZcDbEntity(ZcDbObjectId& id, ZcDbEntity* ent);
    Zcad::ErrorStatus appendZcDbEntity(ZcDbEntity* ent);
    Zcad::ErrorStatus newIterator(ZcDbBlockTableRecordIterator*& it, bool atBeginning = true,
                                  bool skipDeleted = true) const;
    std::vector<ZcDbObjectId> entityIds(bool skipErased = true) const;
    // The entity of the highest handle that is not erased (null when none),
    // found from the end of the list. False when the list is not in handle
    // order (entities read from a file out of order), and the answer would
    // need the whole list sorted.
    bool lastLiveEntity(ZcDbObjectId& id) const;

    ZcGePoint3d origin() const { return m_origin; }
    Zcad::ErrorStatus setOrigin(const ZcGePoint3d& p);
    bool isAnonymous() const {
        return (m_flags & 1) != 0 || (!m_name.empty() && m_name[0] == '*' && !isLayout());
    }
    bool hasAttributeDefinitions() const;
    bool isLayout() const;
    const std::string& comments() const { return m_comments; }
    Zcad::ErrorStatus setComments(const std::string& text);
    // The layout object of a paper-space block (null when none).
    ZcDbObjectId getLayoutId() const { return m_layoutId; }
    void setLayoutId(ZcDbObjectId id) { m_layoutId = id; }
    // The BLOCK and ENDBLK entities a DXF file writes around the entities.
    Zcad::ErrorStatus dxfOutBlockBegin(ZcDbDxfFiler* filer) const;
    Zcad::ErrorStatus dxfOutBlockEnd(ZcDbDxfFiler* filer) const;
    // Reads the BLOCK entity's groups (after its "0 BLOCK") into this record.
    Zcad::ErrorStatus dxfInBlockBegin(ZcDbDxfFiler* filer);

    // Platform internals.
    void adoptEntityId(ZcDbObjectId id) { pushEntityId(id); }
    // The handles of the BLOCK and ENDBLK entities of a DXF file: read with
    // the file and kept, so a drawing saved again writes the same ones. Not
    // filed otherwise; null until a file gives them or a save assigns them.
    ZcDbHandle blockBeginHandle() const { return m_beginHandle; }
    ZcDbHandle blockEndHandle() const { return m_endHandle; }
    void setBlockMarkerHandles(ZcDbHandle begin, ZcDbHandle end) {
        m_beginHandle = begin;
        m_endHandle = end;
    }

private:
    friend class ZcDbBlockTable;
    ZcDbHandle m_beginHandle, m_endHandle;
    void pushEntityId(ZcDbObjectId id);
    std::vector<ZcDbObjectId> m_entities;
    bool m_entitiesInHandleOrder = true;
    ZcGePoint3d m_origin;
    std::string m_comments;
    ZcDbObjectId m_layoutId;
};

class ZcDbBlockTableRecordIterator {
public:
    explicit ZcDbBlockTableRecordIterator(std::vector<ZcDbObjectId> ids) : m_ids(std::move(ids)) {}
    void start() { m_pos = 0; }
    bool done() const { return m_pos >= m_ids.size(); }
    void step() { ++m_pos; }
    Zcad::ErrorStatus getEntityId(ZcDbObjectId& id) const;
    Zcad::ErrorStatus getEntity(ZcDbEntity*& ent, ZcDb::OpenMode mode = ZcDb::kForRead,
                                bool openErased = false) const;

private:
    std::vector<ZcDbObjectId> m_ids;
    std::size_t m_pos = 0;
};

#define ZCDB_TABLE_EXTRA                                          \
protected:                                                        \
    std::string resolveNewName(const std::string& name) override; \
                                                                  \
private:                                                          \
    std::unordered_map<char32_t, int> m_nextAnonymous;
ZCDB_DECLARE_TABLE(ZcDbBlockTable, ZcDbBlockTableRecord);
#undef ZCDB_TABLE_EXTRA
#define ZCDB_TABLE_EXTRA

// ----------------------------------------------------------------- layers

class ZcDbLayerTableRecord : public ZcDbSymbolTableRecord {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbLayerTableRecord);
    ZCDB_DECLARE_FILING;
    void fields(ZcDbFields& v);

    bool isOff() const { return m_color < 0; }
    void setIsOff(bool off);
    bool isFrozen() const { return (m_flags & 1) != 0; }
    void setIsFrozen(bool frozen);
    bool isLocked() const { return (m_flags & 4) != 0; }
    void setIsLocked(bool locked);
    int colorIndex() const { return m_color < 0 ? -m_color : m_color; }
    void setColorIndex(int aci);                            // 1..255; keeps the on/off state
    std::int32_t trueColor() const { return m_trueColor; }  // -1 when none
    void setTrueColor(std::int32_t rgb);
    const std::string& linetype() const { return m_linetype; }
    ZcDbObjectId linetypeObjectId() const;
    Zcad::ErrorStatus setLinetype(const std::string& name);
    Zcad::ErrorStatus setLinetypeObjectId(ZcDbObjectId id);
    ZcDb::LineWeight lineWeight() const { return static_cast<ZcDb::LineWeight>(m_lineWeight); }
    void setLineWeight(int weight);
    bool isPlottable() const { return m_plottable; }
    void setIsPlottable(bool p);

private:
    std::int16_t m_color = 7;
    std::int32_t m_trueColor = -1;
    std::string m_linetype = "Continuous";
    std::int16_t m_lineWeight = ZcDb::kLnWtByLwDefault;
    bool m_plottable = true;
};
ZCDB_DECLARE_TABLE(ZcDbLayerTable, ZcDbLayerTableRecord);

// --------------------------------------------------------------- linetypes

class ZcDbLinetypeTableRecord : public ZcDbSymbolTableRecord {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbLinetypeTableRecord);
    ZCDB_DECLARE_FILING;
    const std::string& comments() const { return m_comments; }
    void setComments(const std::string& s);
    double patternLength() const;
    const std::vector<double>& dashes() const { return m_dashes; }
    void setDashes(std::vector<double> dashes);

private:
    std::string m_comments;
    std::vector<double> m_dashes;
};
ZCDB_DECLARE_TABLE(ZcDbLinetypeTable, ZcDbLinetypeTableRecord);

// ------------------------------------------------------------- text styles

class ZcDbTextStyleTableRecord : public ZcDbSymbolTableRecord {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbTextStyleTableRecord);
    ZCDB_DECLARE_FILING;
    void fields(ZcDbFields& v);
    double textSize() const { return m_textSize; }
    void setTextSize(double h);
    double xScale() const { return m_xScale; }
    void setXScale(double s);
    double obliquingAngle() const { return m_oblique; }
    void setObliquingAngle(double a);
    const std::string& fileName() const { return m_font; }
    void setFileName(const std::string& f);
    const std::string& bigFontFileName() const { return m_bigFont; }
    void setBigFontFileName(const std::string& f);

private:
    double m_textSize = 0, m_xScale = 1, m_oblique = 0, m_priorSize = 2.5;
    std::int16_t m_generation = 0;
    std::string m_font = "txt", m_bigFont;
};
ZCDB_DECLARE_TABLE(ZcDbTextStyleTable, ZcDbTextStyleTableRecord);

// -------------------------------------------------------------- applications

class ZcDbRegAppTableRecord : public ZcDbSymbolTableRecord {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbRegAppTableRecord);
    ZCDB_DECLARE_FILING;
    void fields(ZcDbFields& v);
};
ZCDB_DECLARE_TABLE(ZcDbRegAppTable, ZcDbRegAppTableRecord);

// ------------------------------------------------------- dimension styles

class ZcDbDimStyleTableRecord : public ZcDbSymbolTableRecord {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbDimStyleTableRecord);
    ZCDB_DECLARE_FILING;
    void fields(ZcDbFields& v);
    double dimscale() const { return m_dimscale; }
    double dimasz() const { return m_dimasz; }
    double dimexo() const { return m_dimexo; }
    double dimexe() const { return m_dimexe; }
    double dimtxt() const { return m_dimtxt; }
    double dimgap() const { return m_dimgap; }
    double dimlfac() const { return m_dimlfac; }
    int dimzin() const { return m_dimzin; }
    int dimdec() const { return m_dimdec; }
    int dimtad() const { return m_dimtad; }
    void setDimscale(double v);
    void setDimasz(double v);
    void setDimexo(double v);
    void setDimexe(double v);
    void setDimtxt(double v);
    void setDimgap(double v);
    void setDimlfac(double v);
    void setDimzin(int v);
    void setDimdec(int v);
    void setDimtad(int v);

private:
    double m_dimscale = 1, m_dimasz = 2.5, m_dimexo = 0.625, m_dimexe = 1.25, m_dimtxt = 2.5,
           m_dimgap = 0.625, m_dimlfac = 1;
    std::int16_t m_dimzin = 8, m_dimdec = 2, m_dimtad = 1;
};
ZCDB_DECLARE_TABLE(ZcDbDimStyleTable, ZcDbDimStyleTableRecord);

// ------------------------------------------------------------ views, UCS, vports

// What a named view and a viewport share: the view's centre and height,
// its direction, target, lens and twist.
class ZcDbAbstractViewTableRecord : public ZcDbSymbolTableRecord {
public:
    ZcGePoint2d centerPoint() const { return m_center; }
    void setCenterPoint(const ZcGePoint2d& p);
    double height() const { return m_height; }
    void setHeight(double h);
    ZcGeVector3d viewDirection() const { return m_direction; }
    void setViewDirection(const ZcGeVector3d& d);
    ZcGePoint3d target() const { return m_target; }
    void setTarget(const ZcGePoint3d& p);
    double viewTwist() const { return m_twist; }
    void setViewTwist(double a);

protected:
    explicit ZcDbAbstractViewTableRecord(double height) : m_height(height) {}

    ZcGePoint2d m_center;
    double m_height, m_lens = 50, m_twist = 0;
    ZcGeVector3d m_direction{0, 0, 1};
    ZcGePoint3d m_target;
};

class ZcDbViewTableRecord : public ZcDbAbstractViewTableRecord {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbViewTableRecord);
    ZCDB_DECLARE_FILING;
    ZcDbViewTableRecord() : ZcDbAbstractViewTableRecord(1) {}
    void fields(ZcDbFields& v);
    double width() const { return m_width; }
    void setWidth(double w);

private:
    double m_width = 1, m_front = 0, m_back = 0;
    std::int16_t m_viewMode = 0;
};
ZCDB_DECLARE_TABLE(ZcDbViewTable, ZcDbViewTableRecord);

class ZcDbUCSTableRecord : public ZcDbSymbolTableRecord {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbUCSTableRecord);
    ZCDB_DECLARE_FILING;
    void fields(ZcDbFields& v);
    ZcGePoint3d origin() const { return m_origin; }
    void setOrigin(const ZcGePoint3d& p);
    ZcGeVector3d xAxis() const { return m_xAxis; }
    void setXAxis(const ZcGeVector3d& v);
    ZcGeVector3d yAxis() const { return m_yAxis; }
    void setYAxis(const ZcGeVector3d& v);

private:
    ZcGePoint3d m_origin;
    ZcGeVector3d m_xAxis{1, 0, 0}, m_yAxis{0, 1, 0};
};
ZCDB_DECLARE_TABLE(ZcDbUCSTable, ZcDbUCSTableRecord);

class ZcDbViewportTableRecord : public ZcDbAbstractViewTableRecord {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbViewportTableRecord);
    ZCDB_DECLARE_FILING;
    ZcDbViewportTableRecord() : ZcDbAbstractViewTableRecord(100) {}
    void fields(ZcDbFields& v);
    ZcGePoint2d lowerLeftCorner() const { return m_lowerLeft; }
    ZcGePoint2d upperRightCorner() const { return m_upperRight; }
    double aspectRatio() const { return m_aspect; }

private:
    ZcGePoint2d m_lowerLeft{0, 0}, m_upperRight{1, 1}, m_snapBase, m_snapSpacing{10, 10},
        m_gridSpacing{10, 10};
    double m_aspect = 1.5, m_snapAngle = 0;
};
ZCDB_DECLARE_TABLE(ZcDbViewportTable, ZcDbViewportTableRecord);

// Anonymous-name rule shared with readers: "*U" (or "*D" ...) alone asks
// for the next free number.
bool zcdbIsAnonymousRequest(const std::string& name);
