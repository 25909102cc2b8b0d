#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <utility>

#include "document/conversionplan.h"
#include "document/converter.h"
#include "document/folderindex.h"
#include "platform/files.h"
#include "testfiles.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;
using test::TTempFolder;

const std::string kPng("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);

// A batch run inside a folder of its own, which is the working folder meanwhile, so that names
// are written as a user types them.
class BatchTest : public testing::Test {
  protected:
    void SetUp() override {
        Before = fs::current_path();
        fs::current_path(Dir.Path());
    }
    void TearDown() override { fs::current_path(Before); }

    // A name ending in '/' is a folder; "a -> b" a link named a to b.
    void Make(const std::vector<std::pair<std::string, std::string>>& files) {
        for (const auto& [name, bytes] : files) {
            const size_t arrow = name.find(" -> ");
            const fs::path path = name.substr(0, arrow);
            if (path.has_parent_path()) fs::create_directories(path.parent_path());
            if (arrow != std::string::npos) {
                fs::create_symlink(name.substr(arrow + 4), path);
            } else if (name.back() == '/') {
                fs::create_directories(path);
            } else {
                Dir.Write(name, bytes);
            }
        }
    }

    int Run(std::vector<std::string> args) {
        TConverterIo io;
        io.Err = [this](const std::string& line) { Err += line + "\n"; };
        io.ReadInput = [this] { return Input; };
        io.TempDir = Scratch.Path();
        io.WritePicture = [](const Tabc&, const std::string&, const std::string& path) {
            WriteFileAtomic(path, "picture");
        };
        return RunConverter(args, io);
    }

    TTempFolder Dir;
    TTempFolder Scratch;
    fs::path Before;
    std::string Err;
    std::string Input;
};

struct TBatchCase {
    const char* Name;
    std::vector<std::pair<std::string, std::string>> Files;
    std::vector<std::string> Args;
    int Status;
    std::vector<std::string> Written = {};
    std::vector<std::string> NotWritten = {};
    std::vector<std::string> Said = {};
    std::string Input = {};
};

void PrintTo(const TBatchCase& c, std::ostream* os) { *os << c.Name; }

class BatchCaseTest : public BatchTest, public testing::WithParamInterface<TBatchCase> {};

TEST_P(BatchCaseTest, ConvertsWhatItShould) {
    const TBatchCase& c = GetParam();
    Make(c.Files);
    Input = c.Input;
    EXPECT_EQ(Run(c.Args), c.Status) << Err;
    for (const std::string& name : c.Written) EXPECT_TRUE(fs::exists(name)) << name << "\n" << Err;
    for (const std::string& name : c.NotWritten) EXPECT_FALSE(fs::exists(name)) << name;
    for (const std::string& said : c.Said)
        EXPECT_NE(Err.find(said), std::string::npos) << said << "\n" << Err;
    if (c.Said.empty()) {
        EXPECT_EQ(Err, "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Batches, BatchCaseTest,
    testing::Values(
        TBatchCase{
            "RecursiveMirrorsTheTree",
            {{"art/a.ans", "a\r\n"}, {"art/sub/b.txt", "b\r\n"}, {"art/sub/deep/c.ANS", "c"}},
            {"--to", "htm", "-r", "art", "--out-dir", "web"},
            0,
            {"web/a.htm", "web/sub/b.htm", "web/sub/deep/c.htm"}},
        TBatchCase{"RecursiveWithoutOutDirWritesBesideEachFile",
                   {{"art/sub/b.txt", "b\r\n"}},
                   {"--to", "txt", "-r", "art/", "--to", "htm"},
                   0,
                   {"art/sub/b.htm"}},
        // Boards keep art under bare names; pictures and other kinds of file are passed over.
        TBatchCase{"WalkTakesBareTextAndPassesOverTheRest",
                   {{"art/Welcome", "\x1B[31mhi\r\n"},
                    {"art/logo", kPng},
                    {"art/notes.md", "# notes\n"},
                    {"art/pic.png", kPng}},
                   {"--to", "htm", "-r", "art", "--out-dir", "web"},
                   0,
                   {"web/Welcome.htm"},
                   {"web/logo.htm", "web/notes.htm", "web/pic.htm"}},
        TBatchCase{"WalkToPicturesPassesOverPages",
                   {{"art/a.ans", "a"}, {"art/page.htm", "<p>"}, {"art/page2.HTML", "<p>"}},
                   {"--to", "png", "-r", "art", "--out-dir", "web"},
                   0,
                   {"web/a.png"},
                   {"web/page.png", "web/page2.png"}},
        TBatchCase{"NamedBinaryFileIsAnError",
                   {{"art/logo", kPng}},
                   {"--to", "htm", "-r", "art/logo", "--out-dir", "web"},
                   1,
                   {},
                   {"web/logo.htm"},
                   {"art/logo: is not a text-art file: it holds binary data"}},
        TBatchCase{"WalkConvertsAColourPairOnce",
                   {{"art/p.txt", "AB\r\n"},
                    {"art/p.clo", "1\r\n2\r\n#1\r\n*1\r\n255\r\n@\r\n"},
                    {"art/lone.clo", "1\r\n1\r\n#1\r\n@\r\n"}},
                   {"--to", "htm", "-r", "art", "--out-dir", "web"},
                   0,
                   {"web/p.htm", "web/lone.htm"},
                   {},
                   {"warning: \"lone.clo\" has no text part"}},
        TBatchCase{"WalkPassesOverHiddenFoldersAndTheOutputFolder",
                   {{"art/a.ans", "a"}, {"art/.git/x.txt", "x"}, {"art/web/old.htm", "<p>"}},
                   {"--to", "htm", "-r", "art", "--out-dir", "art/web"},
                   0,
                   {"art/web/a.htm"},
                   {"art/web/x.htm", "art/web/web", "art/web/.git"}},
        TBatchCase{"WalkDoesNotFollowLinkedFolders",
                   {{"art/a.ans", "a"}, {"art/loop -> ..", ""}},
                   {"--to", "htm", "-r", "art", "--out-dir", "web"},
                   0,
                   {"web/a.htm"},
                   {"web/loop"}},
        // A page already beside its art is what the walk would write: nothing to do.
        TBatchCase{"WalkLeavesFilesThatWouldBecomeThemselves",
                   {{"art/a.ans", "a"}, {"art/page.htm", "<p>"}, {"art/plain.txt", "t"}},
                   {"--to", "htm", "-r", "art"},
                   0,
                   {"art/a.htm", "art/plain.htm"}},
        TBatchCase{"NamedFileThatWouldBecomeItselfIsRefused",
                   {{"art/page.htm", "<p>"}},
                   {"--to", "htm", "art/page.htm"},
                   1,
                   {},
                   {},
                   {"is the file being converted"}},
        TBatchCase{
            "ListOfNamesOneALine",
            {{"art/a.ans", "a"}, {"art/sub/b.txt", "b"}, {"list", "art/a.ans\nart/sub/b.txt\n"}},
            {"--to", "htm", "--files-from", "list", "--out-dir", "web"},
            0,
            {"web/a.htm", "web/b.htm"}},
        TBatchCase{"ListOfNulEndedNamesTakesAnyByte",
                   {{"art/we\nird.ans", "a"},
                    {"art/b.ans", "b"},
                    {"list", std::string("art/we\nird.ans\0art/b.ans\0", 25)}},
                   {"--to", "htm", "--files-from", "list", "-0", "--out-dir", "web"},
                   0,
                   {"web/we\nird.htm", "web/b.htm"}},
        TBatchCase{"ListFromStandardInput",
                   {{"art/a.ans", "a"}},
                   {"--to", "htm", "--files-from", "-", "--out-dir", "web"},
                   0,
                   {"web/a.htm"},
                   {},
                   {},
                   "art/a.ans\n"},
        TBatchCase{
            "RecursiveListKeepsTheFoldersOfRelativeNames",
            {{"art/sub/b.txt", "b"}, {"art/c.txt", "c"}, {"list", "./art/sub/b.txt\nart/c.txt\n"}},
            {"--to", "htm", "-r", "--files-from", "list", "--out-dir", "web"},
            0,
            {"web/art/sub/b.htm", "web/art/c.htm"}},
        TBatchCase{"MissingListIsABadArgument",
                   {},
                   {"--to", "htm", "--files-from", "nolist"},
                   2,
                   {},
                   {},
                   {"cannot read \"nolist\""}},
        TBatchCase{"SameFileNamedTwiceIsConvertedOnce",
                   {{"a.txt", "a"}},
                   {"--to", "htm", "a.txt", "./a.txt", "a.txt"},
                   0,
                   {"a.htm"}},
        TBatchCase{"ColourPairNamedByBothItsFilesIsConvertedOnce",
                   {{"p.txt", "AB\r\n"}, {"p.clo", "1\r\n2\r\n#1\r\n*1\r\n255\r\n@\r\n"}},
                   {"--to", "htm", "p.txt", "p.clo"},
                   0,
                   {"p.htm"}},
        TBatchCase{"SameNameFromTwoFoldersClashesInOneFolder",
                   {{"a/x.ans", "a"}, {"b/x.ans", "b"}},
                   {"--to", "htm", "a/x.ans", "b/x.ans", "--out-dir", "web"},
                   1,
                   {"web/x.htm"},
                   {},
                   {"b/x.ans: \"web/x.htm\" is written for a/x.ans"}},
        TBatchCase{"SameNameFromTwoFoldersMirrored",
                   {{"a/x.ans", "a"}, {"b/x.ans", "b"}},
                   {"--to", "htm", "-r", "a/x.ans", "b/x.ans", "--out-dir", "web"},
                   0,
                   {"web/a/x.htm", "web/b/x.htm"}},
        // Two spellings of one output folder, one through a link, are one folder.
        TBatchCase{"OutputsMeetThroughALinkedFolder",
                   {{"real/x.ans", "1"},
                    {"alias/x.ans", "2"},
                    {"out/real/", ""},
                    {"out/alias -> real", ""}},
                   {"--to", "htm", "-r", "real/x.ans", "alias/x.ans", "--out-dir", "out"},
                   1,
                   {"out/real/x.htm"},
                   {},
                   {"alias/x.ans: \"out/alias/x.htm\" is written for real/x.ans"}},
        TBatchCase{"EmptyWalkConvertsNothing",
                   {{"art/", ""}},
                   {"--to", "htm", "-r", "art", "-j", "3"},
                   0}),
    [](const auto& info) { return info.param.Name; });

// -j: the same outputs, the same messages in the same order and the same status as one at a time.
struct TParallelCase {
    const char* Name;
    const char* Format;
};

void PrintTo(const TParallelCase& c, std::ostream* os) { *os << c.Name; }

class ParallelTest : public BatchTest, public testing::WithParamInterface<TParallelCase> {};

TEST_P(ParallelTest, MatchesOneAtATime) {
    std::vector<std::string> names;
    fs::create_directories("art");
    for (int i = 0; i < 60; ++i) {
        const std::string n = std::to_string(i);
        std::string name = "art/f" + n;
        switch (i % 6) {
            case 0:
                Dir.Write(name += ".ans", "\x1B[3" + std::to_string(i % 8) + "m" + n + "\r\n");
                break;
            case 1:
                Dir.Write(name += ".txt", std::string("ab\0cd", 5));
                break;  // a warning
            case 2:
                Dir.Write(name += ".clo", "1\r\n1\r\n#x\r\n");
                break;  // an error
            case 3:
                name += ".gone";
                break;  // no such file
            case 4:
                Dir.Write(name += ".htm", "<p>" + n);
                break;
            default:
                Dir.Write(name += ".txt", std::string(3000, 'x') + n);
                break;
        }
        names.push_back(name);
    }
    auto run = [&](const std::string& jobs, const std::string& out) {
        std::vector<std::string> args = {"--to", GetParam().Format, "-j", jobs, "--out-dir", out};
        args.insert(args.end(), names.begin(), names.end());
        Err.clear();
        const int status = Run(args);
        std::string said = Err;
        for (size_t at; (at = said.find(out)) != std::string::npos;)
            said.replace(at, out.size(), "OUT");
        return std::make_pair(status, said);
    };
    const auto serial = run("1", "serial-out");
    const auto parallel = run("4", "parallel-out");
    EXPECT_EQ(parallel.first, serial.first);
    EXPECT_EQ(serial.first, 1);
    EXPECT_EQ(parallel.second, serial.second);
    size_t compared = 0;
    for (const auto& entry : fs::directory_iterator("serial-out")) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(Dir.Read("parallel-out/" + name), Dir.Read("serial-out/" + name)) << name;
        ++compared;
    }
    EXPECT_GT(compared, 20u);
    EXPECT_EQ(compared,
              static_cast<size_t>(std::distance(fs::directory_iterator("parallel-out"), {})));
}

INSTANTIATE_TEST_SUITE_P(Formats, ParallelTest,
                         testing::Values(TParallelCase{"Page", "htm"}, TParallelCase{"Text", "txt"},
                                         TParallelCase{"ColourPair", "clo"},
                                         TParallelCase{"Picture", "png"}),
                         [](const auto& info) { return info.param.Name; });

// --update: a file is converted again only when one of its inputs is newer than an output.
struct TUpdateCase {
    const char* Name;
    std::vector<std::pair<std::string, std::string>> Files;
    const char* Format;
    std::vector<std::pair<std::string, int>> Ages;  // seconds in the past, after the first run
    bool Redone;
};

void PrintTo(const TUpdateCase& c, std::ostream* os) { *os << c.Name; }

class UpdateTest : public BatchTest, public testing::WithParamInterface<TUpdateCase> {};

TEST_P(UpdateTest, RedoesOnlyWhatIsOutOfDate) {
    const TUpdateCase& c = GetParam();
    Make(c.Files);
    ASSERT_EQ(Run({"--to", c.Format, "-r", "art", "--out-dir", "web"}), 0) << Err;
    std::vector<std::string> outputs;
    for (const auto& entry : fs::recursive_directory_iterator("web")) {
        outputs.push_back(entry.path().string());
        WriteFileAtomic(outputs.back(), "kept");
    }
    const auto now = fs::file_time_type::clock::now();
    for (const std::string& name : outputs)
        fs::last_write_time(name, now - std::chrono::seconds(100));
    for (const auto& [name, age] : c.Ages) {
        if (age < 0)
            fs::remove(name);
        else
            fs::last_write_time(name, now - std::chrono::seconds(age));
    }
    ASSERT_EQ(Run({"--to", c.Format, "-r", "art", "--out-dir", "web", "--update"}), 0) << Err;
    bool redone = false;
    for (const std::string& name : outputs)
        redone = redone || !fs::exists(name) || Dir.Read(name) != "kept";
    EXPECT_EQ(redone, c.Redone);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpdateTest,
    testing::Values(
        TUpdateCase{"OlderInputIsLeft", {{"art/a.ans", "a"}}, "htm", {{"art/a.ans", 200}}, false},
        TUpdateCase{"NewerInputIsRedone", {{"art/a.ans", "a"}}, "htm", {{"art/a.ans", 50}}, true},
        TUpdateCase{"MissingOutputIsRedone",
                    {{"art/a.ans", "a"}},
                    "htm",
                    {{"art/a.ans", 200}, {"web/a.htm", -1}},
                    true},
        TUpdateCase{"NewerColourPartIsRedone",
                    {{"art/p.txt", "AB\r\n"}, {"art/p.clo", "1\r\n2\r\n#1\r\n@\r\n@\r\n"}},
                    "htm",
                    {{"art/p.txt", 200}, {"art/p.clo", 50}},
                    true},
        TUpdateCase{"OneOfTwoOutputsOlderIsRedone",
                    {{"art/a.ans", "a"}},
                    "clo",
                    {{"art/a.ans", 90}, {"web/a.clo", 200}},
                    true},
        TUpdateCase{
            "BothOutputsNewerIsLeft", {{"art/a.ans", "a"}}, "clo", {{"art/a.ans", 200}}, false}),
    [](const auto& info) { return info.param.Name; });

TEST_F(BatchTest, AddedFilesAloneAreConvertedOnUpdate) {
    for (int i = 0; i < 20; ++i) Dir.Write("a" + std::to_string(i) + ".ans", "x");
    fs::create_directories("art");
    for (int i = 0; i < 20; ++i)
        fs::rename("a" + std::to_string(i) + ".ans", "art/a" + std::to_string(i) + ".ans");
    ASSERT_EQ(Run({"--to", "htm", "-r", "art", "--out-dir", "web"}), 0) << Err;
    for (const auto& entry : fs::directory_iterator("web"))
        WriteFileAtomic(entry.path().string(), "kept");
    const auto now = fs::file_time_type::clock::now();
    for (const auto& entry : fs::directory_iterator("art"))
        fs::last_write_time(entry.path(), now - std::chrono::seconds(100));
    Dir.Write("art/new1.ans", "1");
    Dir.Write("art/new2.ans", "2");
    ASSERT_EQ(Run({"--to", "htm", "-r", "art", "--out-dir", "web", "--update"}), 0) << Err;
    int converted = 0;
    for (const auto& entry : fs::directory_iterator("web"))
        converted += Dir.Read("web/" + entry.path().filename().string()) != "kept";
    EXPECT_EQ(converted, 2);
}

TEST_F(BatchTest, ProgressLineGivesWayToMessages) {
    Dir.Write("a.ans", "a");
    Dir.Write("b.clo", "1\r\n1\r\n#x\r\n");
    Dir.Write("c.ans", "c");
    std::vector<std::string> events;
    TConverterIo io;
    io.Err = [&](const std::string& line) { events.push_back("err " + line); };
    io.Progress = [&](const std::string& status) { events.push_back("progress " + status); };
    io.TempDir = Scratch.Path();
    EXPECT_EQ(RunConverter({"--to", "htm", "-j", "1", "a.ans", "b.clo", "c.ans"}, io), 1);
    ASSERT_FALSE(events.empty());
    const std::string& first = events.front();
    EXPECT_EQ(first.rfind("progress 1/3 files, ", 0), 0u) << first;
    EXPECT_EQ(first.substr(first.size() - 15), " files/s: a.ans") << first;
    EXPECT_EQ(events.back(), "progress ");
    bool shown = false;
    size_t messages = 0;
    for (const std::string& event : events) {
        if (event.rfind("err ", 0) == 0) {
            EXPECT_FALSE(shown) << "a message written over the progress line";
            ++messages;
        } else {
            shown = event != "progress ";
        }
    }
    EXPECT_EQ(messages, 2u);
}

TEST_F(BatchTest, HelpAndVersionGoToStandardOutput) {
    std::string out;
    TConverterIo io;
    io.Err = [&](const std::string& line) { Err += line; };
    io.Out = [&](const std::string& line) { out += line + "\n"; };
    EXPECT_EQ(RunConverter({"--help"}, io), 0);
    for (const char* option : {"--files-from", "-r ", "-j N", "--update", "-0 ", "--encoding"})
        EXPECT_NE(out.find(option), std::string::npos) << option;
    out.clear();
    EXPECT_EQ(RunConverter({"--version"}, io), 0);
    EXPECT_EQ(out, std::string("morvane-convert ") + MORVANE_VERSION + "\n");
    EXPECT_EQ(Err, "");
}

// Planning reads each folder once, however many files it holds.
TEST_F(BatchTest, PlanningReadsEachFolderOnce) {
    fs::create_directories("art/sub");
    for (int i = 0; i < 300; ++i) {
        Dir.Write("art/t" + std::to_string(i) + ".txt", "t");
        Dir.Write("art/sub/c" + std::to_string(i) + ".clo", "1\r\n1\r\n#1\r\n@\r\n");
    }
    TConvertOptions options;
    options.Format = "htm";
    options.OutDir = "web";
    options.Recursive = true;
    TFolderIndex index;
    const std::vector<TConvertJob> jobs =
        PlanConversions(GatherInputs({"art"}, options, index), options, index);
    EXPECT_EQ(jobs.size(), 600u);
    // art, art/sub and the output folders web and web/sub, each once.
    EXPECT_EQ(index.FoldersRead(), 4u);
    for (const TConvertJob& job : jobs) EXPECT_EQ(job.Refusal, "") << job.Input;
}

// The folder index answers as FindFileIgnoringCase, which reads the folder each time.
struct TFindCase {
    const char* Name;
    std::vector<std::pair<std::string, std::string>> Files;
    const char* Asked;
};

void PrintTo(const TFindCase& c, std::ostream* os) { *os << c.Name; }

class FolderIndexTest : public BatchTest, public testing::WithParamInterface<TFindCase> {};

TEST_P(FolderIndexTest, FindsWhatTheFolderReaderFinds) {
    Make(GetParam().Files);
    TFolderIndex index;
    for (const std::string& asked : {std::string(GetParam().Asked), Dir.Path() + GetParam().Asked})
        EXPECT_EQ(index.FindFileIgnoringCase(asked), FindFileIgnoringCase(asked)) << asked;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FolderIndexTest,
    testing::Values(
        TFindCase{"ExactName", {{"d/x.clo", ""}}, "d/x.clo"},
        TFindCase{"OtherCase", {{"d/X.CLO", ""}}, "d/x.clo"},
        TFindCase{"ExactNameBeforeOtherCase", {{"d/X.clo", ""}, {"d/x.clo", ""}}, "d/x.clo"},
        TFindCase{"FolderIsNoFile", {{"d/x.clo/", ""}}, "d/x.clo"},
        TFindCase{"LinkToAFile", {{"d/t.clo", ""}, {"d/X.CLO -> t.clo", ""}}, "d/x.clo"},
        TFindCase{"BrokenLink", {{"d/X.CLO -> gone", ""}}, "d/x.clo"},
        TFindCase{"MissingFolder", {}, "d/x.clo"},
        TFindCase{"WorkingFolder", {{"x.CLO", ""}}, "x.clo"}),
    [](const auto& info) { return info.param.Name; });

// An output is taken as not there only when nothing of its name, in any letter case, is.
struct THoldCase {
    const char* Name;
    std::vector<std::pair<std::string, std::string>> Files;
    const char* Asked;
    bool MayHold;
};

void PrintTo(const THoldCase& c, std::ostream* os) { *os << c.Name; }

class MayHoldTest : public BatchTest, public testing::WithParamInterface<THoldCase> {};

TEST_P(MayHoldTest, TellsWhatCannotBeThere) {
    Make(GetParam().Files);
    TFolderIndex index;
    EXPECT_EQ(index.MayHold(GetParam().Asked), GetParam().MayHold);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MayHoldTest,
    testing::Values(THoldCase{"SameName", {{"d/x.htm", ""}}, "d/x.htm", true},
                    THoldCase{"OtherCase", {{"d/X.HTM", ""}}, "d/x.htm", true},
                    THoldCase{"FolderOfTheName", {{"d/x.htm/", ""}}, "d/x.htm", true},
                    THoldCase{"Nothing", {{"d/y.htm", ""}}, "d/x.htm", false},
                    THoldCase{"NoFolder", {}, "d/x.htm", false}),
    [](const auto& info) { return info.param.Name; });

}  // namespace
}  // namespace morvane
