// text_overlay_layout.h -- where the text overlays go on a window of any
// size: the result over the capture scene, the pause screen, and the line
// that says the space bar holds the police back. No GL here.
//
// Positions are screen pixels with (0, 0) at the lower left. Sizes follow
// the window's height, in whole screen pixels per font pixel. The result
// sits below the centre, where the caught badge (in the middle, above it)
// and the mini-map (lower left) leave room on 5:4, 4:3 and 16:9 screens.
#pragma once

#include <string>
#include <vector>

#include "app/capture_result.h"
#include "render/text_layout.h"

struct PlacedText {
    std::string text;
    float x, y;  // lower-left corner
    int pixel;   // screen pixels per font pixel
    TextColour colour;
};

struct ScreenRectangle {
    float x0, y0, x1, y1;
    TextColour colour;
};

// An overlay: rectangles first, then the text over them.
struct OverlayLayout {
    std::vector<ScreenRectangle> rectangles;
    std::vector<PlacedText> texts;
};

// The last line of the result, and the pause screen's title and keys.
extern const char* const resultKeysText;
extern const char* const pausedText;
extern const char* const pauseKeysText;
extern const char* const holdBackText;

OverlayLayout resultOverlay(const CaptureResult& result, int width, int height);
OverlayLayout pauseOverlay(int width, int height);
OverlayLayout holdBackOverlay(int width, int height);
