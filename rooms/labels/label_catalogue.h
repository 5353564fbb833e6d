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
// whole lines (only CR and LF stripped), whatever their length.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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

// One set of fields, in file order.
class CArrayDefEti : public std::vector<CDefEti> {
public:
    std::string setName;  // compared case-sensitively
    std::string title;

    // Index of the first field named exactly `name`, or -1.
    int FindField(std::string_view name) const;
};

// Every set of the catalogue, in file order.
class CArrayUnitaAmb : public std::vector<CArrayDefEti> {
public:
    int FindSet(std::string_view name) const;
    // 1 when a set of that name was removed, else 0.
    int RemoveSet(std::string_view name);
    void AddSet(const CArrayDefEti& set) { push_back(set); }

    // Empties the collection and reads every well-formed set of the file
    // found on the support path; true when at least one set was read.
    bool ReadUaDefDlc(std::string_view fileName);
    // Writes the collection over the file where the search path finds it,
    // keeping its encoding and line ends; 0 (nothing created) when it is not
    // found, 0 with a message when it cannot be written, else 1.
    int WriteUaDefDlc(std::string_view fileName) const;
};

// The whole-file reader over lines already read (no message, no file).
CArrayUnitaAmb ParseUaDefLines(const std::vector<std::string>& lines);
// The lines the writer puts in the file.
std::vector<std::string> UaDefLines(const CArrayUnitaAmb& sets);

// Fills `set` with the fields of the set `name` (header compared without
// regard to case) of "UA_DEF.DLC"; 1, or 0 after a message. Fields read
// before a read error stay in the set.
int ReadLabelFieldSet(std::string_view name, CArrayDefEti& set);
