#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <fstream>

#include "document/abc.h"
#include "platform/files.h"
#include "testfiles.h"

namespace morvane {
namespace {

using test::CrLf;
using test::TRecordingSink;
using test::TTempFolder;

// Two rows of three narrow cells: bright red, unmarked, lime on navy / unmarked, white on
// maroon, unmarked.
const std::vector<std::string> kExample = {"2",  "3", "#1",      "*1", "255", "@", "*3",
                                           "65280", "8388608", "@", "*2", "128", "@"};

class ColorFileTest : public testing::Test {
protected:
    Tabc Doc;
    TRecordingSink Sink;
    TTempFolder Dir;

    void SetUp() override { Doc.SetMessageSink(&Sink); }

    bool LoadClo(const std::vector<std::string>& lines) {
        return Doc.LoadFile(Dir.Write("a.clo", CrLf(lines)));
    }
    void ExpectCell(int r, int c, bool marked, TColor fg = 0xFFFFFF, TColor bg = 0) {
        // A row the grid does not hold is unmarked.
        if (static_cast<size_t>(r) >= Doc.FMarked.size()) {
            EXPECT_FALSE(marked) << r << "," << c;
            return;
        }
        EXPECT_EQ(Doc.FMarked[r][c], marked) << r << "," << c;
        if (marked) {
            EXPECT_EQ(Doc.FCells[r][c].Fg, fg) << r << "," << c;
            EXPECT_EQ(Doc.FCells[r][c].Bg, bg) << r << "," << c;
        }
    }
    // The first line of each message: the message's own text, before the line that explains it.
    std::vector<std::string> Headlines() const {
        std::vector<std::string> heads;
        for (const std::string& message : Sink.Messages)
            heads.push_back(message.substr(0, message.find('\n')));
        return heads;
    }
};

TEST_F(ColorFileTest, ExampleLoadsAsANarrowPair) {
    Dir.Write("a.txt", "ABC\r\nDEF\r\n");
    ASSERT_TRUE(LoadClo(kExample));
    EXPECT_EQ(Doc.FKind, dkColor);
    EXPECT_FALSE(Doc.FWideCells);
    EXPECT_EQ(Doc.FRowCount, 2);
    EXPECT_EQ(Doc.FColCount, 3);
    EXPECT_EQ(Doc.FLines, (std::vector<std::string>{"ABC", "DEF"}));
    EXPECT_EQ(Doc.FTextPath, Dir.Path() + "a.txt");
    EXPECT_EQ(Doc.FColorPath, Dir.Path() + "a.clo");
    ExpectCell(0, 1, true, 255, 0);
    ExpectCell(0, 2, false);
    ExpectCell(0, 3, true, 65280, 8388608);
    ExpectCell(1, 1, false);
    ExpectCell(1, 2, true, 0xFFFFFF, 128);
    ExpectCell(1, 3, false);
    EXPECT_TRUE(Sink.Messages.empty());
}

TEST_F(ColorFileTest, RoundTripGivesTheSameFilesAndGrid) {
    Dir.Write("a.txt", "ABC\r\nDEF\r\n");
    ASSERT_TRUE(LoadClo(kExample));
    Doc.SaveColorFile(Dir.Path() + "b.clo");
    EXPECT_EQ(Dir.Read("b.clo"), CrLf(kExample));
    EXPECT_EQ(Dir.Read("b.txt"), "ABC\r\nDEF\r\n");

    Tabc again;
    ASSERT_TRUE(again.LoadFile(Dir.Path() + "b.clo"));
    EXPECT_EQ(again.FLines, Doc.FLines);
    EXPECT_EQ(again.FRowCount, Doc.FRowCount);
    EXPECT_EQ(again.FColCount, Doc.FColCount);
    ASSERT_EQ(again.FMarked.size(), Doc.FMarked.size());
    for (size_t r = 0; r < Doc.FMarked.size(); ++r) {
        for (int c = 1; c <= Tabc::kMaxCols; ++c) {
            ASSERT_EQ(again.FMarked[r][c], Doc.FMarked[r][c]) << r << "," << c;
            ASSERT_EQ(again.FCells[r][c].Fg, Doc.FCells[r][c].Fg) << r << "," << c;
            ASSERT_EQ(again.FCells[r][c].Bg, Doc.FCells[r][c].Bg) << r << "," << c;
        }
    }
}

TEST_F(ColorFileTest, TextPathLoadsTheSameDocument) {
    const std::string text = Dir.Write("a.txt", "ABC\r\nDEF\r\n");
    LoadClo(kExample);
    Tabc viaText;
    ASSERT_TRUE(viaText.LoadFile(text));
    EXPECT_EQ(viaText.FKind, dkColor);
    EXPECT_EQ(viaText.FSourcePath, text);
    EXPECT_EQ(viaText.FLines, Doc.FLines);
    EXPECT_EQ(viaText.FCells[0][3].Bg, 8388608);
}

TEST_F(ColorFileTest, WithoutTextPartGivesEmptyRows) {
    ASSERT_TRUE(LoadClo(kExample));
    EXPECT_TRUE(Doc.FTextPath.empty());
    EXPECT_EQ(Doc.FLines, (std::vector<std::string>{"", ""}));
    EXPECT_EQ(Doc.FRowCount, 2);
}

TEST_F(ColorFileTest, LineRulesOfTheColourPart) {
    // Lone CRs are dropped, LF alone ends a line, and 0x1A ends the file.
    ASSERT_TRUE(Doc.LoadFile(Dir.Write("a.clo", "1\n2\r\n#\r1\n*1\n2\r55\n\x1A*1\n9\n")));
    ExpectCell(0, 1, true, 255, 0);
    ExpectCell(0, 2, false);
}

struct TModeCase {
    const char* Name;
    std::string Mode;
    bool Loads;
    bool Wide;
    bool Lost;  // shows the missing-"#" message
};

class ColorModeTest : public ColorFileTest, public testing::WithParamInterface<TModeCase> {};

TEST_P(ColorModeTest, ModeLineDecidesCellsAndFailure) {
    const TModeCase& c = GetParam();
    EXPECT_EQ(LoadClo({"1", "1", c.Mode, "*1", "255"}), c.Loads);
    EXPECT_EQ(Doc.FKind, c.Loads ? dkColor : dkNone);
    if (c.Loads) {
        EXPECT_EQ(Doc.FWideCells, c.Wide);
    }
    EXPECT_EQ(Headlines(), c.Lost ? std::vector<std::string>{"Lost:\"#\"!"}
                                  : std::vector<std::string>{});
    EXPECT_EQ(Doc.FRowCount, 1);
    EXPECT_EQ(Doc.FColCount, 1);
}

INSTANTIATE_TEST_SUITE_P(Modes, ColorModeTest,
                         testing::Values(TModeCase{"Wide", "#2", true, true, false},
                                         TModeCase{"Narrow", "#1", true, false, false},
                                         TModeCase{"OtherDigitIsNarrow", "#7", true, false, false},
                                         TModeCase{"Zero", "#0x", true, false, false},
                                         TModeCase{"OtherStartFailsQuietly", "x2", false, false, false},
                                         TModeCase{"HashAlone", "#", false, false, true},
                                         TModeCase{"HashLetter", "#a", false, false, true},
                                         TModeCase{"Empty", "", false, false, true}),
                         [](const auto& info) { return info.param.Name; });

TEST_F(ColorFileTest, MissingModeLineIsLost) {
    EXPECT_FALSE(LoadClo({"1", "1"}));
    EXPECT_EQ(Sink.Messages,
              std::vector<std::string>{"Lost:\"#\"!\n\"a.clo\", line 3: the cell mode \"#1\" or "
                                       "\"#2\" was expected, found the end of the file."});
}

struct TBadValueCase {
    const char* Name;
    std::vector<std::string> Records;
    std::string Message;
};

class ColorValueTest : public ColorFileTest, public testing::WithParamInterface<TBadValueCase> {};

TEST_P(ColorValueTest, BadValueFailsWithItsMessageButSetsTheSizes) {
    std::vector<std::string> lines = {"2", "2", "#1", "*1", "255"};
    lines.insert(lines.end(), GetParam().Records.begin(), GetParam().Records.end());
    Dir.Write("a.txt", "ABCD\r\n");
    EXPECT_FALSE(LoadClo(lines));
    EXPECT_EQ(Doc.FKind, dkNone);
    EXPECT_EQ(Headlines(), std::vector<std::string>{GetParam().Message});
    ExpectCell(0, 1, true, 255, 0);
    EXPECT_EQ(Doc.FRowCount, 2);
    EXPECT_EQ(Doc.FColCount, 4);
    EXPECT_EQ(Doc.FLines[0], "ABCD");
}

INSTANTIATE_TEST_SUITE_P(
    Values, ColorValueTest,
    testing::Values(TBadValueCase{"Foreground", {"*1", "red"}, "ColorLoad Error1!"},
                    TBadValueCase{"Background", {"*2", "12x"}, "ColorLoad Error2!"},
                    TBadValueCase{"FirstOfPair", {"*3", "", "5"}, "ColorLoad Error3!"},
                    TBadValueCase{"SecondOfPair", {"*3", "5", "+"}, "ColorLoad Error3!"},
                    TBadValueCase{"TooLarge", {"*1", "99999999999"}, "ColorLoad Error1!"},
                    TBadValueCase{"DoubleSign", {"*1", "+-5"}, "ColorLoad Error1!"}),
    [](const auto& info) { return info.param.Name; });

TEST_F(ColorFileTest, RecordsStoppingEarlyLeaveCellsUnmarked) {
    ASSERT_TRUE(LoadClo({"2", "2", "#1", "*1", "255"}));
    ExpectCell(0, 1, true, 255, 0);
    ExpectCell(0, 2, false);
    ExpectCell(1, 1, false);
}

TEST_F(ColorFileTest, WideHeaderIsReadTwoHundredRecordsARow) {
    std::vector<std::string> lines = {"2", "300", "#1"};
    for (int i = 0; i < 200; ++i) lines.push_back("@");
    lines.insert(lines.end(), {"*1", "255"});  // record 201 lands in row 1, cell 1
    ASSERT_TRUE(LoadClo(lines));
    EXPECT_EQ(Doc.FColCount, 200);
    ExpectCell(0, 200, false);
    ExpectCell(1, 1, true, 255, 0);
}

TEST_F(ColorFileTest, SignedAndOutOfRangeNumbers) {
    // A negative count reads no records; a colour outside 24 bits is kept as read.
    ASSERT_TRUE(LoadClo({"-3", "-2", "#1", "*1", "255"}));
    EXPECT_EQ(Doc.FRowCount, 0);
    EXPECT_EQ(Doc.FColCount, 0);
    ASSERT_TRUE(LoadClo({"+1", "1", "#1", "*3", "-1", "33554687"}));
    ExpectCell(0, 1, true, -1, 33554687);
}

TEST_F(ColorFileTest, BadHeaderMeansNoRecordsAndShiftsTheModeLine) {
    ASSERT_TRUE(LoadClo({"two", "#2", "*1", "255"}));
    EXPECT_TRUE(Doc.FWideCells);
    EXPECT_EQ(Doc.FRowCount, 0);
    ExpectCell(0, 1, false);
}

TEST_F(ColorFileTest, TextWiderThanTheHeaderWidensTheDocument) {
    Dir.Write("a.txt", "ABCDEFGH\r\n" + std::string(300, 'x') + "\r\n");
    ASSERT_TRUE(LoadClo({"1", "2", "#1", "@", "@"}));
    EXPECT_EQ(Doc.FColCount, 200);
    EXPECT_EQ(Doc.FRowCount, 1);
    EXPECT_EQ(Doc.FLines.size(), 2u);
}

TEST_F(ColorFileTest, LinesPastThePictureDoNotWidenIt) {
    // As the text reader measures: a text saved as a colour document keeps its width.
    std::string text;
    for (int i = 0; i < Tabc::kMaxRows; ++i) text += "AB\r\n";
    Dir.Write("a.txt", text + std::string(300, 'x') + "\r\n");
    ASSERT_TRUE(LoadClo({"1", "2", "#1", "@", "@"}));
    EXPECT_EQ(Doc.FColCount, 2);
}

TEST_F(ColorFileTest, MarkedDefaultCellIsWrittenAsForeground) {
    ASSERT_TRUE(LoadClo({"1", "3", "#2", "*1", "16777215", "*2", "0", "*3", "1", "2"}));
    Doc.WriteColorData(Dir.Path() + "out.clo");
    EXPECT_EQ(Dir.Read("out.clo"),
              CrLf({"1", "3", "#2", "*1", "16777215", "*1", "16777215", "*3", "1", "2"}));
}

TEST_F(ColorFileTest, SavingALongTextRowClipsTheColourPartOnly) {
    const std::string longRow = "\x1B[31m" + std::string(250, 'a');
    ASSERT_TRUE(Doc.LoadFile(Dir.Write("t.txt", longRow + "\r\nshort\r\n")));
    Doc.SaveColorFile(Dir.Path() + "out.clo");
    ASSERT_EQ(Sink.Messages.size(), 1u);
    EXPECT_EQ(Sink.Messages[0],
              "\xD7\xA2\xD2\xE2\xA3\xBA\r\xD0\xD0x\xC1\xD0\xB4\xF3\xD3\xDA"
              "80X200\xB5\xC4\xB2\xBF\xB7\xD6\xD2\xD1\xB1\xBB\xBC\xF4\xB2\xC3\xA1\xA3");
    EXPECT_EQ(Dir.Read("out.txt"), std::string(250, 'a') + "\r\nshort\r\n");
    Tabc again;
    ASSERT_TRUE(again.LoadFile(Dir.Path() + "out.clo"));
    EXPECT_EQ(again.FColCount, 200);
    EXPECT_TRUE(again.FMarked[0][200]);
}

TEST_F(ColorFileTest, SavingReplacesWholeFilesAndLeavesNoTemporaries) {
    Dir.Write("a.txt", "ABC\r\nDEF\r\n");
    ASSERT_TRUE(LoadClo(kExample));
    Dir.Write("out.clo", "old colours");
    Dir.Write("out.txt", "old text");
    Doc.SaveColorFile(Dir.Path() + "out.clo");
    EXPECT_EQ(Dir.Read("out.txt"), "ABC\r\nDEF\r\n");
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(Dir.Path())) ++files;
    EXPECT_EQ(files, 4u);
}

// Writes fail past a few bytes, even for root, as on a full disk.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &FOld);
        FOldHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = FOld;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &FOld);
        signal(SIGXFSZ, FOldHandler);
    }

