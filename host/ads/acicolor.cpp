// The table is computed once at first use.
#include "host/ads/acicolor.h"

#include <array>
#include <cmath>

namespace host {
namespace {

AciRgb hsv(double hueDegrees, double saturation, double value) {
    double v = 255.0 * value;
    double lo = v * (1.0 - saturation);
    double sector = hueDegrees / 60.0;
    int i = static_cast<int>(std::floor(sector)) % 6;
    double f = sector - std::floor(sector);
    double rising = lo + (v - lo) * f;
    double falling = v - (v - lo) * f;
    double r, g, b;
    switch (i) {
        case 0:
            r = v;
            g = rising;
            b = lo;
            break;
        case 1:
            r = falling;
            g = v;
            b = lo;
            break;
        case 2:
            r = lo;
            g = v;
            b = rising;
            break;
        case 3:
            r = lo;
            g = falling;
            b = v;
            break;
        case 4:
            r = rising;
            g = lo;
            b = v;
            break;
        default:
            r = v;
            g = lo;
            b = falling;
            break;
    }
    auto t = [](double c) { return static_cast<std::uint8_t>(std::floor(c + 1e-9)); };
    return {t(r), t(g), t(b)};
}

std::array<AciRgb, 256> buildPalette() {
    std::array<AciRgb, 256> p{};
    p[1] = {255, 0, 0};
    p[2] = {255, 255, 0};
    p[3] = {0, 255, 0};
    p[4] = {0, 255, 255};
    p[5] = {0, 0, 255};
    p[6] = {255, 0, 255};
    p[7] = {255, 255, 255};
    p[8] = {128, 128, 128};
    p[9] = {192, 192, 192};
    static const double values[5] = {1.0, 0.65, 0.5, 0.3, 0.15};
    for (int i = 10; i <= 249; ++i) {
        double hue = (i / 10 - 1) * 15.0;
        int step = i % 10;
        p[i] = hsv(hue, (step % 2) ? 0.5 : 1.0, values[step / 2]);
    }
    for (int k = 0; k < 6; ++k) {
        auto grey = static_cast<std::uint8_t>(std::floor(51.0 + 204.0 * k / 5.0));
        p[250 + k] = {grey, grey, grey};
    }
    return p;
}

const std::array<AciRgb, 256>& palette() {
    static const std::array<AciRgb, 256> p = buildPalette();
    return p;
}

}  // namespace

std::optional<AciRgb> aciToRgb(int index) {
    if (index < 1 || index > 255) return std::nullopt;
    return palette()[index];
}

int rgbToAci(AciRgb rgb) {
    int best = 1;
    long bestDist = -1;
    for (int i = 1; i <= 255; ++i) {
        const AciRgb& c = palette()[i];
        long dr = c.r - rgb.r, dg = c.g - rgb.g, db = c.b - rgb.b;
        long d = dr * dr + dg * dg + db * db;
        if (bestDist < 0 || d < bestDist) {
            bestDist = d;
            best = i;
        }
    }
    return best;
}

}  // namespace host
