// globals.h -- the scene: one instance of each game object, constructed
// before main() and living until the process exits.
#pragma once

#include <cstdint>
#include <vector>

class Helicopter;
class Camera;
class City;
class BadgeModel;
class Texture2D;
class ViewController;
struct Matrix4;
class CityTreeNode;
class FugitiveVehicle;
class PoliceCar;
class FrameTimer;

// Defined in construction order (globals.cpp).
extern Camera camera;
extern City city;
extern Helicopter helicopter;
extern Texture2D spotlightTexture;
extern ViewController searchlightController;
extern BadgeModel badgeModel;
extern Matrix4 cullMatrix;
extern std::vector<PoliceCar*> policeCars;

extern CityTreeNode* cityTree;
extern FugitiveVehicle* fugitive;
extern FrameTimer* frameTimer;
extern double gameTime;  // seconds
// The last idle tick's dt in seconds (0 before the first): the searchlight
// rule, which runs with the frame, scales its fill by it.
extern float tickSeconds;
extern bool keyDown[256];
extern float policeSpawnX, policeSpawnZ;
extern bool titleActive;
extern bool mapCapturePending;
// Police steer toward the fugitive only while this is set; the held-key
// handler sets it every tick: the space bar is not held and the fugitive is
// lit.
extern bool pursuitActive;
// The last frame's searchlight rule found the fugitive inside the beam's
// frustum. True until a frame says otherwise, so runs that draw no frame
// (the headless trace and soak) hunt as if it were lit.
extern bool fugitiveLit;

// Input and searchlight steering.
extern bool mouseSeen;
extern float lastMouseX, lastMouseY;
extern float mouseDeltaX, mouseDeltaY;
extern float searchlightYawOffset;    // radians, -0.4 .. 0.4
extern float searchlightPitchOffset;  // radians, 2.1 .. 2.9

// Frame statistics and the searchlight rule.
extern bool printStatistics;
extern std::uint32_t frameCount;
extern float lastRateTime;
extern int objectsDrawn;
// The last frame's count of each pass (0 for a pass that did not run), for
// tools that measure culling.
extern int regularObjectsDrawn, projectiveObjectsDrawn;
// Off (the game): opaque things nearest first and the searchlight pass kept
// to the part of the screen its cone can light, which draws the same picture
// at less cost. On: the plain order, the city far side first and the
// searchlight pass over the whole screen, which tools and tests compare with.
extern bool designDrawOrder;
// On (the game): lit windows show their painted colour whatever the light,
// where the GL and the data set allow. Off: the city's plain material, which
// tools compare the glow's cost with.
extern bool windowGlow;
// The spotlight image loaded and its outer ring is black, so the searchlight
// pass lights nothing outside the cone and may be kept to the cone's screen
// box. Otherwise (no image, or a user's image with a lit edge) the pass
// lights beyond the cone and is drawn over the whole screen.
extern bool searchlightDarkOutsideCone;
extern int policeSpawned;
extern unsigned int mapTexture;  // GL texture name of the captured map, 0 until captured
