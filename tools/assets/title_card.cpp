// title_card.cpp -- the title card: a night skyline under a sweeping
// searchlight, the game's name, what to do and the full control table.
#include "title_card.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "app/random.h"

namespace {

constexpr int N = titleCardSize;
// The window stretches the card's visible square to 1280 x 1024: a texel
// shows about 3.05 pixels wide and 2.17 high, so font pixels of 2 x 3
// texels come out nearly square on screen.
constexpr float bodyScaleX = 2, bodyScaleY = 2.25f;
constexpr float titleScaleX = 4, titleScaleY = 5.5f;
constexpr float promptScaleX = 2.5f, promptScaleY = 3;
constexpr float lineGap = 4;   // between lines of a block, in texels
constexpr float blockGap = 8;  // between the blocks of the card
constexpr float keyColumnChars = 6;
constexpr float markGapChars = 3;  // a map mark and its space before the word

// The helicopter hangs above the title at the left; its beam crosses the card.
constexpr float helicopterX = 90, helicopterY = 478;

const Colour titleColour{1.0f, 0.95f, 0.75f};
const Colour bodyColour{0.92f, 0.94f, 1.0f};
const Colour keyColour{1.0f, 0.78f, 0.25f};
const Colour promptColour{0.45f, 0.85f, 1.0f};

// What to do, and what the fugitive looks like.
const char* const story[] = {"HOLD THE FUGITIVE IN YOUR BEAM", "AND POLICE CARS WILL BOX IT IN.",
                             "THE FUGITIVE: A RED CAR WITH A", "YELLOW STRIPE AND BLACK SMOKE."};
// The map's legend: a mark before each of its words (the mini-map's own colours).
const Colour helicopterMarkColour{0.0f, 0.0f, 1.0f};
const Colour fugitiveMarkColour{1.0f, 0.0f, 0.0f};
const Colour policeMarkColour{0.0f, 0.2f, 1.0f};

TextStyle style(float sx, float sy, const Colour& colour) {
    TextStyle s;
    s.scaleX = sx;
    s.scaleY = sy;
    s.colour = colour;
    return s;
}

// Box blur of a single-channel mask, radius r, a few passes (near Gaussian).
void blurMask(std::vector<float>& mask, int r, int passes) {
    std::vector<float> tmp(mask.size());
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < N; ++y) {
            for (int x = 0; x < N; ++x) {
                float sum = 0;
                for (int k = -r; k <= r; ++k) sum += mask[y * N + std::clamp(x + k, 0, N - 1)];
                tmp[y * N + x] = sum / (2 * r + 1);
            }
        }
        for (int y = 0; y < N; ++y) {
            for (int x = 0; x < N; ++x) {
                float sum = 0;
                for (int k = -r; k <= r; ++k) sum += tmp[std::clamp(y + k, 0, N - 1) * N + x];
                mask[y * N + x] = sum / (2 * r + 1);
            }
        }
    }
}

void paintSky(Picture& p) {
    for (int y = 0; y < N; ++y) {
        const float t = static_cast<float>(y) / N;
        // City glow near the horizon fading into deep blue night.
        const Colour c =
            mix(Colour(0.16f, 0.09f, 0.10f), Colour(0.02f, 0.03f, 0.09f), smoothStep(0.05f, 0.6f, t));
        for (int x = 0; x < N; ++x) p.at(x, y) = c;
    }
    for (int i = 0; i < 220; ++i) {
        const float x = randomBetween(0, N), y = randomBetween(200, N);
        const float b = randomBetween(0.3f, 1.0f);
        p.paint(static_cast<int>(x), static_cast<int>(y), Colour(0.8f, 0.85f, 1.0f),
                b * smoothStep(200, 320, y));
    }
}

