// What the host's own commands share: the database they work on, appending
// to the current space, prompts that return a keyword as text, and the
// list of installers each command family registers itself through.
//
// Every host command runs on the prompt functions, so it reads its answers
// from zcedCommand/zcedCmd arguments or the user's queue alike.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/db/dbdatabase.h"
#include "host/db/dbentity.h"
#include "host/ge/gebase.h"
#include "host/util/adscodes.h"

class ZcDbDimension;

namespace host {

// Registers every host command (called once by the command processor).
void installHostCommands();
// The command families, each in its own file.
void installLayerCommands();
void installUndoCommands();
void installDrawCommands();
void installViewCommands();
void installInsertCommands();
void installDimCommands();
void installEditCommands();
void installAttributeCommands();
void installSetvarCommands();
// A system variable's name typed as a command: shows it and asks for its
// new value (SETVAR without the name prompt).
int variableCommand(const std::string& name);

// Forgets what the commands remember between runs (previous views, the
// last dimension, the objects OOPS brings back, temporary graphics): a new
// editor session.
void resetHostCommands();
void resetViewCommands();
void resetDrawCommands();
void resetDimCommands();
void resetEditCommands();

// Registers `alias` as a second name of the host command `target`: typing
// it runs the same handler, and reactors hear the alias (local names of
// other language editions, grip editing).
bool registerCommandAlias(const std::string& alias, const std::string& target);

// Erases the objects (those that can be opened for write) and keeps them as
// what "_OOPS" brings back in db.
void eraseForOops(const std::vector<ZcDbObjectId>& ids, ZcDbDatabase* db);

// The current document's database, else the working database.
ZcDbDatabase* commandDatabase();
// Appends to the database's current space (entity closed); null id on
// failure, the entity then deleted.
ZcDbObjectId appendEntity(ZcDbEntity* ent, ZcDbDatabase* db = nullptr);

// A keyword prompt: RTNORM with the global keyword in kw, RTNONE on
// Enter, RTCAN on cancel. Bad answers re-prompt (the prompt functions).
int askKeyword(const std::string& prompt, const std::string& keywords, std::string& kw,
               bool allowEnter = true);
// A text answer (blanks allowed when cronly): RTNORM, RTNONE (empty), RTCAN.
int askText(const std::string& prompt, std::string& out, bool cronly = false);
// A point, optionally rubber-banded from base: RTNORM, RTNONE, RTKWORD
// (kw filled), RTCAN.
int askPoint(const std::string& prompt, ZcGePoint3d& out, const ZcGePoint3d* base = nullptr, int bits = 0,
             const std::string& keywords = "", std::string* kw = nullptr);
int askReal(const std::string& prompt, double& out, int bits = 0);
int askDist(const std::string& prompt, double& out, const ZcGePoint3d* base = nullptr, int bits = 0);
// An angle in radians (absolute, counter-clockwise from east).
int askOrient(const std::string& prompt, double& out, const ZcGePoint3d* base = nullptr, int bits = 0);

// A number as the command line shows it (up to four decimals, no trailing
// zeros).
std::string showNumber(double v);

// Where the commands look for the host's support files ("zwcad.lin"): a
// finder installed by a test, else the support path, else the name as
// given, the drawing's folder and the host's own support folder.
void setSupportFileFinder(std::function<std::string(const std::string&)> finder);
std::string findSupportFile(const std::string& name);

// Redraws a dimension's "*D" block from its points (the dimension open for
// write); the editing commands call it for the dimensions they change.
bool rebuildDimensionBlock(ZcDbDimension* dim);
// The attribute dialog on a block reference; false when it has no
// attribute to edit.
bool editAttributesInDialog(ZcDbObjectId blockReference);
}  // namespace host
