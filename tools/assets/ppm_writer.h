// ppm_writer.h -- binary PPM (P6) images, as the searchlight's image reader reads them.
#pragma once

#include <cstdint>
#include <vector>

#include "picture.h"

// "P6\n", "W H\n", "255\n" each on its own line, then RGB samples with the
// picture's TOP row first (the PPM order; the picture stores rows bottom-up).
std::vector<std::uint8_t> encodePpm(const Picture& picture);
