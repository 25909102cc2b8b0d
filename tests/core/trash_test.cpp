// The desktop's trash: made where a new account has none, a volume's own for files on another
// file system, never a makeshift one below the working folder.
#include "platform/trash.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <regex>
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

void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

bool Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

// The permission bits of path, or -1 when it is missing.
int Mode(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

std::string RealPath(const std::string& path) {
    char* real = realpath(path.c_str(), nullptr);
    std::string result = real ? real : "";
    std::free(real);
    return result;
}

// Environment variables set for the test's span; nullptr unsets one.
class TEnvironment {
  public:
    void Set(const std::string& name, const char* value) {
        if (!FSaved.count(name)) {
            const char* old = std::getenv(name.c_str());
            FSaved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value) {
            setenv(name.c_str(), value, 1);
        } else {
            unsetenv(name.c_str());
        }
    }
    ~TEnvironment() {
        for (const auto& [name, value] : FSaved) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }

  private:
    std::map<std::string, std::optional<std::string>> FSaved;
};

// The working folder for the test's span.
class TWorkingFolder {
  public:
    explicit TWorkingFolder(const std::string& folder) : FOld(RealPath(".")) {
        FChanged = chdir(folder.c_str()) == 0;
    }
    ~TWorkingFolder() {
        if (FChanged && chdir(FOld.c_str()) != 0) std::abort();
    }
    bool Changed() const { return FChanged; }

  private:
    std::string FOld;
    bool FChanged = false;
};

// A home of a new account, without ~/.local/share, and a working folder that must stay empty.
class TrashTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Working.Changed());
        Environment.Set("HOME", Home.Path().c_str());
        Environment.Set("XDG_DATA_HOME", nullptr);
    }
    void TearDown() override { EXPECT_EQ(Names(WorkingFolder.Path()), std::set<std::string>()); }

    TTempFolder Art;
    TTempFolder Home;
    TTempFolder WorkingFolder;
    TWorkingFolder Working{WorkingFolder.Path()};
    TEnvironment Environment;
    const std::string Uid = std::to_string(getuid());
};

