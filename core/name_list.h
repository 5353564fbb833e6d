// Name lists and string copies.
//
// A name list is a hand-made singly linked list of `NameNode`s: an owned
// name, a 32-bit value and the next node. Lookup ignores case (Polish and
// Italian letters included); `AddNameUnique` keeps the list sorted by the
// names' character codes, case-sensitively, and refuses repeats that differ
// only in case; `AppendName` keeps insertion order and allows repeats.
// Functions that may change the head return the new head; callers use it.
// Lookups and insertions walk the list, so these lists suit the short lists
// the module keeps (layer names, floor labels), not whole drawings.
//
// The string copies serve the module's owned C strings (result-buffer texts
// are `new[]` arrays) and its fixed text buffers: every copy into a buffer
// is given the buffer's real size and never writes past it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct NameNode {
    std::string name;
    std::int32_t value = 0;
    NameNode* next = nullptr;
};

// The first node whose name equals `name` ignoring case; null when none.
NameNode* FindName(std::string_view name, NameNode* list);
const NameNode* FindName(std::string_view name, const NameNode* list);

// The value of the first node named `name` ignoring case; -1 when none.
std::int32_t GetNameValue(std::string_view name, const NameNode* list);

// Inserts `name` in code order unless it is empty or already present
// ignoring case; returns the (possibly new) first node.
NameNode* AddNameUnique(std::string_view name, NameNode* list, std::int32_t value);

// Appends a node at the end unless `name` is empty; returns the first node.
NameNode* AppendName(std::string_view name, NameNode* list, std::int32_t value);

// Frees every node; returns null so that callers can write
// `list = FreeNameList(list);`.
NameNode* FreeNameList(NameNode* list);

// One owner for a list held beyond a function: frees the whole list.
struct NameListDeleter {
    void operator()(NameNode* list) const { FreeNameList(list); }
};
using NameList = std::unique_ptr<NameNode, NameListDeleter>;

// A new `new[]` array holding a copy of `text` (a null text copies as empty).
char* DuplicateString(const char* text);

// Frees `old` (a `new[]` array or null) and returns a new copy of `text`.
// `text` may point into `old`.
char* ReplaceString(char* old, const char* text);

// Copies `text` into `buffer` of `size` bytes, always terminated. A text that
// does not fit is cut at the last whole UTF-8 character that does, so no
// letter is left half-written. Returns true when the whole text fitted.
// A zero-sized buffer receives nothing and the result is false.
bool CopyStringToBuffer(char* buffer, std::size_t size, std::string_view text);

template <std::size_t N>
bool CopyStringToBuffer(char (&buffer)[N], std::string_view text) {
    return CopyStringToBuffer(buffer, N, text);
}
