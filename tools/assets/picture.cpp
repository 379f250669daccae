// picture.cpp -- the generator's canvas, its drawing helpers and tileable noise.
#include "picture.h"

#include <algorithm>
#include <cmath>

#include "app/random.h"

Colour mix(const Colour& a, const Colour& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

float smoothStep(float e0, float e1, float x) {
    const float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

Picture::Picture(int width, int height, const Colour& fill)
    : pictureWidth(width),
      pictureHeight(height),
      pixels(static_cast<size_t>(width) * height, fill),
      lightShare(pixels.size(), 0.0f) {}

void Picture::paint(int x, int y, const Colour& c, float coverage) {
    if (x < 0 || y < 0 || x >= pictureWidth || y >= pictureHeight) return;
    const float k = clamp01(coverage) * c.a;
    Colour& p = at(x, y);
    p.r += (c.r - p.r) * k;
    p.g += (c.g - p.g) * k;
    p.b += (c.b - p.b) * k;
    float& share = lightShare[static_cast<size_t>(y) * pictureWidth + x];
    share += (lightStrength - share) * k;
}

void Picture::darkenUnlit(float k) {
    for (size_t i = 0; i < pixels.size(); ++i) {
        const float s = lightShare[i] + (1 - lightShare[i]) * k;
        pixels[i].r *= s;
        pixels[i].g *= s;
        pixels[i].b *= s;
    }
}

Picture Picture::lightMask() const {
    Picture mask(pictureWidth, pictureHeight);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const float share = lightShare[i];
        mask.pixels[i] = Colour(share, share, share);
    }
    return mask;
}

// Length of [a0, a1) inside the pixel span [i, i + 1).
static float spanCover(float a0, float a1, int i) {
    return std::max(0.0f, std::min(a1, i + 1.0f) - std::max(a0, static_cast<float>(i)));
}

void Picture::fillRect(float x0, float y0, float x1, float y1, const Colour& c) {
    if (x1 <= x0 || y1 <= y0) return;
    const int ix0 = std::max(0, static_cast<int>(std::floor(x0)));
    const int iy0 = std::max(0, static_cast<int>(std::floor(y0)));
    const int ix1 = std::min(pictureWidth, static_cast<int>(std::ceil(x1)));
    const int iy1 = std::min(pictureHeight, static_cast<int>(std::ceil(y1)));
    for (int y = iy0; y < iy1; ++y) {
        const float cy = spanCover(y0, y1, y);
        for (int x = ix0; x < ix1; ++x) paint(x, y, c, cy * spanCover(x0, x1, x));
    }
}

void Picture::fillDisc(float cx, float cy, float radius, const Colour& c) {
    const int ix0 = std::max(0, static_cast<int>(std::floor(cx - radius - 1)));
    const int iy0 = std::max(0, static_cast<int>(std::floor(cy - radius - 1)));
    const int ix1 = std::min(pictureWidth, static_cast<int>(std::ceil(cx + radius + 1)));
    const int iy1 = std::min(pictureHeight, static_cast<int>(std::ceil(cy + radius + 1)));
    for (int y = iy0; y < iy1; ++y) {
        for (int x = ix0; x < ix1; ++x) {
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            paint(x, y, c, clamp01(radius - d + 0.5f));
        }
    }
}

void Picture::fillPolygon(const float* xy, int pointCount, const Colour& c) {
    if (pointCount < 3) return;
    float minX = xy[0], maxX = xy[0], minY = xy[1], maxY = xy[1];
    for (int i = 1; i < pointCount; ++i) {
        minX = std::min(minX, xy[2 * i]);
        maxX = std::max(maxX, xy[2 * i]);
        minY = std::min(minY, xy[2 * i + 1]);
        maxY = std::max(maxY, xy[2 * i + 1]);
    }
    const int ix0 = std::max(0, static_cast<int>(std::floor(minX)));
    const int iy0 = std::max(0, static_cast<int>(std::floor(minY)));
    const int ix1 = std::min(pictureWidth, static_cast<int>(std::ceil(maxX)));
    const int iy1 = std::min(pictureHeight, static_cast<int>(std::ceil(maxY)));
    constexpr int samples = 4;
    for (int y = iy0; y < iy1; ++y) {
        for (int x = ix0; x < ix1; ++x) {
            int inside = 0;
            for (int sy = 0; sy < samples; ++sy) {
                const float py = y + (sy + 0.5f) / samples;
                for (int sx = 0; sx < samples; ++sx) {
                    const float px = x + (sx + 0.5f) / samples;
                    bool in = false;
                    for (int i = 0, j = pointCount - 1; i < pointCount; j = i++) {
                        const float xi = xy[2 * i], yi = xy[2 * i + 1];
                        const float xj = xy[2 * j], yj = xy[2 * j + 1];
                        if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) in = !in;
                    }
                    inside += in ? 1 : 0;
                }
            }
            if (inside) paint(x, y, c, static_cast<float>(inside) / (samples * samples));
        }
    }
}

std::vector<std::uint8_t> Picture::toBytes(int channels) const {
    std::vector<std::uint8_t> bytes(pixels.size() * channels);
    size_t i = 0;
    for (const Colour& p : pixels) {
        const float v[4] = {p.r, p.g, p.b, p.a};
        for (int k = 0; k < channels; ++k) {
            bytes[i++] = static_cast<std::uint8_t>(std::lround(clamp01(v[k]) * 255.0f));
        }
    }
    return bytes;
}

TileNoise::TileNoise(int period_) : period(period_), lattice(static_cast<size_t>(period_) * period_) {
    for (float& v : lattice) v = gameRandomFraction();
}

float TileNoise::at(float x, float y) const {
    const float fx = std::floor(x), fy = std::floor(y);
    const float tx = x - fx, ty = y - fy;
    int x0 = static_cast<int>(fx) % period, y0 = static_cast<int>(fy) % period;
    if (x0 < 0) x0 += period;
    if (y0 < 0) y0 += period;
    const int x1 = (x0 + 1) % period, y1 = (y0 + 1) % period;
    auto fade = [](float t) { return t * t * t * (t * (t * 6 - 15) + 10); };
    const float sx = fade(tx), sy = fade(ty);
    const float a = lattice[y0 * period + x0], b = lattice[y0 * period + x1];
    const float c = lattice[y1 * period + x0], d = lattice[y1 * period + x1];
    const float top = a + (b - a) * sx, bottom = c + (d - c) * sx;
    return top + (bottom - top) * sy;
}

float TileNoise::fractal(float x, float y, int octaves) const {
    float sum = 0, weight = 1, total = 0, scale = 1;
    for (int i = 0; i < octaves; ++i) {
        // Whole-cell offsets decorrelate the octaves without breaking the tiling.
        sum += at(x * scale + 17 * i, y * scale + 31 * i) * weight;
        total += weight;
        weight *= 0.5f;
        scale *= 2;
    }
    return sum / total;
}

float randomBetween(float lo, float hi) { return lo + (hi - lo) * gameRandomFraction(); }

int randomBelow(int n) { return n <= 1 ? 0 : gameRandom() % n; }

void addGrain(Picture& picture, float amount) {
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            scalePixel(picture, x, y, 1 + randomBetween(-amount, amount));
    }
}

void scalePixel(Picture& picture, int x, int y, float k) {
    Colour& p = picture.at(x, y);
    p.r *= k;
    p.g *= k;
    p.b *= k;
}
