// What the bulk parameter commands share: a placed object's parameter
// record read item by item as filed (its application name is item 1, the
// parameter pairs follow its ninth item) and the selection they work on.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "host/util/adscodes.h"
#include "host/util/resbuf.h"

// The name an object carries while it is being placed, never a definition.
inline constexpr const char* kTemporaryName = "$$TEMP$$__$$";

// Item n + 1 of a record whose application group is `app` (item 1); null
// past the record's end.
resbuf* RecordItem(resbuf* app, int n);
// The definition name (item 2); empty when it is not a text.
std::string RecordName(resbuf* app);
// The insertion type (item 4); 10 when it is not filed.
int RecordType(resbuf* app);

// The parameter pairs after the flag point: variable number, then its
// value (1040) or text (1000).
template <typename F>
void ForEachPair(resbuf* app, F&& f) {
    resbuf* rb = RecordItem(app, 8);
    for (rb = rb ? rb->rbnext : nullptr; rb && rb->restype == 1070 && rb->rbnext;) {
        resbuf* value = rb->rbnext;
        if (value->restype != 1040 && value->restype != 1000) break;
        f(rb->resval.rint, *value);
        rb = value->rbnext;
    }
}

// A selection asked with its own prompts to select and to remove.
bool SelectWithPrompts(const char* select, const char* remove, ads_name set);
// The members of a selection, in selection order; the set is freed.
std::vector<std::pair<std::int64_t, std::int64_t>> Members(const ads_name set);
