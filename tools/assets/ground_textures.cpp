// ground_textures.cpp -- painting of the streets, sidewalks, asphalt and roofs.
#include "ground_textures.h"

#include <cmath>

#include "app/random.h"

namespace {

constexpr int N = groundTextureSize;
constexpr float pixelsPerUnit = N / tileWorldSize;

// Street layout across the street, in pixels from the street's centre.
constexpr float laneOffset = 0.8f * pixelsPerUnit;  // cars drive here
constexpr float wheelTrack = 0.2f * pixelsPerUnit;  // wheels either side of it
constexpr float centreLineHalfGap = 2;              // between the two yellow lines
constexpr float centreLineWidth = 3;
constexpr float edgeLineInset = 16;  // white edge line, from the kerb
constexpr float edgeLineWidth = 3;

const Colour asphaltTone{0.30f, 0.30f, 0.32f};
const Colour kerbTone{0.58f, 0.57f, 0.55f};
const Colour gutterTone{0.16f, 0.16f, 0.17f};
const Colour yellowPaint{0.95f, 0.74f, 0.16f};
const Colour whitePaint{0.88f, 0.88f, 0.86f};
const Colour slabTone{0.50f, 0.50f, 0.48f};

// At night the ground shows a fraction of its daylight tone. Markings return
// a little more light than the asphalt; lit skylights and lamps keep theirs.
constexpr float unlitStreet = 0.35f;
constexpr float unlitSidewalk = 0.38f;
constexpr float unlitRoof = 0.5f;
constexpr float markingGlow = 0.3f;
// Roof furniture stands dark against the roof, in silhouette.
constexpr float furnitureShade = 0.4f;

// Dark asphalt with coarse blotches and fine grain; tiles in both directions.
void paintAsphaltBase(Picture& p) {
    TileNoise blotches(8);
    for (int y = 0; y < N; ++y) {
        for (int x = 0; x < N; ++x) {
            const float n = blotches.fractal(x / 32.0f, y / 32.0f, 4);
            p.at(x, y) = asphaltTone * (0.8f + 0.4f * n);
        }
    }
    addGrain(p, 0.09f);
}

// Paint that has seen traffic: its strength follows a tileable noise.
void paintWornRect(Picture& p, const TileNoise& wear, float x0, float y0, float x1, float y1,
                   const Colour& c) {
    p.beginLight(markingGlow);
    for (int y = static_cast<int>(y0); y < static_cast<int>(std::ceil(y1)); ++y) {
        for (int x = static_cast<int>(x0); x < static_cast<int>(std::ceil(x1)); ++x) {
            const float w = 0.7f + 0.3f * smoothStep(0.3f, 0.6f, wear.fractal(x / 16.0f, y / 16.0f, 3));
            const float cover =
                std::fmax(0.0f, std::fmin(x1, x + 1.0f) - std::fmax(x0, static_cast<float>(x))) *
                std::fmax(0.0f, std::fmin(y1, y + 1.0f) - std::fmax(y0, static_cast<float>(y)));
            p.paint(x, y, c, cover * w);
        }
    }
    p.endLight();
}

// A thin crack wandering from (x, y), kept clear of the picture's edges.
void paintCrack(Picture& p, float x, float y, float heading, int steps) {
    for (int i = 0; i < steps; ++i) {
        heading += randomBetween(-0.3f, 0.3f);
        x += std::cos(heading) * 1.5f;
        y += std::sin(heading) * 1.5f;
        if (x < 12 || x > N - 12 || y < 12 || y > N - 12) return;
        p.paint(static_cast<int>(x), static_cast<int>(y), Colour(0.08f, 0.08f, 0.08f), 0.7f);
    }
}

// A round cast-iron cover with a rim and a cross-hatched lid.
void paintManhole(Picture& p, float cx, float cy, float r) {
    p.fillDisc(cx, cy, r + 1.5f, Colour(0.18f, 0.18f, 0.18f));
    p.fillDisc(cx, cy, r, Colour(0.30f, 0.29f, 0.27f));
    for (int k = -3; k <= 3; ++k) {
        p.fillRect(cx - r * 0.7f, cy + k * r * 0.22f - 0.5f, cx + r * 0.7f, cy + k * r * 0.22f + 0.5f,
                   Colour(0.2f, 0.2f, 0.19f, 0.8f));
    }
}

// Kerb stone along a street side: `y0` is the row next to the sidewalk,
// `dir` +1 when the street lies above it, -1 when below.
void paintKerb(Picture& p, int y0, int dir) {
    for (int i = 0; i < kerbWidth; ++i) {
        const int y = y0 + dir * i;
        const Colour tone = i == kerbWidth - 1 ? gutterTone : kerbTone * (i == 0 ? 1.12f : 1.0f - 0.03f * i);
        for (int x = 0; x < N; ++x) p.at(x, y) = tone * (0.94f + 0.12f * gameRandomFraction());
    }
    // Joints between kerb stones every half unit.
    for (int x = 0; x < N; x += static_cast<int>(pixelsPerUnit / 2)) {
        for (int i = 0; i < kerbWidth - 1; ++i) scalePixel(p, x, y0 + dir * i, 0.7f);
    }
}

Picture transposed(const Picture& p) {
    Picture t(p.height(), p.width());
    for (int y = 0; y < p.height(); ++y) {
        for (int x = 0; x < p.width(); ++x) t.at(y, x) = p.at(x, y);
    }
    return t;
}

}  // namespace

