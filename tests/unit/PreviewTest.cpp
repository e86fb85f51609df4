// A preview over a seeded profile: it changes nothing, and the run that follows it on
// the same tree removes what it listed, line for line, with the same figures.
#include "support/HeldFile.h"
#include "support/RunFixture.h"
#include "support/TestEnv.h"
#include "sys/Utf8.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

using namespace runkeys;

namespace {

const std::string kTypedUrls = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
const std::string kRunMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
const std::string kRunOnce = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const std::string kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\purgix.exe";
const std::string kListKey = testenv::kSettingsKey + "\\DeleteOnWindowsRestart";
const std::string kPrefs = "user_pref(\"browser.url_history.URL_1\", \"http://example.invalid/\");\n"
                           "user_pref(\"browser.startup.page\", 1);\n";

// Every value under the key and its subkeys: "subkey\name" -> type and data.
void DumpKey(HKEY root, const std::string& path, const std::string& prefix, std::map<std::string, std::string>& dump)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, Widen(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    wchar_t name[512];
    BYTE data[4096];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 512, type = 0, size = sizeof(data);
        if (::RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        dump[prefix + Narrow(name)] = std::to_string(type) + ":" + std::string(data, data + size);
    }
    std::vector<std::string> subkeys;
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 512;
        if (::RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        subkeys.push_back(Narrow(name));
    }
    ::RegCloseKey(key);
    for (const std::string& subkey : subkeys) {
        dump[prefix + subkey + "\\"] = "key";
        DumpKey(root, path + "\\" + subkey, prefix + subkey + "\\", dump);
    }
}

// The run's line for each line of a preview: the action out of the conditional.
std::string AsRunLine(std::string line)
{
    const std::pair<std::string, std::string> endings[] = {
        {"\\prefs.js - its URL history would be removed", "\\oldprefs.js - deleted"},
        {" - in use, would be deleted when Windows is restarted",
         " currently in use. Will be deleted when Windows is restarted."},
        {" - would not be deleted now, but when Windows is restarted",
         " - cannot be deleted. Will be deleted when Windows is restarted."},
        {" - would not be deleted (due to unexpected error)", " - not deleted (due to unexpected error)"},
        {" - would be deleted", " - deleted"},
        {" - would be removed from the registry.", " - removed from the registry."},
        {" - would not be removed from the registry.", " - unable to delete from the registry."},
    };
    for (const auto& [preview, run] : endings) {
        if (line.size() >= preview.size() && line.compare(line.size() - preview.size(), preview.size(), preview) == 0)
            return line.substr(0, line.size() - preview.size()) + run;
    }
    const std::string summary = "Purgix! would recover ";
    if (line.rfind(summary, 0) == 0)
        return "Purgix! recovered " + line.substr(summary.size());
    return line;
}

class Preview : public CRunFixture {
protected:
    void SetUp() override
    {
        CRunFixture::SetUp();
        for (const char* name : {"a.tmp", "sub\\b.tmp", "sub\\deep\\c.tmp", "kept\\desktop.ini", "kept\\d.tmp"})
            Put(m_root + "\\Cache\\" + name, name);
        Put(m_root + "\\Recent\\note.lnk", "link");
        // Two targets over one folder: the second finds nothing once the first has cleaned it.
        Put(m_root + "\\Temp\\setup.log", "log");
        Put(m_root + "\\Temp\\unpacked\\setup.dll", "dll");
        SetEnv("TEMP", m_root + "\\Temp");
        SetEnv("TMP", m_root + "\\Temp");
        Put(m_root + "\\profile\\prefs.js", kPrefs);
        Put(m_root + "\\profile\\netscape.hst", "history");
        SetLocation(kCu, kShellFolders, "Cache", m_root + "\\Cache");
        SetLocation(kCu, kShellFolders, "Recent", m_root + "\\Recent");
        SetLocation(kLm, kNetscapeUsers, "CurrentUser", "cat");
        SetLocation(kLm, kNetscapeUsers + "\\cat", "DirRoot", m_root + "\\profile");
        m_registry.SetString(kCu, kTypedUrls, "url1", "http://example.invalid/");
        m_registry.SetString(kCu, kRunMru, "a", "notepad\\1");
        // Installed, with a list left from an earlier run: a run would clear it and arm the next log-on.
        m_registry.SetString(kLm, kAppPaths, "", "C:\\Program Files\\Purgix\\purgix.exe");
        m_registry.Remove(kCu, kRunOnce, "Purgix!");
        m_registry.Remove(kCu, testenv::kSettingsKey, "WorkToBeDone");
        m_registry.SetString(kCu, kListKey, "File_0", "C:\\left\\from\\before.tmp");
    }