private:
    rlimit FOld {};
    void (*FOldHandler)(int);
};

TEST_F(ColorFileTest, FailedSaveKeepsTheOldFilesAndLeavesNoTemporaries) {
    Dir.Write("a.txt", "ABC\r\nDEF\r\n");
    ASSERT_TRUE(LoadClo(kExample));
    Doc.FLines = {std::string(100, 'x'), "DEF"};
    {
        TFileSizeLimit limit(16);
        EXPECT_THROW(Doc.SaveColorFile(Dir.Path() + "a.clo"), EFileError);
        EXPECT_THROW(Doc.WriteColorData(Dir.Path() + "a.clo"), EFileError);
    }
    EXPECT_EQ(Dir.Read("a.txt"), "ABC\r\nDEF\r\n");
    EXPECT_EQ(Dir.Read("a.clo"), CrLf(kExample));
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(Dir.Path())) ++files;
    EXPECT_EQ(files, 2u);
}

TEST_F(ColorFileTest, PairIsReplacedAllOrNothing) {
    // The new text fits, its colours do not: the text must not be left over the old colours.
    Dir.Write("a.txt", "ABC\r\nDEF\r\n");
    ASSERT_TRUE(LoadClo(kExample));
    Doc.FLines = {"XY", "ZW"};
    Doc.FColCount = 200;
    {
        TFileSizeLimit limit(16);
        EXPECT_THROW(Doc.SaveColorFile(Dir.Path() + "a.clo"), EFileError);
    }
    EXPECT_EQ(Dir.Read("a.txt"), "ABC\r\nDEF\r\n");
    EXPECT_EQ(Dir.Read("a.clo"), CrLf(kExample));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Path()), {}), 2);
}

