// The room label field catalogue "UA_DEF.DLC": named sets of user fields
// that a room label carries beside its measured values (a room's use, floor
// finish, remark ...), each typed in or chosen from a list.
//
// The file is a sequence of sets: "[NAME]", a title line, field entries
// ("$NN", "T_EDIT" or "T_LIST", the prompt, and for a list the count and
// that many choices), then "[END]". Two readers with different rules: the
// whole-file reader of the definition dialogs is exact about case and drops
// what it cannot use; the one-set reader of the room calculation ignores
// case and stops with a message at the first malformed entry. Both take
// whole lines (only CR and LF stripped), whatever their length, and name
// the file and line of what they cannot read.
//
// The catalogue is written back only when a set changed, and never over a
// file the whole-file reader could not read whole: each set read keeps its
// place in the file and, while unchanged, its lines; lines outside the sets
// (and sets without fields, which the dialogs never see) stay as they are.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/support_files.h"

inline constexpr const char* kLabelCatalogueFile = "UA_DEF.DLC";

// One user field; `value` is one room's value and never goes to the file.
class CDefEti {
public:
    std::string name = "$72";
    int number = 72;
    int kind = 0;  // 0 typed in ("T_EDIT"), 1 chosen from a list ("T_LIST")
    std::string prompt;
    std::vector<std::string> values;
    std::string value;

    // Gives the field a new name and the number that follows its "$".
    void SetName(std::string_view text);
};

// The number after "$" in a field name, as "%d" scans it; 0 when none.
int FieldNumberOf(std::string_view name);

// Whether the room computation reads field `number` as a number (the room
// height $70 and the other values of $70 to $81 but the texts $75 to $77
// and $79).
bool IsNumberField(int number);

// One set of fields, in file order.
class CArrayDefEti : public std::vector<CDefEti> {
public:
    std::string setName;  // compared case-sensitively
    std::string title;
    // Which set of the file read this one came from (copies keep it); -1
    // for a set made in memory.
    int sourceIndex = -1;

    // Index of the first field named exactly `name`, or -1.
    int FindField(std::string_view name) const;
};

// The catalogue file as its sets were read: its text, the lines [first,
// end) of each set read and the set as read, and its first fault.
struct UaDefSource {
    SupportFileRead read;
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    std::vector<CArrayDefEti> asRead;
};

// Every set of the catalogue, in file order.
class CArrayUnitaAmb : public std::vector<CArrayDefEti> {
public:
    // The file the sets were read from; none for a collection made in memory.
    std::shared_ptr<const UaDefSource> source;

    int FindSet(std::string_view name) const;
    // 1 when a set of that name was removed, else 0.
    int RemoveSet(std::string_view name);
    void AddSet(const CArrayDefEti& set) { push_back(set); }

    // Empties the collection and reads every well-formed set of the file
    // found on the support path; true when at least one set was read. The
    // first line it cannot read is named.
    bool ReadUaDefDlc(std::string_view fileName);
    // Writes the collection over the file where the search path finds it,
    // keeping its encoding and line ends; 1 also when nothing changed and
    // nothing was written. 0 (nothing created) when it is not found; 0 with
    // a message when the file was not read whole or cannot be written.
    int WriteUaDefDlc(std::string_view fileName) const;
};

// The whole-file reader over lines already read (no message, no file):
// the sets (each with its index), the lines of each and the first fault.
struct UaDefParse {
    CArrayUnitaAmb sets;
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    std::optional<SupportFault> fault;
};
UaDefParse ParseUaDefText(const std::vector<std::string>& lines);
CArrayUnitaAmb ParseUaDefLines(const std::vector<std::string>& lines);
// The lines of the file after `sets` replace the sets read from it.
std::vector<std::string> MergeUaDefLines(const UaDefSource& source, const CArrayUnitaAmb& sets);
// The lines the writer puts in the file.
std::vector<std::string> UaDefLines(const CArrayUnitaAmb& sets);

// Fills `set` with the fields of the set `name` (header compared without
// regard to case) of "UA_DEF.DLC"; 1, or 0 after a message. Fields read
// before a read error stay in the set.
int ReadLabelFieldSet(std::string_view name, CArrayDefEti& set);
