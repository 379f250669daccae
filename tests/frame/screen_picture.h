// screen_picture.h -- a rectangle of the frame buffer read back as RGB bytes,
// row 0 at the top of the screen as the player sees it.
#pragma once

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/camera.h"
#include "app/frame.h"
#include "render/searchlight.h"

struct ScreenPicture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;

    // Reads the rectangle whose lower-left corner is (x0, y0) in GL's window
    // coordinates.
    static ScreenPicture read(int x0, int y0, int w, int h) {
        ScreenPicture p;
        p.width = w;
        p.height = h;
        std::vector<unsigned char> rows(static_cast<size_t>(w) * h * 3);
        glFinish();
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x0, y0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
        p.rgb.resize(rows.size());
        const size_t rowBytes = static_cast<size_t>(w) * 3;
        for (int y = 0; y < h; ++y)
            std::copy_n(rows.data() + rowBytes * (h - 1 - y), rowBytes, p.rgb.data() + rowBytes * y);
        return p;
    }

    const unsigned char* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }

    // Rec. 709 luminance, 0 to 255.
    float luminance(int x, int y) const {
        const unsigned char* p = at(x, y);
        return 0.2126f * p[0] + 0.7152f * p[1] + 0.0722f * p[2];
    }

    // The corners the overlays take on a screen of this shape, with a margin
    // for the spinning badge: the badge's upper right and the mini-map's
    // lower left, each about 0.4 of the height wide.
    bool inOverlayCorner(int x, int y) const {
        const bool badge = x >= width - height * 40 / 100 && y < height * 34 / 100;
        const bool minimap = x < height * 40 / 100 && y >= height * 64 / 100;
        return badge || minimap;
    }

    // Writes a binary PPM into $SEARCHLIGHT_PICTURE_DIR when that is set.
    void writeIfAsked(const std::string& name) const {
        const char* dir = std::getenv("SEARCHLIGHT_PICTURE_DIR");
        if (!dir) return;
        const std::string path = std::string(dir) + "/" + name;
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fprintf(f, "P6\n%d %d\n255\n", width, height);
            std::fwrite(rgb.data(), 1, rgb.size(), f);
            std::fclose(f);
        }
    }
};

// One overlay drawn alone on black on a window of w x h, with the frame's
// camera and light.
template <typename Draw>
ScreenPicture overlayAlone(int w, int h, Draw draw) {
    reshape(w, h);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    camera.apply();
    placeSearchlightLight();
    glEnable(GL_LIGHTING);
    draw();
    glDisable(GL_LIGHTING);
    glPopMatrix();
    return ScreenPicture::read(0, 0, w, h);
}
