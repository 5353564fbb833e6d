// Ids and handles.
#include "host/db/dbid.h"

#include <cstdio>

#include "host/db/dbdatabase.h"

const ZcDbObjectId ZcDbObjectId::kNull;

ZcDbHandle::ZcDbHandle(std::string_view hex) {
    std::uint64_t v = 0;
    if (hex.empty() || hex.size() > 16) return;
    for (char c : hex) {
        int d = (c >= '0' && c <= '9')   ? c - '0'
                : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                         : -1;
        if (d < 0) return;
        v = v * 16 + static_cast<std::uint64_t>(d);
    }
    m_value = v;
}

std::string ZcDbHandle::ascii() const {
    char buf[17];
    getIntoAsciiBuffer(buf, sizeof buf);
    return buf;
}

void ZcDbHandle::getIntoAsciiBuffer(char* buffer, std::size_t size) const {
    if (!buffer || size == 0) return;
    // Upper-case hexadecimal without leading zeros, cut to the buffer as snprintf would.
    char digits[16];
    std::size_t n = 0;
    std::uint64_t v = m_value;
    do {
        digits[n++] = "0123456789ABCDEF"[v & 15];
        v >>= 4;
    } while (v);
    std::size_t k = 0;
    for (; k < n && k + 1 < size; ++k) buffer[k] = digits[n - 1 - k];
    buffer[k] = '\0';
}

bool ZcDbObjectId::isValid() const {
    return m_stub && m_stub->object != nullptr;
}
bool ZcDbObjectId::isErased() const {
    return m_stub && m_stub->erased;
}
ZcDbHandle ZcDbObjectId::handle() const {
    return m_stub ? m_stub->handle : ZcDbHandle();
}
ZcDbDatabase* ZcDbObjectId::database() const {
    return m_stub ? m_stub->db : nullptr;
}
