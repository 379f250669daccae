// icon.cpp -- painting the desktop icon.
#include "icon.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/random.h"
#include "data_set.h"
#include "render/vector_math.h"

namespace {

// The shield in its own units: u across (-1 .. 1 at the shoulders), v up
// (0 at the point, 1 at the top of the crest), shaped as the badge model is.
constexpr float shoulderV = 0.53f, cornerV = 0.83f, cornerU = 0.92f;
constexpr float rimInset = 0.84f;  // the field's outline, scaled about the middle
constexpr float shieldMiddleV = 0.53f;
constexpr float starCentreV = 0.57f, starOuter = 0.34f, starInner = 0.145f;  // radii in u units
constexpr float plateBottomV = 0.22f, plateTopV = 0.31f, plateHalfU = 0.42f;
constexpr float outlineGrowth = 1.07f;  // the dark edge around the whole shield

constexpr int towerCount = 9;
constexpr int starCount = 40;

const Colour skyTop{0.02f, 0.03f, 0.10f};
const Colour skyGlow{0.17f, 0.10f, 0.12f};  // the city's light near the horizon
const Colour towerColour{0.035f, 0.04f, 0.065f};
const Colour warmWindow{1.0f, 0.78f, 0.40f};
const Colour coldWindow{0.80f, 0.90f, 1.0f};
const Colour beamColour{0.85f, 0.90f, 1.0f};
const Colour badgeEdge{0.16f, 0.11f, 0.02f};
const Colour goldRim{0.62f, 0.46f, 0.10f};
const Colour goldField{0.86f, 0.67f, 0.17f};
const Colour goldHighlight{1.0f, 0.86f, 0.42f};
const Colour silver{0.86f, 0.87f, 0.91f};
const Colour enamel{0.11f, 0.20f, 0.55f};

float shieldHalfWidth(float v) {
    if (v < shoulderV) {
        const float t = 1 - v / shoulderV;
        return 1 - t * t;
    }
    return 1 - (1 - cornerU) * (v - shoulderV) / (cornerV - shoulderV);
}

float crestV(float u) { return cornerV + (1 - cornerV) * (1 - std::pow(std::fabs(u) / cornerU, 1.6f)); }

// The shield's outline counter-clockwise from its point, in (u, v).
std::vector<float> shieldOutline() {
    constexpr int sideSteps = 16, crestSteps = 12;
    std::vector<float> uv;
    for (int i = 0; i < sideSteps; ++i) {
        const float v = cornerV * i / sideSteps;
        uv.insert(uv.end(), {shieldHalfWidth(v), v});
    }
    for (int i = 0; i <= crestSteps; ++i) {
        const float u = cornerU * (1 - 2.0f * i / crestSteps);
        uv.insert(uv.end(), {u, crestV(u)});
    }
    for (int i = sideSteps - 1; i > 0; --i) {
        const float v = cornerV * i / sideSteps;
        uv.insert(uv.end(), {-shieldHalfWidth(v), v});
    }
    return uv;
}

// Maps shield units to picture pixels.
struct BadgeFrame {
    float centreX, bottomY, halfWidth, height;
    float x(float u) const { return centreX + u * halfWidth; }
    float y(float v) const { return bottomY + v * height; }
};

// (u, v) points scaled about (0, middleV) by k, then mapped to pixels.
std::vector<float> toPixels(const std::vector<float>& uv, const BadgeFrame& f, float k) {
    std::vector<float> xy(uv.size());
    for (std::size_t i = 0; i < uv.size(); i += 2) {
        xy[i] = f.x(uv[i] * k);
        xy[i + 1] = f.y(shieldMiddleV + (uv[i + 1] - shieldMiddleV) * k);
    }
    return xy;
}

void fill(Picture& p, const std::vector<float>& xy, const Colour& c) {
    p.fillPolygon(xy.data(), static_cast<int>(xy.size() / 2), c);
}

void paintSky(Picture& p) {
    const int n = p.width();
    for (int y = 0; y < n; ++y) {
        const Colour c = mix(skyGlow, skyTop, smoothStep(0.1f, 0.7f, (y + 0.5f) / n));
        for (int x = 0; x < n; ++x) p.at(x, y) = c;
    }
    for (int i = 0; i < starCount; ++i) {
        const float x = randomBetween(0, 1), y = randomBetween(0.5f, 1), b = randomBetween(0.3f, 0.9f);
        p.paint(static_cast<int>(x * n), static_cast<int>(y * n), Colour(0.8f, 0.85f, 1.0f), b);
    }
}

// Towers across the bottom, each with a grid of windows, some lit. The
// random draws do not depend on the size, so every size shows the same city.
void paintSkyline(Picture& p) {
    const float n = static_cast<float>(p.width());
    const float windowStep = 0.035f, windowSize = 0.018f;
    float x = -0.02f;
    for (int i = 0; i < towerCount && x < 1; ++i) {
        const float w = randomBetween(0.09f, 0.16f);
        const float h = randomBetween(0.18f, iconSkylineTop);
        const Colour body = towerColour * randomBetween(0.8f, 1.3f);
        p.fillRect(x * n, 0, (x + w) * n, h * n, body);
        const float litShare = randomBetween(0.2f, 0.5f);
        for (float wy = 0.03f; wy < h - 0.03f; wy += windowStep) {
            for (float wx = x + 0.015f; wx < x + w - 0.03f; wx += windowStep) {
                const bool lit = gameRandomFraction() < litShare;
                const Colour colour = gameRandom() % 5 ? warmWindow : coldWindow;
                const float brightness = randomBetween(0.5f, 0.95f);
                if (lit)
                    p.fillRect(wx * n, wy * n, (wx + windowSize) * n, (wy + windowSize) * n,
                               colour * brightness);
            }
        }
        x += w + randomBetween(-0.01f, 0.015f);
    }
}

// A soft cone from beyond the upper left corner, widening onto the badge.
void paintBeam(Picture& p, float targetX, float targetY) {
    const int n = p.width();
    const float sourceX = -0.1f * n, sourceY = 1.1f * n;
    const float dx = targetX - sourceX, dy = targetY - sourceY;
    const float length = std::hypot(dx, dy);
    const float halfAngle = 0.2f;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const float px = x + 0.5f - sourceX, py = y + 0.5f - sourceY;
            const float along = (px * dx + py * dy) / length;
            if (along <= 0) continue;
            const float across = std::fabs(px * dy - py * dx) / length;
            const float d = across / (along * std::tan(halfAngle));
            const float strength =
                (1 - smoothStep(0.5f, 1.0f, d)) * 0.22f * smoothStep(0, 0.6f * length, along);
            p.paint(x, y, beamColour, strength);
        }
    }
}

