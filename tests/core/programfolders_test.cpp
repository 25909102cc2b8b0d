#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "app/settings/settingslocation.h"
#include "platform/executable.h"
#include "testfiles.h"

namespace morvane {
namespace {

using test::TTempFolder;

struct TFoldersCase {
    const char* Name;
    /// Folders made under the tree's root before the lookup.
    std::vector<std::string> Made;
    /// The executable's folder under the root.
    std::string Exe;
    std::string Data;
    std::string Modules;
    bool Installed;
};

void PrintTo(const TFoldersCase& c, std::ostream* os) { *os << c.Name; }

class ProgramFoldersTest : public testing::TestWithParam<TFoldersCase> {};

TEST_P(ProgramFoldersTest, DataAndModulesAreFoundFromTheExecutablesFolder) {
    const TFoldersCase& c = GetParam();
    TTempFolder root;
    for (const std::string& folder : c.Made) {
        std::filesystem::create_directories(root.Path() + folder);
    }
    const TProgramFolders folders = ProgramFoldersOf(root.Path() + c.Exe);
    EXPECT_EQ(folders.Data, root.Path() + c.Data);
    EXPECT_EQ(folders.Modules, root.Path() + c.Modules);
    EXPECT_EQ(folders.Installed, c.Installed);
}

INSTANTIATE_TEST_SUITE_P(
    Trees, ProgramFoldersTest,
    testing::Values(
        TFoldersCase{"Portable", {"app/Favorites"}, "app/", "app/", "app/", false},
        TFoldersCase{"Installed",
                     {"bin", "share/morvane/Favorites", "lib/morvane"},
                     "bin/",
                     "share/morvane/",
                     "lib/morvane/",
                     true},
        // A copy beside the executable wins over an install tree around it.
        TFoldersCase{"PortableInsideAnInstallTree",
                     {"bin/Favorites", "share/morvane/Favorites"},
                     "bin/",
                     "bin/",
                     "bin/",
                     false},
        TFoldersCase{"NeitherKeepsTheExecutablesFolder", {"bin"}, "bin/", "bin/", "bin/", false}),
    [](const testing::TestParamInfo<TFoldersCase>& info) { return info.param.Name; });

TEST(ProgramFolders, TheRunningTestIsAPortableCopyOrNoneAtAll) {
    const TProgramFolders& folders = ProgramFolders();
    EXPECT_FALSE(folders.Installed);
    EXPECT_EQ(folders.Data, ExecutableFolder());
}

// An installed program keeps no settings beside itself, nor in whatever folder it started in.
TEST(ProgramFolders, WithoutAFolderOfItsOwnTheSettingsGoToTheConfigurationFolder) {
    TTempFolder work;
    work.Write("morvane.ini", "\r\n");
    char* previous = getcwd(nullptr, 0);
    ASSERT_EQ(chdir(work.Path().c_str()), 0);
    const std::string location = SettingsFileLocation("", "/home/a/.cfg", "/home/a");
    EXPECT_EQ(chdir(previous), 0);
    free(previous);
    EXPECT_EQ(location, "/home/a/.cfg/morvane/morvane.ini");
}

}  // namespace
}  // namespace morvane
