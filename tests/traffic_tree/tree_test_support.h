// tree_test_support.h -- boxes, random views and small trees for the tree tests.
#pragma once

#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "city/city.h"
#include "city/city_test_support.h"
#include "traffic/city_tree.h"

struct Box {
    Vector3 min, max;
};

// The space an object of the city takes up.
inline Box boxOf(const Drawable* d) {
    if (const auto* b = dynamic_cast<const Building*>(d)) return {b->position, b->position + b->size};
    if (const auto* t = dynamic_cast<const GroundTile*>(d)) return {t->position, t->position + t->size};
    ADD_FAILURE() << "the tree lists an object that is neither building nor tile";
    return {};
}

inline CityTreeNode boxNode(const Vector3& min, const Vector3& max) {
    CityTreeNode node;
    node.min = min;
    node.max = max;
    return node;
}

inline void forEachNode(const CityTreeNode& node, const std::function<void(const CityTreeNode&)>& visit) {
    visit(node);
    if (node.low) forEachNode(*node.low, visit);
    if (node.high) forEachNode(*node.high, visit);
}

// gluLookAt's matrix, row-major.
inline Matrix4 lookAtMatrix(const Vector3& eye, const Vector3& centre, const Vector3& up) {
    Vector3 f = centre - eye;
    f.normalize();
    Vector3 s = f.cross(up);
    s.normalize();
    const Vector3 u = s.cross(f);
    return Matrix4(s.x, s.y, s.z, -s.dot(eye), u.x, u.y, u.z, -u.dot(eye), -f.x, -f.y, -f.z, f.dot(eye), 0, 0,
                   0, 1);
}

inline Matrix4 randomViewProjection(std::mt19937& random) {
    std::uniform_real_distribution<float> unit(0, 1);
    auto between = [&](float a, float b) { return a + (b - a) * unit(random); };
    const Matrix4 projection =
        perspectiveMatrix(between(20, 120), between(0.5f, 2), between(0.1f, 5), between(50, 500));
    const Vector3 eye(between(-60, 60), between(1, 60), between(-60, 60));
    const Vector3 centre(between(-60, 60), between(-5, 10), between(-60, 60));
    return projection * lookAtMatrix(eye, centre, Vector3(0, 1, 0));
}

inline CityTreeNode randomBox(std::mt19937& random) {
    std::uniform_real_distribution<float> unit(0, 1);
    auto between = [&](float a, float b) { return a + (b - a) * unit(random); };
    const Vector3 min(between(-80, 80), between(-2, 5), between(-80, 80));
    return boxNode(min, min + Vector3(between(0.1f, 30), between(0.1f, 8), between(0.1f, 30)));
}

// The reference: a box is outside when all eight corners are outside one
// plane, inside when all are strictly inside every plane.
inline int bruteForceFrustumTest(const CityTreeNode& node, const Matrix4& m) {
    const float* r[4] = {m.row(0), m.row(1), m.row(2), m.row(3)};
    const float signs[5][2] = {{0, 1}, {0, -1}, {1, -1}, {1, 1}, {2, 1}};  // row index, sign
    bool touches = false;
    for (const auto& sign : signs) {
        const int row = static_cast<int>(sign[0]);
        float p[4];
        for (int i = 0; i < 4; ++i) p[i] = r[3][i] + sign[1] * r[row][i];
        int outsideCorners = 0;
        for (int corner = 0; corner < 8; ++corner) {
            const float x = corner & 1 ? node.max.x : node.min.x;
            const float y = corner & 2 ? node.max.y : node.min.y;
            const float z = corner & 4 ? node.max.z : node.min.z;
            const float value = p[0] * x + p[1] * y + p[2] * z + p[3];
            if (value < 0) ++outsideCorners;
            if (value <= 0) touches = true;
        }
        if (outsideCorners == 8) return 0;
    }
    return touches ? 2 : 1;
}

inline FrustumPlanes everythingInside() {
    FrustumPlanes planes;
    for (auto& p : planes.plane) p[0] = p[1] = p[2] = 0, p[3] = 1;
    return planes;
}

// Records the order objects are drawn in: whole (draw), and in the two
// parts of the near-first walk (opaque and blended, each in a log of its own).
class RecordingDrawable : public Drawable {
public:
    void draw(bool textured) override {
        log.push_back(this);
        lastTextured = textured;
    }
    void drawOpaque(bool textured) override {
        opaqueLog.push_back(this);
        lastTextured = textured;
    }
    void drawBlended(bool textured) override {
        blendedLog.push_back(this);
        lastTextured = textured;
    }
    static void clearLogs() {
        log.clear();
        opaqueLog.clear();
        blendedLog.clear();
    }
    static inline std::vector<const Drawable*> log, opaqueLog, blendedLog;
    static inline bool lastTextured = false;
};
