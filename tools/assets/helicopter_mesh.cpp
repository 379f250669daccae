// helicopter_mesh.cpp -- geometry and paint of the police helicopter.
#include "helicopter_mesh.h"

#include <cmath>
#include <string>

#include "bitmap_font.h"
#include "render/vector_math.h"

namespace {

constexpr int ringPoints = 24;
// Rounded-box cross sections: 2 would be an ellipse, larger is squarer.
constexpr float sectionSquareness = 2.6f;

// Fuselage cross sections from nose to tail: y, half width, bottom, top.
struct Station {
    float y, halfWidth, bottom, top;
};
const Station fuselage[] = {
    {-296, 12, -14, 10}, {-285, 26, -28, 24}, {-265, 40, -38, 40}, {-240, 52, -44, 58},
    {-210, 60, -46, 76}, {-175, 65, -47, 90}, {-130, 67, -47, 96}, {-60, 68, -46, 98},
    {0, 66, -44, 97},    {40, 60, -38, 92},   {80, 46, -22, 78},   {120, 30, 0, 60},
    {160, 20, 16, 50},   {220, 14, 24, 46},   {280, 11, 28, 44},   {330, 9, 30, 42},
};
const Vector3 noseTip{0, -300, -2}, tailTip{0, 336, 36};

const Station engineFairing[] = {
    {-125, 20, 88, 100}, {-110, 32, 88, 116}, {-60, 36, 88, 124},
    {0, 36, 88, 124},    {50, 30, 86, 116},   {80, 18, 84, 98},
};
const Vector3 fairingFront{0, -134, 92}, fairingBack{0, 86, 90};

const Vector3 mainRotorHub{0, -40, 150};
constexpr float mainBladeRoot = 18, mainBladeTip = 285, mainBladeChord = 18;
const Vector3 tailRotorHub{14, 316, 96};
constexpr float tailBladeRoot = 5, tailBladeTip = 44, tailBladeChord = 8;

// Atlas regions of the skin (texture coordinates).
constexpr float finU = 0.25f, finV = 0.19f;
constexpr float engineU0 = 0.5f, engineU1 = 1.0f, engineV0 = 0.125f, engineV1 = 0.25f;
constexpr float metalU = 0.1f, metalV = 0.06f;
constexpr float bladeU0 = 0.27f, bladeU1 = 0.73f, bladeV = 0.06f;
constexpr float hubU = 0.81f, hubV = 0.06f;
constexpr float lensU = 0.94f, lensV = 0.06f;

float signedPower(float v, float e) { return v < 0 ? -std::pow(-v, e) : std::pow(v, e); }

// Point j of a rounded-box ring: angle from the bottom (-pi/2) through the
// left side (0), the top and the right side.
Vector3 ringPoint(const Station& s, int j) {
    const float phi = -pi / 2 + 2 * pi * static_cast<float>(j) / ringPoints;
    const float e = 2 / sectionSquareness;
    const float centre = (s.top + s.bottom) / 2, half = (s.top - s.bottom) / 2;
    return {s.halfWidth * signedPower(std::cos(phi), e), s.y, centre + half * signedPower(std::sin(phi), e)};
}

template <size_t n>
void addSections(Mesh& mesh, const Station (&stations)[n], const Vector3& front, const Vector3& back,
                 float u0, float u1, float v0, float v1, bool uFromLength) {
    std::vector<Vector3> rings;
    std::vector<float> ringU;
    for (const Station& s : stations) {
        for (int j = 0; j < ringPoints; ++j) rings.push_back(ringPoint(s, j));
        const float along = uFromLength ? (s.y - fuselageNoseY) / (fuselageTailY - fuselageNoseY)
                                        : (s.y - stations[0].y) / (stations[n - 1].y - stations[0].y);
        ringU.push_back(u0 + (u1 - u0) * along);
    }
    std::vector<float> ringV;
    for (int j = 0; j <= ringPoints; ++j)
        ringV.push_back(v0 + (v1 - v0) * static_cast<float>(j) / ringPoints);
    addLoft(mesh, rings, ringPoints, ringU, ringV, front, back);
}

Mesh buildHull() {
    Mesh hull;
    hull.name = "s76hull";
    hull.material = "copterskin";
    addSections(hull, fuselage, noseTip, tailTip, 0, 1, fuselageSkinV0, 1, true);
    addSections(hull, engineFairing, fairingFront, fairingBack, engineU0, engineU1, engineV0, engineV1,
                false);
    hull.addTube({0, -40, 118}, {0, -40, 146}, 9, 8, metalU, metalV);  // rotor mast

    // Swept fin, ventral fin and the stabiliser with its end plates.
    const Vector3 finThickness{6, 0, 0};
    hull.addSlab({{-3, 262, 38}, {-3, 316, 40}, {-3, 346, 136}, {-3, 324, 138}}, finThickness, finU, finV);
    hull.addSlab({{-2, 300, 30}, {-2, 326, 30}, {-2, 338, 4}, {-2, 322, 4}}, {4, 0, 0}, finU, finV);
    hull.addSlab({{-70, 290, 44}, {70, 290, 44}, {68, 312, 44}, {-68, 312, 44}}, {0, 0, 5}, finU, finV);
    for (float side : {-1.0f, 1.0f}) {
        const float x = side * 70 - 2;
        hull.addSlab({{x, 286, 34}, {x, 316, 34}, {x, 318, 62}, {x, 294, 62}}, {4, 0, 0}, finU, finV);
    }

    // Skids on two struts each.
    for (float side : {-1.0f, 1.0f}) {
        const float x = side * 56;
        hull.addTube({x, -170, -78}, {x, 95, -78}, 6, 8, metalU, metalV);
        hull.addTube({x, -166, -78}, {x, -200, -60}, 6, 8, metalU, metalV);  // upturned toe
        hull.addTube({x, -120, -78}, {side * 42, -115, -40}, 5, 6, metalU, metalV);
        hull.addTube({x, 45, -78}, {side * 42, 40, -38}, 5, 6, metalU, metalV);
    }

    // The searchlight under the nose.
    hull.addTube({0, -212, -42}, {0, -226, -60}, 11, 10, lensU, lensV);
    return hull;
}

// A rotor: a hub along `axis` and blades at `blades` angles in the plane
// spanned by `first` and `second` (first x second = axis).
Mesh buildRotor(const char* name, const Vector3& hub, const Vector3& axis, const Vector3& first,
                const Vector3& second, int blades, float angle0, float root, float tip, float chord,
                float hubRadius, float hubLength) {
    Mesh rotor;
    rotor.name = name;
    rotor.material = "copterskin";
    rotor.addTube(hub - axis * (hubLength / 2), hub + axis * (hubLength / 2), hubRadius, 8, hubU, hubV);
    for (int k = 0; k < blades; ++k) {
        const float a = angle0 + 2 * pi * static_cast<float>(k) / blades;
        const Vector3 along = first * std::cos(a) + second * std::sin(a);
        const Vector3 across = first * -std::sin(a) + second * std::cos(a);
        const Vector3 centre = hub + along * ((root + tip) / 2);
        rotor.addOrientedBox(centre, along * ((tip - root) / 2), across * (chord / 2), axis * 1.5f, bladeU0,
                             bladeU1, bladeV);
    }
    return rotor;
}

// Texture coordinate to fuselage position: model y and the ring angle.
float skinModelY(float u) { return fuselageNoseY + u * (fuselageTailY - fuselageNoseY); }
float skinAngle(float v) { return -pi / 2 + 2 * pi * (v - fuselageSkinV0) / (1 - fuselageSkinV0); }
float skinU(float modelY) { return (modelY - fuselageNoseY) / (fuselageTailY - fuselageNoseY); }
float skinV(float angle) { return fuselageSkinV0 + (1 - fuselageSkinV0) * (angle + pi / 2) / (2 * pi); }

}  // namespace

