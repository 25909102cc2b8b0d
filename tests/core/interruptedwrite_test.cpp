// Writes killed at every step: the next run that reads or writes the files finds them whole,
// a colour pair both old or both new, and no hidden file of the dead writer left.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <set>

#include "document/abc.h"
#include "platform/files.h"
#include "platform/hiddenfiles.h"
#include "platform/undorecord.h"
#include "testfiles.h"

namespace morvane {
namespace {

using test::CrLf;
using test::TTempFolder;

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.insert(name);
        }
        closedir(dir);
    }
    return names;
}

std::string ReadOrMissing(const std::string& path) {
    try {
        return ReadWholeFile(path);
    } catch (const EFileError&) {
        return "(missing)";
    }
}

int gKillAtStep = 0;
int gStepsSeen = 0;

void KillAtChosenStep() {
    if (++gStepsSeen == gKillAtStep) raise(SIGKILL);
}

// Runs write in a child process killed at its step-th commit step. True when the child was
// killed; false when the write had fewer steps and ended.
bool RunKilledAt(int step, const std::function<void()>& write) {
    const pid_t child = fork();
    if (child == 0) {
        gKillAtStep = step;
        SetCommitStepHook(&KillAtChosenStep);
        try {
            write();
        } catch (...) {
            _exit(2);
        }
        _exit(0);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) {
        ADD_FAILURE() << "cannot run the writer";
        return false;
    }
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) return true;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the writer failed";
    return false;
}

// Documents of one row of text whose colour differs with it.
Tabc Document(const std::string& text, TColor colour) {
    Tabc doc;
    doc.FKind = dkColor;
    doc.FLines = {text};
    doc.FRowCount = 1;
    doc.FColCount = static_cast<std::int32_t>(text.size());
    doc.FWideCells = false;
    doc.SizeGrid(1);
    doc.FCells[0][1] = {colour, 0};
    doc.FMarked[0][1] = true;
    return doc;
}

enum class TNextRun { ReadsTheColourFile, ReadsTheText, WritesThePairAgain };

struct TPairCase {
    const char* Name;
    bool OldPairThere;
    TNextRun NextRun;
};

void PrintTo(const TPairCase& c, std::ostream* os) { *os << c.Name; }

class KilledPairWriteTest : public testing::TestWithParam<TPairCase> {
  protected:
    TTempFolder Dir;
    std::string Colours() const { return Dir.Path() + "out.clo"; }
    std::string Text() const { return Dir.Path() + "out.txt"; }
    // The pair's two files as they stand.
    std::pair<std::string, std::string> Pair() const {
        return {ReadOrMissing(Text()), ReadOrMissing(Colours())};
    }
    // The pair SaveColorFile writes for doc, written elsewhere.
    static std::pair<std::string, std::string> Written(const Tabc& doc) {
        TTempFolder elsewhere;
        Tabc copy = Document(doc.FLines[0], doc.FCells[0][1].Fg);
        copy.SaveColorFile(elsewhere.Path() + "out.clo");
        return {elsewhere.Read("out.txt"), elsewhere.Read("out.clo")};
    }
};

