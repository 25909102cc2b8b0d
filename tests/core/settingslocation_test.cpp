#include "app/settings/settingslocation.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/settings/recentlist.h"
#include "platform/files.h"
#include "testfiles.h"

namespace morvane {
namespace {

using test::TTempFolder;

TEST(SettingsLocation, AFileBesideTheProgramIsUsedFirst) {
    TTempFolder app;
    app.Write("morvane.ini", "\r\n");
    EXPECT_EQ(SettingsFileLocation(app.Path(), "/home/a/.cfg", "/home/a"),
              app.Path() + "morvane.ini");
}

TEST(SettingsLocation, OtherwiseTheUsersConfigurationFolder) {
    TTempFolder app;
    EXPECT_EQ(SettingsFileLocation(app.Path(), "/home/a/.cfg/", "/home/a"),
              "/home/a/.cfg/morvane/morvane.ini");
    EXPECT_EQ(SettingsFileLocation(app.Path(), nullptr, "/home/a"),
              "/home/a/.config/morvane/morvane.ini");
    EXPECT_EQ(SettingsFileLocation(app.Path(), "", "/home/a"),
              "/home/a/.config/morvane/morvane.ini");
    // A relative configuration folder is not to be used.
    EXPECT_EQ(SettingsFileLocation(app.Path(), "cfg", "/home/a"),
              "/home/a/.config/morvane/morvane.ini");
}

TEST(SettingsLocation, CreatingMakesTheFoldersAndOneEmptyLineAndKeepsAnExistingFile) {
    TTempFolder home;
    const std::string path = home.Path() + ".config/morvane/morvane.ini";
    CreateSettingsFile(path);
    EXPECT_EQ(ReadWholeFile(path), "\r\n");
    struct stat st {};
    ASSERT_EQ(stat((home.Path() + ".config/morvane").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    WriteFileAtomic(path, "[display]\r\n");
    CreateSettingsFile(path);
    EXPECT_EQ(ReadWholeFile(path), "[display]\r\n");
}

TEST(SettingsLocation, CreatingWhereAFileBlocksTheFolderThrows) {
    TTempFolder home;
    home.Write("blocked", "a file, not a folder");
    EXPECT_THROW(CreateSettingsFile(home.Path() + "blocked/morvane/morvane.ini"), EFileError);
}

std::vector<std::string> Placeholders(int count) {
    std::vector<std::string> captions;
    for (int i = 1; i <= count; ++i) captions.push_back(std::to_string(i % 10));
    return captions;
}

TEST(RecentList, PlaceholdersShiftLikeEntriesAndTheLastFallsOff) {
    std::vector<std::string> history = Placeholders(10);
    EXPECT_TRUE(AddRecent(history, "/art/"));
    EXPECT_EQ(history,
              (std::vector<std::string>{"/art/", "1", "2", "3", "4", "5", "6", "7", "8", "9"}));
}

TEST(RecentList, AKnownEntryKeepsItsPlace) {
    std::vector<std::string> history = Placeholders(10);
    AddRecent(history, "/art/");
    AddRecent(history, "/x/");
    const std::vector<std::string> before = history;
    EXPECT_FALSE(AddRecent(history, "/art/"));
    EXPECT_EQ(history, before);
    // Letter case makes another folder.
    EXPECT_TRUE(AddRecent(history, "/Art/"));
    EXPECT_EQ(history[0], "/Art/");
    EXPECT_EQ(history[2], "/art/");
}

TEST(RecentList, TheEleventhFolderPushesTheOldestOut) {
    std::vector<std::string> history = Placeholders(10);
    for (int i = 1; i <= 11; ++i) AddRecent(history, "/f" + std::to_string(i) + "/");
    EXPECT_EQ(history.front(), "/f11/");
    EXPECT_EQ(history.back(), "/f2/");
    EXPECT_EQ(std::count(history.begin(), history.end(), "/f1/"), 0);
}

TEST(RecentList, OnlyAbsoluteFoldersAreEntries) {
    EXPECT_TRUE(IsRecentFolder("/art/"));
    EXPECT_TRUE(IsRecentFolder("/"));
    EXPECT_TRUE(IsRecentFolder("/a/"));
    EXPECT_FALSE(IsRecentFolder("1"));
    EXPECT_FALSE(IsRecentFolder("0"));
    EXPECT_FALSE(IsRecentFolder(""));
    EXPECT_FALSE(IsRecentFolder("art/"));
}

}  // namespace
}  // namespace morvane