TEST_F(ColorFileTest, PairOntoAFolderWritesNothing) {
    Dir.Write("a.txt", "ABC\r\nDEF\r\n");
    ASSERT_TRUE(LoadClo(kExample));
    ASSERT_EQ(mkdir((Dir.Path() + "out.clo").c_str(), 0700), 0);
    EXPECT_THROW(Doc.SaveColorFile(Dir.Path() + "out.clo"), EFileError);
    EXPECT_FALSE(FileExists(Dir.Path() + "out.txt"));
}

// A small file system of its own that fills up, where the test may mount one (as root).
class TSmallDisk {
  public:
    TSmallDisk(const std::string& folder, const char* size) : FFolder(folder) {
        mkdir(folder.c_str(), 0700);
        FMounted = mount("morvane-test", folder.c_str(), "tmpfs", 0,
                         ("size=" + std::string(size)).c_str()) == 0;
    }
    ~TSmallDisk() {
        if (FMounted) umount2(FFolder.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return FMounted; }

  private:
    std::string FFolder;
    bool FMounted = false;
};

TEST_F(ColorFileTest, FullDiskLeavesThePairAsItWas) {
    const std::string disk = Dir.Path() + "disk/";
    TSmallDisk small(disk, "16k");
    if (!small.Mounted()) GTEST_SKIP() << "cannot mount a small tmpfs here (needs root)";
    std::ofstream(disk + "a.txt", std::ios::binary) << "ABC\r\nDEF\r\n";
    std::ofstream(disk + "a.clo", std::ios::binary) << CrLf(kExample);
    ASSERT_TRUE(Doc.LoadFile(disk + "a.clo"));
    // 80 rows of 200 cells need some 48 KB of colours; the text is a few bytes.
    Doc.FLines = {"new"};
    Doc.FRowCount = 80;
    Doc.FColCount = 200;
    Doc.SizeGrid(80);
    EXPECT_THROW(Doc.SaveColorFile(disk + "a.clo"), EFileError);
    EXPECT_EQ(ReadWholeFile(disk + "a.txt"), "ABC\r\nDEF\r\n");
    EXPECT_EQ(ReadWholeFile(disk + "a.clo"), CrLf(kExample));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk), {}), 2);
}

