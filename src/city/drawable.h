// drawable.h -- everything the city's spatial tree draws.
#pragma once

class Drawable {
public:
    // textured false: bind no texture of its own (the searchlight pass).
    virtual void draw(bool textured) = 0;
    // The same in two parts, for a pass that draws everything opaque before
    // anything that blends: draw() is drawOpaque() then drawBlended().
    virtual void drawOpaque(bool textured) { draw(textured); }
    virtual void drawBlended(bool /*textured*/) {}
    virtual ~Drawable() = default;
};