// Skyline of dark towers with lit windows along the bottom of the card.
void paintSkyline(Picture& p) {
    float x = -10;
    while (x < N) {
        const float w = randomBetween(28, 70);
        const float h = randomBetween(70, 190);
        const Colour body = Colour(0.035f, 0.04f, 0.06f) * randomBetween(0.8f, 1.3f);
        p.fillRect(x, 0, x + w, h, body);
        // Windows on a grid, some of them lit.
        const float litShare = randomBetween(0.15f, 0.45f);
        for (float wy = 8; wy < h - 8; wy += 7) {
            for (float wx = x + 4; wx < x + w - 5; wx += 6) {
                if (gameRandomFraction() < litShare) {
                    const Colour lit =
                        gameRandom() % 5 ? Colour(1.0f, 0.78f, 0.4f) : Colour(0.8f, 0.9f, 1.0f);
                    p.fillRect(wx, wy, wx + 3, wy + 4, lit * randomBetween(0.5f, 0.95f));
                }
            }
        }
        if (gameRandom() % 3 == 0) {  // antenna with its red warning light
            const float ax = x + w / 2;
            p.fillRect(ax - 0.5f, h, ax + 0.5f, h + 22, body);
            p.fillDisc(ax, h + 22, 2, Colour(1.0f, 0.15f, 0.1f));
        }
        x += w + randomBetween(-6, 4);
    }
}

// The searchlight: a cone from above the card's top edge down to a bright
// pool of light on the skyline.
void paintBeam(Picture& p) {
    const float topX = helicopterX + 4, topY = helicopterY - 6, poolX = 420, poolY = 40;
    const float poolRadius = 40;
    for (int y = 0; y < N; ++y) {
        for (int x = 0; x < N; ++x) {
            // Distance from the beam's axis relative to its width at this height.
            const float t = (topY - (y + 0.5f)) / (topY - poolY);
            if (t < 0) continue;
            const float ax = topX + (poolX - topX) * t;
            const float width = 6 + (poolRadius - 6) * t;
            const float d = std::fabs(x + 0.5f - ax) / width;
            const float cone = (1 - smoothStep(0.4f, 1.0f, d)) * (0.34f - 0.16f * t);
            const float pool =
                1 - smoothStep(0.6f, 1.0f,
                               std::hypot((x - poolX) / poolRadius, (y - poolY) / (poolRadius * 0.5f)));
            p.paint(x, y, Colour(1.0f, 0.96f, 0.82f), std::max(cone, 0.8f * pool));
        }
    }
}

// A light seen at night: a soft glow of the given radius and strength
// around a bright core.
void paintLight(Picture& p, float cx, float cy, const Colour& colour, float core, float glow,
                float strength) {
    for (int y = static_cast<int>(cy - glow); y <= static_cast<int>(cy + glow) + 1; ++y) {
        for (int x = static_cast<int>(cx - glow); x <= static_cast<int>(cx + glow) + 1; ++x) {
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / glow;
            if (d < 1) p.paint(x, y, colour, strength * (1 - d) * (1 - d));
        }
    }
    p.fillDisc(cx, cy, core, mix(colour, Colour(1, 1, 1), 0.35f));
}

// The helicopter seen from the side, nose to the left, dark against the
// sky: its left side shows the red navigation light, the tail its white
// one, and the beacon on the fin is caught mid-flash, reddening the tail.
void paintHelicopter(Picture& p) {
    const Colour body{0.13f, 0.15f, 0.2f};
    const float x = helicopterX, y = helicopterY;
    const float hull[] = {x - 16, y - 2, x - 12, y - 7, x + 4, y - 8, x + 10, y - 4, x + 34, y - 1,
                          x + 36, y + 4, x + 32, y + 1, x + 8, y + 1, x + 2,  y + 6, x - 10, y + 5};
    p.fillPolygon(hull, 10, body);
    p.fillRect(x - 26, y + 8, x + 24, y + 9, body);   // rotor
    p.fillRect(x - 2, y + 5, x + 1, y + 8, body);     // mast
    p.fillRect(x - 14, y - 11, x + 8, y - 10, body);  // skid
    p.fillRect(x - 8, y - 10, x - 7, y - 7, body);
    p.fillRect(x + 2, y - 10, x + 3, y - 7, body);
    p.fillRect(x - 13, y - 5, x - 3, y, Colour(0.5f, 0.6f, 0.7f));                  // cockpit glass
    p.fillDisc(x, y - 8, 1.5f, Colour(1.0f, 0.96f, 0.82f));                         // the searchlight's lamp
    paintLight(p, x + 29, y, Colour(1.0f, 0.15f, 0.1f), 1.1f, 5, 0.45f);            // port
    paintLight(p, x + 35.5f, y - 1, Colour(1.0f, 1.0f, 0.9f), 1.0f, 4, 0.4f);       // tail
    paintLight(p, x + 35.5f, y + 3.5f, Colour(1.0f, 0.1f, 0.05f), 1.5f, 12, 0.5f);  // beacon
}

