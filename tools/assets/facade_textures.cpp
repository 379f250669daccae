// facade_textures.cpp -- painting of the ten building facades.
//
// Each facade is laid out in floors from the street up (picture y grows
// upwards): a ground floor, a stack of upper floors and a crown. Windows are
// lit at random from a handful of night interiors.
#include "facade_textures.h"

#include <cmath>
#include <string>

#include "app/random.h"
#include "bitmap_font.h"

namespace {

constexpr int N = facadeSize;

// At night a wall shows a fraction of its daylight tone; lit rooms, signs
// and floodlights keep theirs, so they are the brightest things on it.
constexpr float unlitWall = 0.3f;

Picture atNight(Picture& p) {
    p.darkenUnlit(unlitWall);
    return p;
}

// What a window shows at night.
enum class Light { dark, warm, amber, curtained, blinds, fluorescent, television };

const Colour warmLight{1.0f, 0.86f, 0.55f};
const Colour amberLight{1.0f, 0.62f, 0.22f};
const Colour curtainLight{0.95f, 0.45f, 0.25f};
const Colour fluorescentLight{0.88f, 1.0f, 1.0f};
const Colour televisionLight{0.42f, 0.58f, 1.0f};
const Colour darkGlass{0.06f, 0.08f, 0.12f};
const Colour skyReflection{0.20f, 0.25f, 0.33f};

// Homes: mostly warm rooms, some curtains and televisions.
Light pickHomeLight(float litShare) {
    if (gameRandomFraction() >= litShare) return Light::dark;
    const int r = randomBelow(100);
    if (r < 36) return Light::warm;
    if (r < 54) return Light::amber;
    if (r < 72) return Light::curtained;
    if (r < 84) return Light::blinds;
    if (r < 92) return Light::television;
    return Light::fluorescent;
}

// Offices: fluorescent tubes, some behind blinds.
Light pickOfficeLight(float litShare) {
    if (gameRandomFraction() >= litShare) return Light::dark;
    const int r = randomBelow(100);
    if (r < 60) return Light::fluorescent;
    if (r < 85) return Light::blinds;
    return Light::warm;
}

Colour interiorColour(Light light) {
    switch (light) {
        case Light::warm:
            return warmLight;
        case Light::amber:
            return amberLight;
        case Light::curtained:
            return warmLight;
        case Light::blinds:
            return mix(warmLight, fluorescentLight, 0.5f);
        case Light::fluorescent:
            return fluorescentLight;
        case Light::television:
            return mix(televisionLight, Colour(0.1f, 0.1f, 0.2f), 0.3f);
        case Light::dark:
            break;
    }
    return darkGlass;
}

// The pane of a window: a lit room glows brightest under its ceiling, a
// dark one mirrors the sky in a diagonal sheen.
void paintPane(Picture& p, float x0, float y0, float x1, float y1, Light light) {
    const int ix0 = static_cast<int>(std::floor(x0)), iy0 = static_cast<int>(std::floor(y0));
    const int ix1 = static_cast<int>(std::ceil(x1)), iy1 = static_cast<int>(std::ceil(y1));
    const Colour inside = interiorColour(light);
    const float flicker = randomBetween(0.8f, 1.0f);
    if (light != Light::dark) p.beginLight();
    for (int y = iy0; y < iy1; ++y) {
        const float fy = (y + 0.5f - y0) / (y1 - y0);
        for (int x = ix0; x < ix1; ++x) {
            const float fx = (x + 0.5f - x0) / (x1 - x0);
            Colour c;
            if (light == Light::dark) {
                const float sheen = smoothStep(0.35f, 0.0f, std::fabs(fx * 0.7f + fy * 0.5f - 0.75f));
                c = mix(darkGlass, skyReflection, 0.15f + 0.5f * sheen * fy);
            } else {
                c = inside * (flicker * (0.78f + 0.22f * fy));
                if (fy > 0.86f) c = mix(c, Colour(1, 1, 0.95f), 0.35f);  // the ceiling, lit
                if (light == Light::curtained && (fx < 0.25f || fx > 0.75f)) {
                    c = curtainLight * (0.55f + 0.15f * std::sin(fx * 40));
                } else if (light == Light::blinds && (y - iy0) % 3 == 0) {
                    c = c * 0.55f;
                } else if (light == Light::television) {
                    c = c * (0.6f + 0.4f * fy);
                }
            }
            p.paint(x, y, c,
                    std::fmin(1.0f, std::fmin(x + 1 - x0, x1 - x)) *
                        std::fmin(1.0f, std::fmin(y + 1 - y0, y1 - y)));
        }
    }
    p.endLight();
}

struct WindowFrame {
    Colour colour{0.2f, 0.2f, 0.2f};
    float width = 2;
    bool centreMullion = false;
    bool transom = false;  // horizontal bar at two thirds of the height
    float sill = 0;        // height of a stone sill below; 0 for none
    Colour sillColour{0.6f, 0.58f, 0.54f};
};

void paintWindow(Picture& p, float x0, float y0, float x1, float y1, Light light, const WindowFrame& f) {
    if (f.sill > 0) {
        p.fillRect(x0 - 2, y0 - f.sill, x1 + 2, y0, f.sillColour);
        p.fillRect(x0 - 2, y0 - f.sill - 1, x1 + 2, y0 - f.sill, Colour(0, 0, 0, 0.4f));
    }
    p.fillRect(x0, y0, x1, y1, f.colour);
    paintPane(p, x0 + f.width, y0 + f.width, x1 - f.width, y1 - f.width, light);
    if (f.centreMullion) {
        const float mx = (x0 + x1) / 2;
        p.fillRect(mx - f.width / 2, y0, mx + f.width / 2, y1, f.colour);
    }
    if (f.transom) {
        const float ty = y0 + (y1 - y0) * 0.68f;
        p.fillRect(x0, ty - f.width / 2, x1, ty + f.width / 2, f.colour);
    }
}

// Per-cell random tone from a lattice: integer coordinates read lattice values.
float cellTone(const TileNoise& cells, int column, int row) {
    return cells.at(static_cast<float>(column), static_cast<float>(row));
}

// Running-bond masonry over the rectangle: `course` px high, `length` px long.
void paintMasonry(Picture& p, float x0, float y0, float x1, float y1, const Colour& unit, const Colour& joint,
                  int course, int length, float toneRange) {
    TileNoise cells(64);
    TileNoise soot(8);
    for (int y = static_cast<int>(y0); y < static_cast<int>(y1); ++y) {
        const int row = (y - static_cast<int>(y0)) / course;
        const int offset = (row % 2) * length / 2;
        for (int x = static_cast<int>(x0); x < static_cast<int>(x1); ++x) {
            const int column = (x - static_cast<int>(x0) + offset) / length;
            const bool isJoint =
                (y - static_cast<int>(y0)) % course == 0 || (x - static_cast<int>(x0) + offset) % length == 0;
            const float dirt = 0.8f + 0.35f * soot.fractal(x / 32.0f, y / 32.0f, 3);
            const Colour c =
                isJoint ? joint : unit * (1 - toneRange / 2 + toneRange * cellTone(cells, column, row));
            p.at(x, y) = c * dirt;
        }
    }
}

// Cast or rendered surface: smooth blotches and fine grain.
void paintRender(Picture& p, float x0, float y0, float x1, float y1, const Colour& tone, float blotch) {
    TileNoise noise(8);
    for (int y = static_cast<int>(y0); y < static_cast<int>(y1); ++y) {
        for (int x = static_cast<int>(x0); x < static_cast<int>(x1); ++x) {
            const float n = noise.fractal(x / 32.0f, y / 32.0f, 5);
            p.at(x, y) = tone * (1 - blotch + 2 * blotch * n) * (1 + randomBetween(-0.04f, 0.04f));
        }
    }
}

// Rain streaks running down from a ledge.
void paintStreaks(Picture& p, float x0, float x1, float yTop, float length) {
    for (int x = static_cast<int>(x0); x < static_cast<int>(x1); ++x) {
        const float strength = randomBetween(0, 0.18f);
        const float run = length * randomBetween(0.4f, 1.0f);
        for (int k = 0; k < static_cast<int>(run); ++k) {
            const int y = static_cast<int>(yTop) - k;
            if (y >= 0) scalePixel(p, x, y, 1 - strength * (1 - k / run));
        }
    }
}

// A projecting cornice: a lit band with a row of dentils and its shadow.
void paintCornice(Picture& p, float y0, float y1, const Colour& stone) {
    p.fillRect(0, y0 - 3, N, y0, Colour(0, 0, 0, 0.45f));
    p.fillRect(0, y0, N, y1, stone * 0.85f);
    p.fillRect(0, y1 - (y1 - y0) * 0.35f, N, y1, stone);
    for (float x = 2; x < N; x += 8) p.fillRect(x, y0 + 2, x + 4, y0 + (y1 - y0) * 0.45f, stone * 0.6f);
}

// A shop's glowing sign with text in the generator's font.
void paintSign(Picture& p, float x0, float y0, float x1, float y1, const std::string& text,
               const Colour& glow) {
    p.fillRect(x0, y0, x1, y1, Colour(0.06f, 0.05f, 0.08f));
    TextStyle style;
    style.scaleX = 2;
    style.scaleY = std::floor((y1 - y0 - 4) / glyphHeight);
    if (style.scaleY < 1) style.scaleY = 1;
    style.colour = glow;
    style.shadow = glow.withAlpha(0.3f);
    style.shadowOffset = 0.5f;
    const float w = textWidth(text, style);
    p.beginLight();
    drawText(p, (x0 + x1 - w) / 2, (y0 + y1 - textHeight(style)) / 2, text, style);
    p.endLight();
}

}  // namespace