Picture paintAsphalt(bool patched) {
    Picture p(N, N);
    paintAsphaltBase(p);
    if (patched) {
        // Rectangular repairs in fresher, darker asphalt, and cracks.
        for (int i = 0; i < 4; ++i) {
            const float x = randomBetween(20, 150), y = randomBetween(20, 150);
            const float w = randomBetween(30, 80), h = randomBetween(20, 60);
            p.fillRect(x, y, x + w, y + h, Colour(0.2f, 0.2f, 0.22f, 0.7f));
            p.fillRect(x, y, x + w, y + 1, Colour(0.12f, 0.12f, 0.12f, 0.6f));
        }
        for (int i = 0; i < 10; ++i)
            paintCrack(p, randomBetween(20, 236), randomBetween(20, 236), randomBetween(0, 6.28f), 60);
    }
    p.darkenUnlit(unlitStreet);
    return p;
}

Picture paintStreetAlongS() {
    Picture p(N, N);
    paintAsphaltBase(p);
    const float centre = N / 2.0f;

    // Wheel tracks: two slightly darker, smoother bands in each lane.
    for (int y = 0; y < N; ++y) {
        float wear = 0;
        for (float lane : {centre - laneOffset, centre + laneOffset}) {
            for (float wheel : {lane - wheelTrack, lane + wheelTrack}) {
                const float d = std::fabs(y + 0.5f - wheel);
                wear += 1 - smoothStep(3, 9, d);
            }
        }
        for (int x = 0; x < N; ++x) scalePixel(p, x, y, 1 - 0.07f * wear);
    }

    // Features stay clear of the tile's ends so neighbouring tiles join cleanly.
    paintManhole(p, 64, centre + laneOffset, 9);
    for (int i = 0; i < 5; ++i)
        paintCrack(p, randomBetween(30, 226), randomBetween(30, 226), randomBetween(0, 6.28f), 40);
    for (int i = 0; i < 3; ++i) {  // oil drips in the middle of the lanes
        const float x = randomBetween(30, 226);
        const float y = (i % 2 ? centre + laneOffset : centre - laneOffset) + randomBetween(-4, 4);
        p.fillDisc(x, y, randomBetween(3, 6), Colour(0.1f, 0.1f, 0.11f, 0.35f));
    }

    TileNoise wear(16);
    // Double yellow centre line, straddling the middle row.
    paintWornRect(p, wear, 0, centre - centreLineHalfGap - centreLineWidth, N, centre - centreLineHalfGap,
                  yellowPaint);
    paintWornRect(p, wear, 0, centre + centreLineHalfGap, N, centre + centreLineHalfGap + centreLineWidth,
                  yellowPaint);
    // Solid white edge lines.
    paintWornRect(p, wear, 0, kerbWidth + edgeLineInset, N, kerbWidth + edgeLineInset + edgeLineWidth,
                  whitePaint);
    paintWornRect(p, wear, 0, N - kerbWidth - edgeLineInset - edgeLineWidth, N, N - kerbWidth - edgeLineInset,
                  whitePaint);

    paintKerb(p, 0, +1);
    paintKerb(p, N - 1, -1);
    // A storm drain in the gutter.
    p.fillRect(176, kerbWidth - 1, 200, kerbWidth + 5, Colour(0.05f, 0.05f, 0.05f));
    for (int x = 178; x < 199; x += 3)
        p.fillRect(x, kerbWidth - 1, x + 1, kerbWidth + 5, Colour(0.3f, 0.3f, 0.3f));
    p.darkenUnlit(unlitStreet);
    return p;
}

