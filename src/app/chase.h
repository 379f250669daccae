// chase.h -- one chase's bookkeeping: from the key that dismisses the title
// (or starts a new chase) to the capture, the time it took with pauses left
// out and the police cars sent, by the badge and by "x". No GL here.
//
// The game loop drives it (start, advance each tick, count dispatches,
// capture); the result screen and the records read it.
#pragma once

#include <cstdint>

struct ChaseSummary {
    std::uint32_t citySeed = 0;
    double seconds = 0;     // game time in play, pauses left out
    int policeByBadge = 0;  // sent by the searchlight's badge
    int policeByKey = 0;    // sent by "x"
};

class Chase {
public:
    // A chase begins in the city of this seed; the number counts chases.
    void begin(std::uint32_t citySeed);
    // Time in play, never while paused or once captured.
    void advance(double seconds);
    void countBadgeDispatch();
    void countKeyDispatch();
    void capture();
    void setPaused(bool paused) { pausedNow = paused; }

    bool running() const { return begun && !captured; }
    bool over() const { return captured; }
    bool paused() const { return pausedNow; }
    // 0 before the first chase; one more for each chase begun.
    int number() const { return chaseNumber; }
    const ChaseSummary& summary() const { return current; }

private:
    ChaseSummary current;
    bool begun = false;
    bool captured = false;
    bool pausedNow = false;
    int chaseNumber = 0;
};

// The game's chase.
Chase& chase();
