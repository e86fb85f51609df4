// The Internet Explorer 4.x extensible caches: every subkey's "CachePath" folder loses
// the files lying directly in it; everything else is passed over without a line.
#include "engine/run/CleaningEngine.h"
#include "support/RecordingSink.h"
#include "support/RunFixture.h"
#include "support/TestEnv.h"
#include "sys/Utf8.h"

#include <gtest/gtest.h>

using namespace testenv;
using runkeys::kExtensibleCache;

namespace {

class ExtensibleCaches : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_stopFlag = 0;
        DeleteTree(HKEY_CURRENT_USER, kExtensibleCache);
    }
    void TearDown() override { DeleteTree(HKEY_CURRENT_USER, kExtensibleCache); }

    void AddCache(const std::string& subkey, const std::string& path, DWORD type = REG_SZ)
    {
        SetString(HKEY_CURRENT_USER, kExtensibleCache + "\\" + subkey, "CachePath", path, type);
    }
    Lines Sweep()
    {
        CCleaningEngine engine(m_sink);
        engine.SweepExtensibleCaches();
        return m_sink.Lines();
    }

    CRecordingSink m_sink;
    std::string m_root = FreshFolder();
};

TEST_F(ExtensibleCaches, WithoutTheKeyNothingHappens)
{
    EXPECT_EQ(Sweep(), Lines{});
}

TEST_F(ExtensibleCaches, EachCacheLosesOnlyTheFilesDirectlyInItAndACacheWithoutPathIsPassedOver)
{
    AddCache("a-first", m_root + "\\first");
    SetString(HKEY_CURRENT_USER, kExtensibleCache + "\\b-second", "OtherValue", m_root + "\\second");
    AddCache("c-third", m_root + "\\third");
    WriteFile(m_root + "\\first\\one.dat", "1");
    WriteFile(m_root + "\\first\\sub\\kept.dat", "2");
    WriteFile(m_root + "\\first\\desktop.ini", "3");
    WriteFile(m_root + "\\second\\two.dat", "4");
    WriteFile(m_root + "\\third\\three.dat", "5");

    EXPECT_EQ(Sweep(), (Lines{m_root + "\\first\\one.dat - deleted", m_root + "\\third\\three.dat - deleted"}));
    EXPECT_TRUE(FileExists(m_root + "\\first\\sub\\kept.dat"));
    EXPECT_TRUE(FileExists(m_root + "\\first\\desktop.ini"));
    EXPECT_TRUE(FileExists(m_root + "\\second\\two.dat"));
    EXPECT_TRUE(FolderExists(m_root + "\\third"));
}

TEST_F(ExtensibleCaches, EmptyUnexpandedAndDriveRootPathsRemoveNothing)
{
    WriteFile(m_root + "\\cache\\a.dat", "1");
    SetEnvironmentVariableW(L"PURGIX_EXT_ROOT", Widen(m_root).c_str());
    AddCache("a-empty", "");
    AddCache("b-expand", "%PURGIX_EXT_ROOT%\\cache", REG_EXPAND_SZ); // used as written
    AddCache("c-root", "D:\\");
    const std::string rootFile = "D:\\purgix-ext-root-" + std::to_string(GetCurrentProcessId()) + ".dat";
    WriteFile(rootFile, "2");

    const Lines lines = Sweep();
    const bool rootFileKept = FileExists(rootFile);
    DeleteFileW(Widen(rootFile).c_str());
    SetEnvironmentVariableW(L"PURGIX_EXT_ROOT", nullptr);

    EXPECT_EQ(lines, Lines{});
    EXPECT_TRUE(rootFileKept);
    EXPECT_TRUE(FileExists(m_root + "\\cache\\a.dat"));
}

} // namespace
