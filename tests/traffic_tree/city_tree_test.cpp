// The city's spatial tree: its build over many cities, the frustum test
// against a brute-force reference, the drawing order and count, and where
// cars are kept.
#include "traffic/city_tree.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <set>
#include <type_traits>
#include <utility>
#include <vector>

#include "app/camera.h"
#include "app/globals.h"
#include "app/random.h"
#include "city/city.h"
#include "helicopter/helicopter.h"
#include "traffic/vehicle.h"
#include "tree_test_support.h"

namespace {

constexpr int seedsToCheck = 1000;

struct TreeCounts {
    int nodes = 0;
    std::map<const Drawable*, int> listings;
};

// Structural invariants of every node; fills how often each object is listed.
void checkNode(const CityTreeNode& node, TreeCounts& counts) {
    ++counts.nodes;
    for (const Drawable* d : node.objects) {
        ++counts.listings[d];
        // Culling a node's box must never hide one of its objects.
        const Box box = boxOf(d);
        EXPECT_GE(box.min.x, node.min.x - 0.002f);
        EXPECT_LE(box.max.x, node.max.x + 0.002f);
        EXPECT_GE(box.min.z, node.min.z - 0.002f);
        EXPECT_LE(box.max.z, node.max.z + 0.002f);
        EXPECT_LE(box.max.y, node.max.y);
    }
    ASSERT_EQ(node.low == nullptr, node.high == nullptr) << "a node with one child";
    if (!node.low) return;
    const CityTreeNode& low = *node.low;
    const CityTreeNode& high = *node.high;
    // axis -1 splits along x, otherwise along z.
    const auto along = [&](const Vector3& v) { return node.axis == -1 ? v.x : v.z; };
    const auto across = [&](const Vector3& v) { return node.axis == -1 ? v.z : v.x; };
    EXPECT_EQ(along(low.min), along(node.min));
    EXPECT_EQ(along(low.max), node.split);
    EXPECT_EQ(along(high.min), node.split);
    EXPECT_EQ(along(high.max), along(node.max));
    EXPECT_EQ(across(low.min), across(node.min));
    EXPECT_EQ(across(high.max), across(node.max));
    EXPECT_LT(low.min[node.axis == -1 ? 0 : 2], node.split);
    EXPECT_LT(node.split, high.max[node.axis == -1 ? 0 : 2]);
    checkNode(low, counts);
    checkNode(high, counts);
}

// Over many cities every tile and every building is listed in exactly one
// node, inside that node's box, and nothing else is listed.
TEST(CityTreeBuildTest, EveryObjectInExactlyOneNodeOverManySeeds) {
    for (std::uint32_t seed = 1; seed <= seedsToCheck; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        auto city = generatedCity(seed);
        CityTreeNode root(-50, 50, -50, 50);
        testing::internal::CaptureStderr();
        root.build(*city);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "")
            << "the build asked about a rectangle off the grid";
        TreeCounts counts;
        checkNode(root, counts);
        size_t expected = 625 + static_cast<size_t>(city->buildingCount);
        EXPECT_EQ(counts.listings.size(), expected);
        for (int r = 0; r < 25; ++r)
            for (int c = 0; c < 25; ++c)
                EXPECT_EQ(counts.listings[&city->tiles[r][c]], 1) << "tile " << r << "," << c;
        for (int i = 0; i < city->buildingCount; ++i)
            EXPECT_EQ(counts.listings[city->buildings[i]], 1) << "building " << i;
        if (HasFailure()) return;
    }
}

// Nodes that got the city's tiles are the ones that hold objects; every leaf
// lies inside one block.
TEST(CityTreeBuildTest, TileNodesHoldObjects) {
    auto city = generatedCity(17);
    CityTreeNode root(-50, 50, -50, 50);
    root.build(*city);
    int holders = 0;
    forEachNode(root, [&](const CityTreeNode& node) {
        bool hasTile = false;
        for (const Drawable* d : node.objects) hasTile |= dynamic_cast<const GroundTile*>(d) != nullptr;
        EXPECT_EQ(node.holdsObjects, hasTile);
        holders += node.holdsObjects;
    });
    EXPECT_EQ(holders, city->columnGroupCount * city->rowGroupCount) << "one holder per block";
}

