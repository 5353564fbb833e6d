// The VRML material table "LAYERVRML.DEF": one row per line, a layer group
// with its ambient, shininess and transparency (0 to 10 each) and a packed
// host colour, "name,ambient,shininess,transparency,colour". Rows named
// "**…" are headings that only name a part of the list ("name,"); the
// rows "SkyZenith", "SkyBottom" and "SkyBase" give the sky and ground of
// the export. A line that does not carry all five fields keeps the name in
// front of its first comma and reads as zeros, so every line is a row; such
// a line is named when the file is read, and a file holding one is not
// written over. Writing back keeps every line whose row is unchanged as it
// was written, so an unedited table writes nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/support_files.h"
#include "host/ads/acicolor.h"
#include "host/win/textfile.h"

struct AA_LAYERVRML {
    std::string layer;
    int ambient = 0;
    int shininess = 0;
    int transparency = 0;
    std::uint32_t colour = 0;  // the host colour object's packed value

    bool IsHeading() const { return layer.starts_with("**"); }
    bool operator==(const AA_LAYERVRML&) const = default;
};

using AAR_LAYERVRML = std::vector<AA_LAYERVRML>;

// One line of the file as a row, and a row as its line.
AA_LAYERVRML ParseLayerVrmlLine(const std::string& line);
std::string FormatLayerVrmlLine(const AA_LAYERVRML& row);

// The first line that is neither a heading, a blank line nor a full row
// (three whole numbers from 0 to 10 and an unsigned 32-bit colour).
std::optional<SupportFault> LayerVrmlFault(const host::TextFile& file);

// Empties `rows` and fills them from "LAYERVRML.DEF" on the support path;
// false when the file is not found (a file found but unreadable gives no
// rows and true). A damaged line is named.
bool ReadLayerVrmlDef(AAR_LAYERVRML& rows);
// Writes `rows` over the "LAYERVRML.DEF" the support path finds, in its
// encoding and line ends; a file that is not there is not made. False when
// it was not found or not written.
bool WriteLayerVrmlDef(const AAR_LAYERVRML& rows);

// The red, green and blue of a packed colour: a true colour's own, an
// index colour's from the palette, black for the others.
host::AciRgb VrmlColourRgb(std::uint32_t packed);
