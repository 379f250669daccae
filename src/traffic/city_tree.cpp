// city_tree.cpp -- the kd-tree over the city: built once from the block
// layout, walked by every rendering pass with a frustum test, and the home
// of each car in the node it currently drives through.
#include "traffic/city_tree.h"

#include <algorithm>
#include <utility>

#include "app/globals.h"
#include "city/city.h"
#include "city/city_drawing.h"
#include "render/quad_batch.h"
#include "traffic/vehicle.h"

namespace {
constexpr float treeTopY = 5.0f;  // the tallest building is 5.0
enum FrustumResult { outside = 0, inside = 1, intersecting = 2 };

// Sends opaque pieces in the order given, in as few driver calls as it
// can: runs of pieces that come as quads (buildings, tiles) gather in the
// caller's batch and go in one draw each, the same quads in the same order,
// instead of one or two calls per object; a change of texture, or a piece
// drawn by itself, ends a run. The last run goes with flush().
class PieceSender {
public:
    PieceSender(bool textured, QuadBatch& run) : textured(textured), run(run) { run.clear(); }

    void draw(Drawable* object, int piece, unsigned texture) {
        if (const QuadBatch* quads = object->opaquePieceQuads(piece)) {
            if (texture != runTexture) flush();
            runTexture = texture;
            run.append(*quads);
            return;
        }
        flush();
        object->drawOpaquePiece(piece, textured);
    }
    // Sends what is gathered so far: before something is drawn some other
    // way, and after the last piece.
    void flush() {
        if (run.empty()) return;
        drawCityQuads(run, runTexture, textured);
        run.clear();
    }

private:
    bool textured;
    QuadBatch& run;
    unsigned runTexture = 0;
};

bool comesAsQuads(Drawable* object) {
    for (int p = 0; p < object->opaquePieceCount(); ++p) {
        if (!object->opaquePieceQuads(p)) return false;
    }
    return true;
}
}  // namespace

bool CityTreeNode::cullingEnabled = true;

FrustumPlanes frustumPlanes(const Matrix4& matrix) {
    const float* r0 = matrix.row(0);
    const float* r1 = matrix.row(1);
    const float* r2 = matrix.row(2);
    const float* r3 = matrix.row(3);
    FrustumPlanes planes;
    for (int i = 0; i < 4; ++i) {
        planes.plane[0][i] = r3[i] + r0[i];  // left
        planes.plane[1][i] = r3[i] - r0[i];  // right
        planes.plane[2][i] = r3[i] - r1[i];  // top
        planes.plane[3][i] = r3[i] + r1[i];  // bottom
        planes.plane[4][i] = r3[i] + r2[i];  // near
    }
    return planes;
}

CityTreeNode::CityTreeNode(float minX, float maxX, float minZ, float maxZ)
    : min(minX, 0, minZ), max(maxX, treeTopY, maxZ) {}

CityTreeNode::~CityTreeNode() {
    delete low;
    delete high;
}

CityTreeNode::CityTreeNode(CityTreeNode&& other) noexcept { *this = std::move(other); }

CityTreeNode& CityTreeNode::operator=(CityTreeNode&& other) noexcept {
    if (this == &other) return *this;
    delete low;
    delete high;
    low = other.low;
    high = other.high;
    other.low = other.high = nullptr;
    min = other.min;
    max = other.max;
    axis = other.axis;
    split = other.split;
    objects = std::move(other.objects);
    holdsObjects = other.holdsObjects;
    return *this;
}

void CityTreeNode::build(City& city) {
    split = city.splitCoordinate(min.x, max.x, min.z, max.z, axis, objects);
    if (!objects.empty()) holdsObjects = true;
    if (!isValidCoordinate(split)) {
        axis = -axis;
        split = city.splitCoordinate(min.x, max.x, min.z, max.z, axis, objects);
        if (!isValidCoordinate(split)) {
            city.collectBuildings(min.x, max.x, min.z, max.z, objects);
            return;
        }
    }
    if (axis == -1) {
        low = new CityTreeNode(min.x, split, min.z, max.z);
        high = new CityTreeNode(split, max.x, min.z, max.z);
    } else {
        low = new CityTreeNode(min.x, max.x, min.z, split);
        high = new CityTreeNode(min.x, max.x, split, max.z);
    }
    low->axis = -axis;
    high->axis = -axis;
    low->build(city);
    high->build(city);
}

int CityTreeNode::frustumTest(Matrix4 matrix) const { return frustumTest(frustumPlanes(matrix)); }

int CityTreeNode::frustumTest(const FrustumPlanes& planes) const {
    bool crossesAPlane = false;
    for (const float* p : planes.plane) {
        // The box corner farthest along the plane's normal, then the nearest.
        const float farthest = p[0] * (p[0] > 0 ? max.x : min.x) + p[1] * (p[1] > 0 ? max.y : min.y) +
                               p[2] * (p[2] > 0 ? max.z : min.z);
        if (farthest + p[3] < 0) return outside;
        const float nearest = p[0] * (p[0] > 0 ? min.x : max.x) + p[1] * (p[1] > 0 ? min.y : max.y) +
                              p[2] * (p[2] > 0 ? min.z : max.z);
        if (nearest + p[3] <= 0) crossesAPlane = true;
    }
    return crossesAPlane ? intersecting : inside;
}

