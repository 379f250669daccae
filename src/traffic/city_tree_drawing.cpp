// city_tree_drawing.cpp -- one rendering pass over the city tree: culled
// against the pass's cullMatrix, ordered from the camera and the helicopter.
#include "app/camera.h"
#include "app/globals.h"
#include "helicopter/helicopter.h"
#include "traffic/city_tree.h"

void CityTreeNode::draw(bool textured) {
    // One set for every pass: the game has one tree, drawn from one thread.
    static PassBuffers buffers;
    const FrustumPlanes planes = frustumPlanes(cullMatrix);
    if (designDrawOrder)
        drawVisible(textured, planes, helicopter.position);
    else if (textured)
        drawGroupedByTexture(textured, planes, camera.eye, helicopter.position, buffers);
    else
        drawNearFirst(textured, planes, camera.eye, helicopter.position, buffers);
}
