// picture.h -- the floating-point canvas every generated texture is painted on.
//
// Pixels are RGBA floats in 0..1 (values outside are clamped only when
// the picture is turned into bytes). Row 0 is the BOTTOM row, as in SGI files,
// so row y of a picture becomes texture row t = (y + 0.5) / height in the game.
// Coordinates of the drawing helpers are pixels, x to the right, y upwards;
// the pixel (x, y) covers the square [x, x + 1) x [y, y + 1).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Colour {
    float r = 0, g = 0, b = 0, a = 1;

    Colour() = default;
    Colour(float r_, float g_, float b_, float a_ = 1) : r(r_), g(g_), b(b_), a(a_) {}

    Colour operator*(float s) const { return {r * s, g * s, b * s, a}; }
    Colour operator+(const Colour& c) const { return {r + c.r, g + c.g, b + c.b, a}; }
    Colour withAlpha(float alpha) const { return {r, g, b, alpha}; }
};

// Linear mix of two colours, alpha included: t = 0 gives a, t = 1 gives b.
Colour mix(const Colour& a, const Colour& b, float t);

float clamp01(float v);
// Smooth step of x between edges e0 and e1 (0 below e0, 1 above e1).
float smoothStep(float e0, float e1, float x);

class Picture {
public:
    Picture(int width, int height, const Colour& fill = Colour(0, 0, 0, 1));

    int width() const { return pictureWidth; }
    int height() const { return pictureHeight; }

    Colour& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * pictureWidth + x]; }
    const Colour& at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * pictureWidth + x]; }

    // Paints colour c over pixel (x, y) with the given coverage times c.a
    // (colour over: the pixel's alpha is kept). Pixels outside are ignored.
    void paint(int x, int y, const Colour& c, float coverage = 1);
    // Axis-aligned rectangle [x0, x1) x [y0, y1) in pixel units with
    // fractional edges antialiased by coverage.
    void fillRect(float x0, float y0, float x1, float y1, const Colour& c);
    // Disc of the given radius with a one-pixel soft edge.
    void fillDisc(float cx, float cy, float radius, const Colour& c);
    // Filled convex or concave polygon (even-odd rule), 4 x 4 supersampled.
    void fillPolygon(const float* xy, int pointCount, const Colour& c);

    // Night: what is painted between beginLight() and endLight() is light
    // (a lit room, a sign, a lamp) and keeps its brightness when darkenUnlit
    // scales everything else by k; later ordinary paint covers it as usual.
    // A strength below 1 keeps that share of the brightness back from the
    // darkening (paint that returns a little light, like road markings).
    void beginLight(float strength = 1) { lightStrength = strength; }
    void endLight() { lightStrength = 0; }
    void darkenUnlit(float k);
    // The share of light in every pixel as a grey picture: what the game
    // shows at its painted colour whatever the lighting (a facade's glow).
    Picture lightMask() const;

    // The picture as interleaved bytes, `channels` 3 (RGB) or 4 (RGBA) per
    // pixel, row 0 first. Components are clamped to 0..1 and rounded.
    std::vector<std::uint8_t> toBytes(int channels) const;

private:
    int pictureWidth;
    int pictureHeight;
    std::vector<Colour> pixels;
    std::vector<float> lightShare;  // per pixel, 0 (surface) .. 1 (light)
    float lightStrength = 0;
};

// Tileable value noise: smooth (quintic) interpolation of a lattice of random
// values that repeats every `period` cells in x and y, so a picture whose
// size is a whole number of periods tiles without a seam. The lattice is drawn
// from the game's random generator at construction.
class TileNoise {
public:
    explicit TileNoise(int period);
    // Noise at lattice coordinates (x, y), 0..1.
    float at(float x, float y) const;
    // Sum of `octaves` layers, each twice as fine and half as strong,
    // normalised back to 0..1. Tileable when the picture spans whole periods.
    float fractal(float x, float y, int octaves) const;

private:
    int period;
    std::vector<float> lattice;
};

// Multiplies every pixel's colour by 1 + a uniform random value in
// [-amount, amount] (film grain; each pixel on its own, so it tiles).
void addGrain(Picture& picture, float amount);
// Multiplies the colour of pixel (x, y) by k.
void scalePixel(Picture& picture, int x, int y, float k);

// Uniform random fraction in [lo, hi] from the game's generator.
float randomBetween(float lo, float hi);
// Random integer in [0, n) from the game's generator (n >= 1).
int randomBelow(int n);