ModelFile buildHelicopter() {
    ModelFile file;
    ModelMaterial skin;
    skin.name = "copterskin";
    skin.colour[0] = 220;
    skin.colour[1] = 222;
    skin.colour[2] = 230;
    skin.textureFile = copterSkinFile;
    file.materials.push_back(skin);
    file.meshes.push_back(buildHull());
    file.meshes.push_back(buildRotor("propmain", mainRotorHub, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}, 4, pi / 4,
                                     mainBladeRoot, mainBladeTip, mainBladeChord, 22, 12));
    file.meshes.push_back(buildRotor("propback", tailRotorHub, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, 4, pi / 9,
                                     tailBladeRoot, tailBladeTip, tailBladeChord, 7, 12));
    return file;
}

Picture paintCopterSkin() {
    constexpr int N = copterSkinSize;
    const Colour white{0.88f, 0.89f, 0.92f};
    const Colour blue{0.08f, 0.17f, 0.46f};
    const Colour belly{0.10f, 0.12f, 0.18f};
    const Colour stripe{1.0f, 0.78f, 0.1f};
    const Colour glass{0.04f, 0.07f, 0.11f};
    const Colour glassSheen{0.35f, 0.45f, 0.55f};
    Picture p(N, N, white);

    // The fuselage: white upper body, blue band along the sides over a
    // yellow pinstripe, dark belly; glass at the nose and cabin windows.
    const int fuselageRow = static_cast<int>(fuselageSkinV0 * N);
    for (int y = fuselageRow; y < N; ++y) {
        const float phi = skinAngle((y + 0.5f) / N);
        const float s = std::sin(phi), c = std::cos(phi);
        for (int x = 0; x < N; ++x) {
            const float modelY = skinModelY((x + 0.5f) / N);
            Colour paint = white;
            if (s < -0.78f)
                paint = belly;
            else if (s < -0.12f)
                paint = blue;
            else if (s < -0.04f)
                paint = stripe;
            const bool windshield = modelY < -222 && modelY > -292 && s > 0.02f && std::fabs(c) > 0.05f;
            const bool cabinWindow = s > 0.12f && s < 0.55f &&
                                     ((modelY > -205 && modelY < -178) || (modelY > -150 && modelY < -108) ||
                                      (modelY > -96 && modelY < -54));
            if (windshield || cabinWindow) {
                const float sheen = smoothStep(0.2f, 0.0f, std::fabs(s - 0.45f - 0.004f * (modelY + 200)));
                paint = mix(glass, glassSheen, 0.6f * sheen);
            }
            if (std::fabs(modelY + 60) < 1.2f && s > -0.7f && s < 0.6f) paint = paint * 0.5f;  // door seam
            if (modelY > 150) paint = mix(paint, blue, 0.85f);  // tail boom in blue
            p.at(x, y) = paint;
        }
    }

    // "POLICE" on both sides of the blue band, reading nose to tail on the
    // left (+x) side and upright on the right side, where the unwrap runs
    // the other way round.
    TextStyle letters;
    letters.scaleX = 1.7f;
    letters.scaleY = 2;
    letters.colour = white;
    letters.shadow.a = 0;
    const std::string word = "POLICE";
    const float x0 = skinU(-140) * N;
    const float leftRow = skinV(-0.5f) * N - textHeight(letters) / 2;
    drawText(p, x0, leftRow, word, letters);
    Picture label(64, 16, blue);
    drawText(label, 0, 1, word, letters);
    const float rightRow = skinV(pi + 0.5f) * N - 8;
    for (int j = 0; j < label.height(); ++j) {
        for (int i = 0; i < label.width(); ++i) {
            const int x = static_cast<int>(x0) + label.width() - 1 - i;
            const int y = static_cast<int>(rightRow) + label.height() - 1 - j;
            p.at(x, y) = label.at(i, j);
        }
    }

    // Fin paint (blue with a white stripe), engine fairing (grey with vents).
    const int row0 = static_cast<int>(engineV0 * N), row1 = static_cast<int>(engineV1 * N);
    p.fillRect(0, row0, N / 2.0f, row1, blue);
    p.fillRect(0, row0 + 12, N / 2.0f, row0 + 16, white);
    // The fairing's unwrap: u along it, v once around from the bottom; air
    // intakes low on both sides at the front, exhausts at the back.
    const float u0 = engineU0 * N, du = (engineU1 - engineU0) * N, dv = static_cast<float>(row1 - row0);
    p.fillRect(u0, row0, N, row1, Colour(0.74f, 0.75f, 0.78f));
    for (float side : {0.25f, 0.75f}) {
        const float v0 = row0 + (side - 0.06f) * dv, v1 = row0 + (side + 0.06f) * dv;
        for (int k = 0; k < 4; ++k) {
            const float x = u0 + du * (0.12f + 0.04f * k);
            p.fillRect(x, v0, x + du * 0.025f, v1, Colour(0.12f, 0.12f, 0.14f));
        }
        p.fillRect(u0 + du * 0.84f, v0 - 1, u0 + du * 0.97f, v1 + 1, Colour(0.1f, 0.09f, 0.09f));
    }
    // Bottom strip: skid metal, blades (yellow tips), hub, lens.
    p.fillRect(0, 0, N, row0, Colour(0.2f, 0.2f, 0.22f));
    p.fillRect(bladeU0 * N, 0, bladeU1 * N, row0, Colour(0.16f, 0.16f, 0.17f));
    p.fillRect((bladeU1 - 0.05f) * N, 0, bladeU1 * N, row0, stripe);
    p.fillRect(0.75f * N, 0, 0.875f * N, row0, Colour(0.3f, 0.3f, 0.32f));
    p.fillRect(0.875f * N, 0, N, row0, Colour(1.0f, 1.0f, 0.92f));
    return p;
}