Picture paintBrickFacade() {
    Picture p(N, N);
    const Colour stone{0.62f, 0.58f, 0.52f};
    paintMasonry(p, 0, 0, N, N, Colour(0.52f, 0.25f, 0.17f), Colour(0.46f, 0.42f, 0.38f), 4, 10, 0.35f);
    // Ground floor: a lit shop either side of the front door.
    p.fillRect(0, 0, N, 8, stone * 0.7f);
    WindowFrame shop;
    shop.colour = Colour(0.18f, 0.12f, 0.08f);
    shop.width = 3;
    shop.centreMullion = true;
    shop.transom = true;
    paintWindow(p, 14, 10, 102, 46, Light::warm, shop);
    paintWindow(p, 154, 10, 242, 46, gameRandom() % 2 ? Light::amber : Light::dark, shop);
    p.fillRect(110, 8, 146, 50, stone * 0.8f);
    p.fillRect(114, 8, 142, 46, Colour(0.22f, 0.12f, 0.07f));
    paintPane(p, 117, 30, 139, 43, Light::warm);
    p.fillRect(0, 50, N, 56, stone);
    // Upper floors with stone lintels and sills.
    WindowFrame sash;
    sash.colour = Colour(0.82f, 0.8f, 0.74f);
    sash.width = 2;
    sash.transom = true;
    sash.sill = 3;
    sash.sillColour = stone;
    constexpr float floorHeight = 44, firstFloor = 58;
    for (int floor = 0; floor < 4; ++floor) {
        const float y = firstFloor + floor * floorHeight;
        for (int bay = 0; bay < 4; ++bay) {
            const float cx = 32 + bay * 64.0f;
            paintWindow(p, cx - 13, y + 8, cx + 13, y + 38, pickHomeLight(0.4f), sash);
            p.fillRect(cx - 16, y + 38, cx + 16, y + 42, stone);
            paintStreaks(p, cx - 14, cx + 14, y + 4, 10);
        }
    }
    paintCornice(p, 236, N, stone);
    return atNight(p);
}