// Looking down -z from the origin with near 1.5: a box behind the near plane
// is out, a box a hundred thousand units ahead is in (no far plane), one
// across an edge intersects and one in the middle is inside.
TEST(CityTreeFrustumTest, NearPlaneCullsAndNoFarPlane) {
    const Matrix4 projection = frustumMatrix(-1, 1, -1, 1, 1.5f, 400);
    EXPECT_EQ(boxNode({-1, -1, -1.4f}, {1, 1, -0.1f}).frustumTest(projection), 0)
        << "between the eye and the near plane";
    EXPECT_EQ(boxNode({-1, -1, 2}, {1, 1, 9}).frustumTest(projection), 0) << "behind the eye";
    EXPECT_EQ(boxNode({-1, -1, -100010}, {1, 1, -100000}).frustumTest(projection), 1) << "far ahead";
    EXPECT_EQ(boxNode({-1, -1, -20}, {1, 1, -10}).frustumTest(projection), 1);
    EXPECT_EQ(boxNode({5, -1, -3}, {9, 1, -2}).frustumTest(projection), 0) << "right of the right plane";
    EXPECT_EQ(boxNode({-1, -1, -3}, {5, 1, -2}).frustumTest(projection), 2) << "across the right plane";
    EXPECT_EQ(boxNode({-1, -1, -3}, {1, 1, 0}).frustumTest(projection), 2) << "across the near plane";
}

// The corner shortcut answers what testing all eight corners answers.
TEST(CityTreeFrustumTest, AgreesWithTestingEveryCorner) {
    std::mt19937 random(11);
    int seen[3] = {};
    for (int i = 0; i < 20000; ++i) {
        const Matrix4 m = randomViewProjection(random);
        const CityTreeNode node = randomBox(random);
        const int expected = bruteForceFrustumTest(node, m);
        ASSERT_EQ(node.frustumTest(m), expected) << "case " << i;
        ++seen[expected];
    }
    // The random cases reach all three answers.
    EXPECT_GT(seen[0], 100);
    EXPECT_GT(seen[1], 100);
    EXPECT_GT(seen[2], 100);
}

// A tree of a root split at x = 0 (or z = 0) with one recorded object per child.
class DrawOrderTest : public testing::Test {
protected:
    void build(int axis) {
        root = CityTreeNode(-50, 50, -50, 50);
        root.axis = axis;
        root.split = 0;
        root.low = axis == -1 ? new CityTreeNode(-50, 0, -50, 50) : new CityTreeNode(-50, 50, -50, 0);
        root.high = axis == -1 ? new CityTreeNode(0, 50, -50, 50) : new CityTreeNode(-50, 50, 0, 50);
        root.low->objects.push_back(&lowObject);
        root.high->objects.push_back(&highObject);
        root.objects.push_back(&rootObject);
    }
    void TearDown() override {
        delete root.low;
        delete root.high;
        root.low = root.high = nullptr;
        RecordingDrawable::clearLogs();
        designDrawOrder = false;
    }
    std::vector<const Drawable*> drawnFrom(Vector3 viewer, const FrustumPlanes& planes = everythingInside()) {
        RecordingDrawable::log.clear();
        root.drawVisible(true, planes, viewer);
        return RecordingDrawable::log;
    }

    CityTreeNode root;
    RecordingDrawable lowObject, highObject, rootObject;
};

