// libFuzzer target of the room record template "velmor.DEX": the template
// line of any bytes is either refused with what is wrong (before any file
// would be made) or expands for every room record that holds all its
// variables; a record cut short stops the expansion, never a fault.
// Seeded with the shipped template.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/win/textfile.h"
#include "rooms/room_extract.h"
#include "store/settings_store.h"

namespace {

// A label's record: its template name, then the variables 60 to `last`
// (texts where the room record keeps texts), then its two points.
host::ResbufList Record(int last) {
    resbuf* head = zcutBuildList(1000, "TMS_TAB1", 0);
    resbuf* tail = head;
    for (int n = 60; n <= last; ++n) {
        const bool text = (n >= 75 && n <= 77) || n == 79 || (n >= 82 && n <= 84);
        tail->rbnext = text ? zcutBuildList(1000, "Pokój", 0) : zcutBuildList(1040, 1.0e6 * n - 3.0e7, 0);
        tail = tail->rbnext;
    }
    const ads_point p{0, 0, 0};
    tail->rbnext = zcutBuildList(1011, p, 1011, p, 0);
    return host::ResbufList(head);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterStoreClasses();
    fuzz::StartHost();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::NextInput();
    const host::TextFile file = host::decodeText(fuzz::AsText(data, size));
    if (file.lines.empty()) return 0;
    // The template as the command takes it: the first line, with its line
    // feed, at most 257 characters (cut here by bytes, a character's tail
    // left out).
    std::string pattern = file.lines.front();
    if (file.lines.size() > 1 || file.finalLineEnd) pattern += '\n';
    if (pattern.size() > 257) pattern.resize(257);
    while (!pattern.empty() && (static_cast<unsigned char>(pattern.back()) & 0xC0) == 0x80)
        pattern.pop_back();
    if (!pattern.empty() && static_cast<unsigned char>(pattern.back()) >= 0xC0) pattern.pop_back();

    const host::ResbufList whole = Record(85);
    const bool refused = DexTemplateFault(pattern).has_value();
    const bool expanded = ExpandRoomRecord(pattern, whole.get(), 0.01).has_value();
    // What the template check lets through, a whole record fills.
    if (!refused && !expanded) __builtin_trap();
    // A record cut short at any variable.
    const host::ResbufList cut = Record(60 + static_cast<int>(size % 26));
    (void)ExpandRoomRecord(pattern, cut.get(), 1.0);
    return 0;
}