Picture paintStuccoFacade() {
    Picture p(N, N);
    const Colour render{0.64f, 0.58f, 0.48f};
    paintRender(p, 0, 0, N, N, render, 0.12f);
    // Ground floor: a glazed lobby between stone piers.
    p.fillRect(0, 0, N, 40, Colour(0.4f, 0.38f, 0.36f));
    WindowFrame lobby;
    lobby.colour = Colour(0.15f, 0.15f, 0.16f);
    lobby.width = 3;
    lobby.centreMullion = true;
    paintWindow(p, 84, 2, 172, 36, Light::warm, lobby);
    p.fillRect(78, 36, 178, 42, Colour(0.25f, 0.25f, 0.27f));  // canopy
    p.fillRect(78, 33, 178, 36, Colour(0, 0, 0, 0.4f));
    WindowFrame small;
    small.colour = Colour(0.2f, 0.2f, 0.21f);
    paintWindow(p, 18, 12, 58, 32, Light::dark, small);
    paintWindow(p, 198, 12, 238, 32, Light::fluorescent, small);
    // Six floors of square windows between floor bands.
    WindowFrame square;
    square.colour = Colour(0.22f, 0.2f, 0.18f);
    square.width = 2;
    square.centreMullion = true;
    square.sill = 2;
    square.sillColour = render * 1.1f;
    constexpr float floorHeight = 35, firstFloor = 44;
    for (int floor = 0; floor < 6; ++floor) {
        const float y = firstFloor + floor * floorHeight;
        p.fillRect(0, y - 3, N, y, render * 0.82f);
        for (int bay = 0; bay < 5; ++bay) {
            const float cx = 25.6f + bay * 51.2f;
            paintWindow(p, cx - 14, y + 8, cx + 14, y + 29, pickHomeLight(0.38f), square);
            paintStreaks(p, cx - 14, cx + 14, y + 6, 8);
        }
    }
    p.fillRect(0, 252, N, N, render * 0.75f);
    p.fillRect(0, 249, N, 252, render * 1.15f);
    return atNight(p);
}

