#include "platform/scratchfolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "testfiles.h"

using morvane::TScratchFolder;
using morvane::test::TTempFolder;

namespace {

bool IsFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

TEST(ScratchFolder, IsRemovedWithEverythingInIt) {
    TTempFolder base;
    std::string path;
    {
        TScratchFolder scratch(base.Path(), "morvane-");
        path = scratch.Path();
        ASSERT_TRUE(IsFolder(path));
        std::ofstream(path + "send.htm") << "page";
    }
    EXPECT_FALSE(IsFolder(path));
}

TEST(ScratchFolder, SweepRemovesOnlyFoldersWhoseOwnerEnded) {
    TTempFolder base;
    TScratchFolder live(base.Path(), "morvane-");
    // A folder left by a process that died: its lock file is there, but nobody holds it.
    const std::string dead = base.Path() + "morvane-dead01";
    ASSERT_EQ(mkdir(dead.c_str(), 0700), 0);
    std::ofstream(dead + "/.lock");
    std::ofstream(dead + "/quillet.tmp") << "lines";
    const std::string other = base.Path() + "notours";
    ASSERT_EQ(mkdir(other.c_str(), 0700), 0);

    TScratchFolder::SweepAbandoned(base.Path(), "morvane-");

    EXPECT_FALSE(IsFolder(dead));
    EXPECT_TRUE(IsFolder(live.Path()));
    EXPECT_TRUE(IsFolder(other));
}

}  // namespace
