// badge_mesh.cpp -- geometry of the police badge.
#include "badge_mesh.h"

#include <cmath>

#include "render/vector_math.h"

namespace {

// Depths from the middle plane, the same on both faces (the front faces -z,
// the back +z): the spin shows the emblem at every angle.
constexpr float rimDepth = 0.024f, fieldDepth = 0.01f;
constexpr float starApexDepth = 0.045f, plateDepth = 0.02f;
constexpr float faceSides[] = {-1, 1};  // z sign of the front and the back
// The rim slopes from the raised edge down to the field, whose outline is
// the shield's scaled about its middle.
constexpr float rimInset = 0.86f;
const Vector3 shieldMiddle{0, 0.32f, 0};
// Shape of the shield: pointed bottom widening to full width at
// `shoulderY`, slight taper to the crest corners, arched crest.
constexpr float shoulderY = 0.32f, cornerY = 0.5f, cornerHalfWidth = 0.23f;
const Vector3 starCentre{0, 0.34f, 0};
constexpr float starOuter = 0.115f, starInner = 0.048f;
constexpr float plateBottom = 0.13f, plateTop = 0.185f, plateHalfWidth = 0.1f;

float sideHalfWidth(float y) {
    if (y < shoulderY) {
        const float t = 1 - y / shoulderY;
        return badgeHalfWidth * (1 - t * t);
    }
    return badgeHalfWidth - (badgeHalfWidth - cornerHalfWidth) * (y - shoulderY) / (cornerY - shoulderY);
}

float crestY(float x) {
    return cornerY + (badgeHeight - cornerY) * (1 - std::pow(std::fabs(x) / cornerHalfWidth, 1.6f));
}

// The shield's outline counter-clockwise in the x-y plane (seen from +z),
// starting at the point.
std::vector<Vector3> shieldOutline(float z) {
    std::vector<Vector3> outline;
    // Side points every 0.05 up: with bands of that height the walls need no cuts.
    constexpr int sideSteps = 10, crestSteps = 8;
    for (int i = 0; i < sideSteps; ++i) {
        const float y = cornerY * i / sideSteps;
        outline.push_back({sideHalfWidth(y), y, z});
    }
    for (int i = 0; i <= crestSteps; ++i) {
        const float x = cornerHalfWidth * (1 - 2.0f * i / crestSteps);
        outline.push_back({x, crestY(x), z});
    }
    for (int i = sideSteps - 1; i > 0; --i) {
        const float y = cornerY * i / sideSteps;
        outline.push_back({-sideHalfWidth(y), y, z});
    }
    return outline;
}

std::vector<Vector3> scaledAbout(const std::vector<Vector3>& outline, const Vector3& middle, float k,
                                 float z) {
    std::vector<Vector3> out;
    for (const Vector3& p : outline) {
        Vector3 q = middle + (p - middle) * k;
        q.z = z;
        out.push_back(q);
    }
    return out;
}

// Walls between two copies of a closed outline, each quad facing away from
// (outward) or toward (inward) the outline's middle.
void addWalls(Mesh& mesh, const std::vector<Vector3>& a, const std::vector<Vector3>& b, const Vector3& middle,
              bool outward) {
    const size_t n = a.size();
    for (size_t i = 0; i < n; ++i) {
        const size_t j = (i + 1) % n;
        Vector3 away = (a[i] + a[j]) * 0.5f - middle;
        away.z = 0;
        mesh.addPolygon({a[i], a[j], b[j], b[i]}, outward ? away : -away);
    }
}

Mesh buildShield() {
    Mesh shield;
    shield.name = "badge";
    shield.material = "gold";
    const std::vector<Vector3> outerFront = shieldOutline(-rimDepth);
    const std::vector<Vector3> outerBack = shieldOutline(rimDepth);
    addWalls(shield, outerFront, outerBack, shieldMiddle, true);
    for (const float side : faceSides) {
        const Vector3 facing{0, 0, side};
        const std::vector<Vector3>& outer = side < 0 ? outerFront : outerBack;
        const std::vector<Vector3> field = scaledAbout(outer, shieldMiddle, rimInset, side * fieldDepth);
        for (size_t i = 0; i < outer.size(); ++i) {  // the rim's slope
            const size_t j = (i + 1) % outer.size();
            shield.addPolygon({outer[i], outer[j], field[j], field[i]}, facing);
        }
        addPolygonInBands(shield, field, facing, badgeBandHeight);
    }
    return shield;
}

Mesh buildStar() {
    Mesh star;
    star.name = "star";
    star.material = "silver";
    for (const float side : faceSides) {
        std::vector<Vector3> outline;
        for (int k = 0; k < 10; ++k) {
            const float angle = pi / 2 + k * pi / 5;
            const float r = k % 2 ? starInner : starOuter;
            outline.push_back(
                {starCentre.x + r * std::cos(angle), starCentre.y + r * std::sin(angle), side * fieldDepth});
        }
        // Two facets per point rising from the field to the apex, a cut-glass
        // star; a hidden underside on the field makes it a closed solid.
        const Vector3 apex{starCentre.x, starCentre.y, side * starApexDepth};
        const Vector3 underside{starCentre.x, starCentre.y, side * fieldDepth};
        for (size_t i = 0; i < outline.size(); ++i) {
            const size_t j = (i + 1) % outline.size();
            star.addPolygon({apex, outline[i], outline[j]}, {0, 0, side});
            star.addPolygon({underside, outline[i], outline[j]}, {0, 0, -side});
        }
    }
    return star;
}

Mesh buildPlate() {
    Mesh plate;
    plate.name = "plate";
    plate.material = "enamel";
    plate.addBox({-plateHalfWidth, plateBottom, -plateDepth}, {plateHalfWidth, plateTop, -fieldDepth}, 0, 0);
    plate.addBox({-plateHalfWidth, plateBottom, fieldDepth}, {plateHalfWidth, plateTop, plateDepth}, 0, 0);
    return plate;
}

ModelMaterial material(const char* name, unsigned char r, unsigned char g, unsigned char b) {
    ModelMaterial m;
    m.name = name;
    m.colour[0] = r;
    m.colour[1] = g;
    m.colour[2] = b;
    return m;
}

}  // namespace

ModelFile buildBadge() {
    ModelFile file;
    file.materials = {material("gold", 214, 168, 40), material("silver", 205, 208, 216),
                      material("enamel", 28, 52, 140)};
    file.meshes = {buildShield(), buildStar(), buildPlate()};
    for (Mesh& mesh : file.meshes) sliceAlongY(mesh, badgeBandHeight);
    return file;
}
