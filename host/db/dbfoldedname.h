// The folded form of a name, for looking it up in a table or dictionary
// keyed by folded names.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "host/util/nocase.h"

// A table's or a dictionary's records are looked up by name hundreds of
// thousands of times a command; nearly every name is short ASCII, folded
// here into a buffer of its own (only the letters A-Z change, as the
// platform's case mapping changes them) rather than into a new string.
class ZcDbFoldedName {
public:
    explicit ZcDbFoldedName(std::string_view name) {
        if (name.size() <= sizeof m_buf && isAscii(name)) {
            for (std::size_t i = 0; i < name.size(); ++i) {
                const char c = name[i];
                m_buf[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c ^ 0x20) : c;
            }
            m_view = std::string_view(m_buf, name.size());
        } else {
            m_other = zcutFoldCase(name);
            m_view = m_other;
        }
    }
    ZcDbFoldedName(const ZcDbFoldedName&) = delete;
    ZcDbFoldedName& operator=(const ZcDbFoldedName&) = delete;

    std::string_view view() const { return m_view; }

private:
    static bool isAscii(std::string_view s) {
        for (char c : s)
            if (static_cast<unsigned char>(c) >= 0x80) return false;
        return true;
    }

    char m_buf[64];
    std::string m_other;
    std::string_view m_view;
};

// Hash and equality that let a map keyed by std::string be searched with
// a string_view (the same hash values as std::hash<std::string>).
struct ZcDbNameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};
