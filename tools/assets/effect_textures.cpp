// effect_textures.cpp -- painting of the smoke puffs and the searchlight's image.
#include "effect_textures.h"

#include <cmath>

namespace {

constexpr float twoPi = 6.2831853f;

// A billowing puff: a disc whose edge wanders with the angle, filled with
// cloudy density; alpha 0 from 0.95 of the half-size outwards.
Picture paintPuff(const Colour& light, const Colour& shade) {
    Picture p(smokeSize, smokeSize, light.withAlpha(0));
    TileNoise cloud(4);
    TileNoise rim(16);
    const float half = smokeSize / 2.0f;
    for (int y = 0; y < smokeSize; ++y) {
        for (int x = 0; x < smokeSize; ++x) {
            const float dx = (x + 0.5f - half) / half, dy = (y + 0.5f - half) / half;
            const float r = std::sqrt(dx * dx + dy * dy);
            const float angle = std::atan2(dy, dx);
            const float edge = 0.72f + 0.2f * rim.at((angle / twoPi + 0.5f) * 16, 0);
            const float density = cloud.fractal(x / 16.0f, y / 16.0f, 4);
            float alpha = (1 - smoothStep(0.25f * edge, edge, r)) * (0.45f + 0.55f * density);
            if (r > 0.95f) alpha = 0;
            // Lit from above: the upper part of the puff is lighter.
            const Colour c = mix(shade, light, clamp01(0.5f + 0.5f * dy + 0.3f * (density - 0.5f)));
            p.at(x, y) = c.withAlpha(clamp01(alpha));
        }
    }
    return p;
}

}  // namespace

Picture paintLightSmoke() { return paintPuff(Colour(0.86f, 0.86f, 0.88f), Colour(0.6f, 0.6f, 0.63f)); }

Picture paintBlackSmoke() { return paintPuff(Colour(0.12f, 0.11f, 0.11f), Colour(0.02f, 0.02f, 0.02f)); }

Picture paintSpotlight() {
    Picture p(spotlightSize, spotlightSize);
    const float centre = spotlightSize / 2.0f;
    const float radius = spotlightSize * 0.42f;
    const Colour beam{1.0f, 0.95f, 0.80f};  // a warm lamp
    for (int y = 0; y < spotlightSize; ++y) {
        for (int x = 0; x < spotlightSize; ++x) {
            const float r = std::hypot(x + 0.5f - centre, y + 0.5f - centre) / radius;
            if (r >= 1) continue;
            // Full bright core, a faint lens ring, and a soft fall-off to black.
            const float body = 1 - smoothStep(0.62f, 1.0f, r);
            const float hotspot = 0.08f * (1 - smoothStep(0.0f, 0.45f, r));
            const float ring = 0.06f * std::exp(-std::pow((r - 0.74f) / 0.05f, 2.0f));
            p.at(x, y) = beam * clamp01(0.94f * body + hotspot + ring);
        }
    }
    return p;
}
