// Drawings made with release 5 kept their settings in the xdata of setup
// inserts ("VELM5$_$SETUP-"), wrote the decimal point of level layer names
// as "_" and prefixed slab pitch records with "3D". Loading such a drawing
// moves the settings into the settings store and the named settings
// objects, repairs the names and records, erases the setup inserts and keeps
// the take-off lists on a new description insert ("VELM6$_$COMPUTODESC-").
// A converted drawing has no setup inserts left, so it is converted once.
#pragma once

#include <string>

constexpr const char* kRelease5SetupApp = "VELM5$_$SETUP-";
constexpr const char* kRelease5PitchApp = "VELM5$_$VFALDA-";
constexpr const char* kTakeOffDescApp = "VELM6$_$COMPUTODESC-";

// Runs at every drawing load; a drawing without setup inserts costs one
// selection and is left untouched.
void ConvertRelease5Drawing();

// Gives every layer of the working drawing the name FixRelease5LevelName
// makes of it; a layer whose new name is taken already keeps its own.
void RenameRelease5LevelLayers();

// "VELM…$300_5" becomes "VELM…$300.5": the first "_" after the first "$"
// from the fifth character on turns into a point. 1 when the name changed.
int FixRelease5LevelName(std::string& name);

// Drops the "3D" before the first text of every pitch record ("3DTETTO"
// becomes "TETTO"; a text of just "3D" stays).
void StripRelease5PitchPrefix();
