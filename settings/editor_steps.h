// What the floor commands, the view modes and the floor panes ask of the
// editor, in the platform's own calls: selections, picks, host commands run
// quietly or queued, the floor list opened for a change, support files.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/db/dbmain.h"
#include "host/ge/gebase.h"
#include "settings/floors.h"

// The working drawing; null when there is none.
ZcDbDatabase* WorkingDrawing();

// The view direction of the current viewport (VIEWDIR).
ZcGeVector3d ViewDirection();

// Opens the drawing's floor list for write, hands it over and closes it;
// nothing when it cannot be opened.
void EditFloors(const std::function<void(VELM_PIANI&)>& edit);
// Hands over the drawing's floor list opened for read and closes it; a
// drawing without one is never given one: `read` gets the list a new one
// would hold (one floor at 0).
void ReadFloors(const std::function<void(const VELM_PIANI&)>& read);

// Runs host commands at once with command echo off (CMDECHO put back
// after): each string is one answer ("_REGEN"; "_SHADEMODE", "_2" ...).
void RunQuiet(const std::vector<std::string>& answers);

// Hands the entities to a host command as its selection: "_SELECT" makes
// them the previous selection; "_MOVE" or "_COPY" start with them selected.
void RunOnSelection(const std::string& command, const std::vector<ZcDbObjectId>& ids);

// Queues a command string on the current document ("_REGEN\n").
void QueueCommand(const std::string& text);

// The ordinary selection prompt: none when cancelled, empty on Enter.
std::optional<std::vector<ZcDbObjectId>> SelectObjects();
// Viewports only, with the two selection prompts.
std::optional<std::vector<ZcDbObjectId>> SelectViewports(const std::string& add, const std::string& remove);

// One entity picked at the prompt: RTNORM with the entity, RTERROR for a
// pick that found nothing, RTNONE for Enter, RTCAN for a cancel.
int PickEntity(const std::string& prompt, ZcDbObjectId& id);

// The lines of a support file; none when it cannot be found or read, or
// is not text (`notText` set, the file already named on the command line).
std::optional<std::vector<std::string>> ReadSupportLines(const std::string& name, bool* notText = nullptr);