// An info file for the file that was at path, deleted a moment ago.
void ExpectInfo(const std::string& infoFile, const std::string& path) {
    const std::string info = ReadWholeFile(infoFile);
    const std::regex shape(
        "\\[Trash Info\\]\nPath=(.*)\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(info, match, shape)) << info;
    EXPECT_EQ(match[1].str(), path);
}

struct THomeCase {
    const char* Name;
    // XDG_DATA_HOME: nullptr unset; "~/" stands for the home folder.
    const char* DataHome;
    // The trash expected, below the home folder.
    const char* Trash;
};

void PrintTo(const THomeCase& c, std::ostream* os) { *os << c.Name; }

class HomeTrashTest : public TrashTest, public testing::WithParamInterface<THomeCase> {};

TEST_P(HomeTrashTest, IsMadePrivateWhereMissing) {
    const THomeCase& c = GetParam();
    std::string dataHome = c.DataHome ? c.DataHome : "";
    if (dataHome.rfind("~/", 0) == 0) dataHome = Home.Path() + dataHome.substr(2);
    Environment.Set("XDG_DATA_HOME", c.DataHome ? dataHome.c_str() : nullptr);
    const std::string file = Art.Write("x.txt", "art");

    ASSERT_TRUE(MoveToTrash(file));
    EXPECT_FALSE(Exists(file));
    const std::string trash = Home.Path() + c.Trash;
    EXPECT_EQ(ReadWholeFile(trash + "/files/x.txt"), "art");
    ExpectInfo(trash + "/info/x.txt.trashinfo", RealPath(Art.Path()) + "/x.txt");
    // Every folder made on the way is the user's alone.
    for (std::string folder = trash + "/files"; folder.size() >= Home.Path().size();
         folder.resize(folder.rfind('/'))) {
        EXPECT_EQ(Mode(folder), 0700) << folder;
    }
    EXPECT_EQ(Mode(trash + "/info"), 0700);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HomeTrashTest,
    testing::Values(THomeCase{"NewAccountWithoutLocalShare", nullptr, ".local/share/Trash"},
                    THomeCase{"DataHomeNotMadeYet", "~/data/new", "data/new/Trash"},
                    THomeCase{"RelativeDataHomeIsNoSetting", "data", ".local/share/Trash"}),
    [](const testing::TestParamInfo<THomeCase>& info) { return std::string(info.param.Name); });

TEST_F(TrashTest, ATakenNameGetsANumberAndPathsAreEscaped) {
    const std::string name = "a b%\xff.txt";
    TTempFolder other;
    const std::string first = Art.Write(name, "first");
    const std::string second = other.Write(name, "second");
    ASSERT_TRUE(MoveToTrash(first));
    ASSERT_TRUE(MoveToTrash(second));
    const std::string trash = Home.Path() + ".local/share/Trash/";
    EXPECT_EQ(ReadWholeFile(trash + "files/" + name), "first");
    EXPECT_EQ(ReadWholeFile(trash + "files/a b%\xff.2.txt"), "second");
    ExpectInfo(trash + "info/a b%\xff.2.txt.trashinfo",
               RealPath(other.Path()) + "/a%20b%25%FF.txt");
}

TEST_F(TrashTest, NoTrashWhereNoneCanBeMade) {
    // A file stands where the data folder would be.
    Home.Write("blocked", "a file");
    Environment.Set("XDG_DATA_HOME", (Home.Path() + "blocked").c_str());
    const std::string file = Art.Write("x.txt", "art");
    EXPECT_FALSE(TrashFor(file));
    EXPECT_FALSE(MoveToTrash(file));
    EXPECT_EQ(ReadWholeFile(file), "art");
    EXPECT_EQ(Names(Home.Path()), std::set<std::string>{"blocked"});
}

struct TVolumeCase {
    const char* Name;
    // Prepares the volume's top folder for the user uid; false when this run cannot.
    std::function<bool(const std::string& top, const std::string& uid)> Prepare;
    // The trash expected below the top folder, "UID" standing for the user's id; nullptr: none.
    const char* Trash;
};

void PrintTo(const TVolumeCase& c, std::ostream* os) { *os << c.Name; }

bool MakeFolder(const std::string& path, mode_t mode) {
    return mkdir(path.c_str(), 0700) == 0 && chmod(path.c_str(), mode) == 0;
}

class VolumeTrashTest : public TrashTest, public testing::WithParamInterface<TVolumeCase> {};

TEST_P(VolumeTrashTest, FollowsTheVolumeRules) {
    const TVolumeCase& c = GetParam();
    TTempFolder top;
    if (!c.Prepare(top.Path(), Uid)) GTEST_SKIP() << "this case needs root";
    const std::optional<TTrash> trash = VolumeTrash(top.Path());
    if (!c.Trash) {
        EXPECT_FALSE(trash) << trash->Folder;
        return;
    }
    ASSERT_TRUE(trash);
    std::string expected = c.Trash;
    expected.replace(expected.find("UID"), 3, Uid);
    EXPECT_EQ(trash->Folder, top.Path() + expected);
    for (const char* inner : {"", "/files", "/info"})
        EXPECT_EQ(Mode(trash->Folder + inner), 0700) << inner;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VolumeTrashTest,
    testing::Values(
        TVolumeCase{"NoSharedTrash", [](auto&, auto&) { return true; }, ".Trash-UID"},
        TVolumeCase{"StickySharedTrash",
                    [](const std::string& top, auto&) { return MakeFolder(top + ".Trash", 01777); },
                    ".Trash/UID"},
        TVolumeCase{"SharedTrashNotSticky",
                    [](const std::string& top, auto&) { return MakeFolder(top + ".Trash", 0777); },
                    ".Trash-UID"},
        TVolumeCase{"SharedTrashIsALink",
                    [](const std::string& top, auto&) {
                        return MakeFolder(top + "shared", 01777) &&
                               symlink("shared", (top + ".Trash").c_str()) == 0;
                    },
                    ".Trash-UID"},
        TVolumeCase{"OwnTrashIsALink",
                    [](const std::string& top, const std::string& uid) {
                        return MakeFolder(top + "elsewhere", 0700) &&
                               symlink("elsewhere", (top + ".Trash-" + uid).c_str()) == 0;
                    },
                    nullptr},
        TVolumeCase{"OwnTrashIsAFile",
                    [](const std::string& top, const std::string& uid) {
                        Put(top + ".Trash-" + uid, "a file");
                        return true;
                    },
                    nullptr},
        TVolumeCase{"ItsFilesFolderIsALink",
                    [](const std::string& top, const std::string& uid) {
                        const std::string own = top + ".Trash-" + uid;
                        return MakeFolder(own, 0700) && MakeFolder(top + "elsewhere", 0700) &&
                               symlink("../elsewhere", (own + "/files").c_str()) == 0;
                    },
                    nullptr},
        TVolumeCase{"OwnTrashIsSomebodyElses",
                    [](const std::string& top, const std::string& uid) {
                        const std::string own = top + ".Trash-" + uid;
                        return MakeFolder(own, 0700) &&
                               chown(own.c_str(), getuid() + 1, getgid()) == 0;
                    },
                    nullptr}),
    [](const testing::TestParamInfo<TVolumeCase>& info) { return std::string(info.param.Name); });

// A file system of the test's own, as a USB stick would be.
class OtherVolumeTest : public TrashTest {
  protected:
    void SetUp() override {
        TrashTest::SetUp();
        Volume = Outer.Path() + "volume";
        ASSERT_EQ(mkdir(Volume.c_str(), 0700), 0);
        Mount = std::make_unique<TTmpfs>(Volume, 0);
        if (!Mount->Mounted()) GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
        ASSERT_EQ(mkdir((Volume + "/art").c_str(), 0700), 0);
        File = Volume + "/art/x.txt";
        Put(File, "art");
    }

    TTempFolder Outer;
    std::string Volume;
    std::string File;
    std::unique_ptr<TTmpfs> Mount;
};

TEST_F(OtherVolumeTest, FileGoesToThatVolumesTrash) {
    ASSERT_TRUE(MoveToTrash(File));
    const std::string trash = Volume + "/.Trash-" + Uid;
    EXPECT_EQ(ReadWholeFile(trash + "/files/x.txt"), "art");
    // Paths in a volume's trash are relative to its top, as the volume may be mounted elsewhere.
    ExpectInfo(trash + "/info/x.txt.trashinfo", "art/x.txt");
    EXPECT_FALSE(Exists(Home.Path() + ".local"));
}

TEST_F(OtherVolumeTest, WithoutItsTrashNothingIsCopiedHome) {
    Put(Volume + "/.Trash-" + Uid, "in the way");
    EXPECT_FALSE(TrashFor(File));
    EXPECT_FALSE(MoveToTrash(File));
    EXPECT_EQ(ReadWholeFile(File), "art");
    EXPECT_FALSE(Exists(Home.Path() + ".local"));
}

}  // namespace
}  // namespace morvane
