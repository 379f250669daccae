// The records of captures: the file's format, its atomic replacement, and
// what happens when the file is corrupt or the folder cannot be written.
#include "app/records.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/capture_result.h"
#include "app/record_file.h"

namespace {

namespace fs = std::filesystem;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

int lineCount(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

CaptureRecord record(double seconds, std::uint32_t seed = 7) {
    CaptureRecord r;
    r.date = "2026-03-01T21:04:56Z";
    r.citySeed = seed;
    r.seconds = seconds;
    r.policeByBadge = 3;
    r.policeByKey = 1;
    return r;
}

bool parses(const std::string& text, std::vector<CaptureRecord>& out, std::string& error) {
    return parseRecords(reinterpret_cast<const unsigned char*>(text.data()), text.size(), out, error);
}

class RecordsFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/searchlight-records-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        folder = root + "/data/searchlight";
    }
    void TearDown() override {
        chmod(root.c_str(), 0755);
        fs::remove_all(root);
    }
    std::string file() const { return folder + "/records.txt"; }

    std::string root, folder;
};

// What is written reads back the same; a line that strays from the format
// in any field is refused with its line number, the records left empty.
TEST(RecordsTest, LinesReadBackAndAnythingElseIsRefused) {
    std::vector<CaptureRecord> written = {record(151.25, 4294967295u), record(0), record(42.0005)};
    written[1].policeByKey = 12345;  // over the limit: kept at it
    std::vector<CaptureRecord> read;
    std::string error;
    const std::string text = formatRecords(written);
    ASSERT_TRUE(parses(text, read, error)) << error << "\n" << text;
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[0].citySeed, 4294967295u);
    EXPECT_DOUBLE_EQ(read[0].seconds, 151.25);
    EXPECT_EQ(read[1].policeByKey, maxRecordPolice);
    EXPECT_DOUBLE_EQ(read[2].seconds, 42.001);
    EXPECT_EQ(formatRecordLine(read[0]), "2026-03-01T21:04:56Z 4294967295 151.250 3 1");
    double best = 0;
    ASSERT_TRUE(bestSeconds(read, best));
    EXPECT_DOUBLE_EQ(best, 0);
    EXPECT_TRUE(parses("", read, error)) << "an empty file holds no records";
    EXPECT_FALSE(bestSeconds(read, best));

    const std::string header = std::string(recordsHeader) + "\n";
    const std::string good = "2026-03-01T21:04:56Z 7 151.250 3 1";
    for (const std::string& bad :
         {std::string("# searchlight records 2\n"), header + good, header + good + "\r\n",
          header + "2026-13-01T21:04:56Z 7 1.5 3 1\n", header + "2026-03-01 21:04:56 7 1.5 3 1\n",
          header + "2026-03-01T21:04:56Z 4294967296 1.5 3 1\n", header + "2026-03-01T21:04:56Z -7 1.5 3 1\n",
          header + "2026-03-01T21:04:56Z 7 1.5555 3 1\n", header + "2026-03-01T21:04:56Z 7 1. 3 1\n",
          header + "2026-03-01T21:04:56Z 7 nan 3 1\n", header + "2026-03-01T21:04:56Z 7 1.5 3\n",
          header + "2026-03-01T21:04:56Z 7 1.5 3 1 9\n", header + "2026-03-01T21:04:56Z 7  1.5 3 1\n",
          header + good + "\n\n", header + good + "\n" + std::string("\0", 1) + "\n"}) {
        EXPECT_FALSE(parses(bad, read, error)) << bad;
        EXPECT_TRUE(read.empty());
        EXPECT_NE(error.find("line "), std::string::npos) << error;
    }
    EXPECT_EQ(recordDate(0), "1970-01-01T00:00:00Z");
    EXPECT_EQ(recordDate(1772399096), "2026-03-01T21:04:56Z");
}

// A write killed between the temporary file and the rename leaves the old
// file whole; the next write replaces it, stale temporary and all.
TEST_F(RecordsFolderTest, AWriteKilledMidwayLeavesTheOldFile) {
    RecordFile records(folder);
    std::string error;
    ASSERT_TRUE(records.save({record(90)}, error)) << error;
    const std::string old = readText(file());
    ASSERT_EQ(lineCount(old), 2);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        RecordFile::beforeRename = [] { raise(SIGKILL); };
        std::string e;
        RecordFile(folder).save({record(90), record(45), record(30)}, e);
        _exit(0);  // not reached: killed before the rename
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the write was not cut short";
    EXPECT_TRUE(fs::exists(file() + ".tmp")) << "the child died before writing its temporary";
    EXPECT_EQ(readText(file()), old);

    std::vector<CaptureRecord> read;
    std::string message;
    EXPECT_EQ(records.load(read, message), RecordsLoad::ok) << message;
    ASSERT_EQ(read.size(), 1u);
    ASSERT_TRUE(records.save({record(90), record(60)}, error)) << error;
    EXPECT_EQ(lineCount(readText(file())), 3);
    EXPECT_FALSE(fs::exists(file() + ".tmp"));
}

