// The restart list: files in use (and folders left behind) recorded in the registry
// during a cleaning run, the RunOnce value that brings the program back at the next
// log-on, and the finishing run that removes what was recorded.
#include "engine/CleaningEngine.h"
#include "engine/RemovalLines.h"
#include "sys/TextFormat.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr const char* kListSection = "DeleteOnWindowsRestart";
constexpr const char* kFileCount = "FileCount";
constexpr const char* kWorkToBeDone = "WorkToBeDone";
constexpr const char* kEntryPrefix = "File_";
constexpr const char* kAppPathsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\purgix.exe";
constexpr const char* kRunOnceKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const char* kRunOnceValue = "Purgix!";
constexpr const char* kRestartSwitch = " /WindowsRestart";

constexpr const char* kStatusFinishing = "Finishing Purgix!";
constexpr const char* kLineFinishing =
    "Purgix! attempting to delete those last few files which couldn't be deleted earlier\r\n";
constexpr const char* kStatusComplete = "Purgix! complete";
constexpr const char* kLineComplete = "Purgix! complete\r\n";

constexpr unsigned long kErrorFileNotFound = 2;
constexpr unsigned long kErrorPathNotFound = 3;

std::string EntryName(int index)
{
    return kEntryPrefix + std::to_string(index);
}

// The entry number of a value named "File_<n>" (any letter case, as the registry
// compares names), or -1 for any other name.
int EntryIndex(const std::string& name)
{
    const std::size_t prefixLength = std::char_traits<char>::length(kEntryPrefix);
    if (name.size() <= prefixLength || Lowered(name.substr(0, prefixLength)) != Lowered(kEntryPrefix))
        return -1;
    const char* digits = name.data() + prefixLength;
    const char* end = name.data() + name.size();
    if (*digits == '0' && end - digits > 1)
        return -1; // "File_%d" never writes leading zeros
    int index = -1;
    const auto [stop, error] = std::from_chars(digits, end, index);
    return error == std::errc() && stop == end ? index : -1;
}

// Only a full path names something that was listed; a relative one would be taken
// against whatever folder the program happens to start in.
bool IsAbsolute(const std::string& path)
{
    const bool driveRooted =
        path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && path[2] == '\\';
    return driveRooted || path.rfind("\\\\", 0) == 0;
}

struct ListEntry {
    int index;
    std::string path;
};

// The string entries below count that really exist, highest number first. Bad data
// (a huge or negative count) costs no more than the values the key holds.
std::vector<ListEntry> ListedEntries(CPlatform& sys, int count)
{
    std::vector<ListEntry> entries;
    std::vector<RegValue> values;
    if (count <= 0 || sys.RegListValues(kHkeyCurrentUser, CSettingsStore::KeyPath(kListSection), values) != 0)
        return entries;
    for (const RegValue& value : values) {
        const int index = EntryIndex(value.name);
        if (index >= 0 && index < count) {
            const bool isText = value.type == kRegSz || value.type == kRegExpandSz;
            entries.push_back({index, isText ? std::string(value.data.begin(), value.data.end()) : std::string()});
        }
    }
    std::sort(entries.begin(), entries.end(), [](const ListEntry& a, const ListEntry& b) { return a.index > b.index; });
    // Two names may differ in letter case only; the registry would read one of them.
    entries.erase(std::unique(entries.begin(), entries.end(),
                              [](const ListEntry& a, const ListEntry& b) { return a.index == b.index; }),
                  entries.end());
    return entries;
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && Lowered(text.substr(0, prefix.size())) == Lowered(prefix);
}

// A listed folder (its path ends in a backslash) is removed on its own, never its contents:
// those were listed separately. It stays listed only while something inside it is still in use;
// otherwise (a "desktop.ini" in it, say) it would bring the program back at every log-on.
void RemoveListedFolder(CCleaningEngine& engine, const std::string& folder)
{
    const OsError error = engine.Sys().RemoveFolder(folder.substr(0, folder.size() - 1));
    if (error == 0) {
        engine.Window().AppendReport(folder + kLineDeleted);
        return;
    }
    if (error == kErrorFileNotFound || error == kErrorPathNotFound)
        return; // already gone
    const auto& inUse = engine.m_stillInUse;
    if (std::any_of(inUse.begin(), inUse.end(),
                    [&](const std::string& p) { return StartsWithIgnoringCase(p, folder); })) {
        engine.AppendToRestartList(folder);
        engine.Window().AppendReport(folder + kLineFolderKept);
    } else {
        // Nothing in it will go at the next log-on either, so promise nothing.
        engine.Window().AppendReport(folder + kLineNotDeleted);
    }
}

} // namespace

