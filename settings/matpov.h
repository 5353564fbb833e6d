// Render materials per layer: the rows of the layer/texture catalogue
// "LAYERPOV.DEF" and the drawing's record VELM_MATPOV that holds them.
//
// A record always starts from the catalogue; the rows stored in a drawing
// are merged over it when the drawing is read: a stored row replaces the
// catalogue row of the same layer (letter case ignored; a heading the one
// opening the same group path), or joins the end of its group: no row the
// drawing stored is lost, whatever the user's catalogue lacks.
// Without a catalogue (none found, or damaged) the stored rows are the
// record's whole.
// So a drawing follows later edits of the catalogue for layers it never
// changed.
//
// Catalogue lines: "**group," opens a group, "***sub," a sub-group of the
// current group (path "group%sub"), other lines are "layer,texture,scale,
// mode". Group lines become rows with an empty group field; a line that
// does not scan is named and left out. A layer without a material yet is
// written with an empty texture ("NEWB,,0.000000,0") and read back so.
//
// Filing: DWG version 7, a 16-bit count, per row group, layer, texture,
// scale and the integer as 16 bits. DXF: subclass marker, 170 count, per
// row 300 ×3, 140, 170; an item of another code ends reading at once,
// keeping the rows merged so far.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/support_files.h"
#include "host/db/dbobject.h"
#include "host/win/textfile.h"
#include "store/settings_dbfiler.h"
#include "store/settings_filer.h"

struct AA_LAYERPOV {
    std::string group;
    std::string layer;
    std::string texture;
    double scale = 0.0;
    int integer = 0;
    bool operator==(const AA_LAYERPOV&) const = default;
};

using AAR_LAYERPOV = std::vector<AA_LAYERPOV>;

// The rows of catalogue lines, as the catalogue reader makes them.
AAR_LAYERPOV ParseLayerPovLines(const std::vector<std::string>& lines);
// Reads a catalogue file; false when it cannot be read or is not text
// (named; the table empty). Every line is a row in file order, its group
// the last heading above it (none above: an empty group). A line
// LayerPovFault refuses, one not valid in the file's encoding, or a layer
// key an earlier row has (case ignored: the first row of a key is the one
// used) is named with its number and gives no row; the other lines are
// read. A file of group lines only gives their rows.
bool ReadLayerPovFile(const std::string& path, AAR_LAYERPOV& table);
// What a file without one layer row is told.
inline constexpr const char* kLayerPovAssignsNothing = "plik nie przypisuje tekstury żadnej warstwie";
// The first line of a render table that is not a group line, a blank line
// or "LAYER,TEXTURE[,SCALE[,MODE]]" with a number and a whole number. Such
// a file is named with that line and read as none.
// `povField` is the field holding the POV-Ray text (1 in "LAYERPOV.DEF",
// the texture; 0 in the material library, its name): it must pass
// IsPovIdentifier, but for a layer's empty texture followed by a scale
// (a layer without a material). A present scale must lie within 0 and the value limit,
// a present mode be 0, 1 or 2.
std::optional<SupportFault> LayerPovFault(const std::vector<std::string>& lines, std::size_t povField);
// Whether `name` may be written into a scene as a POV-Ray identifier:
// letters, digits and "_" only, not starting with a digit. Any other text
// (a brace, a quote, "#", a blank) would be read by the renderer as code.
bool IsPovIdentifier(std::string_view name);
// The first fault of the layer assignment file, a line the reader leaves
// out: a line LayerPovFault refuses, a line not valid in the file's
// encoding, a layer key that comes again; or, for a file without any layer
// row (emptied, cut short), its end. Such a file is not written over.
std::optional<SupportFault> LayerPovFileFault(const host::TextFile& file);
// The catalogue text of a table ("%s," for group rows, else
// "%s,%s,%f,%d").
std::vector<std::string> FormatLayerPovLines(const AAR_LAYERPOV& table);

// The catalogue's rows now: "LAYERPOV.DEF" found on the support search
// path; empty when there is none or it is damaged (which is named).
AAR_LAYERPOV LoadLayerPovCatalogue();

class VELM_MATPOV : public ZcDbObject {
public:
    VELM_SETTINGS_OBJECT_MEMBERS(VELM_MATPOV);
    VELM_MATPOV() = default;
    // A copy holds the same rows and is in no database.
    VELM_MATPOV(const VELM_MATPOV& o) : ZcDbObject(), rows(o.rows) {}
    VELM_MATPOV& operator=(const VELM_MATPOV& o) {
        rows = o.rows;
        return *this;
    }

    static constexpr const char* kClassName = "VELM_MATPOV";
    static constexpr short kFilingVersion = 7;

    AAR_LAYERPOV rows;

    // A new record: the catalogue's rows.
    void Reset(AAR_LAYERPOV catalogue) { rows = std::move(catalogue); }
    // The rows read back from a drawing over the catalogue (see the
    // banner): a stored row replaces the catalogue's row of its layer (a
    // heading: the catalogue's heading of the same group path) or goes to
    // the end of its group, a group the catalogue lacks last; a scale out of range takes the catalogue's and
    // the row is named in `outOfRange`.
    void MergeStoredRows(AAR_LAYERPOV catalogue, const std::vector<AA_LAYERPOV>& stored,
                         std::string& outOfRange);

    FilingStatus fileOutDwg(SettingsDwgWriter& w) const;
    FilingStatus fileInDwg(SettingsDwgReader& r);
    FilingStatus fileOutDxf(SettingsDxfWriter& w) const;
    FilingStatus fileInDxf(SettingsDxfReader& r);

private:
    // `fromCatalogue`: how many of the rows came from the catalogue.
    void ScaleInRange(AA_LAYERPOV& stored, std::size_t fromCatalogue, std::string& outOfRange);
};

// The drawing's VELM_MATPOV in "VELMOR_6", open for write; made from the
// catalogue when missing. Null when the drawing's settings cannot be
// opened. The caller closes it. The class is registered with
// VELM_MATPOV::rxInit() (and removed with rxUninit()).
VELM_MATPOV* OpenMatPovObject();