void paintStar(Picture& p, const BadgeFrame& f) {
    std::vector<float> xy;
    for (int i = 0; i < 10; ++i) {
        const float angle = pi / 2 + i * pi / 5;
        const float r = i % 2 ? starInner : starOuter;
        xy.push_back(f.x(r * std::cos(angle)));
        xy.push_back(f.y(starCentreV) + r * f.halfWidth * std::sin(angle));
    }
    fill(p, xy, silver);
}

void paintBadge(Picture& p) {
    const float n = static_cast<float>(p.width());
    const BadgeFrame f{0.5f * n, iconBadgeBottom * n, iconBadgeHalfWidth * n,
                       (iconBadgeTop - iconBadgeBottom) * n};
    const std::vector<float> outline = shieldOutline();
    fill(p, toPixels(outline, f, outlineGrowth), badgeEdge);
    fill(p, toPixels(outline, f, 1), goldRim);
    const std::vector<float> field = toPixels(outline, f, rimInset);
    fill(p, field, goldField);
    // Light from the beam on the upper left of the field.
    Picture mask(p.width(), p.height(), Colour(0, 0, 0, 1));
    fill(mask, field, Colour(1, 1, 1));
    const int x0 = static_cast<int>(f.x(-1)), x1 = static_cast<int>(std::ceil(f.x(1)));
    const int y0 = static_cast<int>(f.y(0)), y1 = static_cast<int>(std::ceil(f.y(1)));
    for (int y = std::max(0, y0); y < std::min(p.height(), y1); ++y) {
        for (int x = std::max(0, x0); x < std::min(p.width(), x1); ++x) {
            const float u = (x + 0.5f - f.centreX) / f.halfWidth, v = (y + 0.5f - f.bottomY) / f.height;
            const float light = clamp01(0.5f * (v - u) - 0.15f);
            p.paint(x, y, goldHighlight, mask.at(x, y).r * light * 0.6f);
        }
    }
    paintStar(p, f);
    p.fillRect(f.x(-plateHalfU), f.y(plateBottomV), f.x(plateHalfU), f.y(plateTopV), enamel);
}

// Alpha from the rounded tile, 4 x 4 samples a pixel.
void cutTile(Picture& p) {
    const float n = static_cast<float>(p.width());
    const float lo = iconMargin * n, hi = (1 - iconMargin) * n, r = iconCornerRadius * n;
    constexpr int samples = 4;
    for (int y = 0; y < p.height(); ++y) {
        for (int x = 0; x < p.width(); ++x) {
            int inside = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const float px = x + (sx + 0.5f) / samples, py = y + (sy + 0.5f) / samples;
                    // Distance outside the rectangle shrunk by r, against r.
                    const float ex = std::max({lo + r - px, px - (hi - r), 0.0f});
                    const float ey = std::max({lo + r - py, py - (hi - r), 0.0f});
                    inside += px >= lo && px < hi && py >= lo && py < hi && ex * ex + ey * ey <= r * r;
                }
            }
            p.at(x, y).a = static_cast<float>(inside) / (samples * samples);
        }
    }
}

}  // namespace

Picture paintIcon(int size) {
    size = std::clamp(size, minIconSize, maxIconSize);
    seedFromName("searchlight.png");
    Picture p(size, size);
    paintSky(p);
    paintSkyline(p);
    paintBeam(p, 0.5f * size, 0.5f * size);
    paintBadge(p);
    cutTile(p);
    return p;
}
