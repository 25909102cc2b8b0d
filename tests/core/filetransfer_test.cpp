#include "platform/filetransfer.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>

#include "platform/files.h"
#include "testfiles.h"

namespace morvane {
namespace {

using test::TTempFolder;
using test::TTmpfs;

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

// Records the questions and answers them from a list; an unexpected question fails the test.
struct TAnswers {
    std::vector<bool> Replies;
    std::vector<std::string> Asked;
    std::function<void()> WhileAsking;

    TAskReplace Ask() {
        return [this](const std::string& destination) {
            Asked.push_back(destination);
            if (WhileAsking) WhileAsking();
            if (Asked.size() > Replies.size()) {
                ADD_FAILURE() << "unexpected question about " << destination;
                return false;
            }
            return static_cast<bool>(Replies[Asked.size() - 1]);
        };
    }
};

class FileTransfer : public testing::Test {
protected:
    TTempFolder Source;
    TTempFolder Target;
    TAnswers Answers;

    std::string Src(const std::string& name) const { return Source.Path() + name; }
    std::string Dst(const std::string& name) const { return Target.Path() + name; }
    TTransferItem Item(const std::string& name) const { return {Src(name), Dst(name)}; }

    std::optional<TTransferFailure> Run(std::vector<TTransferItem> items, bool isMove) {
        return TransferFiles(items, isMove, Answers.Ask());
    }
};

// One file, a colour pair, and a colour file without its text part; copied and moved; within a
// file system and onto a tmpfs.
struct TTransferCase {
    const char* Name;
    std::vector<std::string> Files;
    bool IsMove;
    bool AcrossFileSystems;
};

class FileTransferCases : public FileTransfer, public testing::WithParamInterface<TTransferCase> {};

TEST_P(FileTransferCases, EveryFileArrivesWholeAndNoTemporaryFileStays) {
    const TTransferCase& c = GetParam();
    std::unique_ptr<TTmpfs> tmpfs;
    if (c.AcrossFileSystems) {
        tmpfs = std::make_unique<TTmpfs>(Target.Path(), 0);
        if (!tmpfs->Mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    }
    std::vector<TTransferItem> items;
    for (const std::string& name : c.Files) {
        Source.Write(name, "bytes of " + name + "\r\n\xD6\xD0\r\n");
        items.push_back(Item(name));
    }
    struct stat before {};
    ASSERT_EQ(stat(Src(c.Files[0]).c_str(), &before), 0);

    EXPECT_EQ(Run(items, c.IsMove), std::nullopt);

    for (const std::string& name : c.Files) {
        EXPECT_EQ(ReadWholeFile(Dst(name)), "bytes of " + name + "\r\n\xD6\xD0\r\n");
        EXPECT_EQ(FileExists(Src(name)), !c.IsMove) << name;
    }
    EXPECT_EQ(Names(Target.Path()), std::set<std::string>(c.Files.begin(), c.Files.end()));
    EXPECT_TRUE(Answers.Asked.empty());
    struct stat after {};
    ASSERT_EQ(stat(Dst(c.Files[0]).c_str(), &after), 0);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mode, before.st_mode);
    // Within one file system a move is a rename: the very same file.
    EXPECT_EQ(after.st_ino == before.st_ino, c.IsMove && !c.AcrossFileSystems);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileTransferCases,
    testing::Values(TTransferCase{"copy_file", {"x.txt"}, false, false},
                    TTransferCase{"move_file", {"x.txt"}, true, false},
                    TTransferCase{"copy_pair", {"p.clo", "p.txt"}, false, false},
                    TTransferCase{"move_pair", {"p.clo", "p.txt"}, true, false},
                    TTransferCase{"copy_colours_alone", {"p.clo"}, false, false},
                    TTransferCase{"move_colours_alone", {"p.clo"}, true, false},
                    TTransferCase{"copy_file_across", {"x.txt"}, false, true},
                    TTransferCase{"move_file_across", {"x.txt"}, true, true},
                    TTransferCase{"copy_pair_across", {"p.clo", "p.txt"}, false, true},
                    TTransferCase{"move_pair_across", {"p.clo", "p.txt"}, true, true}),
    [](const testing::TestParamInfo<TTransferCase>& info) { return info.param.Name; });

class FileTransferEitherWay : public FileTransfer, public testing::WithParamInterface<bool> {};

TEST_P(FileTransferEitherWay, OntoAnExistingFileAnsweredNoChangesNothing) {
    Source.Write("x.txt", "new");
    Target.Write("x.txt", "old");
    Answers.Replies = {false};
    const auto failure = Run({Item("x.txt")}, GetParam());
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Destination, Dst("x.txt"));
    EXPECT_EQ(failure->Reason, "");
    EXPECT_EQ(Answers.Asked, std::vector<std::string>{Dst("x.txt")});
    EXPECT_EQ(Source.Read("x.txt"), "new");
    EXPECT_EQ(Target.Read("x.txt"), "old");
    EXPECT_EQ(Names(Target.Path()), std::set<std::string>{"x.txt"});
}

TEST_P(FileTransferEitherWay, OntoAnExistingFileAnsweredYesReplacesIt) {
    Source.Write("x.txt", "new");
    Target.Write("x.txt", "old, and longer than the new one");
    Answers.Replies = {true};
    EXPECT_EQ(Run({Item("x.txt")}, GetParam()), std::nullopt);
    EXPECT_EQ(Target.Read("x.txt"), "new");
    EXPECT_EQ(FileExists(Src("x.txt")), !GetParam());
    EXPECT_EQ(Names(Target.Path()), std::set<std::string>{"x.txt"});
}

TEST_P(FileTransferEitherWay, OntoItselfIsRefusedWithoutAQuestion) {
    Source.Write("x.txt", "mine");
    const auto failure = TransferFiles({{Src("x.txt"), Src("x.txt")}}, GetParam(), Answers.Ask());
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->Reason.find("onto itself"), std::string::npos) << failure->Reason;
    EXPECT_EQ(Source.Read("x.txt"), "mine");
    EXPECT_TRUE(Answers.Asked.empty());
}

