#include "support/RunFixture.h"

#include "support/TestEnv.h"
#include "sys/Utf8.h"

#include <filesystem>

using namespace runkeys;

namespace {

struct Location {
    HKEY root;
    std::string key;
    const char* name;
};

std::string EnvValue(const wchar_t* name)
{
    wchar_t buffer[32768];
    const DWORD n = GetEnvironmentVariableW(name, buffer, 32768);
    return n == 0 ? std::string() : Narrow(std::wstring_view(buffer, n));
}

void PutEnv(const wchar_t* name, const std::string& value)
{
    SetEnvironmentVariableW(name, value.empty() ? nullptr : Widen(value).c_str());
}

} // namespace

std::string Wow64Key(const std::string& softwareKey)
{
    return "SOFTWARE\\WOW6432Node" + softwareKey.substr(softwareKey.find('\\'));
}

void CRunFixture::SetUp()
{
    g_stopFlag = 0;
    m_root = testenv::FreshFolder();
    m_driveTag = "purgix-cat-" + std::to_string(GetCurrentProcessId()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char& c : m_driveTag) {
        if (c == '/')
            c = '_';
    }
    const Location locations[] = {
        {kLm, kIeMain, "Cache_Directory"},
        {kLm, kIeMain, "History_Directory"},
        {kLm, kCachePaths, "Directory"},
        {kLm, kCachePaths, "Paths"},
        {kLm, kUrlHistory, "Directory"},
        {kLm, kIeCookies, "Directory"},
        {kLm, kNetscapeUsers, "CurrentUser"},
        {kCu, kShellFolders, "Cache"},
        {kCu, kShellFolders, "History"},
        {kCu, kShellFolders, "Cookie"},
        {kCu, kShellFolders, "Cookies"},
        {kCu, kShellFolders, "Favorites"},
        {kCu, kShellFolders, "Recent"},
        {kCu, kNetscape + "\\Cache", "Cache Dir"},
        {kCu, kNetscape + "\\History", "History File"},
        {kCu, kNetscape + "\\Cookies", "Cookie File"},
        {kCu, kNetscape + "\\Bookmark List", "File Location"},
        {kCu, kMailAndNews, "Store Root"},
        {kCu, kOutlookExpress, "Store Root"},
    };
    for (const Location& location : locations) {
        m_registry.Remove(location.root, location.key, location.name);
        if (location.root == kLm) // and as 32-bit programs see it
            m_registry.Remove(kLm, Wow64Key(location.key), location.name);
    }
    for (const char* option :
         {"DeleteNewsgroupSubscriptions", "DeleteCookies", "DeleteFavorites", "WipeClean", "ResetGameScores"})
        m_registry.Remove(kCu, kOptions, option);
    testenv::DeleteTree(kCu, kExtensibleCache);

    m_savedTemp = EnvValue(L"TEMP");
    m_savedTmp = EnvValue(L"TMP");
    PutEnv(L"TEMP", "");
    PutEnv(L"TMP", "");
}

void CRunFixture::TearDown()
{
    g_stopFlag = 0;
    PutEnv(L"TEMP", m_savedTemp);
    PutEnv(L"TMP", m_savedTmp);
    testenv::DeleteTree(HKEY_CURRENT_USER, kExtensibleCache);
    m_registry.Restore();
    for (const std::string& folder :
         {"D:\\" + m_driveTag, "D:\\Recycled\\" + m_driveTag, "D:\\Recycler\\" + m_driveTag}) {
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::path(Widen(folder)), ignored);
    }
    // The recycle folders a test created, once empty.
    RemoveDirectoryW(L"D:\\Recycled");
    RemoveDirectoryW(L"D:\\Recycler");
}

void CRunFixture::SetEnv(const char* name, const std::string& value)
{
    PutEnv(Widen(name).c_str(), value);
}

void CRunFixture::RunClean()
{
    CCleaningEngine engine(m_sink, m_sys);
    engine.Run(ReadRunOptions(CSettingsStore()));
}

void CRunFixture::Put(const std::string& path, const std::string& contents) const
{
    testenv::WriteFile(path, contents);
}

std::vector<std::string> CRunFixture::OwnLines() const
{
    std::vector<std::string> own;
    for (const std::string& line : m_sink.Lines()) {
        if (line.rfind("INFO: ", 0) == 0 || line.rfind(m_root, 0) == 0 || line.find(m_driveTag) != std::string::npos)
            own.push_back(line);
    }
    return own;
}
