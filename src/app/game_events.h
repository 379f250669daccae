// game_events.h -- what happened in a play and when: police cars sent, the
// capture. The game records; tools and tests that follow a play take the
// events away. No GL here.
//
// Off until a follower switches it on, so the window game keeps nothing.
#pragma once

#include <vector>

#include "render/vector_math.h"

enum class GameEventKind {
    policeByBadge,  // the searchlight's badge filled and sent a police car
    policeByKey,    // "x" sent a police car
    capture,        // the police closed in on the fugitive from both sides
    newChase,       // a chase began: the title's dismissal, Return after a capture
};

// The name a log line gives the kind: "police-badge", "police-key", "capture",
// "new-chase".
const char* gameEventName(GameEventKind kind);

struct GameEvent {
    double time = 0;  // gameTime, seconds
    GameEventKind kind = GameEventKind::capture;
    Vector3 place;  // where it happened: the police spawn point, the fugitive, the helicopter
};

class GameEventLog {
public:
    void startRecording() { recording = true; }
    // Adds the event at the current gameTime, while recording.
    void record(GameEventKind kind, const Vector3& place);
    // The events recorded since the last call, oldest first.
    std::vector<GameEvent> take();

private:
    bool recording = false;
    std::vector<GameEvent> events;
};

extern GameEventLog gameEvents;
