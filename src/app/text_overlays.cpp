// text_overlays.cpp -- the text drawn over the finished scene: the result
// after a capture, the pause screen, the line for the held space bar.
#include <GL/gl.h>

#include "app/capture_result.h"
#include "app/chase.h"
#include "app/frame.h"
#include "app/globals.h"
#include "app/overlays.h"
#include "app/text_overlay_layout.h"
#include "render/text.h"

namespace {

void draw(const OverlayLayout& layout) {
    for (const ScreenRectangle& r : layout.rectangles) fillScreenRectangle(r.x0, r.y0, r.x1, r.y1, r.colour);
    for (const PlacedText& t : layout.texts) drawScreenText(t.text, t.x, t.y, t.pixel, t.colour);
}

}  // namespace

void drawTextOverlays() {
    // The result needs its record, whether or not the loop noted it yet.
    noteCaptureIfNew();
    const Chase& c = chase();
    const CaptureResult* result = lastCaptureResult();
    // Without the font only the pause's dimming is left to draw.
    const bool text = textFontLoaded();
    const bool showResult = text && c.over() && result && result->chaseNumber == c.number();
    const bool holdingBack = text && c.running() && !c.paused() && keyDown[' '];
    if (!showResult && !c.paused() && !holdingBack) return;

    beginScreenDrawing(windowWidth, windowHeight);
    if (showResult) draw(resultOverlay(*result, windowWidth, windowHeight));
    if (holdingBack) draw(holdBackOverlay(windowWidth, windowHeight));
    if (c.paused()) draw(pauseOverlay(windowWidth, windowHeight));
    endScreenDrawing();
}
