// The engine's registry operations against the real (Wine) registry: lookups by exact
// name and accepted type, whole numbers, long names and data, emptying a key, and the
// one write that tells the user when it fails.
#include "engine/run/CleaningEngine.h"
#include "support/FaultyPlatform.h"
#include "support/RecordingSink.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace testenv;

namespace {

const std::string kKey = "Software\\PurgixTests\\RegistryAccess";

class RegistryAccess : public ::testing::Test {
protected:
    void SetUp() override { DeleteTree(HKEY_CURRENT_USER, "Software\\PurgixTests"); }
    void TearDown() override { DeleteTree(HKEY_CURRENT_USER, "Software\\PurgixTests"); }

    // True when the call raised CResourceException.
    template <typename Call> static bool Raises(Call&& call)
    {
        try {
            call();
            return false;
        } catch (const CResourceException&) {
            return true;
        }
    }

    std::optional<std::string> ReadString(const std::string& name)
    {
        return m_engine.ReadRegistryString(kHkeyCurrentUser, kKey, name);
    }
    std::optional<std::int32_t> ReadNumber(const std::string& name)
    {
        return m_engine.ReadRegistryNumber(kHkeyCurrentUser, kKey, name);
    }

    CRecordingSink m_sink;
    CCleaningEngine m_engine{m_sink};
};

} // namespace

TEST_F(RegistryAccess, FindsStringsByTheirExactNameOnly)
{
    SetString(HKEY_CURRENT_USER, kKey, "cache", "lower");
    SetDword(HKEY_CURRENT_USER, kKey, "Count", 7); // not a string
    SetString(HKEY_CURRENT_USER, kKey, "Paths", "%TEMP%\\cache", REG_EXPAND_SZ);

    EXPECT_FALSE(ReadString("Cache"));
    EXPECT_EQ(ReadString("cache"), "lower");
    EXPECT_EQ(ReadString("Paths"), "%TEMP%\\cache"); // as stored, unexpanded
    EXPECT_FALSE(ReadString("Count"));
    EXPECT_FALSE(ReadString("Missing"));
    EXPECT_FALSE(m_engine.ReadRegistryString(kHkeyCurrentUser, kKey + "\\Absent", "cache"));
}

TEST_F(RegistryAccess, AKeyThatCannotBeReadRaisesItsErrorWhereAnAbsentOneReadsAsNothing)
{
    SetString(HKEY_CURRENT_USER, kKey, "cache", "there");
    CFaultyPlatform sys;
    sys.listValuesFault = {kKey, ERROR_ACCESS_DENIED};
    CCleaningEngine engine(m_sink, sys);

    EXPECT_FALSE(engine.ReadRegistryString(kHkeyCurrentUser, kKey + "\\Absent", "cache"));
    for (const auto& read : std::vector<std::function<void()>>{
             [&] { engine.ReadRegistryString(kHkeyCurrentUser, kKey, "cache"); },
             [&] { engine.ReadLocationNumber(kHkeyCurrentUser, kKey, "cache"); },
             [&] { engine.DeleteAllRegistryValues(kHkeyCurrentUser, kKey); },
         }) {
        try {
            read();
            ADD_FAILURE() << "no failure raised";
        } catch (const CResourceException& failure) {
            EXPECT_EQ(failure.m_lOsError, static_cast<unsigned long>(ERROR_ACCESS_DENIED));
        }
    }
}

TEST_F(RegistryAccess, ReadsTheDefaultValueUnderTheEmptyName)
{
    SetString(HKEY_CURRENT_USER, kKey, "Named", "x");
    EXPECT_FALSE(ReadString(""));

    SetString(HKEY_CURRENT_USER, kKey, "", "default text");
    EXPECT_EQ(ReadString(""), "default text");
}

TEST_F(RegistryAccess, ReadsWholeNumbersOfEveryNumericType)
{
    SetDword(HKEY_CURRENT_USER, kKey, "Small", 4);
    SetDword(HKEY_CURRENT_USER, kKey, "Byte200", 200);
    SetDword(HKEY_CURRENT_USER, kKey, "Word260", 260);
    SetDword(HKEY_CURRENT_USER, kKey, "Negative", 0xFFFFFFFE);
    SetBinary(HKEY_CURRENT_USER, kKey, "BigEndian", {0x00, 0x00, 0x01, 0x04}, REG_DWORD_BIG_ENDIAN);
    SetBinary(HKEY_CURRENT_USER, kKey, "Binary2", {0x04, 0x01});
    SetBinary(HKEY_CURRENT_USER, kKey, "Binary6", {0x01, 0x02, 0x03, 0x04, 0xFF, 0xFF});
    SetString(HKEY_CURRENT_USER, kKey, "Text", "12");

    EXPECT_EQ(ReadNumber("Small"), 4);
    EXPECT_EQ(ReadNumber("Byte200"), 200);
    EXPECT_EQ(ReadNumber("Word260"), 260);
    EXPECT_EQ(ReadNumber("Negative"), -2);
    EXPECT_EQ(ReadNumber("BigEndian"), 260);
    EXPECT_EQ(ReadNumber("Binary2"), 260);
    EXPECT_EQ(ReadNumber("Binary6"), 0x04030201);
    EXPECT_FALSE(ReadNumber("Text"));
}

TEST_F(RegistryAccess, LongNamesAndDataHideNothing)
{
    // Values enumerate in name order, so the long ones come first.
    const std::string longName = "A" + std::string(300, 'n');
    const std::string longText(5000, 't');
    SetString(HKEY_CURRENT_USER, kKey, longName, "short");
    SetString(HKEY_CURRENT_USER, kKey, "B-long-data", longText);
    SetString(HKEY_CURRENT_USER, kKey, "C-later", "found");

    EXPECT_EQ(ReadString("C-later"), "found");
    EXPECT_EQ(ReadString("B-long-data"), longText);
    EXPECT_EQ(ReadString(longName), "short");
}

