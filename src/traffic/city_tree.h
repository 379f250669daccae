// city_tree.h -- the kd-tree through which the city and its cars are culled
// and drawn. Boxes are min <= p < max on each axis; y spans 0..5.
#pragma once

#include <vector>

#include "city/drawable.h"
#include "render/quad_batch.h"
#include "render/vector_math.h"

class City;
class Vehicle;

// The five culling planes of a projection x view matrix (left, right,
// top, bottom, near; no far plane), each (nx, ny, nz, w) with the inside
// where nx x + ny y + nz z + w >= 0.
struct FrustumPlanes {
    float plane[5][4];
};
FrustumPlanes frustumPlanes(const Matrix4& matrix);

// What a near-first pass gathers: the objects in view, their opaque pieces
// and the run of quads being sent. Kept by the caller from pass to pass, so
// that a frame allocates nothing.
struct PassBuffers {
    struct Piece {
        Drawable::PieceRank rank;
        unsigned texture;
        int piece;
        Drawable* object;
    };
    std::vector<Drawable*> visible;
    std::vector<Piece> pieces;
    QuadBatch run;
};

class CityTreeNode {
public:
    CityTreeNode() = default;
    CityTreeNode(float minX, float maxX, float minZ, float maxZ);
    // A node owns its two children: it is moved (the children go along),
    // never copied. The objects it lists are not its own.
    ~CityTreeNode();
    CityTreeNode(const CityTreeNode&) = delete;
    CityTreeNode& operator=(const CityTreeNode&) = delete;
    CityTreeNode(CityTreeNode&& other) noexcept;
    CityTreeNode& operator=(CityTreeNode&& other) noexcept;

    void build(City& city);
    // One rendering pass: culls against cullMatrix, counting objectsDrawn.
    // Opaque things go nearest the camera first, so that hidden surfaces
    // fail the depth test before they are textured and lit, then what blends
    // (smoke) far side first as seen from the helicopter. With
    // designDrawOrder everything is drawn in one walk, far side first.
    void draw(bool textured);
    // The one walk with the planes and the viewer given: children are drawn
    // far side first as seen from viewer, each node's objects after them.
    void drawVisible(bool textured, const FrustumPlanes& planes, const Vector3& viewer);
    // The two walks with the planes given: every object's opaque part, the
    // nearer child first as seen from eye and each node's objects after its
    // children in reverse order (what stands on the ground before the
    // ground: a node lists its tiles first); then every object's blended
    // part in the order of drawVisible from viewer. Buildings and tiles go
    // to the driver in runs (Drawable::opaquePieceQuads), one draw per run.
    void drawNearFirst(bool textured, const FrustumPlanes& planes, const Vector3& eye, const Vector3& viewer,
                       PassBuffers& buffers);
    // The same for the textured pass, which binds a texture per piece of
    // each object: the opaque pieces (Drawable::drawOpaquePiece) are drawn
    // by rank (Drawable::PieceRank), those of one rank and texture together,
    // nearest first within them, the buildings' and tiles' in one draw per
    // texture, so that the GL driver changes textures and draws a few dozen
    // times a pass instead of twice per building. The objects and their
    // count are those of drawNearFirst.
    void drawGroupedByTexture(bool textured, const FrustumPlanes& planes, const Vector3& eye,
                              const Vector3& viewer, PassBuffers& buffers);
    // 0 outside, 1 inside, 2 intersecting; five planes, no far plane.
    int frustumTest(Matrix4 matrix) const;
    int frustumTest(const FrustumPlanes& planes) const;
    // Stores the car in the first node on its way down that holds objects;
    // a car that none takes is listed nowhere and its treeNode is null.
    void insertVehicle(Vehicle* car);
    bool contains(const Vector3& p) const;  // min <= p < max on every axis

    // Off: every node counts as visible (to measure what culling saves).
    static bool cullingEnabled;

    CityTreeNode* low = nullptr;   // owned
    CityTreeNode* high = nullptr;  // owned
    Vector3 min{0, 0, 0};
    Vector3 max{0, 5.0f, 0};
    int axis = -1;  // -1 splits along x, +1 along z
    float split = 0;
    std::vector<Drawable*> objects;  // not owned
    bool holdsObjects = false;

private:
    // The child on p's side of the split, and the child that is not c.
    CityTreeNode* nearerChild(const Vector3& p) const;
    CityTreeNode* otherChild(const CityTreeNode* c) const;
    // Every opaque object in view into visible, nearest first, counted as drawn.
    void gatherOpaqueNearFirst(const FrustumPlanes& planes, const Vector3& eye,
                               std::vector<Drawable*>& visible);
    void collectOpaqueNearFirst(const FrustumPlanes& planes, const Vector3& eye, std::vector<Drawable*>& out);
    void drawBlendedFarSideFirst(bool textured, const FrustumPlanes& planes, const Vector3& viewer);
    // The far-side-first walk both of those make: visit(object) for every
    // object of a node in view, children far side first as seen from
    // viewer, each node's objects after its children.
    template <typename Visit>
    void forEachFarSideFirst(const FrustumPlanes& planes, const Vector3& viewer, const Visit& visit);
};
