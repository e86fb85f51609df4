// The Win32 side of the platform seam, where it decides something itself.
#include "support/TestEnv.h"
#include "sys/Platform.h"

#include <gtest/gtest.h>

TEST(Platform, KnowsADriveThatMapsTheHostsRoot)
{
    // The test prefix maps Y: to the host's "/" and D: to a folder of the build.
    EXPECT_TRUE(Platform().DriveIsHostRoot("y:\\"));
    EXPECT_FALSE(Platform().DriveIsHostRoot("d:\\"));
    EXPECT_FALSE(Platform().DriveIsHostRoot("c:\\"));
    EXPECT_FALSE(Platform().DriveIsHostRoot("q:\\")); // not mapped at all
}

TEST(Platform, LongAndUnicodePathsWorkThroughTheSeam)
{
    std::string folder = testenv::FreshFolder();
    while (folder.size() < 300)
        folder += "\\ünïcødé-日本-folder";
    testenv::MakeFolder(folder);
    const std::string file = folder + "\\file.txt";
    OsError error = 0;
    void* handle = Platform().FileOpen(file, FileMode::CreateShared, error);
    ASSERT_NE(handle, nullptr) << error;
    EXPECT_EQ(Platform().FileWrite(handle, "abc", 3), 0u);
    Platform().FileClose(handle);
    std::uint32_t attributes = 0;
    EXPECT_EQ(Platform().GetAttributes(file, attributes), 0u);
    FindEntry entry;
    void* find = Platform().FindOpen(folder + "\\*.txt", entry, error);
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(entry.name, "file.txt");
    EXPECT_EQ(entry.size, 3u);
    Platform().FindClose(find);
    EXPECT_EQ(Platform().DeleteFileAt(file), 0u);
}
