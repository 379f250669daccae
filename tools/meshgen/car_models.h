// car_models.h -- the seven cars of the game, built from convex pieces.
#pragma once

#include <string>
#include <vector>

#include "mesh_builder.h"

struct CarModel {
    std::string name;  // prefix of the generated tables, e.g. "fugitiveCar"
    MeshBuilder mesh;
    std::vector<MaterialSpec> materials;
};

// In the game's table order: fugitive, traffic 1..5, police.
std::vector<CarModel> buildCarModels();
