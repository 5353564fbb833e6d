// Small services over the host: the system variables of the four value
// kinds (each setter gives back the value it replaced), a yes/no question
// on the command line, the working database, appending an entity to model
// space, and the module's own strings and message boxes (the module's
// resource handle made current around each use).
#pragma once

#include <string>
#include <string_view>

#include "host/db/dbid.h"
#include "host/db/dbmain.h"
#include "host/util/adscodes.h"

class ZcDbDatabase;
class ZcDbEntity;

// Reads a 16-bit variable; when *value is not negative, sets it to that
// value. Returns the former value (0 when it cannot be read).
int SysVarShort(const char* name, const int* value);
// Reads a real variable; when *flag is non-zero, sets it to *value.
// Returns the former value (0.0 when it cannot be read).
double SysVarReal(const char* name, const double* value, const int* flag);
// Reads a text variable into `former`; when `value` is non-empty, sets the
// variable to it. RTNORM, or the host's status when it cannot be read
// (`former` then untouched). Values longer than 259 bytes are refused.
int SysVarString(const char* name, std::string_view value, std::string& former);
// Reads a point variable into `former` (when given); with `value`, sets the
// variable and returns the host's status of that; otherwise RTNORM or the
// status of the read.
int SysVarPoint(const char* name, const ads_point value, ads_point former);
// Whether the host's insert command (INSERT or -INSERT) still waits for an
// answer: it asks again after refusing one.
bool InsertStillAsks();

// Why the last entity pick failed, as the host left it in ERRNO:
// OL_ENTSELPICK (7) when the pick hit nothing, OL_ENTSELNULL (52) for Enter;
// 0 when ERRNO cannot be read. The one place the module reads ERRNO.
int LastPickError();
// True when the last failed pick hit nothing, so the prompt should ask again.
bool PickHitNothing();

// Asks "Tak"/"Nie": 1 for "Tak", 0 for "Nie", `defaultAnswer` for Enter,
// -1 for cancel or error. The prompt is cut to 134 bytes.
int AskYesNo(std::string_view prompt, int defaultAnswer);

// Registers the xdata application with the working drawing unless it is
// registered already.
void RegisterXDataApp(const char* app);

ZcDbDatabase* GetWorkingDatabase();
// Appends `entity` to the working database's model space; on success the
// entity is closed and `id` holds its id. Each failing step closes what it
// opened and returns its status; the entity stays the caller's when it
// could not be appended.
Zcad::ErrorStatus AppendToModelSpace(ZcDbObjectId& id, ZcDbEntity* entity);

// The module's string `id` (empty when missing): false when missing.
bool LoadModuleString(std::string& out, unsigned id);
// The module's string `id` used as a printf format for the arguments.
bool FormatModuleString(std::string& out, unsigned id, ...);
// The platform's message box with the module's resources current.
int ModuleMessageBox(std::string_view text, unsigned style, unsigned helpId);
