// records.h -- the record of every capture, kept between runs: the text of
// the records file and the best time. No file access and no GL here
// (record_file.h reads and replaces the file).
//
// The file is a header line, then one line for each capture, oldest first:
//
//   # searchlight records 1: date city-seed chase-seconds police-by-badge police-by-x
//   2026-03-01T21:04:56Z 1740863096 151.250 3 2
//
// date: UTC, ISO 8601 to the second; city seed: the chase's city, 0 to
// 4294967295; chase seconds: game time from the key that started the chase
// to the capture, pauses left out, 0 to 9999999.999 with three decimals;
// police: the cars the searchlight's badge sent and those "x" sent, 0 to
// 9999 each. Fields are separated by one space, lines end in "\n". Nothing
// else is accepted: a file that differs in any way is corrupt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

struct CaptureRecord {
    std::string date;  // "YYYY-MM-DDTHH:MM:SSZ"
    std::uint32_t citySeed = 0;
    double seconds = 0;
    int policeByBadge = 0, policeByKey = 0;
};

// The first line of every records file, without its newline.
extern const char* const recordsHeader;
// The largest chase time and police count a record holds; larger ones are
// written as these.
constexpr double maxRecordSeconds = 9999999.999;
constexpr int maxRecordPolice = 9999;

// Parses a whole file. An empty file holds no records. On anything but the
// format above: false, no records, and the reason in error (with the line
// number). Time linear in the size, whatever the bytes.
bool parseRecords(const unsigned char* bytes, std::size_t size, std::vector<CaptureRecord>& records,
                  std::string& error);
// The file's text: the header, then one line per record.
std::string formatRecords(const std::vector<CaptureRecord>& records);
// A record's line, without its newline; parseRecords always takes it back.
// Times and counts out of range are written at the nearest limit (a time
// that is not a number as 0), a malformed date as 1970-01-01T00:00:00Z.
std::string formatRecordLine(const CaptureRecord& record);

// The shortest chase time of the records; false when there are none.
bool bestSeconds(const std::vector<CaptureRecord>& records, double& best);
// The date field for a moment, in UTC (1970-01-01T00:00:00Z past year 9999).
std::string recordDate(std::time_t when);
