// facade_textures.h -- the ten night facades of the city's buildings.
//
// A wall shows its texture once, stretched over the whole wall (2 to 4
// units wide, 2.5 to 5 tall): picture row 0 is the street, the top row the
// roof's edge. Walls are kept mid-dark so the lit windows stand out under
// the city's dim lighting.
#pragma once

#include "picture.h"

constexpr int facadeSize = 256;

Picture paintBrickFacade();        // building.rgb
Picture paintStuccoFacade();       // building2.rgb
Picture paintCurtainWallFacade();  // windows1.rgb
Picture paintRibbonFacade();       // windows2.rgb
Picture paintTowerGridFacade();    // windows3.rgb
Picture paintGreenGlassFacade();   // grnbldg2.rgb
Picture paintShopFacade();         // ssb.rgb
Picture paintArtDecoFacade();      // towfront2.rgb
Picture paintOfficeFacade();       // office1.rgb
Picture paintApartmentFacade();    // apts.rgb