Picture paintCurtainWallFacade() {
    Picture p(N, N, Colour(0.05f, 0.08f, 0.11f));
    constexpr int columns = 8, floors = 8;
    constexpr float columnWidth = N / static_cast<float>(columns);
    constexpr float lobbyHeight = 40, floorHeight = (N - lobbyHeight - 8) / floors;
    const Colour mullion{0.30f, 0.33f, 0.37f};
    const Colour spandrel{0.10f, 0.13f, 0.17f};
    // Tall lobby glazing, lit.
    paintPane(p, 0, 0, N, lobbyHeight, Light::warm);
    for (int c = 0; c <= columns; ++c)
        p.fillRect(c * columnWidth - 3, 0, c * columnWidth + 3, lobbyHeight, Colour(0.12f, 0.12f, 0.13f));
    for (int floor = 0; floor < floors; ++floor) {
        const float y = lobbyHeight + floor * floorHeight;
        // Offices are lit in runs along a floor: someone works late in one wing.
        int run = 0;
        Light light = Light::dark;
        for (int c = 0; c < columns; ++c) {
            if (run == 0) {
                run = 1 + randomBelow(4);
                light = gameRandomFraction() < 0.4f ? (gameRandom() % 4 ? Light::fluorescent : Light::warm)
                                                    : Light::dark;
            }
            --run;
            const float x = c * columnWidth;
            paintPane(p, x, y + 6, x + columnWidth, y + floorHeight, light);
            if (light != Light::dark) {  // ceiling light fittings
                for (float lx = x + 4; lx < x + columnWidth - 4; lx += 8) {
                    p.fillRect(lx, y + floorHeight - 4, lx + 5, y + floorHeight - 3, Colour(1, 1, 1, 0.8f));
                }
            }
        }
        p.fillRect(0, y, N, y + 6, spandrel);
        p.fillRect(0, y + 5, N, y + 6, mullion * 0.7f);
    }
    for (int c = 0; c <= columns; ++c)
        p.fillRect(c * columnWidth - 1, lobbyHeight, c * columnWidth + 1, N, mullion);
    p.fillRect(0, N - 8, N, N, Colour(0.32f, 0.35f, 0.38f));
    p.fillRect(0, lobbyHeight - 2, N, lobbyHeight + 2, Colour(0.25f, 0.27f, 0.3f));
    return atNight(p);
}

