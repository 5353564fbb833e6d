// The 256-entry index colour palette (ACI), built from its defining rule:
//   1-9     named colours: red, yellow, green, cyan, blue, magenta, white,
//           dark grey, light grey;
//   10-249  24 hues in 15° steps (index / 10 - 1), each with five values
//           (100 %, 65 %, 50 %, 30 %, 15 % of full brightness) at full
//           saturation (even index) and half saturation (odd index);
//   250-255 six greys from 20 % to 100 % in equal steps.
// Components are the exact HSV values truncated to integers.
#pragma once

#include <cstdint>
#include <optional>

namespace host {

struct AciRgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const AciRgb&) const = default;
};

// The colour of index 1-255; none for 0 (by block), 256 (by layer) and
// anything else.
std::optional<AciRgb> aciToRgb(int index);

// The palette index closest to a colour (Euclidean in RGB; the lowest index
// wins ties).
int rgbToAci(AciRgb rgb);

}  // namespace host
