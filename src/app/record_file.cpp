// record_file.cpp -- reading, moving aside and atomically replacing the
// records file.
#include "app/record_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "assets/file_bytes.h"

void (*RecordFile::beforeRename)() = nullptr;

namespace {

// A path is taken as it is beyond this many tries at a free ".bad" name.
constexpr int maxAsideNames = 99;

std::string systemError(const std::string& what) { return what + ": " + std::strerror(errno); }

// mkdir -p with mode 0700 for what it makes.
bool makeFolders(const std::string& folder, std::string& error) {
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at != folder.size() && folder[at] != '/') continue;
        const std::string part = folder.substr(0, at);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            error = "can't make the folder " + systemError(part);
            return false;
        }
    }
    struct stat s;
    if (stat(folder.c_str(), &s) != 0) {
        error = "can't make the folder " + systemError(folder);
        return false;
    }
    if (!S_ISDIR(s.st_mode)) {
        error = "can't make the folder " + folder + ": a file of that name is in the way";
        return false;
    }
    return true;
}

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool recordsFolderFromEnvironment(std::string& folder, std::string& error) {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    // XDG directories must be absolute: a relative XDG_DATA_HOME is ignored.
    if (dataHome && dataHome[0] == '/') {
        folder = std::string(dataHome) + "/searchlight";
        return true;
    }
    const char* home = std::getenv("HOME");
    if (home && home[0] != '\0') {
        folder = std::string(home) + "/.local/share/searchlight";
        return true;
    }
    error = "neither XDG_DATA_HOME nor HOME is set";
    return false;
}

RecordFile::RecordFile(std::string folder_)
    : folder(std::move(folder_)), filePath(folder + "/" + recordsFileName) {}

RecordsLoad RecordFile::load(std::vector<CaptureRecord>& records, std::string& message) {
    records.clear();
    std::vector<unsigned char> bytes;
    std::string error;
    std::string fault;
    switch (readFileBytes(filePath.c_str(), bytes, error, maxRecordsFileBytes)) {
        case FileReadStatus::ok:
            if (parseRecords(bytes.data(), bytes.size(), records, error)) return RecordsLoad::ok;
            fault = "is corrupt (" + error + ")";
            break;
        case FileReadStatus::cannotOpen:
            if (errno == ENOENT) return RecordsLoad::ok;  // no captures yet
            fault = "can't be read (" + error + ")";
            break;
        case FileReadStatus::tooLarge:
            fault =
                "is corrupt (larger than " + std::to_string(maxRecordsFileBytes / (1024 * 1024)) + " MiB)";
            break;
        case FileReadStatus::readFailed:
            fault = "can't be read (" + error + ")";
            break;
    }
    // Aside under a name no earlier file holds.
    for (int n = 1; n <= maxAsideNames; ++n) {
        const std::string aside = filePath + ".bad" + (n == 1 ? "" : "." + std::to_string(n));
        struct stat s;
        if (lstat(aside.c_str(), &s) == 0) continue;
        if (errno != ENOENT) break;
        if (rename(filePath.c_str(), aside.c_str()) != 0) break;
        message = "the records file " + filePath + " " + fault + "; moved it to " + aside +
                  " and started a fresh one";
        return RecordsLoad::movedAside;
    }
    message = "the records file " + filePath + " " + fault + " and can't be moved aside (" +
              (errno ? std::strerror(errno) : "no free .bad name") + ")";
    return RecordsLoad::stuck;
}

bool RecordFile::save(const std::vector<CaptureRecord>& records, std::string& error) {
    if (!makeFolders(folder, error)) return false;
    const std::string temporary = filePath + ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        error = "can't write " + systemError(temporary);
        return false;
    }
    // The bytes reach the disk before the rename makes them the file.
    const bool written = writeAll(fd, formatRecords(records)) && fsync(fd) == 0;
    const int writeErrno = errno;
    if (close(fd) != 0 || !written) {
        if (written)
            error = "can't write " + systemError(temporary);
        else
            error = "can't write " + temporary + ": " + std::strerror(writeErrno);
        unlink(temporary.c_str());
        return false;
    }
    if (beforeRename) beforeRename();
    if (rename(temporary.c_str(), filePath.c_str()) != 0) {
        error = "can't replace " + systemError(filePath);
        unlink(temporary.c_str());
        return false;
    }
    // And the rename reaches it too. Some file systems cannot flush a
    // folder; the file is written all the same.
    const int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        fsync(folderFd);
        close(folderFd);
    }
    return true;
}

void RecordKeeper::stop(const std::string& line) {
    if (off) return;
    off = true;
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, line.c_str());
}

void RecordKeeper::add(const CaptureRecord& record, bool& hadBest, double& bestBefore) {
    if (!off && !folderKnown) {
        std::string why;
        if (recordsFolderFromEnvironment(folder, why))
            folderKnown = true;
        else
            stop("no records kept this run: " + why);
    }
    std::vector<CaptureRecord> kept;
    if (!off) {
        RecordFile file(folder);
        std::string message;
        switch (file.load(kept, message)) {
            case RecordsLoad::ok:
                break;
            case RecordsLoad::movedAside:
                std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, message.c_str());
                break;
            case RecordsLoad::stuck:
                stop(message + "; no records kept this run");
                break;
        }
    }
    std::vector<CaptureRecord> earlier = kept;
    earlier.insert(earlier.end(), thisRun.begin(), thisRun.end());
    hadBest = bestSeconds(earlier, bestBefore);

    if (!off) {
        kept.push_back(record);
        std::string error;
        if (!RecordFile(folder).save(kept, error)) stop("no records kept this run: " + error);
    }
    thisRun.push_back(record);
}

RecordKeeper& gameRecords() {
    static RecordKeeper keeper;
    return keeper;
}
