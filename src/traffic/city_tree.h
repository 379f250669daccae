// city_tree.h -- the kd-tree through which the city and its cars are culled
// and drawn. Boxes are min <= p < max on each axis; y spans 0..5.
#pragma once

#include <vector>

#include "city/drawable.h"
#include "render/vector_math.h"

class City;
class Vehicle;

class CityTreeNode {
public:
    CityTreeNode() = default;
    CityTreeNode(float minX, float maxX, float minZ, float maxZ);

    void build(City& city);
    // One rendering pass: culls against cullMatrix, far side first as seen
    // from the helicopter, counting objectsDrawn.
    void draw(bool textured);
    // 0 outside, 1 inside, 2 intersecting; five planes, no far plane.
    int frustumTest(Matrix4 matrix) const;
    void insertVehicle(Vehicle* car);
    bool contains(const Vector3& p) const;

    CityTreeNode* low = nullptr;   // owned
    CityTreeNode* high = nullptr;  // owned
    Vector3 min{0, 0, 0};
    Vector3 max{0, 5.0f, 0};
    int axis = -1;  // -1 splits along x, +1 along z
    float split = 0;
    std::vector<Drawable*> objects;  // not owned
    bool holdsObjects = false;
};
