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

TEST_F(KeepSitesStore, AStoredListIsAMultiStringThatReadsBackAsWritten)
{
    const CSettingsStore store;
    const std::vector<std::string> sites = {"example.com",
                                            "b\xc3\xbc"
                                            "cher.de",
                                            "::1"};
    ASSERT_TRUE(StoreKeepSites(store, sites));
    EXPECT_EQ(ReadKeepSites(store), sites);
    ASSERT_TRUE(StoreKeepSites(store, {}));
    EXPECT_EQ(ReadKeepSites(store), std::vector<std::string>{});
    // As other programs see it: REG_MULTI_SZ, UTF-16, ending in an empty string.
    ASSERT_TRUE(StoreKeepSites(store, {"a.org", "b.org"}));
    DWORD type = 0;
    std::vector<BYTE> data(64);
    DWORD size = static_cast<DWORD>(data.size());
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Vellomar\\Purgix!", 0, KEY_READ, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegQueryValueExW(key, L"KeepSites", nullptr, &type, data.data(), &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
    data.resize(size);
    EXPECT_EQ(data, Utf16Bytes(std::wstring(L"a.org\0b.org\0\0", 13)));
}
