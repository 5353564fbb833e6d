// Schedules of openings: a table object lists, for one floor, the openings
// of one kind (its schedule name, "DOORS", "WINDOWS" or "OPENINGS",
// compared with the English kind word of each opening) as rows, and may be
// closed by a total. Table, rows and total are parametric objects whose
// definitions a template file "<name>.OA" names ("tab=", "rec=", "tot=",
// then "end"). Rows and totals belong to a schedule by its name and floor,
// never by a link to the table.
//
// Records: the table's "VELM6$_$ABINFISSI_TAB-" (template name, schedule
// name, rows value), a row's "VELM6$_$ABINFISSI_ETI-" (schedule name), a
// total's "VELM6$_$ABINFISSI_TOT-" (template name, schedule name).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/geometry/geom_basic.h"
#include "host/util/resbuf.h"
#include "objects/language/obj_context.h"

inline constexpr const char* kScheduleLayerKey = "2DABCDATA";

// The context of one schedule command.
class CABACHI {
public:
    CABACHI() = default;
    CABACHI(const CABACHI&) = delete;
    CABACHI& operator=(const CABACHI&) = delete;
    virtual ~CABACHI();

    double level = 0.0;
    std::unique_ptr<ObjContext> context;        // only while one object is made
    double sumA = 0.0, sumB = 0.0, sumC = 0.0;  // codes 62, 67, 69
    std::int32_t count = 0;
    std::int32_t rowsValue = 0;             // table variable 40
    const resbuf* currentRecord = nullptr;  // borrowed: from its 1001 group
    Point3 insertionPoint;
    std::string texts[6];  // table variables 79 to 84; the first is the schedule name
    double reals[3]{};     // table variables 85 to 87
    std::string layer;     // the schedule's layer on its floor
    std::string templateName;
    std::string templateRecord = "NOMEFILEOA";  // where the name came from, named in a refusal
    std::string tableName, rowName, totalName;

    const std::string& scheduleName() const { return texts[0]; }

    // Reads "<templateName>.OA": 1, or 0 (told, but for a file ending
    // before its "end" line).
    int ReadOaFile();
    // 1 a table picked (its level, names, point and values taken), 0 none
    // (no table in the drawing, Enter, or a pick refused with a message),
    // -1 cancelled.
    int SelectTable(const char* prompt);
    // Takes a table's level, names, point and values from its records;
    // false when it is not a table or its layer carries no level.
    bool ReadTable(const ads_name table, bool tell);
    // 1 a new table placed through the object run, or 0 with a message.
    // With `at`, the table is placed there with the values taken from an
    // old one, no point asked.
    int InsertTable(const Point3* at = nullptr);
    // Mode 1: setting variables only; 2: also 40, 55 and 56; 0: also the
    // current opening record as codes 57 to 78 and 88, and 79 to 87.
    void FillParameters(int mode);
    // Erases this schedule's rows on its floor.
    void EraseRecords();
    // Writes the row of the current opening record; 1 written, else 0.
    int CreateRecord();
    // Writes (or replaces) the total; with `onlyIfPresent`, only when one
    // existed. 1 written, else 0.
    int CreateTotal(bool onlyIfPresent);

private:
    void FreeContext();
    void TakeTableValues(const ObjVarList& vars);
};

// Entities of the drawing carrying the record of `app`, in a selection
// set: true with `set` filled (free it), false when there is none.
bool SelectWithRecord(const char* app, ads_name set);

// The level of an entity's layer; false when it carries none.
bool EntityLevelOf(const ads_name entity, double& level);
bool SameLevel(double a, double b);