// A corrupt file is reported in one line, moved aside whole, and a fresh
// file holds the new capture; a second corrupt file does not take the first
// one's place.
TEST_F(RecordsFolderTest, CorruptFileIsMovedAsideAndAFreshOneStarted) {
    fs::create_directories(folder);
    const std::string garbage = std::string(recordsHeader) + "\n2026-03-01T21:04:56Z 7 twelve 3 1\n";
    writeText(file(), garbage);
    RecordKeeper keeper(folder);
    bool hadBest = true;
    double best = 0;
    CaptureStderr();
    keeper.add(record(80), hadBest, best);
    std::string said = GetCapturedStderr();
    EXPECT_EQ(lineCount(said), 1) << said;
    EXPECT_NE(said.find(file()), std::string::npos) << said;
    EXPECT_NE(said.find("line 2"), std::string::npos) << said;
    EXPECT_NE(said.find(".bad"), std::string::npos) << said;
    EXPECT_FALSE(hadBest) << "nothing of the corrupt file counts";
    EXPECT_EQ(readText(file() + ".bad"), garbage);
    std::vector<CaptureRecord> read;
    std::string error;
    ASSERT_TRUE(parses(readText(file()), read, error)) << error;
    ASSERT_EQ(read.size(), 1u);
    EXPECT_DOUBLE_EQ(read[0].seconds, 80);

    writeText(file(), "\x89PNG\r\n");
    CaptureStderr();
    keeper.add(record(70), hadBest, best);
    said = GetCapturedStderr();
    EXPECT_EQ(lineCount(said), 1) << said;
    EXPECT_EQ(readText(file() + ".bad"), garbage) << "the first file moved aside was lost";
    EXPECT_EQ(readText(file() + ".bad.2"), "\x89PNG\r\n");
    EXPECT_TRUE(hadBest) << "this run's capture is still known";
    EXPECT_DOUBLE_EQ(best, 80);
}

// A folder that can't be made or written, or no folder named at all: one
// line, then the game plays on, with this run's best times in memory.
TEST_F(RecordsFolderTest, UnwritableFolderSaysSoOnceAndPlaysOn) {
    writeText(root + "/data", "a file where the folder should be");
    const std::string blocked = folder;
    fs::create_directories(root + "/writable/searchlight/records.txt.tmp");  // the temporary can't be made
    const std::string unwritable = root + "/writable/searchlight";
    std::vector<std::string> folders = {blocked, unwritable};
    if (geteuid() != 0) {  // permissions bind everyone but root
        fs::create_directories(root + "/readonly");
        chmod((root + "/readonly").c_str(), 0555);
        folders.push_back(root + "/readonly/searchlight");
    }
    for (const std::string& f : folders) {
        SCOPED_TRACE(f);
        RecordKeeper keeper(f);
        bool hadBest = true;
        double best = 0;
        CaptureStderr();
        keeper.add(record(50), hadBest, best);
        keeper.add(record(40), hadBest, best);
        keeper.add(record(45), hadBest, best);
        const std::string said = GetCapturedStderr();
        EXPECT_EQ(lineCount(said), 1) << said;
        EXPECT_NE(said.find("no records kept"), std::string::npos) << said;
        EXPECT_FALSE(keeper.keeping());
        EXPECT_TRUE(hadBest);
        EXPECT_DOUBLE_EQ(best, 40);
    }

    // Neither XDG_DATA_HOME nor HOME: nowhere to keep them.
    unsetenv("XDG_DATA_HOME");
    unsetenv("HOME");
    std::string where, why;
    EXPECT_FALSE(recordsFolderFromEnvironment(where, why));
    RecordKeeper keeper;
    bool hadBest = true;
    double best = 0;
    CaptureStderr();
    keeper.add(record(50), hadBest, best);
    const std::string said = GetCapturedStderr();
    EXPECT_EQ(lineCount(said), 1) << said;
    EXPECT_NE(said.find("HOME"), std::string::npos) << said;
    EXPECT_FALSE(hadBest);
    setenv("HOME", root.c_str(), 1);
    setenv("XDG_DATA_HOME", "relative/path", 1);  // not absolute: ignored, as XDG asks
    ASSERT_TRUE(recordsFolderFromEnvironment(where, why));
    EXPECT_EQ(where, root + "/.local/share/searchlight");
    setenv("XDG_DATA_HOME", (root + "/xdg").c_str(), 1);
    ASSERT_TRUE(recordsFolderFromEnvironment(where, why));
    EXPECT_EQ(where, root + "/xdg/searchlight");
}

// The game's hook keeps each capture once, in $XDG_DATA_HOME, whenever it is
// called, and the result marks a time that beats every earlier one.
TEST_F(RecordsFolderTest, EachCaptureIsKeptOnceAndTheBestIsMarked) {
    setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
    fs::create_directories(folder);
    writeText(file(), formatRecords({record(100, 1)}));
    Chase chase;
    RecordKeeper keeper;
    for (const double seconds : {120.0, 75.5}) {
        chase.begin(1234);
        chase.advance(seconds);
        chase.countKeyDispatch();
        noteCaptureIfNew(chase, keeper, 0);
        EXPECT_TRUE(lastCaptureResult() == nullptr || lastCaptureResult()->chaseNumber != chase.number())
            << "a chase still running was noted";
        chase.capture();
        for (int tick = 0; tick < 3; ++tick) noteCaptureIfNew(chase, keeper, 1772399096);
    }
    std::vector<CaptureRecord> read;
    std::string error;
    ASSERT_TRUE(parses(readText(file()), read, error)) << error;
    ASSERT_EQ(read.size(), 3u) << "each capture once";
    EXPECT_EQ(read[2].citySeed, 1234u);
    EXPECT_EQ(read[2].policeByKey, 1);
    EXPECT_EQ(read[2].date, "2026-03-01T21:04:56Z");
    const CaptureResult* result = lastCaptureResult();
    ASSERT_NE(result, nullptr);
    EXPECT_TRUE(result->newBest());
    EXPECT_DOUBLE_EQ(result->best(), 75.5);
    const std::vector<ResultRow> rows = resultRows(*result);
    EXPECT_EQ(rows.front().value, "1:15.5");
    EXPECT_TRUE(rows.back().marked);

    EXPECT_EQ(chaseTimeText(3725.04), "62:05.0");
}

}  // namespace
