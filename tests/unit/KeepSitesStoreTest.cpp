// The stored keep list read into a run's options: a list that cannot be read gives no
// value, never an empty list that would let every cookie go.
#include "settings/StoredRunOptions.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using Sites = std::optional<std::vector<std::string>>;

std::vector<BYTE> Utf16Bytes(const std::wstring& text)
{
    const auto* bytes = reinterpret_cast<const BYTE*>(text.data());
    return {bytes, bytes + text.size() * sizeof(wchar_t)};
}

class KeepSitesStore : public ::testing::Test {
protected:
    void SetUp() override { testenv::DeleteTree(HKEY_CURRENT_USER, "Software\\Vellomar"); }
    void TearDown() override { testenv::DeleteTree(HKEY_CURRENT_USER, "Software\\Vellomar"); }
};

} // namespace

TEST_F(KeepSitesStore, TheStoredListReachesTheOptionsAndOneOfTheWrongKindGivesNoValue)
{
    const struct {
        const char* what;
        DWORD type;
        std::vector<BYTE> data; // empty: no value at all
        Sites sites;
    } cases[] = {
        {"absent", REG_NONE, {}, std::vector<std::string>{}},
        {"two sites", REG_MULTI_SZ, Utf16Bytes(std::wstring(L"example.com\0localhost\0\0", 24)),
         std::vector<std::string>{"example.com", "localhost"}},
        {"without the final terminator", REG_MULTI_SZ, Utf16Bytes(std::wstring(L"example.com", 11)),
         std::vector<std::string>{"example.com"}},
        {"empty list", REG_MULTI_SZ, Utf16Bytes(std::wstring(L"\0", 1)), std::vector<std::string>{}},
        {"text", REG_SZ, Utf16Bytes(std::wstring(L"example.com\0", 12)), std::nullopt},
        {"number", REG_DWORD, {1, 0, 0, 0}, std::nullopt},
        {"bytes", REG_BINARY, {0x65, 0, 0x78, 0, 0, 0}, std::nullopt},
    };
    for (const auto& [what, type, data, sites] : cases) {
        testenv::DeleteTree(HKEY_CURRENT_USER, "Software\\Vellomar");
        if (!data.empty())
            testenv::SetBinary(HKEY_CURRENT_USER, testenv::kSettingsKey, kKeepSitesValue, data, type);
        EXPECT_EQ(ReadRunOptions(CSettingsStore::ReadOnly()).keepSites, sites) << what;
        EXPECT_EQ(ReadRunOptions(CSettingsStore()).keepSites, sites) << what;
    }
}
