// The tree's culling checked against GL's own clipping: whatever the tree
// culls for a view leaves no pixel when GL draws it with the same matrices.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/screen_shape.h"
#include "support/gl_context.h"
#include "tree_test_support.h"

namespace {

// Small views of the game's three common screen shapes: 5:4, 16:9 and 4:3.
struct Shape {
    int width, height;
};
const Shape shapes[] = {{160, 128}, {192, 108}, {160, 120}};
int viewportWidth = 160, viewportHeight = 128;

struct View {
    const char* name;
    Vector3 eye, centre;
    bool cityInSight;
};

// The start-up chase view, a street-level view, one from high above, one from
// outside the city looking in and one looking out of it.
const View views[] = {
    {"chase", {0, 14, -6.5617f}, {0, 0, 0}, true}, {"street", {-30, 2, -30}, {10, 1, 20}, true},
    {"above", {5, 60, 3}, {0, 0, 0}, true},        {"outside", {-80, 10, 5}, {0, 0, 0}, true},
    {"away", {40, 6, 40}, {80, 0, 90}, false},
};

void collect(const CityTreeNode& node, const FrustumPlanes& planes, bool culled,
             std::vector<Drawable*>& culledObjects, std::vector<Drawable*>& keptObjects) {
    culled = culled || node.frustumTest(planes) == 0;
    for (Drawable* d : node.objects) (culled ? culledObjects : keptObjects).push_back(d);
    if (node.low) collect(*node.low, planes, culled, culledObjects, keptObjects);
    if (node.high) collect(*node.high, planes, culled, culledObjects, keptObjects);
}

// Lit pixels after drawing objects alone, flat white, nothing hidden by depth
// or facing.
int pixelsCovered(const std::vector<Drawable*>& objects) {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (Drawable* d : objects) d->draw(false);
    glFinish();
    std::vector<unsigned char> pixels(static_cast<size_t>(viewportWidth) * viewportHeight * 4);
    glReadPixels(0, 0, viewportWidth, viewportHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int covered = 0;
    for (int i = 0; i < viewportWidth * viewportHeight; ++i) covered += pixels[4 * i] != 0;
    return covered;
}

class CityTreeCullingTest : public GLTest {};

TEST_F(CityTreeCullingTest, CulledObjectsLeaveNoPixel) {
    auto city = generatedCity(2718);
    CityTreeNode root(-50, 50, -50, 50);
    root.build(*city);

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);

    for (const Shape& shape : shapes) {
        for (const View& view : views) {
            SCOPED_TRACE(std::string(view.name) + " at " + std::to_string(shape.width) + "x" +
                         std::to_string(shape.height));
            viewportWidth = shape.width;
            viewportHeight = shape.height;
            glViewport(0, 0, viewportWidth, viewportHeight);
            applyViewProjection(viewportWidth, viewportHeight);  // the game's projection for this shape
            glLoadIdentity();
            gluLookAt(view.eye.x, view.eye.y, view.eye.z, view.centre.x, view.centre.y, view.centre.z, 0, 1,
                      0);
            const Matrix4 cull = readGLMatrix(GL_PROJECTION_MATRIX) * readGLMatrix(GL_MODELVIEW_MATRIX);
            std::vector<Drawable*> culled, kept;
            collect(root, frustumPlanes(cull), false, culled, kept);
            EXPECT_EQ(culled.size() + kept.size(), 625u + static_cast<size_t>(city->buildingCount));
            EXPECT_FALSE(culled.empty()) << "the view culls nothing";

            if (pixelsCovered(culled) != 0) {
                for (Drawable* d : culled) {
                    const Box box = boxOf(d);
                    EXPECT_EQ(pixelsCovered({d}), 0)
                        << "culled object at " << box.min.x << "," << box.min.z << " is visible";
                }
            }
            // The method sees what is in view, so a clean result above means something.
            if (view.cityInSight) {
                EXPECT_GT(pixelsCovered(kept), 0);
            }
        }
    }

    glViewport(0, 0, 1280, 1024);
}

}  // namespace
