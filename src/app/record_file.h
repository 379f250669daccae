// record_file.h -- the records file in the player's data folder
// ($XDG_DATA_HOME/searchlight/records.txt, by default under
// ~/.local/share): read, moved aside when it is corrupt, and replaced
// atomically, so a crash or a power cut leaves the old file or the new one.
// The text of the file is records.h's.
#pragma once

#include <string>
#include <vector>

#include "app/records.h"

constexpr const char* recordsFileName = "records.txt";
// No records file of ours comes near this (some 400 000 captures).
constexpr std::size_t maxRecordsFileBytes = 16u * 1024u * 1024u;

// The records folder the environment names: $XDG_DATA_HOME/searchlight when
// that is an absolute path, else $HOME/.local/share/searchlight. False with
// the reason when neither is set.
bool recordsFolderFromEnvironment(std::string& folder, std::string& error);

enum class RecordsLoad {
    ok,          // read (or there is no file yet: no records)
    movedAside,  // unreadable or corrupt: moved to the .bad name, no records
    stuck        // unreadable or corrupt and could not be moved aside
};

class RecordFile {
public:
    explicit RecordFile(std::string folder);
    const std::string& path() const { return filePath; }

    // Reads the records. A file that cannot be read or is not in the
    // format is renamed to path() + ".bad" (".bad.2", ".bad.3", ... when
    // that is taken, so no earlier file is lost) and reported in
    // `message`; if even that fails it stays where it is.
    RecordsLoad load(std::vector<CaptureRecord>& records, std::string& message);
    // Makes the folder if need be (mode 0700, as XDG data folders are),
    // writes the records to a temporary file beside the file, flushes it to
    // the disk, renames it over the file and flushes the folder. False with
    // the reason; the old file is then as it was.
    bool save(const std::vector<CaptureRecord>& records, std::string& error);

    // For tests: called once the temporary file is written and flushed,
    // before the rename.
    static void (*beforeRename)();

private:
    std::string folder;
    std::string filePath;
};

// The game's records: each capture is added to the file as it happens. When
// the folder cannot be found, made or written, or a corrupt file cannot be
// moved aside, one line says so on stderr and the game plays on, keeping
// this run's captures in memory only.
class RecordKeeper {
public:
    // Records in the folder the environment names (looked up at the first capture).
    RecordKeeper() = default;
    explicit RecordKeeper(std::string folder) : folder(std::move(folder)), folderKnown(true) {}

    // Adds a capture. bestBefore/hadBest: the best time of every earlier
    // capture kept (in the file, or this run's when there is none).
    void add(const CaptureRecord& record, bool& hadBest, double& bestBefore);
    bool keeping() const { return !off; }

private:
    void stop(const std::string& why);

    std::string folder;
    bool folderKnown = false;
    bool off = false;
    std::vector<CaptureRecord> thisRun;
};

// The game's keeper, in the environment's folder.
RecordKeeper& gameRecords();