Picture paintStreetAlongT() { return transposed(paintStreetAlongS()); }

Picture paintCrossing() {
    Picture p(N, N);
    paintAsphaltBase(p);
    TileNoise wear(16);
    // Zebra crossings just inside each edge; the corners stay clear.
    constexpr float bandStart = 8, bandDepth = 34, stripe = 10, pitch = 20, clearCorner = 44;
    for (float s = clearCorner; s + stripe <= N - clearCorner + 1; s += pitch) {
        paintWornRect(p, wear, bandStart, s, bandStart + bandDepth, s + stripe, whitePaint);
        paintWornRect(p, wear, N - bandStart - bandDepth, s, N - bandStart, s + stripe, whitePaint);
        paintWornRect(p, wear, s, bandStart, s + stripe, bandStart + bandDepth, whitePaint);
        paintWornRect(p, wear, s, N - bandStart - bandDepth, s + stripe, N - bandStart, whitePaint);
    }
    paintManhole(p, N / 2.0f + 20, N / 2.0f - 30, 9);
    for (int i = 0; i < 4; ++i)
        paintCrack(p, randomBetween(50, 206), randomBetween(50, 206), randomBetween(0, 6.28f), 40);
    // Rounded kerb corners joining the kerbs of the four streets.
    for (int cy : {0, N}) {
        for (int cx : {0, N}) {
            p.fillDisc(static_cast<float>(cx), static_cast<float>(cy), kerbWidth, gutterTone);
            p.fillDisc(static_cast<float>(cx), static_cast<float>(cy), kerbWidth - 1, kerbTone);
        }
    }
    p.darkenUnlit(unlitStreet);
    return p;
}

Picture paintSidewalk() {
    Picture p(N, N);
    constexpr int slab = N / 8;  // half a world unit
    TileNoise stains(8);
    for (int sy = 0; sy < N / slab; ++sy) {
        for (int sx = 0; sx < N / slab; ++sx) {
            const float tone = randomBetween(0.9f, 1.08f);
            const Colour tint = mix(slabTone, Colour(0.52f, 0.49f, 0.44f), randomBetween(0, 0.5f));
            for (int y = sy * slab; y < (sy + 1) * slab; ++y) {
                for (int x = sx * slab; x < (sx + 1) * slab; ++x) {
                    const float n = stains.fractal(x / 32.0f, y / 32.0f, 4);
                    Colour c = tint * (tone * (0.85f + 0.3f * n));
                    const int jx = x - sx * slab, jy = y - sy * slab;
                    if (jx == 0 || jy == 0)
                        c = c * 0.55f;  // joint
                    else if (jx == 1 || jy == 1)
                        c = c * 1.1f;  // worn slab edge
                    p.at(x, y) = c;
                }
            }
            // Now and then a cracked slab.
            if (gameRandom() % 5 == 0) {
                float x = sx * slab + randomBetween(4, slab - 4.0f);
                float y = static_cast<float>(sy * slab + 2);
                for (int i = 0; i < slab - 4; ++i) {
                    x += randomBetween(-1, 1);
                    y += 1;
                    p.paint(static_cast<int>(x), static_cast<int>(y), Colour(0.2f, 0.2f, 0.2f), 0.6f);
                }
            }
        }
    }
    for (int i = 0; i < 40; ++i) {  // chewing gum and drips
        p.fillDisc(randomBetween(4, N - 4), randomBetween(4, N - 4), randomBetween(0.8f, 2.2f),
                   Colour(0.25f, 0.25f, 0.25f, 0.5f));
    }
    addGrain(p, 0.06f);
    p.darkenUnlit(unlitSidewalk);
    return p;
}

