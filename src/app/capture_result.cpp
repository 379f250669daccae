// capture_result.cpp -- keeping each capture and the result to show.
#include "app/capture_result.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "app/record_file.h"

namespace {
CaptureResult last;
bool haveResult = false;
}  // namespace

void noteCaptureIfNew(const Chase& chase, RecordKeeper& keeper, std::time_t now) {
    if (!chase.over() || (haveResult && last.chaseNumber == chase.number())) return;
    CaptureResult result;
    result.chaseNumber = chase.number();
    result.summary = chase.summary();
    CaptureRecord record;
    record.date = recordDate(now);
    record.citySeed = result.summary.citySeed;
    record.seconds = result.summary.seconds;
    record.policeByBadge = result.summary.policeByBadge;
    record.policeByKey = result.summary.policeByKey;
    keeper.add(record, result.hadBest, result.bestBefore);
    last = result;
    haveResult = true;
}

void noteCaptureIfNew() { noteCaptureIfNew(chase(), gameRecords(), std::time(nullptr)); }

const CaptureResult* lastCaptureResult() { return haveResult ? &last : nullptr; }

std::string chaseTimeText(double seconds) {
    if (!(seconds >= 0) || !std::isfinite(seconds)) return "--";
    const long long tenths = std::llround(seconds * 10);
    char text[48];
    std::snprintf(text, sizeof text, "%lld:%02lld.%lld", tenths / 600, tenths / 10 % 60, tenths % 10);
    return text;
}

std::vector<ResultRow> resultRows(const CaptureResult& r) {
    std::vector<ResultRow> rows;
    rows.push_back({"CHASE TIME", chaseTimeText(r.summary.seconds), false});
    rows.push_back({"POLICE SENT BY THE BADGE", std::to_string(r.summary.policeByBadge), false});
    rows.push_back({"POLICE SENT BY X", std::to_string(r.summary.policeByKey), false});
    if (r.newBest())
        rows.push_back({"NEW BEST TIME!", chaseTimeText(r.best()), true});
    else
        rows.push_back({"BEST TIME", chaseTimeText(r.best()), false});
    return rows;
}