TEST_F(RegistryAccess, KeepsNamesAndTextOutsideTheAnsiCodePage)
{
    const std::string name = "Z\xC3\xBCrich \xE2\x98\x83 \xE6\x97\xA5\xE6\x9C\xAC"; // Zürich ☃ 日本
    const std::string text = "C:\\\xD0\x9A\xD1\x8D\xD1\x88\\\xF0\x9F\x93\x81";      // C:\Кэш\📁
    m_engine.WriteRegistryString(kHkeyCurrentUser, kKey + "\\" + name, name, text);

    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kKey + "\\" + name, name), text);
    EXPECT_EQ(m_engine.ReadRegistryString(kHkeyCurrentUser, kKey + "\\" + name, name), text);
    m_engine.DeleteRegistryValue(kHkeyCurrentUser, kKey + "\\" + name, name);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kKey + "\\" + name, name));
}

TEST_F(RegistryAccess, EmptiesAKeyOfEveryValueButLeavesItsSubkeys)
{
    SetString(HKEY_CURRENT_USER, kKey, "url1", "a");
    SetString(HKEY_CURRENT_USER, kKey, "url2", std::string(300, 'b'));
    SetString(HKEY_CURRENT_USER, kKey, std::string(300, 'c'), "c");
    SetDword(HKEY_CURRENT_USER, kKey, "count", 3);
    SetString(HKEY_CURRENT_USER, kKey + "\\Sub1", "inner", "kept");
    SetString(HKEY_CURRENT_USER, kKey + "\\Sub2", "", "kept too");

    m_engine.DeleteAllRegistryValues(kHkeyCurrentUser, kKey);

    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kKey));
    EXPECT_TRUE(ValueNames(HKEY_CURRENT_USER, kKey).empty());
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kKey + "\\Sub1", "inner"), "kept");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kKey + "\\Sub2", ""), "kept too");

    // An empty key is fine; a missing one raises and is not created.
    EXPECT_NO_THROW(m_engine.DeleteAllRegistryValues(kHkeyCurrentUser, kKey));
    EXPECT_TRUE(Raises([&] { m_engine.DeleteAllRegistryValues(kHkeyCurrentUser, kKey + "\\Absent"); }));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kKey + "\\Absent"));
}

TEST_F(RegistryAccess, RaisesWhenAValueOfTheListRemains)
{
    SetString(HKEY_CURRENT_USER, kKey, "a", "1");
    SetString(HKEY_CURRENT_USER, kKey, "stuck", "2");
    SetString(HKEY_CURRENT_USER, kKey, "z", "3");
    CFaultyPlatform sys;
    sys.removeValueFault = {"stuck", ERROR_ACCESS_DENIED};
    CCleaningEngine engine(m_sink, sys);

    EXPECT_TRUE(Raises([&] { engine.DeleteAllRegistryValues(kHkeyCurrentUser, kKey); }));
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, kKey), std::vector<std::string>{"stuck"});
}

TEST_F(RegistryAccess, DeletesOneValueByName)
{
    SetString(HKEY_CURRENT_USER, kKey, "Last Group", "g");
    SetString(HKEY_CURRENT_USER, kKey, "Last Server", "s");

    m_engine.DeleteRegistryValue(kHkeyCurrentUser, kKey, "Last Group");
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, kKey), std::vector<std::string>{"Last Server"});
    EXPECT_TRUE(Raises([&] { m_engine.DeleteRegistryValue(kHkeyCurrentUser, kKey, "Last Group"); }));
    EXPECT_TRUE(Raises([&] { m_engine.DeleteRegistryValue(kHkeyCurrentUser, kKey + "\\Absent", "x"); }));
}

TEST_F(RegistryAccess, WritesAStringCreatingMissingKeys)
{
    const std::string path = kKey + "\\Created\\Deeper";
    m_engine.WriteRegistryString(kHkeyCurrentUser, path, "Purgix!", "C:\\purgix.exe /WindowsRestart");

    HKEY key = nullptr;
    ASSERT_EQ(
        RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\PurgixTests\\RegistryAccess\\Created\\Deeper", 0, KEY_READ, &key),
        ERROR_SUCCESS);
    wchar_t data[64] = {};
    DWORD type = 0, size = sizeof(data);
    EXPECT_EQ(RegQueryValueExW(key, L"Purgix!", nullptr, &type, reinterpret_cast<BYTE*>(data), &size), ERROR_SUCCESS);
    wchar_t keyClass[16] = {};
    DWORD classLength = 16;
    RegQueryInfoKeyW(key, keyClass, &classLength, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr);
    RegCloseKey(key);

    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(data), L"C:\\purgix.exe /WindowsRestart");
    EXPECT_EQ(size, (std::wstring(data).size() + 1) * sizeof(wchar_t)); // the terminating zero is stored
    EXPECT_EQ(std::wstring(keyClass), L"String");
    EXPECT_TRUE(m_sink.messages.empty());
}

TEST_F(RegistryAccess, TellsTheUserOnceWhenAWriteFails)
{
    CFaultyPlatform sys;
    sys.regWriteError = ERROR_ACCESS_DENIED;
    CCleaningEngine engine(m_sink, sys);

    EXPECT_NO_THROW(engine.WriteRegistryString(kHkeyCurrentUser, kKey, "Purgix!", "x"));

    EXPECT_EQ(m_sink.messages, std::vector<std::string>{"Unable to write to the registry."});
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kKey, "Purgix!"));
}