namespace {

// Rooftop box (air handler, lift house) seen from above, with its shadow
// falling toward +x, -y.
void paintRoofBox(Picture& p, float x0, float y0, float x1, float y1, const Colour& tone) {
    p.fillRect(x0 + 5, y0 - 5, x1 + 5, y1 - 5, Colour(0, 0, 0, 0.45f));
    const Colour shade = tone * furnitureShade;
    p.fillRect(x0, y0, x1, y1, shade * 0.75f);
    p.fillRect(x0 + 2, y0 + 2, x1 - 2, y1 - 2, shade);
    p.fillRect(x0 + 2, y1 - 4, x1 - 2, y1 - 2, shade * 1.15f);
}

// Fan of an air handler: dark disc with a grille.
void paintFan(Picture& p, float cx, float cy, float r) {
    p.fillDisc(cx, cy, r, Colour(0.12f, 0.12f, 0.13f));
    p.fillDisc(cx, cy, r * 0.3f, Colour(0.35f, 0.35f, 0.36f));
    for (int k = 0; k < 6; ++k) {
        const float a = k * 3.14159f / 3;
        for (float t = 0.35f; t < 0.95f; t += 0.05f) {
            p.paint(static_cast<int>(cx + std::cos(a) * r * t), static_cast<int>(cy + std::sin(a) * r * t),
                    Colour(0.3f, 0.3f, 0.31f), 0.8f);
        }
    }
}

// Parapet coping around the whole roof and the shadow it casts inwards.
void paintParapet(Picture& p, float width, const Colour& tone) {
    p.fillRect(width, width, width + 4, N - width, Colour(0, 0, 0, 0.35f));
    p.fillRect(width, N - width - 4, N - width, N - width, Colour(0, 0, 0, 0.35f));
    p.fillRect(0, 0, N, width, tone);
    p.fillRect(0, N - width, N, N, tone);
    p.fillRect(0, 0, width, N, tone);
    p.fillRect(N - width, 0, N, N, tone);
    p.fillRect(width - 1, width - 1, N - width + 1, width, tone * 0.6f);
    p.fillRect(width - 1, N - width, N - width + 1, N - width + 1, tone * 0.6f);
    p.fillRect(width - 1, width, width, N - width, tone * 0.6f);
    p.fillRect(N - width, width, N - width + 1, N - width, tone * 0.6f);
}

}  // namespace