Picture paintRibbonFacade() {
    Picture p(N, N);
    const Colour concrete{0.58f, 0.58f, 0.56f};
    paintRender(p, 0, 0, N, N, concrete, 0.1f);
    // Ground floor: dark recess behind columns, entrance lit.
    p.fillRect(0, 0, N, 30, Colour(0.08f, 0.08f, 0.09f));
    paintPane(p, 100, 0, 156, 24, Light::warm);
    for (float x = 12; x < N; x += 48) p.fillRect(x, 0, x + 8, 30, concrete * 0.9f);
    constexpr int floors = 7;
    constexpr float floorHeight = 32, firstFloor = 32;
    for (int floor = 0; floor < floors; ++floor) {
        const float y = firstFloor + floor * floorHeight;
        // The ribbon: continuous glazing with a thin mullion every 16 px.
        int run = 0;
        Light light = Light::dark;
        for (int c = 0; c < 16; ++c) {
            if (run == 0) {
                run = 2 + randomBelow(5);
                light = pickOfficeLight(0.45f);
            }
            --run;
            paintPane(p, c * 16.0f, y + 10, c * 16.0f + 16, y + 28, light);
            p.fillRect(c * 16.0f, y + 10, c * 16.0f + 1.5f, y + 28, Colour(0.2f, 0.2f, 0.22f));
        }
        p.fillRect(0, y + 9, N, y + 10, Colour(0, 0, 0, 0.5f));
        paintStreaks(p, 0, N, y + 8, 6);
    }
    p.fillRect(0, N - 4, N, N, concrete * 1.1f);
    return atNight(p);
}

Picture paintTowerGridFacade() {
    Picture p(N, N);
    const Colour frame{0.40f, 0.36f, 0.33f};
    paintRender(p, 0, 0, N, N, frame, 0.1f);
    WindowFrame w;
    w.colour = Colour(0.16f, 0.15f, 0.14f);
    w.width = 1.5f;
    constexpr int floors = 10, bays = 8;
    constexpr float floorHeight = 23, firstFloor = 12;
    // Entrance at the street.
    p.fillRect(96, 0, 160, 11, Colour(0.15f, 0.14f, 0.13f));
    paintPane(p, 100, 0, 156, 10, Light::warm);
    for (int floor = 0; floor < floors; ++floor) {
        const float y = firstFloor + floor * floorHeight;
        for (int bay = 0; bay < bays; ++bay) {
            const float x = bay * 32.0f;
            paintWindow(p, x + 6, y + 4, x + 26, y + 20, pickHomeLight(0.36f), w);
        }
        p.fillRect(0, y + 1, N, y + 3, frame * 0.8f);
    }
    // Vertical piers stand proud of the grid.
    for (int bay = 0; bay <= bays; ++bay) {
        p.fillRect(bay * 32.0f - 2, 12, bay * 32.0f + 2, N - 14, frame * 1.15f);
        p.fillRect(bay * 32.0f + 2, 12, bay * 32.0f + 3, N - 14, Colour(0, 0, 0, 0.35f));
    }
    p.fillRect(0, N - 14, N, N, frame * 0.9f);
    p.fillRect(0, N - 6, N, N - 4, frame * 1.2f);
    return atNight(p);
}

