// overlays.h -- what is drawn in front of the camera in the lit pass (the
// title card, the police badge, the mini-map) and the one-frame capture of
// the overhead map the mini-map shows.
#pragma once

struct Matrix4;

void drawTitleCard(bool regular);
void drawBadge();
// The badge's spin after this much game time: 50 degrees a second, as an
// angle from 0 to 360.
float badgeSpinDegrees(double gameTime);
void drawMinimap(float x0, float y0, float w, float h, bool regular);
// Text over the finished picture of the lit pass (text_overlays.cpp): the
// result once the chase is over, the pause screen while paused, and a line
// while the space bar holds the police back. Notes a new capture first
// (capture_result.h). Draws in screen pixels and leaves GL's state as it was.
void drawTextOverlays();

// Where a world point (x, z) sits in the mini-map quad's plane.
void minimapMarkerPosition(float x0, float y0, float w, float h, float worldX, float worldZ, float& mx, float& my);

// The map capture. The capture frame looks straight down on the city from
// (0, 300, 0) with screen-up along +z, through a projection that makes the
// read rectangle cover the city from -50 to 50 exactly, so the map and the
// marker formula agree on every window size.
struct ReadRectangle {
    int x, y, width, height;
};
// The same centred fraction of the view that 346 x 279 is of 1280 x 1024.
ReadRectangle mapReadRectangle(int viewportWidth, int viewportHeight);
void beginCaptureView();  // projection and view of the capture frame
void endCaptureView();    // back to the game's projection
void captureMap();
