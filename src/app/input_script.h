// input_script.h -- scripted input for the offscreen game: key and mouse
// events at given times of the run, read from a small text format.
//
//   TIME down KEY | TIME up KEY | TIME press KEY | TIME mouse X Y |
//   TIME click BUTTON X Y | TIME aim
// TIME is seconds since the run began (the driver's clock: game time, except
// that it runs on through a pause); KEY a single character (`p` pauses), `space`,
// `enter` (Return: a new chase after a capture) or `esc`;
// `#` starts a comment. `press` is a down then an up, `click` a button
// press then release at X Y. `aim` (for tests and pictures, no player can)
// holds the fugitive in the searchlight's beam from then on
// (OffscreenGame::holdFugitiveInBeam before every frame).
#pragma once

#include <string>
#include <vector>

class OffscreenGame;

struct InputEvent {
    enum class Kind { KeyDown, KeyUp, Mouse, ButtonDown, ButtonUp, Aim };
    double time = 0;
    Kind kind = Kind::KeyDown;
    unsigned char key = 0;
    int button = 0;
    int x = 0, y = 0;
};

class InputScript {
public:
    // Parses text; on the first bad line returns false with "line N: why".
    bool parse(const std::string& text, std::string& error);
    bool load(const std::string& path, std::string& error);
    void add(const InputEvent& e);

    // Delivers, in time order (file order among equal times), every event
    // not yet delivered whose time is at most now.
    void deliverUntil(double now, OffscreenGame& game);
    bool finished() const { return next >= events.size(); }

    std::vector<InputEvent> events;  // sorted by time, stable

private:
    size_t next = 0;
};
