// chase.cpp -- one chase's bookkeeping.
#include "app/chase.h"

void Chase::begin(std::uint32_t citySeed) {
    current = ChaseSummary();
    current.citySeed = citySeed;
    begun = true;
    captured = false;
    pausedNow = false;
    ++chaseNumber;
}

void Chase::advance(double seconds) {
    if (running() && !pausedNow && seconds > 0) current.seconds += seconds;
}

void Chase::countBadgeDispatch() {
    if (running()) ++current.policeByBadge;
}

void Chase::countKeyDispatch() {
    if (running()) ++current.policeByKey;
}

void Chase::capture() {
    if (running()) captured = true;
}

Chase& chase() {
    static Chase theChase;
    return theChase;
}
