// drawable.h -- everything the city's spatial tree draws.
#pragma once

class Drawable {
public:
    // textured false: bind no texture of its own (the searchlight pass).
    virtual void draw(bool textured) = 0;
    virtual ~Drawable() = default;
};
