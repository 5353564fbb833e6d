// The own operations of the wall-type lists.
#include "walls/types/wall_types.h"

#include <algorithm>

CListStrati::iterator CListStrati::InsertNumbered(iterator pos, const CStrato& layer, int mode) {
    if (mode < kHead || mode > kAfter) return end();
    ++m_counter;
    CStrato copy = layer;
    copy.number = (static_cast<std::uint32_t>(m_counter) << 16) | 4u;
    switch (mode) {
        case kHead:
            return insert(begin(), std::move(copy));
        case kTail:
            return insert(end(), std::move(copy));
        case kBefore:
            return insert(pos, std::move(copy));
        default:
            return insert(pos == end() ? end() : std::next(pos), std::move(copy));
    }
}

CListStrati::iterator CListStrati::FindByNumber(std::uint32_t number) {
    return std::find_if(begin(), end(), [number](const CStrato& s) { return s.number == number; });
}

CListScale::iterator CListScale::FindByNumber(int scale) {
    return std::find_if(begin(), end(), [scale](const CScala& s) { return s.scale == scale; });
}

CListScale::const_iterator CListScale::FindByNumber(int scale) const {
    return std::find_if(begin(), end(), [scale](const CScala& s) { return s.scale == scale; });
}

CListMuri::iterator CListMuri::FindByName(std::string_view name) {
    return std::find_if(begin(), end(), [name](const CMuro& m) { return m.name == name; });
}

CListMuri::const_iterator CListMuri::FindByName(std::string_view name) const {
    return std::find_if(begin(), end(), [name](const CMuro& m) { return m.name == name; });
}
