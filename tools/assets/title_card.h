// title_card.h -- the title card shown until the first key press ("screenshot.rgb").
//
// The game draws the card on a 10 x 9 quad with s left to right and t bottom
// to top as the player sees it; only s in about 0.09..0.91 and t in about
// 0.04..0.96 reach the screen, and that square is stretched to the 1280 x 1024
// window, so text is laid out with font pixels taller than wide and kept
// inside the safe area below.
#pragma once

#include <string>
#include <vector>

#include "bitmap_font.h"
#include "picture.h"

constexpr int titleCardSize = 512;
// Where all text stays, in texture coordinates.
constexpr float titleSafeLeft = 0.12f, titleSafeRight = 0.88f;
constexpr float titleSafeBottom = 0.08f, titleSafeTop = 0.92f;

// One row of the control table: the keys and what they do.
struct ControlRow {
    const char* keys;
    const char* action;
};
const std::vector<ControlRow>& controlTable();

// The mini-map's marks, painted on the card beside the words that name them.
enum class MapMark { none, helicopter, fugitive, police };

// One line of text on the card, placed by its bottom-left corner in pixels,
// with the map mark painted just before it, if any.
struct TitleLine {
    std::string text;
    TextStyle style;
    float x, y;
    MapMark mark = MapMark::none;
};
// Every line of text on the card, top to bottom.
std::vector<TitleLine> titleCardLayout();

Picture paintTitleCard();