TEST_F(ColorFileTest, ReloadAfterTheTextPartWentIsAFreshLoad) {
    Dir.Write("a.txt", "ABC\r\nDEF\r\n");
    ASSERT_TRUE(LoadClo(kExample));
    std::filesystem::remove(Dir.Path() + "a.txt");
    ASSERT_TRUE(Doc.LoadFile(Dir.Path() + "a.clo"));
    EXPECT_TRUE(Doc.FTextPath.empty());
    EXPECT_EQ(Doc.FLines, (std::vector<std::string>{"", ""}));
    ExpectCell(0, 1, true, 255, 0);
    ASSERT_EQ(Sink.Notices.size(), 1u);
    EXPECT_EQ(Sink.Notices[0],
              "\"a.clo\" has no text part \"a.txt\" beside it: only its colours are shown.");
}

TEST_F(ColorFileTest, EmptyColourFileSaysSo) {
    Dir.Write("a.txt", "ABC\r\n");
    EXPECT_FALSE(LoadClo({}));
    EXPECT_EQ(Sink.Messages, std::vector<std::string>{"\"a.clo\" is empty: it holds no colours."});
    EXPECT_EQ(Doc.FLoadError, Sink.Messages[0]);
}

TEST_F(ColorFileTest, FailedNewFileIsRemoved) {
    ASSERT_TRUE(LoadClo(kExample));
    {
        TFileSizeLimit limit(16);
        EXPECT_THROW(Doc.WriteColorData(Dir.Path() + "new.clo"), EFileError);
    }
    EXPECT_FALSE(FileExists(Dir.Path() + "new.clo"));
}

TEST_F(ColorFileTest, UnreadableColourPartThrows) {
    // Reading /proc/self/mem from its start fails, for root as for anybody.
    ASSERT_EQ(symlink("/proc/self/mem", (Dir.Path() + "a.clo").c_str()), 0);
    EXPECT_THROW(Doc.LoadFile(Dir.Path() + "a.clo"), EFileError);
}

}  // namespace
}  // namespace morvane
