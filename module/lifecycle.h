// The module's life in the host: start-up, unload and the per-drawing
// steps that the entry point runs on the host's messages.
//
// Start-up registers the resources, the custom classes (each class
// registers itself, looking its name up first and leaving a known class
// alone), the document reactor and the commands. Unload takes all of it
// back, including the database reactor from every open drawing, so that no
// host object keeps a pointer into the module. Drawing load defines the
// LISP functions, cuts the "ASC_BOUNDS" marker out of "ACAD" xdata and takes
// the drawing's tolerance.
#pragma once

// Start-up (message 1): the calls on the dynamic linker, initApp, the panes.
void StartModule(void* appId);
// Unload (message 2): unloadApp, the editor reactor, the panes.
void UnloadModule();
// Drawing load (message 3) and unload (message 4).
void OnDrawingLoad();
void OnDrawingUnload();

void initApp();
void unloadApp();

// True between start-up and unload.
bool ModuleStarted();

// Empties the "ACAD" xdata of every entity whose first "ACAD" string is
// exactly "ASC_BOUNDS" (case-sensitive). Returns how many were cut.
int ClearAscBoundsXdata();