TEST_P(KilledPairWriteTest, NextRunFindsBothOldOrBothNew) {
    const TPairCase& c = GetParam();
    const Tabc oldDoc = Document("OLD", 255);
    const Tabc newDoc = Document("NEW", 65280);
    const Tabc laterDoc = Document("LATER", 16711680);
    const std::pair<std::string, std::string> missing = {"(missing)", "(missing)"};
    const auto oldPair = c.OldPairThere ? Written(oldDoc) : missing;
    const auto newPair = Written(newDoc);
    int kills = 0;
    for (int step = 1;; ++step) {
        ASSERT_LT(step, 100) << "the write never ends";
        for (const std::string& name : Names(Dir.Path())) unlink((Dir.Path() + name).c_str());
        if (c.OldPairThere) Document("OLD", 255).SaveColorFile(Colours());
        if (!RunKilledAt(step, [&]() { Document("NEW", 65280).SaveColorFile(Colours()); })) break;
        ++kills;

        Tabc reader;
        switch (c.NextRun) {
            case TNextRun::ReadsTheColourFile:
                reader.LoadFile(Colours());
                break;
            case TNextRun::ReadsTheText:
                reader.LoadFile(Text());
                break;
            case TNextRun::WritesThePairAgain:
                Document("LATER", 16711680).SaveColorFile(Colours());
                EXPECT_EQ(Pair(), Written(laterDoc)) << "killed at step " << step;
                break;
        }
        if (c.NextRun != TNextRun::WritesThePairAgain) {
            EXPECT_TRUE(Pair() == oldPair || Pair() == newPair)
                << "killed at step " << step << ": text \"" << Pair().first << "\"";
        }
        // What the reader shows is one pair too: the text's own colour.
        if (reader.FKind == dkColor) {
            EXPECT_EQ(reader.FCells[0][1].Fg, reader.FLines[0] == "OLD" ? 255 : 65280)
                << "killed at step " << step;
        }
        std::set<std::string> expected;
        if (Pair().first != "(missing)") expected = {"out.clo", "out.txt"};
        EXPECT_EQ(Names(Dir.Path()), expected) << "killed at step " << step;
    }
    EXPECT_EQ(Pair(), newPair);
    // The commit has more than a step or two: each was killed once.
    EXPECT_GE(kills, 5);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KilledPairWriteTest,
    testing::Values(
        TPairCase{"OverAPairThenTheColourFileIsRead", true, TNextRun::ReadsTheColourFile},
        TPairCase{"OverAPairThenTheTextIsRead", true, TNextRun::ReadsTheText},
        TPairCase{"OverAPairThenThePairIsWrittenAgain", true, TNextRun::WritesThePairAgain},
        TPairCase{"NewPairThenTheColourFileIsRead", false, TNextRun::ReadsTheColourFile},
        TPairCase{"NewPairThenTheTextIsRead", false, TNextRun::ReadsTheText}),
    [](const testing::TestParamInfo<TPairCase>& info) { return std::string(info.param.Name); });

TEST(KilledFileWriteTest, NextRunFindsTheFileWholeAndNoHiddenFile) {
    TTempFolder dir;
    const std::string page = dir.Path() + "out.htm";
    const std::string oldPage(100000, 'o');
    const std::string newPage(200000, 'n');
    for (int step = 1;; ++step) {
        ASSERT_LT(step, 100) << "the write never ends";
        WriteFileAtomic(page, oldPage);
        if (!RunKilledAt(step, [&]() { WriteFileAtomic(page, newPage); })) break;
        Tabc reader;
        reader.LoadFile(page);
        const std::string shown = ReadWholeFile(page);
        EXPECT_TRUE(shown == oldPage || shown == newPage) << "killed at step " << step;
        EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"out.htm"}) << "killed at step " << step;
    }
    EXPECT_EQ(ReadWholeFile(page), newPage);
}

struct THiddenCase {
    const char* Name;
    const char* File;
    bool HeldByAWriter;
    bool Removed;
};

void PrintTo(const THiddenCase& c, std::ostream* os) { *os << c.Name; }

class HiddenFileTest : public testing::TestWithParam<THiddenCase> {};

