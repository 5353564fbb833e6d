// The host's colour object: a colour method and its value packed into one
// 32-bit number, as the platform keeps it in files and hands it across its
// interfaces. The top byte is the method; below it lie red, green and blue
// (by colour) or the palette index (by layer, by block, by index):
//
//   0xC2RRGGBB   a true colour        0xC3000007   index 7
//   0xC0000100   by layer (index 256) 0xC1000000   by block (index 0)
//
// The palette itself belongs to the classic interface (host::aciToRgb);
// red(), green() and blue() give the stored components of a true colour
// and 0 for the other methods.
#pragma once

#include <cstdint>

namespace ZcCmEntityColor {
enum ColorMethod : std::uint8_t {
    kByLayer = 0xC0,
    kByBlock = 0xC1,
    kByColor = 0xC2,
    kByACI = 0xC3,
    kByPen = 0xC4,
    kForeground = 0xC5,
    kNone = 0xC8,
};
}

class ZcCmColor {
public:
    ZcCmColor() = default;

    ZcCmEntityColor::ColorMethod colorMethod() const {
        return static_cast<ZcCmEntityColor::ColorMethod>(m_value >> 24);
    }
    bool isByColor() const { return colorMethod() == ZcCmEntityColor::kByColor; }
    bool isByACI() const { return colorMethod() == ZcCmEntityColor::kByACI; }
    bool isByLayer() const { return colorMethod() == ZcCmEntityColor::kByLayer; }
    bool isByBlock() const { return colorMethod() == ZcCmEntityColor::kByBlock; }

    // The palette index: 256 by layer, 0 by block, 1-255 by index; for a
    // true colour none (-1).
    int colorIndex() const;
    // 0 by block, 256 by layer, else an index colour; others are refused.
    bool setColorIndex(int index);

    void setRGB(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
    std::uint8_t red() const { return isByColor() ? (m_value >> 16) & 0xFF : 0; }
    std::uint8_t green() const { return isByColor() ? (m_value >> 8) & 0xFF : 0; }
    std::uint8_t blue() const { return isByColor() ? m_value & 0xFF : 0; }

    // The packed value, and the colour taken from one. A value whose top
    // byte is no method the object knows is refused and changes nothing.
    std::uint32_t color() const { return m_value; }
    bool setColor(std::uint32_t packed);

    bool operator==(const ZcCmColor&) const = default;

private:
    std::uint32_t m_value = 0xC0000100u;  // by layer
};
