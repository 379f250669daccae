// records_fuzz.cpp -- libFuzzer target for the records file's reader.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<CaptureRecord> records;
    std::string error;
    if (!parseRecords(data, size, records, error)) {
        if (!records.empty() || error.empty()) __builtin_trap();  // a refusal keeps nothing and says why
        return 0;
    }
    // Whatever was accepted is written back in a form that reads back the same.
    const std::string again = formatRecords(records);
    std::vector<CaptureRecord> back;
    if (!parseRecords(reinterpret_cast<const unsigned char*>(again.data()), again.size(), back, error))
        __builtin_trap();
    if (back.size() != records.size()) __builtin_trap();
    for (std::size_t i = 0; i < back.size(); ++i) {
        const CaptureRecord &a = records[i], &b = back[i];
        if (a.date != b.date || a.citySeed != b.citySeed || a.seconds != b.seconds ||
            a.policeByBadge != b.policeByBadge || a.policeByKey != b.policeByKey)
            __builtin_trap();
        if (!(a.seconds >= 0 && a.seconds <= maxRecordSeconds)) __builtin_trap();
    }
    double best = 0;
    if (bestSeconds(records, best) == records.empty()) __builtin_trap();
    return 0;
}
