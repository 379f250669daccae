// city_tree_drawing.cpp -- one rendering pass over the city tree: culled
// against the pass's cullMatrix, ordered from the helicopter's position.
#include "app/globals.h"
#include "helicopter/helicopter.h"
#include "traffic/city_tree.h"

void CityTreeNode::draw(bool textured) {
    drawVisible(textured, frustumPlanes(cullMatrix), helicopter.position);
}