template <typename Visit>
void CityTreeNode::forEachFarSideFirst(const FrustumPlanes& planes, const Vector3& viewer,
                                       const Visit& visit) {
    if (cullingEnabled && frustumTest(planes) == outside) return;
    if (low && high) {
        CityTreeNode* nearer = nearerChild(viewer);
        otherChild(nearer)->forEachFarSideFirst(planes, viewer, visit);
        nearer->forEachFarSideFirst(planes, viewer, visit);
    }
    for (Drawable* object : objects) visit(object);
}

void CityTreeNode::drawVisible(bool textured, const FrustumPlanes& planes, const Vector3& viewer) {
    forEachFarSideFirst(planes, viewer, [textured](Drawable* object) {
        objectsDrawn += 1;
        object->draw(textured);
    });
}

CityTreeNode* CityTreeNode::nearerChild(const Vector3& p) const {
    return split <= (axis == -1 ? p.x : p.z) ? high : low;
}

CityTreeNode* CityTreeNode::otherChild(const CityTreeNode* child) const { return child == low ? high : low; }

void CityTreeNode::collectOpaqueNearFirst(const FrustumPlanes& planes, const Vector3& eye,
                                          std::vector<Drawable*>& out) {
    if (cullingEnabled && frustumTest(planes) == outside) return;
    if (low && high) {
        CityTreeNode* nearer = nearerChild(eye);
        nearer->collectOpaqueNearFirst(planes, eye, out);
        otherChild(nearer)->collectOpaqueNearFirst(planes, eye, out);
    }
    out.insert(out.end(), objects.rbegin(), objects.rend());
}

void CityTreeNode::gatherOpaqueNearFirst(const FrustumPlanes& planes, const Vector3& eye,
                                         std::vector<Drawable*>& visible) {
    visible.clear();
    collectOpaqueNearFirst(planes, eye, visible);
    objectsDrawn += static_cast<int>(visible.size());
}

void CityTreeNode::drawNearFirst(bool textured, const FrustumPlanes& planes, const Vector3& eye,
                                 const Vector3& viewer, PassBuffers& buffers) {
    gatherOpaqueNearFirst(planes, eye, buffers.visible);
    // Without textures every building and tile of the pass joins one run.
    PieceSender sender(textured, buffers.run);
    for (Drawable* object : buffers.visible) {
        if (comesAsQuads(object)) {
            for (int p = 0; p < object->opaquePieceCount(); ++p)
                sender.draw(object, p, textured ? object->opaquePieceTexture(p) : 0);
        } else {
            sender.flush();
            object->drawOpaque(textured);
        }
    }
    sender.flush();
    drawBlendedFarSideFirst(textured, planes, viewer);
}

void CityTreeNode::drawGroupedByTexture(bool textured, const FrustumPlanes& planes, const Vector3& eye,
                                        const Vector3& viewer, PassBuffers& buffers) {
    gatherOpaqueNearFirst(planes, eye, buffers.visible);
    std::vector<PassBuffers::Piece>& pieces = buffers.pieces;
    pieces.clear();
    for (Drawable* object : buffers.visible) {
        for (int p = 0; p < object->opaquePieceCount(); ++p)
            pieces.push_back({object->opaquePieceRank(p), object->opaquePieceTexture(p), p, object});
    }
    std::stable_sort(pieces.begin(), pieces.end(),
                     [](const PassBuffers::Piece& a, const PassBuffers::Piece& b) {
                         return a.rank != b.rank ? a.rank < b.rank : a.texture < b.texture;
                     });
    PieceSender sender(textured, buffers.run);
    for (const PassBuffers::Piece& p : pieces) sender.draw(p.object, p.piece, p.texture);
    sender.flush();
    drawBlendedFarSideFirst(textured, planes, viewer);
}

void CityTreeNode::drawBlendedFarSideFirst(bool textured, const FrustumPlanes& planes,
                                           const Vector3& viewer) {
    forEachFarSideFirst(planes, viewer, [textured](Drawable* object) { object->drawBlended(textured); });
}

void CityTreeNode::insertVehicle(Vehicle* car) {
    // A car that no node takes (off the city for a moment) has no node, so
    // that coming back into the node it had lists it there again.
    car->treeNode = nullptr;
    if (holdsObjects) {
        car->treeNode = this;
        objects.push_back(car);
        return;
    }
    if (low && low->contains(car->position)) low->insertVehicle(car);
    if (high && high->contains(car->position)) high->insertVehicle(car);
}

bool CityTreeNode::contains(const Vector3& p) const {
    return min.x <= p.x && p.x < max.x && min.y <= p.y && p.y < max.y && min.z <= p.z && p.z < max.z;
}
