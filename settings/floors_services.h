// What the floor panes, the floor commands and the view modes need of the
// drawing's settings store, the editor and the support files, gathered in
// one table of functions. `DefaultFloorServices()` fills what the host
// offers directly (the working drawing, TILEMODE, CVPORT, the command queue,
// plain layers, message boxes, the floor-choice dialog); the module's start-up completes it with the
// settings store, selections, picks and the support-file search, and a test
// replaces any member with its own double. A member left empty is a step
// skipped (or, for questions, a cancelled answer).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/db/dbmain.h"
#include "settings/floor_cmds.h"
#include "settings/floors.h"
#include "settings/viewmode.h"

struct FloorServices {
    // The settings store.
    std::function<double()> currentFloor;        // SQPAV
    std::function<void(double)> setCurrentFloor;  // SQPAV (the writer also sets ELEVATION)
    std::function<double()> unitFactor;          // SFTMTCM
    std::function<int()> viewMode;               // VXDSTATE
    std::function<void(int)> setViewMode;
    std::function<bool()> levelsOff;             // VELMLAYERQP non-zero
    std::function<int()> setModVista;            // SETMODVISTA
    std::function<int()> tilemodeBefore;         // APPOGGIOCOM
    // Opens the floor list for write, hands it over, closes it.
    std::function<void(const std::function<void(VELM_PIANI&)>&)> editFloors;

    // The drawing and the editor.
    std::function<ZcDbDatabase*()> database;
    std::function<int()> tilemode;
    std::function<int()> cvport;
    std::function<ZcGeVector3d()> viewDirection;
    std::function<ZcDbObjectId()> currentViewport;
    // Queues a command string on the current document ("_REGEN\n").
    std::function<void(const std::string&)> queueCommand;
    // Runs host commands at once, with command echo off: each string is one
    // answer ("_REGEN"; "_SHADEMODE", "_2" …).
    std::function<void(const std::vector<std::string>&)> runCommand;
    // Hands a selection to a host command ("_SELECT", "_MOVE", "_COPY").
    std::function<void(const std::string&, const std::vector<ZcDbObjectId>&)> commandOnSelection;
    // The ordinary selection prompt: none when cancelled, empty on Enter.
    std::function<std::optional<std::vector<ZcDbObjectId>>()> selectObjects;
    // Viewports only, with the two selection prompts.
    std::function<std::optional<std::vector<ZcDbObjectId>>(const std::string&, const std::string&)>
        selectViewports;
    // One entity picked at the prompt: RTNORM with the entity, RTERROR for
    // a pick that found nothing, RTNONE for Enter, RTCAN for a cancel.
    std::function<int(const std::string&, ZcDbObjectId&)> pickEntity;
    // A floor among several level texts (the floor-choice dialog); none when
    // cancelled.
    std::function<std::optional<std::string>(const std::vector<std::string>&)> chooseFloorText;
    // Makes a level layer from the layer catalogue when it is missing.
    LayerMaker makeLayer;
    // Shows a message box with an OK button.
    std::function<void(const std::string&)> messageBox;
    std::function<void(const std::string&)> alert;
    // The lines of a support file; none when it cannot be found or read.
    std::function<std::optional<std::vector<std::string>>(const std::string&)> readSupportFile;

    // Commands run from the floor pane's menu.
    std::function<void()> pickCurrentFloor;  // the body of VELMCFLOOR
    std::function<void()> pickFloorOff;      // the body of VELMFLOOROFF
};

// The services with what the host offers directly filled in.
FloorServices DefaultFloorServices();

// Installs the services (the module does it at load; tests with doubles).
void SetFloorServices(FloorServices services);
const FloorServices& GetFloorServices();
