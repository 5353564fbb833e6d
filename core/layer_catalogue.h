// The layer catalogue ("LAYERC.DEF", and "TCLAYERC.DEF" for the "TC"
// objects): which drawing layer, colour, linetype and line weight each
// element key gets, grouped for display; and the layer service that turns
// an element key into the final layer name and makes that layer exist.
//
// File format, one row per line:
//   "**GROUP,"           a group line
//   "***SUBGROUP,"       a subgroup line (under the last group)
//   "KEY,LAYER,COLOUR,SPARE,LINETYPE,WEIGHT"   a data row
// Fields are split on commas; an empty field keeps its default and does not
// hide the fields after it. Defaults of a read row: colour 256, linetype
// "Continuous", weight -3; texts empty. Blank lines are not rows. A file
// that holds the table already is not written; otherwise it is written back
// (temporary file, then renamed) in the encoding and with the line ends it
// was read with, its blank lines and the rows the table leaves as they were
// keeping their bytes; group paths are not written, they follow from the
// group lines when the file is read again.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/support_files.h"

struct AA_LAYERC {
    std::string groupPath;  // "GROUP" or "GROUP%SUBGROUP"; empty on group lines
    std::string key;        // element key; a group line's whole first field
    std::string layerName;
    std::int32_t color = 7;
    std::string spare = " ";  // carried unchanged from reader to writer
    std::string linetype = "Continuous";
    std::int16_t lineWeight = -3;  // -3 default, -2 by block, -1 by layer, else 1/100 mm
};

// The key a catalogue line gives its row, as FindKey compares keys (its
// first field, in capitals); nothing for a blank line or a group line. The
// catalogue is written back as a table keyed so.
std::optional<std::string> LayerDefRowKey(std::string_view line);

// Splits a group path at its first '%': the whole path and an empty
// sub-group when there is none. The render-material catalogue's rows name
// their groups the same way.
void SplitAtPercent(const std::string& path, std::string& group, std::string& subGroup);

class AAR_LAYERC : public std::vector<AA_LAYERC> {
public:
    using std::vector<AA_LAYERC>::vector;
    AAR_LAYERC() = default;

    // Empties the table and reads `fileName` found on the support search
    // path: 1 when found (also when it then cannot be read: the table stays
    // empty), 0 when not found, or damaged (named with its line).
    int ReadLayerDefFile(const std::string& fileName);
    // Rewrites `fileName`, found on the support search path, from the
    // table; nothing when it is not found. False when nothing was written.
    bool WriteLayerDefFile(const std::string& fileName) const;

    // The same on a path: false when it cannot be read or written.
    bool ReadLayerDefPath(const std::string& path);
    bool WriteLayerDefPath(const std::string& path) const;
    // The table from lines, and the lines of the table.
    void ParseLayerDefLines(const std::vector<std::string>& lines);
    std::vector<std::string> FormatLayerDefLines() const;

    // The first data row whose key equals `key` without regard to case.
    const AA_LAYERC* FindKey(const std::string& key) const;
    // Files the keys for FindKey, for a table that no one changes any more
    // (the shared catalogue: a label's objects look a dozen keys up in a
    // few hundred rows). A copy of the table starts without.
    void IndexKeys();

private:
    struct KeyIndex {
        KeyIndex() = default;
        KeyIndex(const KeyIndex&) {}
        KeyIndex& operator=(const KeyIndex&) {
            rowsAt = nullptr, rows = 0;
            ascii.clear(), others.clear();
            return *this;
        }
        const AA_LAYERC* rowsAt = nullptr;  // the table indexed, as it was then
        std::size_t rows = 0;
        std::unordered_map<std::string, std::size_t> ascii;  // the key in capitals: its first row
        std::vector<std::size_t> others;                     // rows whose key is not all ASCII
    };
    KeyIndex keys_;
};

// The catalogue `fileName` as ReadLayerDefFile reads it (`found` set to what
// that returns), shared with the next readers while the file stays as it
// was: never null, empty when not found, unreadable or damaged.
std::shared_ptr<const AAR_LAYERC> SharedLayerDefFile(const std::string& fileName, int* found = nullptr);

// The first line of a catalogue that cannot be read as one: a data row
// without a key, a colour or a line weight that is not a whole number in
// its range, or more than six fields. Such a file is read as none and is
// never written over.
std::optional<SupportFault> LayerDefFault(const std::vector<std::string>& lines);

// A missing layer described for its caller to make later.
struct LayerAttrEntry {
    std::string layerName;
    std::string linetype;
    std::int16_t lineWeight = -3;
    std::int32_t colorIndex = 7;
    std::uint8_t off = 0;
    std::uint8_t createdLater = 0;   // 1: the layer was missing and is the caller's to make
    LayerAttrEntry* next = nullptr;  // owned by the caller
};

// Longest layer name (and linetype) the service takes, in bytes.
constexpr std::size_t kMaxLayerName = 259;

// Turns the element key in `name` into its final layer name (the catalogue's
// layer name, with the level suffix when `useLevel` is set and levels are
// on) and makes that layer when it is missing, with the catalogue's colour,
// linetype and line weight, through the host's "_-LAYER" command; off when
// `viewMode` is set, TILEMODE is 1 and the drawing's view mode hides it.
// With `deferred`, a missing layer is described there instead of made. An
// existing layer is never changed. A final name longer than 259 bytes is
// refused with a message and nothing is made.
void EnsureLayer(std::string& name, const AAR_LAYERC& table, bool useLevel, double level, bool viewMode,
                 LayerAttrEntry* deferred = nullptr);

// Whether a new layer of that name is made off in that view mode.
bool ViewModeHidesLayer(const std::string& name, int viewMode);