TEST_P(FileTransferEitherWay, OntoItselfThroughALinkedFolderIsRefused) {
    Source.Write("x.txt", "mine");
    const std::string linked = Target.Path() + "linked";
    ASSERT_EQ(symlink(Source.Path().c_str(), linked.c_str()), 0);
    const auto failure =
        TransferFiles({{Src("x.txt"), linked + "/x.txt"}}, GetParam(), Answers.Ask());
    ASSERT_TRUE(failure);
    EXPECT_EQ(Source.Read("x.txt"), "mine");
    EXPECT_TRUE(Answers.Asked.empty());
}

TEST_P(FileTransferEitherWay, OntoAHardLinkOfItselfIsRefused) {
    Source.Write("x.txt", "mine");
    ASSERT_EQ(link(Src("x.txt").c_str(), Dst("x.txt").c_str()), 0);
    ASSERT_TRUE(Run({Item("x.txt")}, GetParam()));
    EXPECT_EQ(Source.Read("x.txt"), "mine");
    EXPECT_EQ(Target.Read("x.txt"), "mine");
}

TEST_P(FileTransferEitherWay, IntoAFolderThatCannotBeWrittenChangesNothing) {
    Source.Write("p.clo", "colours");
    Source.Write("p.txt", "text");
    std::unique_ptr<TTmpfs> readOnly;
    if (geteuid() == 0) {
        // Permissions do not stop root; a read-only file system does.
        readOnly = std::make_unique<TTmpfs>(Target.Path(), MS_RDONLY);
        if (!readOnly->Mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    } else {
        ASSERT_EQ(chmod(Target.Path().c_str(), 0555), 0);
    }
    const auto failure = Run({Item("p.clo"), Item("p.txt")}, GetParam());
    chmod(Target.Path().c_str(), 0755);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Destination, Dst("p.clo"));
    EXPECT_NE(failure->Reason.find("cannot write \"" + Dst("p.clo") + "\""), std::string::npos)
        << failure->Reason;
    EXPECT_EQ(Source.Read("p.clo"), "colours");
    EXPECT_EQ(Source.Read("p.txt"), "text");
    EXPECT_TRUE(Names(Target.Path()).empty());
}