Picture paintGreenGlassFacade() {
    Picture p(N, N);
    constexpr int floors = 8;
    constexpr float lobbyHeight = 32, floorHeight = (N - lobbyHeight - 8) / floors;
    const Colour glassTint{0.7f, 0.95f, 0.75f};
    paintPane(p, 0, 0, N, lobbyHeight, Light::warm);
    for (int floor = 0; floor < floors; ++floor) {
        const float y = lobbyHeight + floor * floorHeight;
        for (int c = 0; c < 6; ++c) {
            const float x = c * (N / 6.0f);
            paintPane(p, x, y + 5, x + N / 6.0f, y + floorHeight, pickOfficeLight(0.35f));
        }
        p.fillRect(0, y, N, y + 5, Colour(0.06f, 0.16f, 0.11f));
    }
    // Green tint of the glass over everything above the lobby.
    for (int y = static_cast<int>(lobbyHeight); y < N; ++y) {
        for (int x = 0; x < N; ++x) {
            Colour& c = p.at(x, y);
            c = Colour(c.r * glassTint.r, c.g * glassTint.g, c.b * glassTint.b) + Colour(0.02f, 0.06f, 0.04f);
        }
    }
    // Vertical fins with their shadows.
    for (int k = 0; k <= 6; ++k) {
        const float x = k * (N / 6.0f);
        p.fillRect(x + 3, lobbyHeight, x + 7, N, Colour(0, 0, 0, 0.4f));
        p.fillRect(x - 3, lobbyHeight, x + 3, N, Colour(0.30f, 0.42f, 0.36f));
        p.fillRect(x - 3, lobbyHeight, x - 1, N, Colour(0.42f, 0.55f, 0.48f));
    }
    p.fillRect(0, lobbyHeight - 3, N, lobbyHeight, Colour(0.2f, 0.3f, 0.25f));
    p.fillRect(0, N - 8, N, N, Colour(0.25f, 0.36f, 0.3f));
    return atNight(p);
}

Picture paintShopFacade() {
    Picture p(N, N);
    const Colour stone{0.66f, 0.6f, 0.5f};
    paintMasonry(p, 0, 0, N, N, Colour(0.60f, 0.46f, 0.30f), Colour(0.42f, 0.38f, 0.34f), 4, 10, 0.3f);
    // Three shopfronts with awnings and glowing signs.
    const char* names[3] = {"CAFE", "BAR", "24H"};
    const Colour signs[3] = {Colour(1.0f, 0.35f, 0.55f), Colour(0.35f, 0.9f, 1.0f),
                             Colour(1.0f, 0.85f, 0.3f)};
    const Colour awnings[3] = {Colour(0.6f, 0.12f, 0.1f), Colour(0.1f, 0.35f, 0.18f),
                               Colour(0.12f, 0.2f, 0.45f)};
    p.fillRect(0, 0, N, 74, Colour(0.12f, 0.11f, 0.11f));
    for (int i = 0; i < 3; ++i) {
        const float x0 = 6 + i * 84.0f, x1 = x0 + 76;
        WindowFrame shop;
        shop.colour = Colour(0.1f, 0.1f, 0.1f);
        shop.width = 2;
        shop.centreMullion = true;
        paintWindow(p, x0, 4, x1, 44, i == 1 ? Light::amber : Light::warm, shop);
        // Striped awning with a scalloped edge.
        for (float x = x0 - 2; x < x1 + 2; x += 8) {
            p.fillRect(x, 46, x + 4, 58, awnings[i]);
            p.fillRect(x + 4, 46, x + 8, 58, Colour(0.8f, 0.78f, 0.72f));
            p.fillDisc(x + 4, 46, 4, (static_cast<int>(x) / 8) % 2 ? awnings[i] : Colour(0.8f, 0.78f, 0.72f));
        }
        p.fillRect(x0 - 2, 40, x1 + 2, 44, Colour(0, 0, 0, 0.35f));
        paintSign(p, x0 + 4, 60, x1 - 4, 72, names[i], signs[i]);
    }
    p.fillRect(0, 74, N, 80, stone);
    // Upper floors: paired sash windows.
    WindowFrame sash;
    sash.colour = Colour(0.85f, 0.85f, 0.8f);
    sash.transom = true;
    sash.sill = 3;
    sash.sillColour = stone;
    constexpr float floorHeight = 50, firstFloor = 82;
    for (int floor = 0; floor < 3; ++floor) {
        const float y = firstFloor + floor * floorHeight;
        for (int bay = 0; bay < 6; ++bay) {
            const float cx = 21.3f + bay * 42.7f;
            paintWindow(p, cx - 11, y + 10, cx + 11, y + 42, pickHomeLight(0.42f), sash);
            p.fillRect(cx - 14, y + 42, cx + 14, y + 46, stone);
        }
    }
    // A fire escape down the right-hand bays.
    const Colour iron{0.07f, 0.07f, 0.08f};
    for (int floor = 0; floor < 3; ++floor) {
        const float y = firstFloor + floor * floorHeight + 8;
        p.fillRect(150, y - 2, 250, y + 1, iron);
        p.fillRect(150, y + 12, 250, y + 13, iron);
        for (float x = 150; x <= 250; x += 6) p.fillRect(x, y, x + 1, y + 12, iron);
        const float ladder[8] = {160, y + 1, 164, y + 1, 244, y + floorHeight - 2, 240, y + floorHeight - 2};
        if (floor < 2) p.fillPolygon(ladder, 4, iron);
    }
    paintCornice(p, 234, N, stone);
    return atNight(p);
}

