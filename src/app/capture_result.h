// capture_result.h -- what the game does with a capture: the record kept in
// the records file, and the result shown over the capture scene (the chase
// time, the police sent, the best time). No GL here.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "app/chase.h"

struct CaptureResult {
    int chaseNumber = 0;  // chase().number() of the chase it belongs to
    ChaseSummary summary;
    bool hadBest = false;   // an earlier capture was kept
    double bestBefore = 0;  // the best time of the earlier captures

    // This chase is the best so far: faster than every earlier one, or the first.
    bool newBest() const { return !hadBest || summary.seconds < bestBefore; }
    double best() const { return newBest() ? summary.seconds : bestBefore; }
};

// Once the game's chase is over, and once for each chase: adds its record
// to the game's records and keeps its result for the screen. Does nothing
// otherwise, so it may be called every tick; the game loop calls it after
// the tick's capture, the result overlay before drawing.
void noteCaptureIfNew();
// The same for any chase and keeper (the game's are chase() and gameRecords()).
class RecordKeeper;
void noteCaptureIfNew(const Chase& chase, RecordKeeper& keeper, std::time_t now);

// The result of the last capture noted; null before the first.
const CaptureResult* lastCaptureResult();

// A row of the result's table: what, how much, and whether it is marked.
struct ResultRow {
    std::string label, value;
    bool marked = false;
};
std::vector<ResultRow> resultRows(const CaptureResult& result);

// A chase time as the player reads it: minutes, seconds and tenths, "2:05.3"
// ("--" for a time that is not a number or below 0).
std::string chaseTimeText(double seconds);
