// game_events.cpp -- the log of game events.
#include "app/game_events.h"

#include <utility>

#include "app/globals.h"

GameEventLog gameEvents;

const char* gameEventName(GameEventKind kind) {
    switch (kind) {
        case GameEventKind::policeByBadge:
            return "police-badge";
        case GameEventKind::policeByKey:
            return "police-key";
        case GameEventKind::capture:
            return "capture";
        case GameEventKind::newChase:
            return "new-chase";
    }
    return "unknown";
}

void GameEventLog::record(GameEventKind kind, const Vector3& place) {
    if (!recording) return;
    GameEvent e;
    e.time = gameTime;
    e.kind = kind;
    e.place = place;
    events.push_back(e);
}

std::vector<GameEvent> GameEventLog::take() {
    std::vector<GameEvent> taken;
    taken.swap(events);
    return taken;
}
