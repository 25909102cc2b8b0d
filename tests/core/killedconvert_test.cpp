// The converter killed by strace at each system call that changes names on the disk or flushes
// it: one more run of the converter finds the pair both old or both new, a page whole, and no
// hidden file left.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"
#include "testfiles.h"

extern char** environ;

namespace morvane {
namespace {

using test::TTempFolder;

// The calls that change names on the disk, flush it or lock: every step of a commit.
const char* const kSteps[] = {"rename", "renameat", "renameat2", "link", "linkat",
                              "unlink", "unlinkat", "fsync",     "flock"};

// The wait status of program run with args, its output thrown away; -1 when it could not run.
int RunQuietly(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid) return -1;
    return status;
}

// A kill at the count-th call of the system call named.
struct TKill {
    const char* Call = nullptr;
    int Count = 0;
};

// The converter run with args, killed where kill says when it names a call.
int Convert(const std::vector<std::string>& args, TKill kill = {}) {
    std::vector<std::string> all;
    if (kill.Call) {
        all = {"strace",
               "-f",
               "-qq",
               "-o",
               "/dev/null",
               std::string("-etrace=") + kill.Call,
               std::string("-einject=") + kill.Call +
                   ":signal=SIGKILL:when=" + std::to_string(kill.Count)};
    }
    all.push_back(MORVANE_CONVERTER);
    all.insert(all.end(), args.begin(), args.end());
    return RunQuietly(all);
}

bool Succeeded(int status) { return status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0; }

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

struct TConvertCase {
    const char* Name;
    const char* Format;
    // The files the conversion writes, in the output folder.
    std::vector<std::string> Outputs;
    // The next run converts the output on (reads it) rather than writing it again.
    bool NextRunReads;
};

void PrintTo(const TConvertCase& c, std::ostream* os) { *os << c.Name; }

class KilledConvertTest : public testing::TestWithParam<TConvertCase> {
  protected:
    void SetUp() override {
        // A sanitized build's leak check traces the program, which strace is doing already.
        const char* options = std::getenv("ASAN_OPTIONS");
        setenv("ASAN_OPTIONS",
               ((options && *options ? std::string(options) + ":" : "") + "detect_leaks=0").c_str(),
               1);
        if (!Succeeded(RunQuietly({"strace", "-f", "-qq", "-o", "/dev/null", "true"})))
            GTEST_SKIP() << "strace cannot trace programs here (scripts/install-deps installs it)";
        In.Write("OLD.txt", "\x1b[32mOLD\x1b[m\r\n");
        In.Write("NEW.txt", "\x1b[31mNEW\x1b[m\r\n");
        In.Write("LATER.txt", "\x1b[34mLATER\x1b[m\r\n");
    }

    // What converting input gives, each output's bytes.
    std::vector<std::string> Expected(const std::string& input) {
        TTempFolder reference;
        EXPECT_TRUE(
            Succeeded(Convert({"--to", GetParam().Format, "-o",
                               reference.Path() + GetParam().Outputs[0], In.Path() + input})));
        return Outputs(reference.Path());
    }

    std::vector<std::string> Outputs(const std::string& folder) const {
        std::vector<std::string> bytes;
        for (const std::string& name : GetParam().Outputs)
            bytes.push_back(ReadOrMissing(folder + name));
        return bytes;
    }

    bool Write(const std::string& input, TKill kill = {}) {
        return Succeeded(Convert({"--to", GetParam().Format, "-o",
                                  Out.Path() + GetParam().Outputs[0], In.Path() + input},
                                 kill));
    }

    TTempFolder In;
    TTempFolder Out;
    TTempFolder Elsewhere;
};

TEST_P(KilledConvertTest, NextRunFindsOldOrNewWholeAndNoHiddenFile) {
    const TConvertCase& c = GetParam();
    const std::vector<std::string> oldOutput = Expected("OLD.txt");
    const std::vector<std::string> newOutput = Expected("NEW.txt");
    const std::vector<std::string> laterOutput = Expected("LATER.txt");
    const std::set<std::string> outputNames(c.Outputs.begin(), c.Outputs.end());
    int kills = 0;
    for (const char* call : kSteps) {
        for (int count = 1;; ++count) {
            ASSERT_LT(count, 100) << "the conversion never ends";
            ASSERT_TRUE(Write("OLD.txt"));
            if (Write("NEW.txt", {call, count})) break;
            ++kills;
            const std::string where =
                std::string("killed at ") + call + " number " + std::to_string(count);
            if (c.NextRunReads) {
                EXPECT_TRUE(Succeeded(Convert(
                    {"--to", "htm", "--out-dir", Elsewhere.Path(), Out.Path() + c.Outputs[0]})));
                const std::vector<std::string> found = Outputs(Out.Path());
                EXPECT_TRUE(found == oldOutput || found == newOutput) << where << ": " << found[0];
            } else {
                EXPECT_TRUE(Write("LATER.txt"));
                EXPECT_EQ(Outputs(Out.Path()), laterOutput) << where;
            }
            EXPECT_EQ(Names(Out.Path()), outputNames) << where;
        }
    }
    EXPECT_EQ(Outputs(Out.Path()), newOutput);
    EXPECT_GE(kills, 4);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KilledConvertTest,
    testing::Values(TConvertCase{"ColourPairThenConvertedOn", "clo", {"out.clo", "out.txt"}, true},
                    TConvertCase{
                        "ColourPairThenWrittenAgain", "clo", {"out.clo", "out.txt"}, false},
                    TConvertCase{"PageThenWrittenAgain", "htm", {"out.htm"}, false}),
    [](const testing::TestParamInfo<TConvertCase>& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace morvane