Picture paintGravelRoof() {
    Picture p(N, N);
    TileNoise patches(8);
    for (int y = 0; y < N; ++y) {
        for (int x = 0; x < N; ++x) {
            const float n = patches.fractal(x / 32.0f, y / 32.0f, 4);
            p.at(x, y) = Colour(0.34f, 0.32f, 0.30f) * (0.75f + 0.5f * n);
        }
    }
    addGrain(p, 0.22f);  // gravel
    // Walkway pads to the plant.
    for (int i = 0; i < 6; ++i) p.fillRect(40 + i * 18, 120, 54 + i * 18, 134, Colour(0.5f, 0.49f, 0.46f));
    paintRoofBox(p, 150, 150, 222, 210, Colour(0.55f, 0.57f, 0.58f));
    paintFan(p, 172, 180, 16);
    paintFan(p, 202, 180, 12);
    paintRoofBox(p, 36, 170, 84, 220, Colour(0.45f, 0.42f, 0.38f));  // stair house
    p.beginLight();
    p.fillRect(48, 176, 72, 182, Colour(0.95f, 0.8f, 0.45f));  // lit door light
    p.endLight();
    paintRoofBox(p, 160, 50, 196, 86, Colour(0.5f, 0.52f, 0.53f));
    paintFan(p, 178, 68, 11);
    for (int i = 0; i < 5; ++i) {  // vent pipes
        const float x = 40 + i * 34.0f, y = 40 + (i % 2) * 22.0f;
        p.fillDisc(x + 3, y - 3, 5, Colour(0, 0, 0, 0.4f));
        p.fillDisc(x, y, 4.5f, Colour(0.6f, 0.6f, 0.6f) * furnitureShade);
        p.fillDisc(x, y, 2.5f, Colour(0.1f, 0.1f, 0.1f));
    }
    paintParapet(p, 10, Colour(0.55f, 0.53f, 0.5f));
    p.darkenUnlit(unlitRoof);
    return p;
}

Picture paintMembraneRoof() {
    Picture p(N, N);
    TileNoise ponding(8);
    for (int y = 0; y < N; ++y) {
        for (int x = 0; x < N; ++x) {
            const float n = ponding.fractal(x / 32.0f, y / 32.0f, 4);
            Colour c = Colour(0.52f, 0.54f, 0.56f) * (0.9f + 0.2f * n);
            c = c * (1 - 0.07f * smoothStep(0.45f, 0.3f, n));  // dried puddle marks
            if (x % 32 == 0) c = c * 0.8f;                     // membrane seams
            p.at(x, y) = c;
        }
    }
    addGrain(p, 0.05f);
    // Domed skylights in two rows, lit from inside.
    for (int row = 0; row < 2; ++row) {
        for (int i = 0; i < 3; ++i) {
            const float x = 40 + i * 44.0f, y = 60 + row * 56.0f;
            p.fillRect(x + 4, y - 4, x + 34, y + 30 - 4, Colour(0, 0, 0, 0.4f));
            p.fillRect(x, y, x + 30, y + 30, Colour(0.4f, 0.4f, 0.42f));
            const bool lit = (row * 3 + i) % 4 != 1;
            if (lit) p.beginLight();
            for (int k = 0; k < 26; ++k) {
                const float bulge = std::sin(3.14159f * (k + 0.5f) / 26);
                const Colour glass = lit ? Colour(1.0f, 0.82f, 0.5f) * (0.75f + 0.25f * bulge)
                                         : Colour(0.15f, 0.18f, 0.24f) * (0.8f + 0.6f * bulge);
                p.fillRect(x + 2, y + 2 + k, x + 28, y + 3 + k, glass);
            }
            p.endLight();
            p.fillRect(x + 14, y + 2, x + 16, y + 28, Colour(0.3f, 0.3f, 0.3f));
        }
    }
    // A small steel water tank on its stand.
    p.fillDisc(198, 180, 22, Colour(0, 0, 0, 0.45f));
    p.fillDisc(192, 186, 20, Colour(0.36f, 0.37f, 0.38f) * furnitureShade);
    for (int k = 3; k > 0; --k)
        p.fillDisc(192, 186, 6.0f * k, Colour(0.45f, 0.46f, 0.47f) * (furnitureShade * (0.85f + 0.05f * k)));
    p.fillDisc(192, 186, 4, Colour(0.2f, 0.2f, 0.2f));
    // Condenser units.
    paintRoofBox(p, 170, 40, 224, 72, Colour(0.62f, 0.63f, 0.64f));
    paintFan(p, 184, 56, 11);
    paintFan(p, 210, 56, 11);
    paintParapet(p, 9, Colour(0.48f, 0.46f, 0.44f));
    p.darkenUnlit(unlitRoof);
    return p;
}