TEST_P(FileTransferEitherWay, APairWhoseTextPartIsDeclinedStaysWhereItWas) {
    Source.Write("p.clo", "colours");
    Source.Write("p.txt", "text");
    Target.Write("p.txt", "other text");
    Answers.Replies = {false};
    const auto failure = Run({Item("p.clo"), Item("p.txt")}, GetParam());
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Destination, Dst("p.txt"));
    EXPECT_EQ(Source.Read("p.clo"), "colours");
    EXPECT_EQ(Source.Read("p.txt"), "text");
    EXPECT_EQ(Target.Read("p.txt"), "other text");
    EXPECT_EQ(Names(Target.Path()), std::set<std::string>{"p.txt"});
}

TEST_P(FileTransferEitherWay, APairWhoseTextPartCannotBeReadStaysWhereItWas) {
    // A move reads its files only to copy them onto another file system.
    std::unique_ptr<TTmpfs> tmpfs;
    if (GetParam()) {
        tmpfs = std::make_unique<TTmpfs>(Target.Path(), 0);
        if (!tmpfs->Mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    }
    Source.Write("p.clo", "colours");
    // Reading /proc/self/mem from its start fails, for root as for anybody.
    ASSERT_EQ(symlink("/proc/self/mem", Src("p.txt").c_str()), 0);
    const auto failure = Run({Item("p.clo"), Item("p.txt")}, GetParam());
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Destination, Dst("p.txt"));
    EXPECT_NE(failure->Reason.find("cannot read"), std::string::npos) << failure->Reason;
    EXPECT_EQ(Source.Read("p.clo"), "colours");
    EXPECT_TRUE(Names(Target.Path()).empty());
}

TEST_P(FileTransferEitherWay, ADestinationThatChangesWhileAskedIsAskedAbout) {
    Source.Write("x.txt", "new");
    Target.Write("x.txt", "old");
    // Another program puts a file of its own in place while the question is open.
    Answers.WhileAsking = [this]() {
        if (Answers.Asked.size() == 1) {
            Target.Write("x.tmp", "theirs");
            ASSERT_EQ(rename(Dst("x.tmp").c_str(), Dst("x.txt").c_str()), 0);
        }
    };
    Answers.Replies = {true, false};
    ASSERT_TRUE(Run({Item("x.txt")}, GetParam()));
    EXPECT_EQ(Answers.Asked.size(), 2u);
    EXPECT_EQ(Target.Read("x.txt"), "theirs");
    EXPECT_EQ(Source.Read("x.txt"), "new");
    EXPECT_EQ(Names(Target.Path()), std::set<std::string>{"x.txt"});
}

TEST_P(FileTransferEitherWay, ATextPartThatAppearsWhileTheColoursAreAskedAboutIsNotReplaced) {
    Source.Write("p.clo", "colours");
    Source.Write("p.txt", "text");
    Target.Write("p.clo", "old colours");
    Answers.WhileAsking = [this]() {
        if (Answers.Asked.size() == 1) Target.Write("p.txt", "theirs");
    };
    Answers.Replies = {true, false};
    const auto failure = Run({Item("p.clo"), Item("p.txt")}, GetParam());
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Destination, Dst("p.txt"));
    EXPECT_EQ(Target.Read("p.txt"), "theirs");
    EXPECT_EQ(Source.Read("p.clo"), "colours");
    EXPECT_EQ(Source.Read("p.txt"), "text");
}

INSTANTIATE_TEST_SUITE_P(CopyAndMove, FileTransferEitherWay, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "move" : "copy";
                         });

