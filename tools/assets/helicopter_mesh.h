// helicopter_mesh.h -- the player's police helicopter ("copter.3ds") and its skin.
//
// Model axes: z up, the nose toward -y, the helicopter's left side toward
// +x. About 650 model units from nose to tail fin (the game draws it at
// 0.003 scale, about 2 world units). Objects: "s76hull" (fuselage, cockpit,
// engine fairing, mast, tail boom, fins, skids, searchlight), "propmain"
// (main rotor: hub and four blades) and "propback" (tail rotor on the left
// of the fin). All three use one textured material whose texture is an
// atlas: the fuselage unwrapped over the upper three quarters, fin and
// engine paint, skid metal, rotor blade and lens colours along the bottom.
#pragma once

#include "picture.h"
#include "tds_writer.h"

constexpr const char* copterSkinFile = "copterskin.rgb";
constexpr int copterSkinSize = 256;

// Where the fuselage's unwrap sits in the skin: u along the length from the
// nose (y = fuselageNoseY) to fuselageTailY, v from fuselageSkinV0 (bottom
// of the fuselage) once around through the left side, the top and the right
// side back to the bottom at v = 1.
constexpr float fuselageNoseY = -300, fuselageTailY = 340;
constexpr float fuselageSkinV0 = 0.25f;

ModelFile buildHelicopter();
Picture paintCopterSkin();
