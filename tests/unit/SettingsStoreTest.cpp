#include "settings/SettingsStore.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

namespace {

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override { testenv::DeleteTree(HKEY_CURRENT_USER, "Software\\Vellomar"); }
    void TearDown() override { testenv::DeleteTree(HKEY_CURRENT_USER, "Software\\Vellomar"); }
    CSettingsStore m_store;
};

TEST_F(SettingsStore, AReadOnAnEmptyRegistryCreatesTheKeyPathAndYieldsTheDefault)
{
    EXPECT_EQ(m_store.ReadSettingInt("", "WorkToBeDone", 0), 0u);
    EXPECT_TRUE(testenv::KeyExists(HKEY_CURRENT_USER, "Software\\Vellomar\\Purgix!"));
    EXPECT_EQ(m_store.ReadSettingString("Options", "TypeOfPurgix", "Standard"), "Standard");
    EXPECT_TRUE(testenv::KeyExists(HKEY_CURRENT_USER, "Software\\Vellomar\\Purgix!\\Options"));
}

TEST_F(SettingsStore, ValuesRoundTripWithTheirRegistryTypes)
{
    ASSERT_TRUE(m_store.WriteSettingInt("", "WorkToBeDone", 1));
    ASSERT_TRUE(m_store.WriteSettingInt("DeleteOnWindowsRestart", "FileCount", 4000000000u));
    ASSERT_TRUE(m_store.WriteSettingString("Options", "TypeOfPurgix", "Thorough"));
    ASSERT_TRUE(m_store.WriteSettingString("DeleteOnWindowsRestart", "File_0", "C:\\Tëmp\\日本.txt"));

    EXPECT_EQ(m_store.ReadSettingInt("", "WorkToBeDone", 0), 1u);
    EXPECT_EQ(m_store.ReadSettingInt("DeleteOnWindowsRestart", "FileCount", 0), 4000000000u);
    EXPECT_EQ(m_store.ReadSettingString("Options", "TypeOfPurgix", ""), "Thorough");
    EXPECT_EQ(m_store.ReadSettingString("DeleteOnWindowsRestart", "File_0", ""), "C:\\Tëmp\\日本.txt");
    // Stored as others read them: REG_DWORD and REG_SZ under the application key.
    EXPECT_EQ(testenv::GetDword(HKEY_CURRENT_USER, testenv::kSettingsKey, "WorkToBeDone"), 1u);
    EXPECT_EQ(testenv::GetString(HKEY_CURRENT_USER, testenv::kSettingsKey + "\\Options", "TypeOfPurgix"), "Thorough");
}

TEST_F(SettingsStore, AValueOfTheWrongKindReadsAsTheDefault)
{
    const std::string options = testenv::kSettingsKey + "\\Options";
    testenv::SetString(HKEY_CURRENT_USER, testenv::kSettingsKey, "WorkToBeDone", "1");
    testenv::SetDword(HKEY_CURRENT_USER, options, "TypeOfPurgix", 2);
    // Text of exactly four bytes, which a plain size check would take for a number.
    testenv::SetString(HKEY_CURRENT_USER, options, "WipeClean", "true");
    testenv::SetString(HKEY_CURRENT_USER, options, "DeleteCookies", "true", REG_EXPAND_SZ);
    testenv::SetBinary(HKEY_CURRENT_USER, options, "DeleteFavorites", {1, 0, 0, 0}, REG_DWORD_BIG_ENDIAN);
    testenv::SetBinary(HKEY_CURRENT_USER, options, "ResetGameScores", {1, 0}, REG_BINARY);

    EXPECT_EQ(m_store.ReadSettingInt("", "WorkToBeDone", 7), 7u);
    EXPECT_EQ(m_store.ReadSettingString("Options", "TypeOfPurgix", "Standard"), "Standard");
    EXPECT_EQ(m_store.ReadSettingInt("Options", "WipeClean", 0), 0u);
    EXPECT_EQ(m_store.ReadSettingInt("Options", "DeleteCookies", 0), 0u);
    EXPECT_EQ(m_store.ReadSettingInt("Options", "DeleteFavorites", 0), 0u);
    EXPECT_EQ(m_store.ReadSettingInt("Options", "ResetGameScores", 0), 0u);
}

TEST_F(SettingsStore, FourBytesOfBinaryReadAsANumber)
{
    testenv::SetBinary(HKEY_CURRENT_USER, testenv::kSettingsKey + "\\Options", "WipeClean", {1, 0, 0, 0});
    EXPECT_EQ(m_store.ReadSettingInt("Options", "WipeClean", 0), 1u);
}

} // namespace