// The far side comes first; a viewer exactly on the split draws low first.
TEST_F(DrawOrderTest, FarSideFirstAndTheSplitItselfCountsAsHigh) {
    build(-1);
    using V = std::vector<const Drawable*>;
    EXPECT_EQ(drawnFrom({0, 9, 0}), (V{&lowObject, &highObject, &rootObject})) << "on the split";
    EXPECT_EQ(drawnFrom({10, 9, 0}), (V{&lowObject, &highObject, &rootObject}));
    EXPECT_EQ(drawnFrom({-0.01f, 9, 0}), (V{&highObject, &lowObject, &rootObject}));
    EXPECT_EQ(drawnFrom({-10, 9, 30}), (V{&highObject, &lowObject, &rootObject})) << "z does not matter";
}

TEST_F(DrawOrderTest, ZSplitOrdersByTheViewersZ) {
    build(1);
    using V = std::vector<const Drawable*>;
    EXPECT_EQ(drawnFrom({-40, 9, 0}), (V{&lowObject, &highObject, &rootObject}));
    EXPECT_EQ(drawnFrom({40, 9, -5}), (V{&highObject, &lowObject, &rootObject}));
}

// Each object drawn adds one to objectsDrawn; a culled subtree adds nothing.
TEST_F(DrawOrderTest, CountsDrawnObjectsAndSkipsCulledSubtrees) {
    build(-1);
    objectsDrawn = 0;
    drawnFrom({0, 9, 0});
    EXPECT_EQ(objectsDrawn, 3);
    // Only x >= 1 is inside: the low child (x < 0) is culled.
    FrustumPlanes onlyHighX = everythingInside();
    onlyHighX.plane[0][0] = 1;
    onlyHighX.plane[0][3] = -1;
    objectsDrawn = 0;
    using V = std::vector<const Drawable*>;
    EXPECT_EQ(drawnFrom({0, 9, 0}, onlyHighX), (V{&highObject, &rootObject}));
    EXPECT_EQ(objectsDrawn, 2);
    // With culling switched off everything is drawn again.
    CityTreeNode::cullingEnabled = false;
    objectsDrawn = 0;
    drawnFrom({0, 9, 0}, onlyHighX);
    CityTreeNode::cullingEnabled = true;
    EXPECT_EQ(objectsDrawn, 3);
}

// The pass entry point culls with cullMatrix and, in the plain order,
// orders from the helicopter.
TEST_F(DrawOrderTest, PassUsesCullMatrixAndTheHelicopter) {
    designDrawOrder = true;
    build(-1);
    using V = std::vector<const Drawable*>;
    const Vector3 savedPosition = helicopter.position;
    const Matrix4 savedCull = cullMatrix;
    cullMatrix = Matrix4();  // identity: the unit cube around the origin
    helicopter.position = Vector3(0, 9, 0);
    RecordingDrawable::log.clear();
    root.draw(true);
    EXPECT_EQ(RecordingDrawable::log, (V{&lowObject, &highObject, &rootObject}));
    helicopter.position = Vector3(-3, 9, 0);
    RecordingDrawable::log.clear();
    root.draw(false);
    EXPECT_EQ(RecordingDrawable::log, (V{&highObject, &lowObject, &rootObject}));
    EXPECT_EQ(RecordingDrawable::lastTextured, false);
    // A view far off to the side culls the whole tree.
    cullMatrix = Matrix4::translation(Vector3(1000, 0, 0));
    RecordingDrawable::log.clear();
    root.draw(true);
    EXPECT_TRUE(RecordingDrawable::log.empty());
    helicopter.position = savedPosition;
    cullMatrix = savedCull;
}