    // Files (relative path, attributes and contents) and the registry keys a run changes.
    std::map<std::string, std::string> Snapshot() const
    {
        std::map<std::string, std::string> state;
        const std::filesystem::path root(Widen(m_root));
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            const std::string path = Narrow(entry.path().wstring());
            state["file " + path] =
                std::to_string(testenv::Attributes(path)) + ":" + (entry.is_directory() ? "" : testenv::ReadFile(path));
        }
        for (const std::string& key : {testenv::kSettingsKey, kRunOnce, kTypedUrls, kRunMru})
            DumpKey(HKEY_CURRENT_USER, key, key + "\\", state);
        return state;
    }

    void RunPreview()
    {
        CCleaningEngine engine(m_sink, m_sys);
        RunOptions options = ReadRunOptions(CSettingsStore::ReadOnly());
        options.preview = true;
        engine.Run(options);
    }
};

TEST_F(Preview, ChangesNoFileNoRegistryValueNoRestartListAndNoPrefs)
{
    const auto before = Snapshot();
    RunPreview();

    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(testenv::ReadFile(m_root + "\\profile\\prefs.js"), kPrefs);
    EXPECT_TRUE(m_sink.questions.empty()); // no restart question
    ASSERT_FALSE(m_sink.statuses.empty());
    EXPECT_EQ(m_sink.statuses.back(), "Preview done. Press Purgix! to clean.");
    // While previewing, the status line says what is being checked, never what is being deleted.
    EXPECT_NE(std::find(m_sink.statuses.begin(), m_sink.statuses.end(), "Checking Windows Explorer cache"),
              m_sink.statuses.end());
    for (const std::string& status : m_sink.statuses)
        EXPECT_NE(status.rfind("Deleting", 0), 0u) << status;
    const Lines own = OwnLines();
    EXPECT_NE(std::find(own.begin(), own.end(), m_root + "\\Cache\\sub\\deep\\c.tmp - would be deleted"), own.end());
    EXPECT_NE(std::find(own.begin(), own.end(), m_root + "\\profile\\prefs.js - its URL history would be removed"),
              own.end());
    const Lines all = m_sink.Lines();
    EXPECT_NE(std::find(all.begin(), all.end(), "'Run MRU' list - would be removed from the registry."), all.end());
    EXPECT_EQ(all.back().rfind("Purgix! preview finished on ", 0), 0u);
    EXPECT_EQ(all[all.size() - 2].rfind("Purgix! would recover ", 0), 0u);
}

TEST_F(Preview, TheRunThatFollowsRemovesWhatItListedLineForLine)
{
    RunPreview();
    const Lines preview = m_sink.Lines();
    m_sink = CStoppingSink();
    RunClean();
    const Lines run = m_sink.Lines();

    // The first and last lines carry the time; everything between must agree.
    ASSERT_EQ(preview.size(), run.size());
    ASSERT_GT(preview.size(), 10u);
    for (std::size_t i = 1; i + 1 < preview.size(); ++i)
        EXPECT_EQ(AsRunLine(preview[i]), run[i]) << "line " << i;
    // What the preview said would stay did stay: the folder with its desktop.ini.
    EXPECT_TRUE(testenv::FileExists(m_root + "\\Cache\\kept\\desktop.ini"));
    EXPECT_FALSE(testenv::FileExists(m_root + "\\Cache\\sub\\deep\\c.tmp"));
}

TEST_F(Preview, AFileIsInUseOnlyWhileAnotherProgramHoldsItAndNothingIsListed)
{
    const std::string held = m_root + "\\Cache\\a.tmp";
    CHeldFile holder(held);
    ASSERT_TRUE(holder.IsHeld());
    const std::string readOnly = m_root + "\\Cache\\sub\\b.tmp";
    ::SetFileAttributesW(Widen(readOnly).c_str(), FILE_ATTRIBUTE_READONLY);
    RunPreview();

    const Lines own = OwnLines();
    EXPECT_NE(std::find(own.begin(), own.end(), held + " - in use, would be deleted when Windows is restarted"),
              own.end());
    EXPECT_NE(std::find(own.begin(), own.end(), readOnly + " - would be deleted"), own.end());
    EXPECT_TRUE(testenv::FileExists(held));
    EXPECT_EQ(testenv::Attributes(readOnly) & FILE_ATTRIBUTE_READONLY, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(testenv::GetString(HKEY_CURRENT_USER, kListKey, "File_0"), "C:\\left\\from\\before.tmp");
    EXPECT_FALSE(testenv::ValueExists(HKEY_CURRENT_USER, kListKey, "File_1"));
}

} // namespace