Picture paintArtDecoFacade() {
    Picture p(N, N);
    const Colour stone{0.62f, 0.57f, 0.48f};
    paintRender(p, 0, 0, N, N, stone, 0.1f);
    constexpr int floors = 7;
    constexpr float base = 40, floorHeight = 25, crown = base + floors * floorHeight;
    // Recessed window columns between full-height piers.
    for (int column = 0; column < 7; ++column) {
        const float x0 = column * 36.57f + 9, x1 = x0 + 20;
        p.fillRect(x0, base, x1, crown, Colour(0.16f, 0.15f, 0.14f));
        for (int floor = 0; floor < floors; ++floor) {
            const float y = base + floor * floorHeight;
            paintPane(p, x0 + 2, y + 7, x1 - 2, y + floorHeight - 1, pickOfficeLight(0.4f));
            // Chevron spandrel panel.
            for (int k = 0; k < 3; ++k) {
                const float cy = y + 1.5f + k * 1.8f;
                const float chevron[8] = {x0 + 2, cy + 2, (x0 + x1) / 2, cy,
                                          x1 - 2, cy + 2, (x0 + x1) / 2, cy + 1};
                p.fillPolygon(chevron, 4, Colour(0.72f, 0.6f, 0.35f));
            }
        }
        p.fillRect(x1, base, x1 + 2, crown, Colour(0, 0, 0, 0.35f));
    }
    // Grand entrance under a stepped arch.
    p.fillRect(0, 0, N, 8, stone * 0.7f);
    const float arch[16] = {96, 0, 96, 26, 104, 26, 104, 32, 152, 32, 152, 26, 160, 26, 160, 0};
    p.fillPolygon(arch, 8, Colour(0.2f, 0.16f, 0.12f));
    paintPane(p, 102, 2, 154, 24, Light::warm);
    p.fillRect(127, 2, 129, 24, Colour(0.2f, 0.16f, 0.12f));
    // Crown: stepped setbacks washed by floodlights from below.
    for (int y = static_cast<int>(crown); y < N; ++y) {
        const float glow = 1 - (y - crown) / (N - crown);
        for (int x = 0; x < N; ++x) {
            Colour& c = p.at(x, y);
            c = mix(c, Colour(1.0f, 0.86f, 0.6f), 0.45f * glow);
        }
    }
    for (int step = 0; step < 3; ++step) {
        const float inset = 30.0f + step * 30, y = crown + 4 + step * 6;
        p.fillRect(inset, y, N - inset, y + 2, Colour(0.3f, 0.26f, 0.2f));
    }
    p.beginLight();
    p.fillRect(0, crown - 3, N, crown, Colour(0.9f, 0.75f, 0.45f));  // the floodlight strip
    p.endLight();
    return atNight(p);
}

