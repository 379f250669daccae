// text_overlay_layout.cpp -- the text overlays' places and colours.
#include "app/text_overlay_layout.h"

#include <algorithm>
#include <cmath>

const char* const resultKeysText = "ENTER: NEW CHASE   ESC: QUIT";
const char* const pausedText = "PAUSED";
const char* const pauseKeysText = "P: RESUME   ESC: QUIT";
const char* const holdBackText = "SPACE HELD: THE POLICE HOLD BACK";

namespace {

// Font pixels as shares of the screen's height: the result's text is 3
// screen pixels a font pixel at 1024 lines, the bottom line 2.
constexpr float resultPixelShare = 1.0f / 340, smallPixelShare = 1.0f / 512;
constexpr int smallestPixel = 2;
// The result's panel starts this share of the height below the top: below
// the caught badge, which reaches to about half the height.
constexpr float resultTopShare = 0.56f;
constexpr float holdBackBottomShare = 0.02f;

const TextColour titleColour{1.0f, 0.95f, 0.75f, 1};
const TextColour bodyColour{0.92f, 0.94f, 1.0f, 1};
const TextColour markColour{1.0f, 0.78f, 0.25f, 1};
const TextColour keysColour{0.45f, 0.85f, 1.0f, 1};
const TextColour panelColour{0.0f, 0.01f, 0.04f, 0.7f};
const TextColour edgeColour{0.45f, 0.6f, 0.8f, 0.8f};
const TextColour dimColour{0, 0, 0, 0.55f};
const TextColour bandColour{0, 0, 0, 0.5f};

float width(const std::string& text, int pixel) { return textWidthPixels(text, static_cast<float>(pixel)); }

// Centred on x at a whole pixel.
PlacedText centred(const std::string& text, float x, float y, int pixel, const TextColour& colour) {
    return {text, std::round(x - width(text, pixel) / 2), y, pixel, colour};
}

}  // namespace

OverlayLayout resultOverlay(const CaptureResult& result, int w, int h) {
    OverlayLayout layout;
    const int p = fontPixelFor(h, resultPixelShare, smallestPixel);
    const std::vector<ResultRow> rows = resultRows(result);
    float tableWidth = width(resultKeysText, p);
    for (const ResultRow& row : rows)
        tableWidth = std::max(tableWidth, width(row.label + "  " + row.value, p));
    const float pad = 6.0f * p;
    const float panelWidth = tableWidth + 2 * pad;
    const float left = std::round((w - panelWidth) / 2);
    const float top = std::round(h * (1 - resultTopShare));
    const float tableLeft = left + pad, tableRight = left + pad + tableWidth;

    float y = top - pad - textHeightPixels(2.0f * p);
    layout.texts.push_back(centred("CAUGHT!", w / 2.0f, y, 2 * p, titleColour));
    y -= 6.0f * p;
    for (const ResultRow& row : rows) {
        y -= textHeightPixels(static_cast<float>(p));
        const TextColour& colour = row.marked ? markColour : bodyColour;
        layout.texts.push_back({row.label, tableLeft, y, p, colour});
        layout.texts.push_back({row.value, tableRight - width(row.value, p), y, p, colour});
        y -= 4.0f * p;
    }
    y -= 3.0f * p + textHeightPixels(static_cast<float>(p));
    layout.texts.push_back(centred(resultKeysText, w / 2.0f, y, p, keysColour));
    const float bottom = y - pad;

    const float right = left + panelWidth, edge = static_cast<float>(std::max(1, p / 2));
    layout.rectangles.push_back({left, bottom, right, top, panelColour});
    layout.rectangles.push_back({left, top - edge, right, top, edgeColour});
    layout.rectangles.push_back({left, bottom, right, bottom + edge, edgeColour});
    return layout;
}

OverlayLayout pauseOverlay(int w, int h) {
    OverlayLayout layout;
    const int p = fontPixelFor(h, resultPixelShare, smallestPixel);
    const float middle = std::round(h / 2.0f);
    const float keysY = middle - 8.0f * p - textHeightPixels(static_cast<float>(p));
    const float margin = 6.0f * p;
    // The whole scene dimmed, and darker still in a band behind the text.
    layout.rectangles.push_back({0, 0, static_cast<float>(w), static_cast<float>(h), dimColour});
    layout.rectangles.push_back(
        {0, keysY - margin, static_cast<float>(w), middle + textHeightPixels(4.0f * p) + margin, bandColour});
    layout.texts.push_back(centred(pausedText, w / 2.0f, middle, 4 * p, titleColour));
    layout.texts.push_back(centred(pauseKeysText, w / 2.0f, keysY, p, keysColour));
    return layout;
}

OverlayLayout holdBackOverlay(int w, int h) {
    OverlayLayout layout;
    const int p = fontPixelFor(h, smallPixelShare, smallestPixel);
    const float y = std::round(h * holdBackBottomShare);
    const PlacedText line = centred(holdBackText, w / 2.0f, y, p, bodyColour);
    const float margin = 3.0f * p;
    layout.rectangles.push_back({line.x - margin, y - margin, line.x + width(holdBackText, p) + margin,
                                 y + textHeightPixels(static_cast<float>(p)) + margin, bandColour});
    layout.texts.push_back(line);
    return layout;
}