// The near-first walk: opaque parts with the nearer child first and each
// node's own objects after its children, last listed first (a node lists
// its ground before what stands on it); then the blended parts in exactly
// the plain order. Both walks cull alike and the count is one per object.
TEST_F(DrawOrderTest, NearFirstDrawsOpaqueNearestFirstAndBlendedInThePlainOrder) {
    build(-1);
    RecordingDrawable groundObject;
    root.low->objects.insert(root.low->objects.begin(), &groundObject);  // listed first, as tiles are
    using V = std::vector<const Drawable*>;
    const auto nearFirst = [&](const Vector3& eye, const Vector3& viewer, const FrustumPlanes& planes) {
        RecordingDrawable::clearLogs();
        objectsDrawn = 0;
        PassBuffers buffers;
        root.drawNearFirst(true, planes, eye, viewer, buffers);
    };
    // Eye on the low side, helicopter on the high side: the two orders
    // differ, and only the opaque one follows the eye.
    nearFirst({-10, 9, 0}, {10, 9, 0}, everythingInside());
    EXPECT_TRUE(RecordingDrawable::log.empty()) << "nothing drawn whole";
    EXPECT_EQ(objectsDrawn, 4);
    EXPECT_EQ(RecordingDrawable::opaqueLog, (V{&lowObject, &groundObject, &highObject, &rootObject}));
    const V blended = RecordingDrawable::blendedLog;
    EXPECT_EQ(blended, drawnFrom({10, 9, 0}));
    // An eye exactly on the split is on the high side, as in the plain order.
    nearFirst({0, 9, 0}, {0, 9, 0}, everythingInside());
    EXPECT_EQ(RecordingDrawable::opaqueLog, (V{&highObject, &lowObject, &groundObject, &rootObject}));
    EXPECT_EQ(RecordingDrawable::blendedLog, (V{&groundObject, &lowObject, &highObject, &rootObject}));
    // A culled child is skipped by both walks.
    FrustumPlanes onlyHighX = everythingInside();
    onlyHighX.plane[0][0] = 1;
    onlyHighX.plane[0][3] = -1;
    nearFirst({-10, 9, 0}, {-10, 9, 0}, onlyHighX);
    EXPECT_EQ(RecordingDrawable::opaqueLog, (V{&highObject, &rootObject}));
    EXPECT_EQ(RecordingDrawable::blendedLog, (V{&highObject, &rootObject}));
    EXPECT_EQ(objectsDrawn, 2);
}

// The game's pass walks near first from the camera; the switch brings back
// the plain order.
TEST_F(DrawOrderTest, PassDrawsNearFirstFromTheCameraUnlessSwitched) {
    build(-1);
    using V = std::vector<const Drawable*>;
    const Vector3 savedPosition = helicopter.position;
    const Vector3 savedEye = camera.eye;
    const Matrix4 savedCull = cullMatrix;
    cullMatrix = Matrix4();
    helicopter.position = Vector3(10, 9, 0);
    camera.eye = Vector3(-10, 14, 0);
    RecordingDrawable::clearLogs();
    root.draw(true);
    EXPECT_EQ(RecordingDrawable::opaqueLog, (V{&lowObject, &highObject, &rootObject}));
    EXPECT_EQ(RecordingDrawable::blendedLog, (V{&lowObject, &highObject, &rootObject}));
    designDrawOrder = true;
    RecordingDrawable::clearLogs();
    root.draw(true);
    EXPECT_EQ(RecordingDrawable::log, (V{&lowObject, &highObject, &rootObject}));
    EXPECT_TRUE(RecordingDrawable::opaqueLog.empty());
    helicopter.position = savedPosition;
    camera.eye = savedEye;
    cullMatrix = savedCull;
}

// An object in two pieces (a roof and walls) with a texture each.
class PieceDrawable : public Drawable {
public:
    PieceDrawable(unsigned first, unsigned second) : textures{first, second} {}
    void draw(bool /*textured*/) override { ++drawnWhole; }
    int opaquePieceCount() const override { return 2; }
    unsigned opaquePieceTexture(int piece) const override { return textures[piece]; }
    PieceRank opaquePieceRank(int piece) const override {
        return piece == 0 ? PieceRank::roof : PieceRank::wall;
    }
    void drawOpaquePiece(int piece, bool /*textured*/) override { pieceLog.emplace_back(this, piece); }
    unsigned textures[2];
    int drawnWhole = 0;
    static inline std::vector<std::pair<const Drawable*, int>> pieceLog;
};