Picture paintOfficeFacade() {
    Picture p(N, N);
    const Colour panel{0.47f, 0.48f, 0.5f};
    paintRender(p, 0, 0, N, N, panel, 0.08f);
    // Lobby: full-height glazing with a revolving door.
    WindowFrame lobby;
    lobby.colour = Colour(0.18f, 0.19f, 0.2f);
    lobby.width = 3;
    lobby.centreMullion = true;
    paintWindow(p, 8, 0, 120, 36, Light::fluorescent, lobby);
    paintWindow(p, 136, 0, 248, 36, Light::warm, lobby);
    p.fillDisc(128, 14, 10, Colour(0.25f, 0.26f, 0.28f));
    paintPane(p, 121, 4, 135, 22, Light::warm);
    p.fillRect(0, 36, N, 42, panel * 0.7f);
    WindowFrame wide;
    wide.colour = Colour(0.24f, 0.25f, 0.27f);
    wide.width = 2;
    wide.centreMullion = true;
    constexpr int floors = 7;
    constexpr float floorHeight = 30, firstFloor = 44;
    for (int floor = 0; floor < floors; ++floor) {
        const float y = firstFloor + floor * floorHeight;
        for (int bay = 0; bay < 4; ++bay) {
            const float x = bay * 64.0f;
            paintWindow(p, x + 6, y + 8, x + 58, y + 26, pickOfficeLight(0.45f), wide);
            p.fillRect(x + 63, y, x + 65, y + floorHeight, panel * 0.75f);  // panel joint
        }
        p.fillRect(0, y, N, y + 1, panel * 0.75f);
        paintStreaks(p, 0, N, y + 7, 6);
    }
    p.fillRect(0, N - 2, N, N, panel * 1.2f);
    return atNight(p);
}

Picture paintApartmentFacade() {
    Picture p(N, N);
    const Colour render{0.68f, 0.52f, 0.40f};
    paintRender(p, 0, 0, N, N, render, 0.12f);
    // Entrance with a lit door and a lamp either side.
    p.fillRect(0, 0, N, 40, render * 0.75f);
    p.fillRect(108, 0, 148, 32, Colour(0.3f, 0.2f, 0.14f));
    paintPane(p, 112, 2, 144, 28, Light::warm);
    p.fillRect(127, 2, 129, 28, Colour(0.3f, 0.2f, 0.14f));
    p.fillDisc(100, 26, 3, Colour(1, 0.9f, 0.6f));
    p.fillDisc(156, 26, 3, Colour(1, 0.9f, 0.6f));
    WindowFrame w;
    w.colour = Colour(0.85f, 0.84f, 0.8f);
    w.width = 2;
    w.centreMullion = true;
    w.sill = 2;
    w.sillColour = render * 1.2f;
    paintWindow(p, 24, 14, 64, 32, Light::dark, w);
    paintWindow(p, 192, 14, 232, 32, pickHomeLight(0.5f), w);
    constexpr int floors = 6;
    constexpr float floorHeight = 35, firstFloor = 44;
    for (int floor = 0; floor < floors; ++floor) {
        const float y = firstFloor + floor * floorHeight;
        for (int bay = 0; bay < 4; ++bay) {
            const float x = bay * 64.0f;
            if (bay % 2 == 0) {
                // Window and a balcony door behind a balcony.
                paintWindow(p, x + 8, y + 12, x + 30, y + 30, pickHomeLight(0.45f), w);
                WindowFrame door = w;
                door.sill = 0;
                paintWindow(p, x + 36, y + 2, x + 56, y + 30, pickHomeLight(0.4f), door);
                p.fillRect(x + 2, y - 2, x + 62, y + 2, render * 1.25f);  // slab edge
                p.fillRect(x + 2, y - 5, x + 62, y - 2, Colour(0, 0, 0, 0.4f));
                for (float bx = x + 3; bx < x + 62; bx += 4)
                    p.fillRect(bx, y + 2, bx + 1, y + 12, Colour(0.15f, 0.15f, 0.16f));
                p.fillRect(x + 2, y + 12, x + 62, y + 13.5f, Colour(0.15f, 0.15f, 0.16f));
            } else {
                paintWindow(p, x + 10, y + 10, x + 54, y + 30, pickHomeLight(0.45f), w);
                if (gameRandom() % 3 == 0) {  // air conditioner under the window
                    p.fillRect(x + 38, y + 3, x + 50, y + 9, Colour(0.7f, 0.7f, 0.68f));
                    p.fillRect(x + 38, y + 1, x + 50, y + 3, Colour(0, 0, 0, 0.4f));
                }
                paintStreaks(p, x + 10, x + 54, y + 8, 8);
            }
        }
    }
    p.fillRect(0, N - 4, N, N, render * 1.2f);
    p.fillRect(0, N - 6, N, N - 4, Colour(0, 0, 0, 0.3f));
    return atNight(p);
}
