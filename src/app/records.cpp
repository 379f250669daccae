// records.cpp -- the records file's text: parsing, formatting, the best time.
#include "app/records.h"

#include <cmath>
#include <cstdio>

const char* const recordsHeader =
    "# searchlight records 1: date city-seed chase-seconds police-by-badge police-by-x";

namespace {

constexpr std::size_t dateLength = 20;  // "YYYY-MM-DDTHH:MM:SSZ"
constexpr long long maxMilliseconds = 9999999999LL;
// Written for a date that cannot be told (a clock beyond year 9999).
const char* const unknownDate = "1970-01-01T00:00:00Z";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads 1 to maxDigits decimal digits at text[at...]; no sign, no spaces.
bool readNumber(const std::string& text, std::size_t& at, int maxDigits, unsigned long long& value) {
    value = 0;
    int digits = 0;
    while (at < text.size() && isDigit(text[at])) {
        if (++digits > maxDigits) return false;
        value = value * 10 + static_cast<unsigned>(text[at] - '0');
        ++at;
    }
    return digits > 0;
}

bool expect(const std::string& text, std::size_t& at, char c) {
    if (at >= text.size() || text[at] != c) return false;
    ++at;
    return true;
}

// Two digits at text[at] within [lo, hi].
bool readTwoDigits(const std::string& text, std::size_t at, int lo, int hi) {
    if (!isDigit(text[at]) || !isDigit(text[at + 1])) return false;
    const int v = (text[at] - '0') * 10 + (text[at + 1] - '0');
    return v >= lo && v <= hi;
}

bool validDate(const std::string& d) {
    if (d.size() != dateLength) return false;
    for (std::size_t i : {0u, 1u, 2u, 3u})
        if (!isDigit(d[i])) return false;
    return d[4] == '-' && d[7] == '-' && d[10] == 'T' && d[13] == ':' && d[16] == ':' && d[19] == 'Z' &&
           readTwoDigits(d, 5, 1, 12) && readTwoDigits(d, 8, 1, 31) && readTwoDigits(d, 11, 0, 23) &&
           readTwoDigits(d, 14, 0, 59) && readTwoDigits(d, 17, 0, 60);
}

// One record line (without its newline); false with the reason.
bool parseLine(const std::string& line, CaptureRecord& r, std::string& why) {
    std::size_t at = 0;
    if (line.size() < dateLength || !validDate(line.substr(0, dateLength))) {
        why = "no date of the form YYYY-MM-DDTHH:MM:SSZ";
        return false;
    }
    r.date = line.substr(0, dateLength);
    at = dateLength;
    unsigned long long v = 0;
    if (!expect(line, at, ' ') || !readNumber(line, at, 10, v) || v > 4294967295ULL) {
        why = "no city seed from 0 to 4294967295 after the date";
        return false;
    }
    r.citySeed = static_cast<std::uint32_t>(v);
    unsigned long long whole = 0, fraction = 0;
    if (!expect(line, at, ' ') || !readNumber(line, at, 7, whole)) {
        why = "no chase seconds after the seed";
        return false;
    }
    std::size_t fractionDigits = 0;
    if (at < line.size() && line[at] == '.') {
        ++at;
        const std::size_t before = at;
        if (!readNumber(line, at, 3, fraction)) {
            why = "the chase seconds have no digits after the point, or more than three";
            return false;
        }
        fractionDigits = at - before;
    }
    for (std::size_t i = fractionDigits; i < 3; ++i) fraction *= 10;
    r.seconds = static_cast<double>(whole * 1000 + fraction) / 1000.0;
    int* counts[] = {&r.policeByBadge, &r.policeByKey};
    for (int* count : counts) {
        if (!expect(line, at, ' ') || !readNumber(line, at, 4, v)) {
            why = "not two police counts from 0 to 9999 after the seconds";
            return false;
        }
        *count = static_cast<int>(v);
    }
    if (at != line.size()) {
        why = "more than five fields";
        return false;
    }
    return true;
}

}  // namespace

bool parseRecords(const unsigned char* bytes, std::size_t size, std::vector<CaptureRecord>& records,
                  std::string& error) {
    records.clear();
    if (size == 0) return true;
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    std::size_t start = 0;
    int lineNumber = 0;
    while (start < text.size()) {
        ++lineNumber;
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            error = "line " + std::to_string(lineNumber) + " is cut short (no end of line)";
            records.clear();
            return false;
        }
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (lineNumber == 1) {
            if (line != recordsHeader) {
                error = "line 1 is not the header \"" + std::string(recordsHeader) + "\"";
                return false;
            }
            continue;
        }
        CaptureRecord r;
        std::string why;
        if (!parseLine(line, r, why)) {
            error = "line " + std::to_string(lineNumber) + ": " + why;
            records.clear();
            return false;
        }
        records.push_back(r);
    }
    return true;
}

std::string formatRecordLine(const CaptureRecord& r) {
    double seconds = r.seconds;
    if (!(seconds >= 0)) seconds = 0;  // also NaN
    if (seconds > maxRecordSeconds) seconds = maxRecordSeconds;
    long long ms = std::llround(seconds * 1000);
    if (ms > maxMilliseconds) ms = maxMilliseconds;
    auto police = [](int n) { return n < 0 ? 0 : (n > maxRecordPolice ? maxRecordPolice : n); };
    // Formatted by hand: the seconds' decimal point must not follow the locale.
    const std::string date = validDate(r.date) ? r.date : unknownDate;
    char line[96];
    std::snprintf(line, sizeof line, "%s %lu %lld.%03lld %d %d", date.c_str(),
                  static_cast<unsigned long>(r.citySeed), ms / 1000, ms % 1000, police(r.policeByBadge),
                  police(r.policeByKey));
    return line;
}

std::string formatRecords(const std::vector<CaptureRecord>& records) {
    std::string text = std::string(recordsHeader) + "\n";
    for (const CaptureRecord& r : records) text += formatRecordLine(r) + "\n";
    return text;
}

bool bestSeconds(const std::vector<CaptureRecord>& records, double& best) {
    if (records.empty()) return false;
    best = records.front().seconds;
    for (const CaptureRecord& r : records)
        if (r.seconds < best) best = r.seconds;
    return true;
}

std::string recordDate(std::time_t when) {
    std::tm utc{};
    if (!gmtime_r(&when, &utc) || utc.tm_year + 1900 < 0 || utc.tm_year + 1900 > 9999) return unknownDate;
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", utc.tm_year + 1900, utc.tm_mon + 1,
                  utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
    return text;
}
