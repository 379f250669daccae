// data_set.h -- every file the game reads at start-up, made by our own painters.
//
// The data set is deterministic: each picture and model seeds the game's
// random generator from its own file name, so the same bytes come out on
// every run and a change to one painter leaves the other files alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "picture.h"
#include "sgi_writer.h"

struct DataFile {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

// One SGI texture of the set: its file name, painter and storage.
struct TextureRecipe {
    const char* fileName;
    Picture (*paint)();
    int channels;  // 1 (grey), 3 (RGB) or 4 (RGBA)
    SgiStorage storage;
};

// The 21 textures the city loads, in the order of its texture table, the
// textures the models' materials name, the font of the game's text, then the
// facades' glow masks (one grey channel each).
const std::vector<TextureRecipe>& textureRecipes();

// Seeds the game's random generator from a file name (FNV-1a of the name).
void seedFromName(const std::string& name);
// Paints one recipe's picture from its own seed.
Picture paintRecipe(const TextureRecipe& recipe);

// Every file of the set in a fixed order, textures first.
std::vector<DataFile> buildDataSet();
// Writes the set into an existing or new directory. False with a message on
// the first file that cannot be written.
bool writeDataSet(const std::string& directory, std::string& error);
