// data_set.cpp -- the table of the game's data files and writing them out.
#include "data_set.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/random.h"
#include "badge_mesh.h"
#include "city/window_glow.h"
#include "effect_textures.h"
#include "facade_textures.h"
#include "font_texture.h"
#include "ground_textures.h"
#include "helicopter_mesh.h"
#include "ppm_writer.h"
#include "title_card.h"

namespace {

const char* const spotlightFile = "spotlight_image.ppm";
const char* const helicopterFile = "copter.3ds";
const char* const badgeFile = "policebadge.3ds";

Picture plainAsphalt() { return paintAsphalt(false); }
Picture patchedAsphalt() { return paintAsphalt(true); }

// A facade's glow mask: the light of the very picture its own file holds,
// painted again from that file's seed.
template <Picture (*paintFacade)()>
Picture glowMask() {
    for (const TextureRecipe& r : textureRecipes()) {
        if (r.paint == paintFacade) seedFromName(r.fileName);
    }
    return paintFacade().lightMask();
}

}  // namespace

const std::vector<TextureRecipe>& textureRecipes() {
    static const std::vector<TextureRecipe> recipes = {
        {"buildingroof.rgb", paintGravelRoof, 3, SgiStorage::verbatim},
        {"rooftopbumpjpg.rgb", paintMembraneRoof, 3, SgiStorage::runLength},
        {"road.rgb", plainAsphalt, 3, SgiStorage::verbatim},
        {"road04.rgb", patchedAsphalt, 3, SgiStorage::runLength},
        {"building.rgb", paintBrickFacade, 3, SgiStorage::verbatim},
        {"building2.rgb", paintStuccoFacade, 3, SgiStorage::runLength},
        {"windows1.rgb", paintCurtainWallFacade, 3, SgiStorage::runLength},
        {"windows2.rgb", paintRibbonFacade, 3, SgiStorage::verbatim},
        {"windows3.rgb", paintTowerGridFacade, 3, SgiStorage::verbatim},
        {"grnbldg2.rgb", paintGreenGlassFacade, 3, SgiStorage::runLength},
        {"ssb.rgb", paintShopFacade, 3, SgiStorage::verbatim},
        {"towfront2.rgb", paintArtDecoFacade, 3, SgiStorage::runLength},
        {"office1.rgb", paintOfficeFacade, 3, SgiStorage::verbatim},
        {"apts.rgb", paintApartmentFacade, 3, SgiStorage::runLength},
        {"sidewalk.rgb", paintSidewalk, 3, SgiStorage::verbatim},
        {"roadh.rgb", paintStreetAlongS, 3, SgiStorage::runLength},
        {"roadv.rgb", paintStreetAlongT, 3, SgiStorage::runLength},
        {"roadi.rgb", paintCrossing, 3, SgiStorage::runLength},
        {"smoke2.rgb", paintLightSmoke, 4, SgiStorage::runLength},
        {"smokeblack2.rgb", paintBlackSmoke, 4, SgiStorage::verbatim},
        {"screenshot.rgb", paintTitleCard, 3, SgiStorage::verbatim},
        {copterSkinFile, paintCopterSkin, 3, SgiStorage::runLength},
        {"font.rgba", paintFontTexture, 4, SgiStorage::runLength},
        {windowGlowFile(4), glowMask<paintBrickFacade>, 1, SgiStorage::runLength},
        {windowGlowFile(5), glowMask<paintStuccoFacade>, 1, SgiStorage::runLength},
        {windowGlowFile(6), glowMask<paintCurtainWallFacade>, 1, SgiStorage::runLength},
        {windowGlowFile(7), glowMask<paintRibbonFacade>, 1, SgiStorage::runLength},
        {windowGlowFile(8), glowMask<paintTowerGridFacade>, 1, SgiStorage::runLength},
        {windowGlowFile(9), glowMask<paintGreenGlassFacade>, 1, SgiStorage::runLength},
        {windowGlowFile(10), glowMask<paintShopFacade>, 1, SgiStorage::runLength},
        {windowGlowFile(11), glowMask<paintArtDecoFacade>, 1, SgiStorage::runLength},
        {windowGlowFile(12), glowMask<paintOfficeFacade>, 1, SgiStorage::runLength},
        {windowGlowFile(13), glowMask<paintApartmentFacade>, 1, SgiStorage::runLength},
    };
    return recipes;
}

void seedFromName(const std::string& name) {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : name) {
        h ^= c;
        h *= 16777619u;
    }
    seedGameRandom(h);
}

Picture paintRecipe(const TextureRecipe& recipe) {
    seedFromName(recipe.fileName);
    return recipe.paint();
}

std::vector<DataFile> buildDataSet() {
    std::vector<DataFile> files;
    for (const TextureRecipe& recipe : textureRecipes()) {
        const Picture picture = paintRecipe(recipe);
        files.push_back(
            {recipe.fileName, encodeSgi(picture, recipe.channels, recipe.storage, recipe.fileName)});
    }
    seedFromName(spotlightFile);
    files.push_back({spotlightFile, encodePpm(paintSpotlight())});
    const ModelFile helicopter = buildHelicopter();
    files.push_back({helicopterFile, encode3ds(helicopter.materials, helicopter.meshes)});
    const ModelFile badge = buildBadge();
    files.push_back({badgeFile, encode3ds(badge.materials, badge.meshes)});
    return files;
}

bool writeDataSet(const std::string& directory, std::string& error) {
    if (mkdir(directory.c_str(), 0755) != 0 && errno != EEXIST) {
        error = directory + ": " + std::strerror(errno);
        return false;
    }
    for (const DataFile& file : buildDataSet()) {
        const std::string path = directory + "/" + file.name;
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) {
            error = path + ": " + std::strerror(errno);
            return false;
        }
        const size_t written = std::fwrite(file.bytes.data(), 1, file.bytes.size(), f);
        const bool closed = std::fclose(f) == 0;
        if (written != file.bytes.size() || !closed) {
            error = path + ": write failed";
            return false;
        }
    }
    return true;
}