// With many objects in view the textured pass draws the pieces by rank,
// roofs before walls whatever their textures' names, and those of one
// texture together, nearest first within one texture; the same objects are
// counted, what blends keeps its order, and the searchlight pass (no
// textures) still draws each object whole, nearest first.
TEST_F(DrawOrderTest, ManyObjectsInViewDrawTheirPiecesGroupedByTexture) {
    build(-1);
    std::vector<std::unique_ptr<PieceDrawable>> buildings;
    for (int i = 0; i < 450; ++i) {
        buildings.push_back(std::make_unique<PieceDrawable>(i % 2 ? 3u : 2u, 1u));
        (i < 225 ? root.low : root.high)->objects.push_back(buildings.back().get());
    }
    const Vector3 savedPosition = helicopter.position;
    const Vector3 savedEye = camera.eye;
    const Matrix4 savedCull = cullMatrix;
    cullMatrix = Matrix4();
    helicopter.position = Vector3(10, 9, 0);
    camera.eye = Vector3(-10, 14, 0);  // the low side is nearer

    std::vector<const PieceDrawable*> nearest;  // each node's list backwards, low node first
    for (int i = 224; i >= 0; --i) nearest.push_back(buildings[static_cast<size_t>(i)].get());
    for (int i = 449; i >= 225; --i) nearest.push_back(buildings[static_cast<size_t>(i)].get());
    std::vector<std::pair<const Drawable*, int>> expected;
    for (const unsigned texture : {2u, 3u})
        for (const PieceDrawable* b : nearest)
            if (b->textures[0] == texture) expected.emplace_back(b, 0);
    for (const PieceDrawable* b : nearest) expected.emplace_back(b, 1);

    RecordingDrawable::clearLogs();
    PieceDrawable::pieceLog.clear();
    objectsDrawn = 0;
    root.draw(true);
    EXPECT_EQ(objectsDrawn, 453);
    using V = std::vector<const Drawable*>;
    // The ones that draw themselves come first, nearest first.
    EXPECT_EQ(RecordingDrawable::opaqueLog, (V{&lowObject, &highObject, &rootObject}));
    EXPECT_EQ(RecordingDrawable::blendedLog, (V{&lowObject, &highObject, &rootObject}));
    EXPECT_TRUE(PieceDrawable::pieceLog == expected) << "pieces out of texture groups or out of order";
    for (const auto& b : buildings) EXPECT_EQ(b->drawnWhole, 0);

    PieceDrawable::pieceLog.clear();
    objectsDrawn = 0;
    root.draw(false);
    EXPECT_EQ(objectsDrawn, 453);
    EXPECT_TRUE(PieceDrawable::pieceLog.empty());
    for (const auto& b : buildings) EXPECT_EQ(b->drawnWhole, 1);

    helicopter.position = savedPosition;
    camera.eye = savedEye;
    cullMatrix = savedCull;
    root.low->objects.clear();
    root.high->objects.clear();
}

// Boxes include their low faces and exclude their high faces.
TEST(CityTreeContainsTest, LowFacesInHighFacesOut) {
    const CityTreeNode root(-50, 50, -50, 50);
    EXPECT_TRUE(root.contains({-50, 0, -50}));
    EXPECT_FALSE(root.contains({50, 0.2f, 0})) << "x = 50 is past the city";
    EXPECT_FALSE(root.contains({0, 0.2f, 50}));
    EXPECT_FALSE(root.contains({0, 5, 0})) << "the top face";
    EXPECT_FALSE(root.contains({0, -0.01f, 0}));
    EXPECT_TRUE(root.contains({49.999f, 4.999f, 49.999f}));
}

