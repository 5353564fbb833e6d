// The host's colour object: see dbcolor.h for the packing.
#include "host/db/dbcolor.h"

int ZcCmColor::colorIndex() const {
    switch (colorMethod()) {
        case ZcCmEntityColor::kByLayer:
            return 256;
        case ZcCmEntityColor::kByBlock:
            return 0;
        case ZcCmEntityColor::kByACI:
            return static_cast<int>(m_value & 0xFFFF);
        default:
            return -1;
    }
}

bool ZcCmColor::setColorIndex(int index) {
    if (index < 0 || index > 256) return false;
    if (index == 0)
        m_value = std::uint32_t{ZcCmEntityColor::kByBlock} << 24;
    else if (index == 256)
        m_value = (std::uint32_t{ZcCmEntityColor::kByLayer} << 24) | 256u;
    else
        m_value = (std::uint32_t{ZcCmEntityColor::kByACI} << 24) | static_cast<std::uint32_t>(index);
    return true;
}

void ZcCmColor::setRGB(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    m_value = (std::uint32_t{ZcCmEntityColor::kByColor} << 24) | (std::uint32_t{red} << 16) |
              (std::uint32_t{green} << 8) | blue;
}

bool ZcCmColor::setColor(std::uint32_t packed) {
    switch (static_cast<std::uint8_t>(packed >> 24)) {
        case ZcCmEntityColor::kByLayer:
        case ZcCmEntityColor::kByBlock:
        case ZcCmEntityColor::kByColor:
        case ZcCmEntityColor::kByPen:
        case ZcCmEntityColor::kForeground:
        case ZcCmEntityColor::kNone:
            m_value = packed;
            return true;
        case ZcCmEntityColor::kByACI:
            if ((packed & 0xFFFF) < 1 || (packed & 0xFFFF) > 255) return false;
            m_value = packed;
            return true;
        default:
            return false;
    }
}
