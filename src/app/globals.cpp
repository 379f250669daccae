// globals.cpp -- the scene objects, in construction order. They are
// destroyed in reverse order at exit.
#include "app/globals.h"

#include "app/camera.h"
#include "app/frame_timer.h"
#include "assets/model.h"
#include "city/city.h"
#include "helicopter/helicopter.h"
#include "render/gl_resources.h"
#include "render/vector_math.h"
#include "view/view_controller.h"

Camera camera;
City city;
Helicopter helicopter;
Texture2D spotlightTexture;
ViewController searchlightController(3);
BadgeModel badgeModel;
Matrix4 cullMatrix;
std::vector<PoliceCar*> policeCars;

CityTreeNode* cityTree = nullptr;
FugitiveVehicle* fugitive = nullptr;
FrameTimer* frameTimer = nullptr;
double gameTime = 0;
float tickSeconds = 0;
bool keyDown[256] = {};
float policeSpawnX = 0, policeSpawnZ = 0;
bool titleActive = true;
bool mapCapturePending = false;
bool pursuitActive = false;
bool fugitiveLit = true;

bool mouseSeen = false;
float lastMouseX = 0, lastMouseY = 0;
float mouseDeltaX = 0, mouseDeltaY = 0;
float searchlightYawOffset = 0;
float searchlightPitchOffset = 0;

bool printStatistics = true;
std::uint32_t frameCount = 0;
float lastRateTime = 0;
int objectsDrawn = 0;
int regularObjectsDrawn = 0, projectiveObjectsDrawn = 0;
bool designDrawOrder = false;
bool windowGlow = true;
bool searchlightDarkOutsideCone = false;
int policeSpawned = 0;
unsigned int mapTexture = 0;