TEST_F(FileTransfer, MoveAcrossFileSystemsOntoAnExistingFileAnsweredNoChangesNothing) {
    TTmpfs tmpfs(Target.Path(), 0);
    if (!tmpfs.Mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    Source.Write("p.clo", "colours");
    Source.Write("p.txt", "text");
    Target.Write("p.txt", "old text");
    Answers.Replies = {false};
    ASSERT_TRUE(Run({Item("p.clo"), Item("p.txt")}, true));
    EXPECT_EQ(Source.Read("p.clo"), "colours");
    EXPECT_EQ(Source.Read("p.txt"), "text");
    EXPECT_EQ(Names(Target.Path()), std::set<std::string>{"p.txt"});
    EXPECT_EQ(Target.Read("p.txt"), "old text");
}

TEST_F(FileTransfer, AMoveFromAFolderThatCannotBeWrittenLeavesNoCopy) {
    Source.Write("x.txt", "mine");
    std::unique_ptr<TTmpfs> readOnly;
    if (geteuid() == 0) {
        // The source lies on a read-only tmpfs: fill it first, then mount it read-only again.
        readOnly = std::make_unique<TTmpfs>(Source.Path(), 0);
        if (!readOnly->Mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
        Source.Write("x.txt", "mine");
        ASSERT_EQ(mount(nullptr, Source.Path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr),
                  0);
    } else {
        ASSERT_EQ(chmod(Source.Path().c_str(), 0555), 0);
    }
    const auto failure = Run({Item("x.txt")}, true);
    chmod(Source.Path().c_str(), 0755);
    ASSERT_TRUE(failure);
    EXPECT_EQ(Source.Read("x.txt"), "mine");
    EXPECT_TRUE(Names(Target.Path()).empty());
}

TEST(RenameNoReplace, RenamesOntoANewNameOnly) {
    TTempFolder dir;
    dir.Write("a.txt", "a");
    dir.Write("b.txt", "b");
    EXPECT_FALSE(RenameNoReplace(dir.Path() + "a.txt", dir.Path() + "b.txt"));
    EXPECT_EQ(dir.Read("a.txt"), "a");
    EXPECT_EQ(dir.Read("b.txt"), "b");
    EXPECT_TRUE(RenameNoReplace(dir.Path() + "a.txt", dir.Path() + "c.txt"));
    EXPECT_EQ(dir.Read("c.txt"), "a");
    EXPECT_FALSE(FileExists(dir.Path() + "a.txt"));
    EXPECT_THROW(RenameNoReplace(dir.Path() + "gone.txt", dir.Path() + "d.txt"), EFileError);
}

TEST(RenameFiles, APairIsRenamedAsAUnit) {
    TTempFolder dir;
    dir.Write("a.clo", "colours");
    dir.Write("a.txt", "text");
    EXPECT_EQ(RenameFiles({{dir.Path() + "a.clo", dir.Path() + "b.clo"},
                           {dir.Path() + "a.txt", dir.Path() + "b.txt"}}),
              std::nullopt);
    EXPECT_EQ(dir.Read("b.clo"), "colours");
    EXPECT_EQ(dir.Read("b.txt"), "text");
    EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{"b.clo", "b.txt"}));
}

TEST(RenameFiles, OntoAnExistingNameRenamesNothing) {
    TTempFolder dir;
    dir.Write("a.clo", "colours");
    dir.Write("a.txt", "text");
    dir.Write("b.txt", "someone else's");
    const auto failure = RenameFiles({{dir.Path() + "a.clo", dir.Path() + "b.clo"},
                                      {dir.Path() + "a.txt", dir.Path() + "b.txt"}});
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Destination, dir.Path() + "b.txt");
    EXPECT_EQ(dir.Read("a.clo"), "colours");
    EXPECT_EQ(dir.Read("a.txt"), "text");
    EXPECT_EQ(dir.Read("b.txt"), "someone else's");
    EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{"a.clo", "a.txt", "b.txt"}));
}

TEST(RenameFiles, ANameWithASlashWouldMoveTheFileAndIsRefused) {
    TTempFolder dir;
    dir.Write("a.txt", "text");
    ASSERT_EQ(mkdir((dir.Path() + "sub").c_str(), 0755), 0);
    ASSERT_TRUE(RenameFiles({{dir.Path() + "a.txt", dir.Path() + "sub/b.txt"}}));
    EXPECT_EQ(dir.Read("a.txt"), "text");
    EXPECT_TRUE(Names(dir.Path() + "sub").empty());
}

TEST(JoinPath, PutsOneSlashBetween) {
    EXPECT_EQ(JoinPath("/out", "x.txt"), "/out/x.txt");
    EXPECT_EQ(JoinPath("/out/", "x.txt"), "/out/x.txt");
    EXPECT_EQ(JoinPath("/", "x.txt"), "/x.txt");
}

}  // namespace
}  // namespace morvane