// The mini-map's mark of a legend word, in the gap before the word: the
// helicopter's triangle pointing up, or a car's bar.
void paintMapMark(Picture& p, const TitleLine& line) {
    const float h = textHeight(line.style);
    const float cx = line.x - 1.5f * glyphAdvance * line.style.scaleX, cy = line.y + h / 2;
    const float outline = 1.5f;
    if (line.mark == MapMark::helicopter) {
        const float r = h * 0.5f;
        const float halo[] = {
            cx, cy + r + outline, cx + r + outline, cy - r - outline, cx - r - outline, cy - r - outline};
        p.fillPolygon(halo, 3, Colour(0.8f, 0.85f, 1.0f, 0.9f));
        const float shape[] = {cx, cy + r, cx + r * 0.8f, cy - r, cx - r * 0.8f, cy - r};
        p.fillPolygon(shape, 3, helicopterMarkColour);
        return;
    }
    const Colour& colour = line.mark == MapMark::fugitive ? fugitiveMarkColour : policeMarkColour;
    const float hw = h * 0.5f, hh = h * 0.3f;
    p.fillRect(cx - hw - outline, cy - hh - outline, cx + hw + outline, cy + hh + outline,
               Colour(0.8f, 0.85f, 1.0f, 0.9f));
    p.fillRect(cx - hw, cy - hh, cx + hw, cy + hh, colour);
}

}  // namespace

const std::vector<ControlRow>& controlTable() {
    static const std::vector<ControlRow> rows = {
        {"W / S", "FLY FORWARD / BACK"},        {"A / D", "STRAFE LEFT / RIGHT"},
        {"Q / E", "TURN LEFT / RIGHT"},         {"Z / C", "TURN THE VIEW"},
        {"MOUSE", "STEER THE SEARCHLIGHT"},     {"SPACE", "HOLD TO SUSPEND PURSUIT"},
        {"= / -", "RAISE / LOWER CAMERA"},      {"[ / ]", "COCKPIT / CHASE VIEW"},
        {"X", "DISPATCH A POLICE CAR"},         {"P / M", "PAUSE / MUTE THE SOUND"},
        {"ENTER", "NEW CHASE AFTER A CAPTURE"}, {"ESC", "QUIT"},
    };
    return rows;
}

