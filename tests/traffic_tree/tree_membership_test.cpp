// tree_membership_test.cpp -- where the tree lists the cars as they drive:
// after every step a car is listed in exactly one node, the node that holds
// objects and contains it, or in none when it is off the city.
#include <gtest/gtest.h>

#include <map>

#include "app/globals.h"
#include "app/random.h"
#include "city/city.h"
#include "support/gl_context.h"
#include "traffic/city_tree.h"
#include "traffic/vehicle.h"
#include "tree_test_support.h"

namespace {

struct Listing {
    int count = 0;
    const CityTreeNode* node = nullptr;
};

// The game's city and tree, the cars inserted as start-up inserts them, on
// a GL context so that the tree can draw them.
class TreeMembershipTest : public GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        city.glObjectsEnabled = false;
        setFixedSeed(4242);
        city.generate();
        clearFixedSeed();
        cityTree = &root;
        root.build(city);
        city.insertVehiclesIntoTree();
        policeCars.clear();
        pursuitActive = true;
    }
    void TearDown() override {
        city.releaseVehicles();
        cityTree = nullptr;
        city.glObjectsEnabled = true;
    }

    // How often, and in which node, each car is listed.
    std::map<const Vehicle*, Listing> listings() const {
        std::map<const Vehicle*, Listing> found;
        forEachNode(root, [&](const CityTreeNode& node) {
            for (const Drawable* d : node.objects) {
                if (const auto* car = dynamic_cast<const Vehicle*>(d)) {
                    ++found[car].count;
                    found[car].node = &node;
                }
            }
        });
        return found;
    }
    // The node that holds objects and whose box contains p; null off the city.
    const CityTreeNode* homeOf(const Vector3& p) const {
        const CityTreeNode* home = nullptr;
        int homes = 0;
        forEachNode(root, [&](const CityTreeNode& node) {
            if (node.holdsObjects && node.contains(p)) home = &node, ++homes;
        });
        EXPECT_LE(homes, 1) << "the nodes holding objects overlap";
        return home;
    }
    // Every car of the city is listed once, in its home, or nowhere off the city.
    void expectEveryCarAtHome() const {
        const auto found = listings();
        for (const Vehicle* car : city.vehicles) {
            const CityTreeNode* home = homeOf(car->position);
            const auto it = found.find(car);
            const Listing listed = it == found.end() ? Listing{} : it->second;
            if (!home) {
                ASSERT_EQ(listed.count, 0) << "a car off the city at " << car->position.x << ", "
                                           << car->position.z << " is still listed";
                ASSERT_EQ(car->treeNode, nullptr);
                continue;
            }
            ASSERT_EQ(listed.count, 1) << "car at " << car->position.x << ", " << car->position.z;
            ASSERT_EQ(listed.node, home);
            ASSERT_EQ(car->treeNode, home);
        }
    }

    // Every object the tree draws in a pass that sees the whole city.
    int objectsDrawnByTheTree() {
        objectsDrawn = 0;
        root.drawVisible(false, everythingInside(), Vector3(0, 10, 0));
        return objectsDrawn;
    }

    CityTreeNode root{-50, 50, -50, 50};
};

}  // namespace

// Start-up inserts every car into its node; half a minute of driving moves
// them across many nodes, and after every sub-step each is in exactly one.
TEST_F(TreeMembershipTest, DrivingCarsStayListedOnceInTheRightNode) {
    ASSERT_EQ(city.vehicles.size(), 19u);
    expectEveryCarAtHome();
    std::map<const Vehicle*, CityTreeNode*> last;
    for (const Vehicle* car : city.vehicles) last[car] = car->treeNode;
    int moves = 0;
    const float dt = 1.0f / 180;
    for (int step = 0; step < 30 * 180 && !HasFatalFailure(); ++step) {
        city.updateVehicles(dt);
        expectEveryCarAtHome();
        for (const Vehicle* car : city.vehicles) {
            if (car->treeNode != last[car]) ++moves, last[car] = car->treeNode;
        }
    }
    EXPECT_GT(moves, 50) << "the cars should have crossed many nodes";
}

// A car the game adds (a police car) is listed at once, before it moves.
TEST_F(TreeMembershipTest, AddedCarIsListedAtOnce) {
    PoliceCar* police = new PoliceCar();
    police->place(0, city.streetX[1] - 4, 0, city.streetZ[1] - 4, 90, 0);
    city.addVehicle(police);
    EXPECT_EQ(city.vehicles.back(), police);
    expectEveryCarAtHome();
    EXPECT_NE(police->treeNode, nullptr);
}

// A car at x = 50 has not wrapped yet and lies outside the city's box (a
// U-turn or a block begun near the edge carries it there for a moment): it
// is taken off its node, listed nowhere and has no node. Coming back into
// the very node it left, it is listed and drawn there again.
TEST_F(TreeMembershipTest, CarBackFromTheEdgeIsListedAndDrawnAgain) {
    Vehicle* car = city.vehicles[1];
    const Vector3 nearTheEdge(49.5f, 0.2f, city.streetZ[0] + 0.8f);
    car->position = nearTheEdge;
    car->refreshTreeNode();
    CityTreeNode* const home = car->treeNode;
    ASSERT_NE(home, nullptr);
    const int everything = objectsDrawnByTheTree();

    car->position.x = 50;
    car->refreshTreeNode();
    EXPECT_EQ(listings()[car].count, 0);
    EXPECT_EQ(car->treeNode, nullptr);
    expectEveryCarAtHome();
    EXPECT_EQ(objectsDrawnByTheTree(), everything - 1);

    car->position = nearTheEdge;
    car->refreshTreeNode();
    EXPECT_EQ(listings()[car].count, 1);
    EXPECT_EQ(car->treeNode, home);
    expectEveryCarAtHome();
    EXPECT_EQ(objectsDrawnByTheTree(), everything);
}