TEST_P(HiddenFileTest, OnlyThoseOfDeadWritersOfTheFileGo) {
    const THiddenCase& c = GetParam();
    TTempFolder dir;
    dir.Write("out.txt", "text");
    const std::string hidden = dir.Write(c.File, "left");
    // A writer at work holds a lock on its file as long as it runs.
    const int writer = open(hidden.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    if (c.HeldByAWriter) {
        ASSERT_EQ(flock(writer, LOCK_EX), 0);
    }
    TidyAfterKilledWriters(dir.Path() + "out.txt");
    close(writer);
    EXPECT_NE(Names(dir.Path()).count(c.File), c.Removed ? 1u : 0u);
    EXPECT_EQ(dir.Read("out.txt"), "text");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HiddenFileTest,
    testing::Values(THiddenCase{"DeadWritersFile", ".out.txt.morvane-a1b2c3", false, true},
                    THiddenCase{"LiveWritersFile", ".out.txt.morvane-a1b2c3", true, false},
                    THiddenCase{"DeadWriterOfTheOtherHalf", ".out.clo.morvane-Zz9Yy8", false, true},
                    THiddenCase{"AnotherFilesWriter", ".other.txt.morvane-a1b2c3", false, false},
                    THiddenCase{"UsersOwnHiddenFile", ".out.txt.backup", false, false},
                    THiddenCase{"UsersLookalike", ".out.txt.a1b2c3", false, false},
                    THiddenCase{"TagTooLong", ".out.txt.morvane-a1b2c3d", false, false},
                    THiddenCase{"TagNotLettersAndDigits", ".out.txt.morvane-a1b-c3", false, false}),
    [](const testing::TestParamInfo<THiddenCase>& info) { return std::string(info.param.Name); });

// A record at the undo name that no commit of this program wrote is not acted on.
struct TRecordCase {
    const char* Name;
    std::string Record;
};

void PrintTo(const TRecordCase& c, std::ostream* os) { *os << c.Name; }

class ForeignRecordTest : public testing::TestWithParam<TRecordCase> {};

TEST_P(ForeignRecordTest, IsNotActedOnAndDoesNotBlockWriting) {
    TTempFolder dir;
    dir.Write("out.txt", "text");
    dir.Write("victim.txt", "victim");
    dir.Write(".victim.txt.morvane-a1b2c3", "planted");
    dir.Write(".out.morvane-undo", GetParam().Record);
    EXPECT_TRUE(Tabc().LoadFile(dir.Path() + "out.txt"));
    EXPECT_EQ(dir.Read("out.txt"), "text");
    EXPECT_EQ(dir.Read("victim.txt"), "victim");
    EXPECT_EQ(Names(dir.Path()),
              (std::set<std::string>{".victim.txt.morvane-a1b2c3", "out.txt", "victim.txt"}));
    Document("NEW", 255).SaveColorFile(dir.Path() + "out.clo");
    EXPECT_EQ(dir.Read("out.txt"), "NEW\r\n");
}

// A record of the program's shape: name, existed, staged tag, backup tag, device, inode.
std::string Record(const std::string& name) {
    return std::string("morvane-undo 1\n") + name + '\0' + "1" + '\0' + "zzzzzz" + '\0' + "a1b2c3" +
           '\0' + "1" + '\0' + "1" + '\0';
}

INSTANTIATE_TEST_SUITE_P(Cases, ForeignRecordTest,
                         testing::Values(TRecordCase{"NotARecord", "hello"},
                                         TRecordCase{"Empty", ""},
                                         TRecordCase{"CutShort", Record("out.txt").substr(0, 24)},
                                         TRecordCase{"AnotherStemsFile", Record("victim.txt")},
                                         TRecordCase{"AFileInAnotherFolder", Record("../out.txt")}),
                         [](const testing::TestParamInfo<TRecordCase>& info) {
                             return std::string(info.param.Name);
                         });

TEST(LiveCommitTest, ItsRecordAndHiddenFilesAreLeftAlone) {
    TTempFolder dir;
    dir.Write("out.txt", "text");
    dir.Write(".out.txt.morvane-a1b2c3", "a live writer's");
    const std::string record = dir.Write(".out.morvane-undo", Record("out.txt"));
    const int writer = open(record.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(flock(writer, LOCK_EX), 0);
    EXPECT_TRUE(Tabc().LoadFile(dir.Path() + "out.txt"));
    close(writer);
    EXPECT_EQ(Names(dir.Path()),
              (std::set<std::string>{".out.morvane-undo", ".out.txt.morvane-a1b2c3", "out.txt"}));
}

}  // namespace
}  // namespace morvane
