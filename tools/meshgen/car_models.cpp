// car_models.cpp -- the shapes and paints of the seven cars.
//
// Designed with the ground at z = 0, the front at y = -0.5 and the rear at
// y = +0.5; normalise() then scales the car to one unit long and centres it.
// Materials show their colour through specular and emission (ambient and
// diffuse black), as the night scene lights them.
#include "car_models.h"

#include <algorithm>

namespace {

MaterialSpec paint(float r, float g, float b) {
    return {{0, 0, 0}, {0, 0, 0}, {0.85f * r, 0.85f * g, 0.85f * b}, {0.3f * r, 0.3f * g, 0.3f * b}};
}
MaterialSpec lamp(float r, float g, float b) { return {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {r, g, b}}; }
MaterialSpec glass() { return {{0, 0, 0}, {0, 0, 0}, {0.55f, 0.6f, 0.7f}, {0.04f, 0.05f, 0.07f}}; }
MaterialSpec rubber() { return {{0, 0, 0}, {0, 0, 0}, {0.12f, 0.12f, 0.12f}, {0.02f, 0.02f, 0.02f}}; }
MaterialSpec chrome() { return {{0, 0, 0}, {0, 0, 0}, {0.8f, 0.8f, 0.8f}, {0.3f, 0.3f, 0.3f}}; }
MaterialSpec trim() { return {{0, 0, 0}, {0, 0, 0}, {0.25f, 0.25f, 0.25f}, {0.06f, 0.06f, 0.06f}}; }

// Material slots shared by the civilian cars (the van swaps 1 and 4).
struct Slots {
    int body = 0, headlight = 1, glass = 2, tyre = 3, rearLight = 4, hub = 5, bumper = 6, grille = 7, accent = 8,
        dark = 9;
};

void fourWheels(MeshBuilder& m, double halfWidth, double frontY, double rearY, double radius, double width,
                const Slots& s) {
    for (double y : {frontY, rearY}) {
        m.wheel(-(halfWidth - width / 2 + 0.006), y, radius, radius, width, -1, s.tyre, s.hub);
        m.wheel(halfWidth - width / 2 + 0.006, y, radius, radius, width, 1, s.tyre, s.hub);
    }
}

// Headlights, grille and front bumper at y = front; rear lights and bumper at y = rear.
void lampsAndBumpers(MeshBuilder& m, double halfWidth, double front, double rear, double lampZ, double lampHeight,
                     double bumperZ, const Slots& s) {
    const double lampX0 = halfWidth * 0.55, lampX1 = halfWidth * 0.88;
    for (double sign : {-1.0, 1.0}) {
        const double a = sign * lampX0, b = sign * lampX1;
        m.box(std::min(a, b), std::max(a, b), front - 0.008, front + 0.01, lampZ, lampZ + lampHeight, s.headlight);
        m.box(std::min(a, b), std::max(a, b), rear - 0.01, rear + 0.008, lampZ, lampZ + lampHeight, s.rearLight);
    }
    m.box(-halfWidth * 0.45, halfWidth * 0.45, front - 0.006, front + 0.01, lampZ - 0.005, lampZ + lampHeight,
          s.grille);
    m.box(-halfWidth * 1.02, halfWidth * 1.02, front - 0.018, front + 0.03, bumperZ, bumperZ + 0.035, s.bumper);
    m.box(-halfWidth * 1.02, halfWidth * 1.02, rear - 0.03, rear + 0.018, bumperZ, bumperZ + 0.035, s.bumper);
}

void mirrors(MeshBuilder& m, double halfWidth, double y, double z, const Slots& s) {
    m.box(-halfWidth - 0.035, -halfWidth + 0.005, y, y + 0.025, z, z + 0.025, s.body);
    m.box(halfWidth - 0.005, halfWidth + 0.035, y, y + 0.025, z, z + 0.025, s.body);
}

// A cabin whose front and rear bands are glass, roof in the body colour,
// side windows glass.
void glassCabin(MeshBuilder& m, const std::vector<ProfilePoint>& profile, int roofMaterial, const Slots& s) {
    // Profile order: bottom front, top front, top rear, bottom rear.
    m.loft(profile, 0, {s.glass, roofMaterial, s.glass, s.body}, s.glass);
}

CarModel fugitiveCar() {
    CarModel car{"fugitiveCar", {}, {}};
    Slots s;
    MaterialSpec body = {{0, 0, 0}, {0, 0, 0}, {0.839f, 0, 0}, {0.247f, 0, 0}};
    MaterialSpec rear = {{0, 0, 0}, {0, 0, 0}, {1, 0, 0}, {0.498f, 0, 0}};
    car.materials = {body, lamp(1, 0.95f, 0.8f), glass(), rubber(), rear, chrome(), trim(),
                     lamp(0.05f, 0.05f, 0.05f), lamp(0.9f, 0.75f, 0.1f), trim()};
    MeshBuilder& m = car.mesh;
    const double w = 0.19;
    // Low wedge with a long bonnet.
    m.loft({{-0.5, 0.045, w - 0.01}, {-0.5, 0.09, w - 0.015}, {-0.2, 0.145, w}, {0.46, 0.155, w},
            {0.5, 0.13, w - 0.01}, {0.5, 0.045, w - 0.01}},
           0, {s.bumper, s.body, s.body, s.body, s.body, s.dark}, s.body);
    // Fastback cabin reaching far back.
    glassCabin(m, {{-0.16, 0.145, w - 0.02}, {-0.02, 0.235, w - 0.05}, {0.14, 0.235, w - 0.05}, {0.42, 0.155, w - 0.03}},
               s.body, s);
    // Rear wing on two posts, and a yellow racing stripe over bonnet and roof.
    m.box(-0.11, -0.09, 0.42, 0.45, 0.155, 0.19, s.dark);
    m.box(0.09, 0.11, 0.42, 0.45, 0.155, 0.19, s.dark);
    m.box(-w, w, 0.40, 0.48, 0.19, 0.205, s.body);
    m.loft({{-0.5, 0.0905, 0.03}, {-0.2, 0.1455, 0.03}, {-0.2, 0.141, 0.03}, {-0.5, 0.086, 0.03}}, 0, {s.accent},
           s.accent);
    // Side air intakes.
    m.box(-w - 0.003, -w + 0.01, 0.2, 0.3, 0.07, 0.11, s.dark);
    m.box(w - 0.01, w + 0.003, 0.2, 0.3, 0.07, 0.11, s.dark);
    lampsAndBumpers(m, w - 0.01, -0.5, 0.5, 0.075, 0.025, 0.03, s);
    mirrors(m, w - 0.03, -0.12, 0.16, s);
    fourWheels(m, w, -0.3, 0.3, 0.07, 0.055, s);
    return car;
}

// Traffic 1: a three-box sedan in deep blue.
CarModel sedan() {
    CarModel car{"trafficCar1", {}, {}};
    Slots s;
    car.materials = {paint(0.15f, 0.35f, 0.95f), lamp(1, 0.95f, 0.8f), glass(), rubber(), lamp(0.8f, 0.05f, 0.05f),
                     chrome(), trim(), lamp(0.06f, 0.06f, 0.08f), chrome(), trim()};
    MeshBuilder& m = car.mesh;
    const double w = 0.2;
    m.loft({{-0.5, 0.05, w - 0.01}, {-0.5, 0.14, w - 0.01}, {-0.46, 0.175, w}, {0.46, 0.185, w},
            {0.5, 0.15, w - 0.01}, {0.5, 0.05, w - 0.01}},
           0, {s.bumper, s.body, s.body, s.body, s.body, s.dark}, s.body);
    glassCabin(m, {{-0.2, 0.175, w - 0.015}, {-0.07, 0.3, w - 0.04}, {0.17, 0.3, w - 0.04}, {0.3, 0.182, w - 0.015}},
               s.body, s);
    // Chrome strips along the doors.
    m.box(-w - 0.004, -w + 0.01, -0.3, 0.3, 0.12, 0.13, s.accent);
    m.box(w - 0.01, w + 0.004, -0.3, 0.3, 0.12, 0.13, s.accent);
    lampsAndBumpers(m, w - 0.01, -0.5, 0.5, 0.11, 0.03, 0.04, s);
    mirrors(m, w - 0.02, -0.17, 0.19, s);
    fourWheels(m, w, -0.32, 0.31, 0.075, 0.05, s);
    return car;
}

// Traffic 2: a short, tall hatchback in lime green.
CarModel hatchback() {
    CarModel car{"trafficCar2", {}, {}};
    Slots s;
    car.materials = {paint(0.45f, 0.9f, 0.15f), lamp(1, 0.95f, 0.8f), glass(), rubber(), lamp(0.85f, 0.1f, 0.05f),
                     chrome(), trim(), lamp(0.05f, 0.05f, 0.05f), paint(0.05f, 0.05f, 0.05f), trim()};
    MeshBuilder& m = car.mesh;
    const double w = 0.19;
    m.loft({{-0.5, 0.05, w - 0.015}, {-0.5, 0.14, w - 0.015}, {-0.42, 0.19, w}, {0.48, 0.2, w},
            {0.5, 0.17, w - 0.01}, {0.5, 0.05, w - 0.01}},
           0, {s.bumper, s.body, s.body, s.body, s.body, s.dark}, s.body);
    // Tall cabin running to a steep hatch.
    glassCabin(m, {{-0.28, 0.19, w - 0.015}, {-0.1, 0.34, w - 0.035}, {0.4, 0.335, w - 0.035}, {0.48, 0.2, w - 0.01}},
               s.accent, s);
    // Roof spoiler over the hatch.
    m.box(-w + 0.04, w - 0.04, 0.36, 0.43, 0.335, 0.35, s.accent);
    lampsAndBumpers(m, w - 0.015, -0.5, 0.5, 0.11, 0.035, 0.04, s);
    mirrors(m, w - 0.02, -0.25, 0.2, s);
    fourWheels(m, w, -0.3, 0.33, 0.075, 0.05, s);
    return car;
}

// Traffic 3: a tall white delivery van; material 4 is its bright headlights.
CarModel van() {
    CarModel car{"trafficCar3", {}, {}};
    Slots s;
    s.headlight = 4;
    s.rearLight = 1;
    MaterialSpec white = {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {0.667f, 0.667f, 0.667f}};
    car.materials = {paint(0.85f, 0.85f, 0.8f), lamp(0.8f, 0.05f, 0.05f), glass(), rubber(), white,
                     chrome(), trim(), lamp(0.05f, 0.05f, 0.05f), paint(0.9f, 0.45f, 0.05f), trim()};
    MeshBuilder& m = car.mesh;
    const double w = 0.21;
    m.loft({{-0.5, 0.05, w - 0.01}, {-0.5, 0.17, w - 0.01}, {-0.44, 0.2, w}, {0.5, 0.2, w}, {0.5, 0.05, w}}, 0,
           {s.bumper, s.body, s.body, s.body, s.dark}, s.body);
    // Box body with a raked windscreen; the sides are panels, not glass.
    m.loft({{-0.44, 0.2, w}, {-0.32, 0.42, w - 0.01}, {0.5, 0.42, w - 0.01}, {0.5, 0.2, w}}, 0,
           {s.glass, s.body, s.body, s.body}, s.body);
    // Cab side windows and the orange company stripe.
    m.box(-w - 0.003, -w + 0.02, -0.36, -0.18, 0.25, 0.37, s.glass);
    m.box(w - 0.02, w + 0.003, -0.36, -0.18, 0.25, 0.37, s.glass);
    m.box(-w - 0.004, -w + 0.02, -0.15, 0.48, 0.24, 0.27, s.accent);
    m.box(w - 0.02, w + 0.004, -0.15, 0.48, 0.24, 0.27, s.accent);
    // Roof rack.
    m.box(-w + 0.03, w - 0.03, -0.1, 0.4, 0.42, 0.435, s.dark);
    lampsAndBumpers(m, w - 0.01, -0.5, 0.5, 0.12, 0.035, 0.04, s);
    mirrors(m, w - 0.01, -0.36, 0.28, s);
    fourWheels(m, w, -0.32, 0.32, 0.08, 0.055, s);
    return car;
}

// Traffic 4: a pickup in burnt orange with a cab up front and an open bed.
CarModel pickup() {
    CarModel car{"trafficCar4", {}, {}};
    Slots s;
    car.materials = {paint(0.95f, 0.45f, 0.1f), lamp(1, 0.95f, 0.8f), glass(), rubber(), lamp(0.85f, 0.05f, 0.05f),
                     chrome(), trim(), lamp(0.05f, 0.05f, 0.05f), paint(0.3f, 0.2f, 0.12f), trim()};
    MeshBuilder& m = car.mesh;
    const double w = 0.18;
    m.loft({{-0.5, 0.06, w - 0.01}, {-0.5, 0.16, w - 0.01}, {-0.44, 0.2, w}, {0.5, 0.2, w}, {0.5, 0.06, w}}, 0,
           {s.bumper, s.body, s.body, s.body, s.dark}, s.body);
    // Upright cab.
    glassCabin(m, {{-0.2, 0.2, w - 0.01}, {-0.1, 0.34, w - 0.02}, {0.07, 0.34, w - 0.02}, {0.07, 0.2, w - 0.01}},
               s.body, s);
    // The bed: wooden floor, side walls and tailgate.
    m.box(-w + 0.02, w - 0.02, 0.09, 0.48, 0.2, 0.205, s.accent);
    m.box(-w, -w + 0.02, 0.09, 0.5, 0.2, 0.27, s.body);
    m.box(w - 0.02, w, 0.09, 0.5, 0.2, 0.27, s.body);
    m.box(-w + 0.02, w - 0.02, 0.48, 0.5, 0.2, 0.27, s.body);
    m.box(-w + 0.02, w - 0.02, 0.08, 0.1, 0.2, 0.3, s.dark);  // headboard
    lampsAndBumpers(m, w - 0.01, -0.5, 0.5, 0.12, 0.035, 0.05, s);
    mirrors(m, w - 0.01, -0.16, 0.25, s);
    fourWheels(m, w, -0.31, 0.3, 0.085, 0.055, s);
    return car;
}

// Traffic 5: a yellow taxi with a checker stripe and a lit roof sign.
CarModel taxi() {
    CarModel car{"trafficCar5", {}, {}};
    Slots s;
    car.materials = {paint(1, 0.82f, 0.05f), lamp(1, 0.95f, 0.8f), glass(), rubber(), lamp(0.85f, 0.05f, 0.05f),
                     chrome(), trim(), lamp(0.05f, 0.05f, 0.05f), lamp(1, 0.9f, 0.5f), lamp(0.02f, 0.02f, 0.02f)};
    MeshBuilder& m = car.mesh;
    const double w = 0.21;
    m.loft({{-0.5, 0.05, w - 0.01}, {-0.5, 0.14, w - 0.01}, {-0.45, 0.18, w}, {0.45, 0.19, w},
            {0.5, 0.16, w - 0.01}, {0.5, 0.05, w - 0.01}},
           0, {s.bumper, s.body, s.body, s.body, s.body, s.dark}, s.body);
    glassCabin(m, {{-0.22, 0.18, w - 0.015}, {-0.09, 0.31, w - 0.04}, {0.2, 0.31, w - 0.04}, {0.32, 0.187, w - 0.015}},
               s.body, s);
    // Roof sign.
    m.box(-0.08, 0.08, 0.0, 0.09, 0.31, 0.36, s.accent);
    m.box(-0.085, 0.085, -0.005, 0.095, 0.36, 0.366, s.body);
    // Checker stripe: dark squares along both sides.
    for (int i = 0; i < 8; ++i) {
        const double y0 = -0.36 + i * 0.09;
        const double z0 = (i % 2 == 0) ? 0.1 : 0.125;
        m.box(-w - 0.004, -w + 0.01, y0, y0 + 0.045, z0, z0 + 0.025, s.dark);
        m.box(w - 0.01, w + 0.004, y0, y0 + 0.045, z0, z0 + 0.025, s.dark);
    }
    lampsAndBumpers(m, w - 0.01, -0.5, 0.5, 0.11, 0.03, 0.04, s);
    mirrors(m, w - 0.02, -0.19, 0.19, s);
    fourWheels(m, w, -0.32, 0.31, 0.075, 0.05, s);
    return car;
}

// The police car: black bonnet, roof and boot over white doors, a light bar
// with the blue lamp, white lamps up front, red lamps at the rear.
CarModel policeCar() {
    CarModel car{"policeCar", {}, {}};
    enum { body = 0, white = 1, blue = 2, glassSlot = 3, tyre = 4, hub = 5, red = 6, doors = 7, bumper = 8,
           grille = 9, bar = 10 };
    car.materials = {paint(0.08f, 0.08f, 0.1f),
                     {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {1, 1, 1}},
                     {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0.863f}},
                     glass(),
                     rubber(),
                     chrome(),
                     {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0.784f, 0, 0}},
                     paint(0.95f, 0.95f, 0.95f),
                     trim(),
                     lamp(0.04f, 0.04f, 0.04f),
                     paint(0.2f, 0.2f, 0.22f)};
    Slots s;
    s.body = body;
    s.headlight = white;
    s.glass = glassSlot;
    s.tyre = tyre;
    s.rearLight = red;
    s.hub = hub;
    s.bumper = bumper;
    s.grille = grille;
    s.accent = doors;
    s.dark = grille;
    MeshBuilder& m = car.mesh;
    const double w = 0.2;
    m.loft({{-0.5, 0.05, w - 0.01}, {-0.5, 0.14, w - 0.01}, {-0.46, 0.175, w}, {0.46, 0.185, w},
            {0.5, 0.15, w - 0.01}, {0.5, 0.05, w - 0.01}},
           0, {bumper, body, body, body, body, grille}, doors);
    glassCabin(m, {{-0.2, 0.175, w - 0.015}, {-0.07, 0.3, w - 0.04}, {0.17, 0.3, w - 0.04}, {0.3, 0.182, w - 0.015}},
               body, s);
    // Light bar: a dark base, the blue lamp on the left, a white lamp in
    // the middle and blue again on the right.
    m.box(-0.14, 0.14, 0.0, 0.07, 0.3, 0.315, bar);
    m.box(-0.13, -0.03, 0.005, 0.065, 0.315, 0.345, blue);
    m.box(-0.03, 0.03, 0.01, 0.06, 0.315, 0.335, white);
    m.box(0.03, 0.13, 0.005, 0.065, 0.315, 0.345, blue);
    // Push bar in front of the grille.
    m.box(-0.1, 0.1, -0.525, -0.505, 0.06, 0.13, bumper);
    lampsAndBumpers(m, w - 0.01, -0.5, 0.5, 0.11, 0.03, 0.04, s);
    mirrors(m, w - 0.02, -0.17, 0.19, s);
    fourWheels(m, w, -0.32, 0.31, 0.075, 0.05, s);
    return car;
}

}  // namespace

std::vector<CarModel> buildCarModels() {
    std::vector<CarModel> cars;
    cars.push_back(fugitiveCar());
    cars.push_back(sedan());
    cars.push_back(hatchback());
    cars.push_back(van());
    cars.push_back(pickup());
    cars.push_back(taxi());
    cars.push_back(policeCar());
    for (CarModel& car : cars) car.mesh.normalise();
    return cars;
}
