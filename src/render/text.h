// text.h -- text on the screen in the game's font, the texture
// "font.rgba" of the data set (render/font_atlas.h), drawn in screen
// pixels over the finished scene.
#pragma once

#include <string>

#include "render/text_layout.h"

constexpr const char* fontFileName = "font.rgba";

// Loads the font from the working directory, once: later calls give the
// first call's answer. When the file is missing or not our font, one line on
// stderr names it, and the game plays on without text. Needs a current
// context.
bool loadTextFont(const char* fileName = fontFileName);
bool textFontLoaded();

// Screen drawing happens between these two: pixels with (0, 0) at the
// lower left of a width x height window, no depth test, no lighting, no
// culling, blending by alpha. begin saves every GL state it changes (both
// matrices included) and end puts it back.
void beginScreenDrawing(int width, int height);
void endScreenDrawing();

// A plain rectangle, drawn with or without the font.
void fillScreenRectangle(float x0, float y0, float x1, float y1, const TextColour& colour);
// A line of text with its lower-left corner at (x, y), `pixel` screen
// pixels per font pixel, over a dark shadow one font pixel down and to the
// right. Nothing without the font.
void drawScreenText(const std::string& text, float x, float y, int pixel, const TextColour& colour);
