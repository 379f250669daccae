// drawable.h -- everything the city's spatial tree draws.
#pragma once

class QuadBatch;

class Drawable {
public:
    // textured false: bind no texture of its own (the searchlight pass).
    virtual void draw(bool textured) = 0;
    // The same in two parts, for a pass that draws everything opaque before
    // anything that blends: draw() is drawOpaque() then drawBlended().
    virtual void drawOpaque(bool textured) { draw(textured); }
    virtual void drawBlended(bool /*textured*/) {}
    // The opaque part again in pieces that each bind at most one texture,
    // for a pass that draws every piece of one texture together: changing
    // the bound texture is what costs the GL driver most per object.
    // opaquePieceTexture is the GL texture a piece binds, 0 for none.
    virtual int opaquePieceCount() const { return 1; }
    virtual unsigned opaquePieceTexture(int /*piece*/) const { return 0; }
    // What a piece is, in the order that pass draws them: pieces that draw
    // themselves (cars), then roofs, walls and ground, each kind grouped by
    // texture, so that what stands above is drawn before what it hides.
    enum class PieceRank { drawnAlone, roof, wall, ground };
    virtual PieceRank opaquePieceRank(int /*piece*/) const { return PieceRank::drawnAlone; }
    virtual void drawOpaquePiece(int /*piece*/, bool textured) { drawOpaque(textured); }
    // The same piece as quads in world coordinates, for a pass that sends
    // the pieces of many objects in one draw (drawCityQuads: the city's
    // material in white, the piece's texture); null for a piece that must
    // be drawn by itself.
    virtual const QuadBatch* opaquePieceQuads(int /*piece*/) { return nullptr; }
    virtual ~Drawable() = default;
};
