// headless_common.cpp -- data directory, sizes, PPM read-back and the
// scene's fingerprint.
#include "headless_common.h"

#include <GL/gl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/globals.h"
#include "app/offscreen_game.h"
#include "assets/model.h"
#include "city/city.h"
#include "helicopter/helicopter.h"
#include "traffic/vehicle.h"

bool enterDataDirectory(const char* dir) {
    const char* target = dir ? dir : SEARCHLIGHT_DATA_DIR;
    if (chdir(target) != 0) {
        std::perror(target);
        return false;
    }
    return true;
}

bool parseSize(const char* text, int& width, int& height) {
    int w = 0, h = 0;
    char tail = 0;
    if (std::sscanf(text, "%dx%d%c", &w, &h, &tail) != 2) return false;
    if (w < 8 || h < 8 || w > 8192 || h > 8192) return false;
    width = w;
    height = h;
    return true;
}

bool parseFramesPerSecond(const char* command, const char* text, double& turnSeconds) {
    char* end = nullptr;
    errno = 0;
    const long fps = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || fps < 1 || fps > 1000) {
        std::fprintf(stderr, "%s: bad value \"%s\" for --fps (frames a second, 1 to 1000)\n", command, text);
        return false;
    }
    turnSeconds = turnSecondsAtRate(static_cast<int>(fps));
    return true;
}

bool writeFramePpm(const std::string& path, int width, int height) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        return false;
    }
    std::fprintf(f, "P6\n%d %d\n255\n", width, height);
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    bool ok = true;
    for (int y = height - 1; y >= 0 && ok; --y)  // GL rows run bottom-up
        ok = std::fwrite(pixels.data() + rowBytes * y, 1, rowBytes, f) == rowBytes;
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) std::fprintf(stderr, "%s: write failed\n", path.c_str());
    return ok;
}

namespace {
class Fnv1a {
public:
    template <typename T>
    void add(const T& value) {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        for (unsigned char b : bytes) hash_ = (hash_ ^ b) * 1099511628211ull;
    }
    std::uint64_t value() const { return hash_; }

private:
    std::uint64_t hash_ = 14695981039346656037ull;
};
}  // namespace

std::uint64_t sceneFingerprint() {
    Fnv1a h;
    h.add(city.vehicles.size());
    for (const Vehicle* car : city.vehicles) {
        h.add(car->position.x);
        h.add(car->position.z);
        h.add(car->heading);
        h.add(car->speed);
        h.add(static_cast<int>(car->drivingState()));
        h.add(car->frozen);
    }
    h.add(helicopter.position.x);
    h.add(helicopter.position.y);
    h.add(helicopter.position.z);
    h.add(helicopter.yaw);
    h.add(badgeModel.fillLevel);
    return h.value();
}
