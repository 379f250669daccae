// input_script.cpp -- parsing and replaying scripted input.
#include "app/input_script.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/offscreen_game.h"

namespace {

bool parseKey(const std::string& word, unsigned char& key) {
    if (word == "space") {
        key = ' ';
    } else if (word == "esc") {
        key = 27;
    } else if (word == "enter") {
        key = 13;  // as GLUT reports Return
    } else if (word.size() == 1) {
        key = static_cast<unsigned char>(word[0]);
    } else {
        return false;
    }
    return true;
}

bool parseInt(const std::string& word, int& value) {
    if (word.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(word.c_str(), &end, 10);
    if (*end != '\0' || errno != 0 || v < -1000000 || v > 1000000) return false;
    value = static_cast<int>(v);
    return true;
}

}  // namespace

void InputScript::add(const InputEvent& e) {
    // Keep time order, and file order among equal times.
    auto at = std::upper_bound(events.begin(), events.end(), e.time,
                               [](double t, const InputEvent& x) { return t < x.time; });
    events.insert(at, e);
}

bool InputScript::parse(const std::string& text, std::string& error) {
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        const size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string s; words >> s;) w.push_back(s);
        if (w.empty()) continue;

        const auto fail = [&](const char* why) {
            error = "line " + std::to_string(number) + ": " + why;
            return false;
        };
        char* end = nullptr;
        const double time = std::strtod(w[0].c_str(), &end);
        if (*end != '\0' || !std::isfinite(time) || time < 0) return fail("expected a time in seconds");
        if (w.size() < 2) return fail("expected an event after the time");

        InputEvent e;
        e.time = time;
        const std::string& verb = w[1];
        if (verb == "down" || verb == "up" || verb == "press") {
            if (w.size() != 3 || !parseKey(w[2], e.key))
                return fail("expected one key (a character, space, enter or esc)");
            if (verb == "up") {
                e.kind = InputEvent::Kind::KeyUp;
                add(e);
            } else {
                e.kind = InputEvent::Kind::KeyDown;
                add(e);
                if (verb == "press") {
                    e.kind = InputEvent::Kind::KeyUp;
                    add(e);
                }
            }
        } else if (verb == "mouse") {
            if (w.size() != 4 || !parseInt(w[2], e.x) || !parseInt(w[3], e.y)) return fail("expected mouse X Y");
            e.kind = InputEvent::Kind::Mouse;
            add(e);
        } else if (verb == "click") {
            if (w.size() != 5 || !parseInt(w[2], e.button) || !parseInt(w[3], e.x) || !parseInt(w[4], e.y) ||
                e.button < 0 || e.button > 2)
                return fail("expected click BUTTON(0-2) X Y");
            e.kind = InputEvent::Kind::ButtonDown;
            add(e);
            e.kind = InputEvent::Kind::ButtonUp;
            add(e);
        } else if (verb == "aim") {
            if (w.size() != 2) return fail("expected nothing after aim");
            e.kind = InputEvent::Kind::Aim;
            add(e);
        } else {
            return fail("unknown event (down, up, press, mouse, click or aim)");
        }
    }
    return true;
}

bool InputScript::load(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot open";
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    if (!parse(text.str(), error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

void InputScript::deliverUntil(double now, OffscreenGame& game) {
    for (; next < events.size() && events[next].time <= now; ++next) {
        const InputEvent& e = events[next];
        switch (e.kind) {
            case InputEvent::Kind::KeyDown: game.keyDown(e.key); break;
            case InputEvent::Kind::KeyUp: game.keyUp(e.key); break;
            case InputEvent::Kind::Mouse: game.mouseMotion(e.x, e.y); break;
            case InputEvent::Kind::ButtonDown: game.mouseButton(e.button, 0, e.x, e.y); break;
            case InputEvent::Kind::ButtonUp: game.mouseButton(e.button, 1, e.x, e.y); break;
            case InputEvent::Kind::Aim: game.aimAtFugitive = true; break;
        }
    }
}