// A second generate of the game's city frees the first city's buildings and
// cars: the tree that listed them goes first, and the tree built anew, as
// start-up builds it, lists only objects of the new city.
TEST(CityTreeLifetimeTest, RegeneratingTheCityLeavesNoFreedObjectInTheTree) {
    city.glObjectsEnabled = false;
    const auto buildGameTree = [] {
        cityTree = new CityTreeNode(-50, 50, -50, 50);
        cityTree->build(city);
        city.insertVehiclesIntoTree();
    };
    setFixedSeed(3);
    city.generate();
    buildGameTree();
    ASSERT_FALSE(city.vehicles.empty());

    setFixedSeed(4);
    city.generate();
    clearFixedSeed();
    EXPECT_EQ(cityTree, nullptr) << "the old tree still lists the freed buildings and cars";
    if (cityTree) return;  // do not touch what it lists

    buildGameTree();
    std::set<const Drawable*> live;
    for (int i = 0; i < city.buildingCount; ++i) live.insert(city.buildings[i]);
    for (auto& row : city.tiles)
        for (const GroundTile& tile : row) live.insert(&tile);
    for (const Vehicle* car : city.vehicles) live.insert(car);
    size_t listed = 0;
    forEachNode(*cityTree, [&](const CityTreeNode& node) {
        for (const Drawable* d : node.objects) {
            EXPECT_EQ(live.count(d), 1u) << "an object not of the new city";
            ++listed;
        }
    });
    EXPECT_GE(listed, 625 + static_cast<size_t>(city.buildingCount));

    city.releaseTree();
    EXPECT_EQ(cityTree, nullptr);
    city.releaseVehicles();
}

// A node owns its children: never copied, and moving one hands them over.
static_assert(!std::is_copy_constructible_v<CityTreeNode> && !std::is_copy_assignable_v<CityTreeNode>,
              "a copy would free the children twice");
TEST(CityTreeLifetimeTest, MovingANodeHandsItsChildrenOver) {
    auto c = generatedCity(8);
    CityTreeNode root(-50, 50, -50, 50);
    root.build(*c);
    CityTreeNode* const low = root.low;
    ASSERT_NE(low, nullptr);
    CityTreeNode moved(std::move(root));
    EXPECT_EQ(moved.low, low);
    EXPECT_EQ(root.low, nullptr);
    EXPECT_EQ(root.high, nullptr);
    CityTreeNode other(-50, 50, -50, 50);
    other = std::move(moved);  // other had no children; moved's pass over
    EXPECT_EQ(other.low, low);
    EXPECT_EQ(moved.low, nullptr);
    // Destroying other frees the whole tree: the sanitized build reports
    // any node left behind.
}

// Cars go to the node holding objects that contains them; a car at x = 50 is
// kept nowhere and has no node.
TEST(CityTreeCarsTest, InsertedCarsLandInTheirHoldingNode) {
    auto city = generatedCity(99);
    CityTreeNode root(-50, 50, -50, 50);
    root.build(*city);
    Vehicle car;
    car.position = Vector3(city->streetX[0], 0.2f, city->streetZ[0] - 10);
    root.insertVehicle(&car);
    ASSERT_NE(car.treeNode, nullptr);
    EXPECT_TRUE(car.treeNode->holdsObjects);
    EXPECT_TRUE(car.treeNode->contains(car.position));
    int listed = 0;
    forEachNode(root, [&](const CityTreeNode& node) {
        for (const Drawable* d : node.objects) listed += d == &car;
    });
    EXPECT_EQ(listed, 1);

    Vehicle edge;
    CityTreeNode* const previous = car.treeNode;
    edge.treeNode = previous;
    edge.position = Vector3(50, 0.2f, 0);
    root.insertVehicle(&edge);
    EXPECT_EQ(edge.treeNode, nullptr);
    int edgeListed = 0;
    forEachNode(root, [&](const CityTreeNode& node) {
        for (const Drawable* d : node.objects) edgeListed += d == &edge;
    });
    EXPECT_EQ(edgeListed, 0);
}

}  // namespace