void FinishingThreadProc(IRunSink& window)
{
    CCleaningEngine engine(window);
    engine.RunFinishing();
}

void CCleaningEngine::ResetRestartList()
{
    m_nDeferredFiles = 0;
    try {
        DeleteAllRegistryValues(kHkeyCurrentUser, CSettingsStore::KeyPath(kListSection));
    } catch (const CException&) {
        // No list yet: nothing to clear.
    }
}

void CCleaningEngine::AppendToRestartList(const std::string& path)
{
    // The finishing run is counting down its own list; what it finds in use waits aside.
    // A preview counts and lists nothing.
    if (m_bPreview) {
        ++m_nDeferredFiles;
        return;
    }
    if (m_bFinishingRun) {
        m_stillInUse.push_back(path);
        return;
    }
    const int index = m_nDeferredFiles++;
    m_settings.WriteSettingString(kListSection, EntryName(index), path); // a failure is silent
}

void CCleaningEngine::ArmRestartRun()
{
    if (m_bPreview)
        return;
    std::string exe;
    try {
        exe = ReadRegistryString(kHkeyLocalMachine, kAppPathsKey, "");
    } catch (const CException&) {
        return; // not installed with an App Paths entry: nothing brings the program back
    }
    if (exe.size() >= 2 && exe.front() == '"' && exe.back() == '"')
        exe = exe.substr(1, exe.size() - 2);
    // Quoted, so a blank in the path cannot start another program ("C:\Program.exe").
    WriteRegistryString(kHkeyCurrentUser, kRunOnceKey, kRunOnceValue, "\"" + exe + "\"" + kRestartSwitch);
    m_settings.WriteSettingInt("", kWorkToBeDone, 1);
    m_settings.WriteSettingInt(kListSection, kFileCount, static_cast<unsigned>(m_nDeferredFiles));
}

void CCleaningEngine::RunFinishing()
{
    m_bFinishingRun = true;
    m_stillInUse.clear();
    m_pMainDlg->SetBusy(true);
    m_pMainDlg->SetStatusText(kStatusFinishing, true);
    Report(kLineFinishing);

    const int count = static_cast<int>(m_settings.ReadSettingInt(kListSection, kFileCount, 0));
    const std::vector<ListEntry> entries = ListedEntries(m_sys, count);
    m_pMainDlg->SetProgressRange(static_cast<int>(entries.size()));
    std::vector<std::string> folders;
    for (const ListEntry& entry : entries) {
        if (IsAbsolute(entry.path)) {
            if (entry.path.back() == '\\')
                folders.push_back(entry.path);
            else
                RemoveFile(entry.path);
        }
        m_settings.WriteSettingString(kListSection, EntryName(entry.index), "");
        m_pMainDlg->StepProgress();
    }
    // A folder's files come first; the sweep listed inner folders before outer ones.
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder)
        RemoveListedFolder(*this, *folder);

    m_settings.WriteSettingInt("", kWorkToBeDone, 0);
    try {
        DeleteAllRegistryValues(kHkeyCurrentUser, CSettingsStore::KeyPath(kListSection));
    } catch (const CException&) {
        // The list key is gone already.
    }
    // The report promised these for the next restart: list them afresh and come back.
    if (!m_stillInUse.empty()) {
        m_bFinishingRun = false;
        m_nDeferredFiles = 0;
        for (const std::string& path : m_stillInUse)
            AppendToRestartList(path);
        ArmRestartRun();
    }

    m_pMainDlg->SetBusy(false);
    m_pMainDlg->ResetProgress();
    Report(kLineComplete);
    m_pMainDlg->SetStatusText(kStatusComplete, true);
    m_pMainDlg->OnRunFinished();
}