std::vector<TitleLine> titleCardLayout() {
    std::vector<TitleLine> lines;
    const float top = titleSafeTop * N - 6;
    auto centred = [&](const std::string& text, const TextStyle& s, float y) {
        lines.push_back({text, s, (N - textWidth(text, s)) / 2, y});
    };

    const TextStyle title = style(titleScaleX, titleScaleY, titleColour);
    float y = top - textHeight(title);
    centred("SEARCHLIGHT", title, y);
    y -= blockGap;

    const TextStyle body = style(bodyScaleX, bodyScaleY, bodyColour);
    for (const char* line : story) {
        y -= textHeight(body);
        centred(line, body, y);
        y -= lineGap;
    }
    // "MAP:" then each mark with its word, centred as one line.
    {
        const std::pair<const char*, MapMark> words[] = {
            {"YOU", MapMark::helicopter}, {"FUGITIVE", MapMark::fugitive}, {"POLICE", MapMark::police}};
        const float charWidth = glyphAdvance * bodyScaleX;
        std::string whole = "MAP:";
        for (const auto& word : words)
            whole += std::string(static_cast<size_t>(markGapChars), ' ') + word.first;
        y -= textHeight(body);
        float x = std::round((N - textWidth(whole, body)) / 2);
        lines.push_back({"MAP:", body, x, y});
        x += 4 * charWidth;
        for (const auto& word : words) {
            x += markGapChars * charWidth;
            lines.push_back({word.first, body, x, y, word.second});
            x += static_cast<float>(std::string(word.first).size()) * charWidth;
        }
    }
    y -= blockGap + lineGap;

    // The table is centred as a block: keys column, then actions.
    const TextStyle keys = style(bodyScaleX, bodyScaleY, keyColour);
    float widest = 0;
    for (const ControlRow& row : controlTable()) widest = std::max(widest, textWidth(row.action, body));
    const float keyWidth = keyColumnChars * glyphAdvance * bodyScaleX;
    const float left = std::round((N - keyWidth - widest) / 2);
    for (const ControlRow& row : controlTable()) {
        y -= textHeight(body);
        lines.push_back({row.keys, keys, left, y});
        lines.push_back({row.action, body, left + keyWidth, y});
        y -= lineGap;
    }
    y -= blockGap;

    const TextStyle prompt = style(promptScaleX, promptScaleY, promptColour);
    y -= textHeight(prompt);
    centred("PRESS ANY KEY", prompt, y);
    return lines;
}

Picture paintTitleCard() {
    Picture p(N, N);
    paintSky(p);
    paintSkyline(p);

    const std::vector<TitleLine> lines = titleCardLayout();
    // A dark panel behind the control table and prompt keeps them readable.
    float panelTop = 0, panelBottom = N;
    const size_t tableStart = 1 + std::size(story) + 4;  // after the name, the story and the map's legend
    for (size_t i = tableStart; i < lines.size(); ++i) {
        panelTop = std::max(panelTop, lines[i].y + textHeight(lines[i].style));
        panelBottom = std::min(panelBottom, lines[i].y);
    }
    const float panelLeft = titleSafeLeft * N - 4, panelRight = titleSafeRight * N + 4;
    p.fillRect(panelLeft, panelBottom - 10, panelRight, panelTop + 10, Colour(0.0f, 0.01f, 0.04f, 0.6f));
    const Colour edge{0.45f, 0.6f, 0.8f, 0.8f};
    p.fillRect(panelLeft, panelTop + 9, panelRight, panelTop + 10, edge);
    p.fillRect(panelLeft, panelBottom - 10, panelRight, panelBottom - 9, edge);

    // The beam sweeps over the panel; the text stays on top.
    paintBeam(p);
    paintHelicopter(p);

    // The name glows as if caught in the beam: a blurred copy under the text.
    std::vector<float> glow(static_cast<size_t>(N) * N, 0);
    {
        Picture mask(N, N, Colour(0, 0, 0));
        TextStyle s = lines[0].style;
        s.colour = Colour(1, 1, 1);
        s.shadow.a = 0;
        drawText(mask, lines[0].x, lines[0].y, lines[0].text, s);
        for (int y = 0; y < N; ++y) {
            for (int x = 0; x < N; ++x) glow[y * N + x] = mask.at(x, y).r;
        }
        blurMask(glow, 4, 3);
    }
    for (int y = 0; y < N; ++y) {
        for (int x = 0; x < N; ++x)
            p.paint(x, y, Colour(1.0f, 0.7f, 0.25f), std::min(1.0f, glow[y * N + x] * 1.6f));
    }

    for (const TitleLine& line : lines) {
        drawText(p, line.x, line.y, line.text, line.style);
        if (line.mark != MapMark::none) paintMapMark(p, line);
    }
    return p;
}
