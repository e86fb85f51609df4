// The restart list: files in use (and folders left behind) recorded in the registry
// during a cleaning run, the RunOnce value that brings the program back at the next
// log-on, and the finishing run's removal of what was recorded.
#include "engine/removal/RestartList.h"
#include "engine/core/StoredValues.h"
#include "engine/removal/EntryIdentity.h"
#include "engine/removal/FileRemoval.h"
#include "engine/removal/PathText.h"
#include "engine/removal/RemovalLines.h"
#include "sys/Exceptions.h"
#include "sys/NameCase.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <map>

namespace {

constexpr const char* kListSection = "DeleteOnWindowsRestart";
constexpr const char* kFileCount = "FileCount";
constexpr const char* kWorkToBeDone = "WorkToBeDone";
constexpr const char* kEntryPrefix = "File_";
// Beside "File_<n>": the log-ons that entry has resisted. Absent (as older versions and
// the cleaning run write the list) means none.
constexpr const char* kAttemptsSuffix = "_Attempts";
// An entry still there at its third log-on is held for good, or is not the user's to
// delete (access denied looks the same as a running program's file): give it up.
constexpr unsigned kLogOnAttempts = 3;
constexpr const char* kAppPathsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\purgix.exe";
// The window program finishes the work; the console program has no finishing run.
constexpr const char* kWindowProgram = "purgix.exe";
constexpr const char* kConsoleProgram = "purgix-cli.exe";
constexpr const char* kRunOnceKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const char* kRunOnceValue = "Purgix!";
constexpr const char* kRestartSwitch = " /WindowsRestart";

std::string EntryName(int index)
{
    return kEntryPrefix + std::to_string(index);
}

// The entry number of a value named "File_<n>" (any letter case, as the registry
// compares names), or -1 for any other name: "File_<n>_Attempts" is none.
int EntryIndex(const std::string& name)
{
    const std::size_t prefixLength = std::char_traits<char>::length(kEntryPrefix);
    if (name.size() <= prefixLength || !StartsWithIgnoringAsciiCase(name, kEntryPrefix))
        return -1;
    const char* digits = name.data() + prefixLength;
    const char* end = name.data() + name.size();
    if (*digits == '0' && end - digits > 1)
        return -1; // "File_%d" never writes leading zeros
    int index = -1;
    const auto [stop, error] = std::from_chars(digits, end, index);
    return error == std::errc() && stop == end ? index : -1;
}

// The entry number of a value named "File_<n>_Attempts", or -1 for any other name.
int AttemptsIndex(const std::string& name)
{
    const std::size_t suffixLength = std::char_traits<char>::length(kAttemptsSuffix);
    if (name.size() <= suffixLength || !EndsWithIgnoringAsciiCase(name, kAttemptsSuffix))
        return -1;
    return EntryIndex(name.substr(0, name.size() - suffixLength));
}

// One entry, with its count only once it has resisted a log-on; false when it was not written.
bool WriteEntry(CPlatform& sys, int index, const std::string& path, unsigned attempts)
{
    if (!WriteStoredText(sys, kListSection, EntryName(index), path))
        return false;
    return attempts == 0 || WriteStoredNumber(sys, kListSection, EntryName(index) + kAttemptsSuffix, attempts);
}

struct ListEntry {
    int index;
    std::string path;
    unsigned attempts = 0;
};

// The entries below count that really exist, highest number first, each with its count
// of attempts. Bad data (a huge or negative count) costs no more than the values the key holds.
std::vector<ListEntry> ListedEntries(CPlatform& sys, int count)
{
    std::vector<RegValue> values;
    if (count <= 0 || sys.RegListValues(kHkeyCurrentUser, ProgramKeyPath(kListSection), values) != 0)
        return {};
    std::map<int, ListEntry, std::greater<>> entries;
    std::map<int, unsigned> attempts;
    for (const RegValue& value : values) {
        if (const int index = AttemptsIndex(value.name); index >= 0) {
            attempts[index] = StoredNumber(value).value_or(0);
        } else if (const int entry = EntryIndex(value.name); entry >= 0 && entry < count) {
            const bool isText = value.type == kRegSz || value.type == kRegExpandSz;
            // Two names may differ in letter case only; the registry would read one of them.
            entries.try_emplace(
                entry, ListEntry{entry, isText ? std::string(value.data.begin(), value.data.end()) : std::string()});
        }
    }
    std::vector<ListEntry> listed;
    for (auto& [index, entry] : entries) {
        if (const auto found = attempts.find(index); found != attempts.end())
            entry.attempts = found->second;
        listed.push_back(std::move(entry));
    }
    return listed;
}

} // namespace

// A listed folder (its path ends in a backslash) is removed on its own, never its contents:
// those were listed separately. It stays listed only while something inside it is still in use
// and it has log-ons left; otherwise (a "desktop.ini" in it, say) it would bring the program
// back at every log-on.
void CRestartList::RemoveListedFolder(const std::string& folder)
{
    // Gone already, or (under Wine) a link that would take its target with it: left alone.
    const std::string own = folder.substr(0, folder.size() - 1);
    if (!IsOwnEntry(m_host.Sys(), own))
        return;
    const OsError error = m_host.Sys().RemoveFolder(own);
    const std::string shown = ShownPath(folder);
    if (error == 0) {
        m_host.Sink().AppendReport(shown + kLineDeleted);
        return;
    }
    if (error == kErrorFileNotFound || error == kErrorPathNotFound)
        return; // already gone
    if (std::any_of(m_stillInUse.begin(), m_stillInUse.end(),
                    [&](const DeferredPath& p) { return StartsWithIgnoringAsciiCase(p.path, folder); }) &&
        Append(folder)) {
        m_host.Sink().AppendReport(shown + kLineFolderKept);
    } else {
        // Nothing in it will go at the next log-on either, so promise nothing.
        m_host.Sink().AppendReport(shown + kLineNotDeleted);
    }
}

void CRestartList::Reset()
{
    m_listedEntries = 0;
    m_finishingProgram.reset(); // the program may have been installed since the last run
    try {
        m_host.DeleteAllRegistryValues(kHkeyCurrentUser, ProgramKeyPath(kListSection));
    } catch (const CException&) {
        // No list yet: nothing to clear.
    }
}

bool CRestartList::Append(const std::string& path)
{
    // Only what is on the list, with a program to work it off, is promised for the next log-on.
    if (FinishingProgram().empty())
        return false;
    // The finishing run is counting down its own list; what it finds in use waits aside.
    // A preview counts and lists nothing.
    if (m_host.Previewing()) {
        ++m_listedEntries;
        return true;
    }
    if (m_finishingRun) {
        if (m_retriedAttempts >= kLogOnAttempts - 1)
            return false;
        m_stillInUse.push_back({path, m_retriedAttempts + 1});
        return true;
    }
    if (!WriteEntry(m_host.Sys(), m_listedEntries, path, 0))
        return false;
    ++m_listedEntries;
    return true;
}

const std::string& CRestartList::FinishingProgram()
{
    if (m_finishingProgram)
        return *m_finishingProgram;
    std::string exe;
    try {
        // Not installed: a portable copy brings itself back.
        exe = m_host.ReadRegistryString(kHkeyLocalMachine, kAppPathsKey, "").value_or("");
    } catch (const CResourceException&) {
        // An installation that cannot be read cannot be relied on either.
    }
    if (exe.size() >= 2 && exe.front() == '"' && exe.back() == '"')
        exe = exe.substr(1, exe.size() - 2);
    if (exe.empty()) {
        exe = m_host.Sys().ProgramPath();
        const std::size_t folderEnd = exe.rfind('\\') + 1;
        if (SameIgnoringAsciiCase(exe.substr(folderEnd), kConsoleProgram)) {
            exe = exe.substr(0, folderEnd) + kWindowProgram;
            std::uint32_t attributes = 0;
            if (m_host.Sys().GetAttributes(exe, attributes) != 0)
                exe.clear(); // no window program beside it: nothing could finish the work
        }
    }
    return *(m_finishingProgram = exe);
}

void CRestartList::Arm()
{
    if (m_host.Previewing())
        return;
    const std::string& exe = FinishingProgram();
    if (exe.empty())
        return;
    // Quoted, so a blank in the path cannot start another program ("C:\Program.exe").
    m_host.WriteRegistryString(kHkeyCurrentUser, kRunOnceKey, kRunOnceValue, "\"" + exe + "\"" + kRestartSwitch);
    WriteStoredNumber(m_host.Sys(), "", kWorkToBeDone, 1);
    WriteStoredNumber(m_host.Sys(), kListSection, kFileCount, static_cast<unsigned>(m_listedEntries));
}

void CRestartList::RetryListed()
{
    m_finishingRun = true;
    m_stillInUse.clear();
    CPlatform& sys = m_host.Sys();
    const int count = static_cast<int>(ReadStoredNumber(sys, kListSection, kFileCount, 0, true));
    const std::vector<ListEntry> entries = ListedEntries(sys, count);
    m_host.Sink().SetProgressRange(static_cast<int>(entries.size()));
    std::vector<ListEntry> folders;
    for (const ListEntry& entry : entries) {
        // Only a full path names something that was listed; a relative one would be taken
        // against whatever folder the program happens to start in.
        if (IsAbsolutePath(entry.path)) {
            if (entry.path.back() == '\\') {
                folders.push_back(entry);
            } else {
                m_retriedAttempts = entry.attempts;
                CFileRemoval(m_host).RemoveFile(entry.path);
            }
        }
        WriteStoredText(sys, kListSection, EntryName(entry.index), "");
        m_host.Sink().StepProgress();
    }
    // A folder's files come first; the sweep listed inner folders before outer ones.
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        m_retriedAttempts = folder->attempts;
        RemoveListedFolder(folder->path);
    }
}

void CRestartList::CloseListed()
{
    WriteStoredNumber(m_host.Sys(), "", kWorkToBeDone, 0);
    try {
        m_host.DeleteAllRegistryValues(kHkeyCurrentUser, ProgramKeyPath(kListSection));
    } catch (const CException&) {
        // The list key is gone already.
    }
    // The report promised these for the next restart: list them afresh and come back.
    if (!m_stillInUse.empty()) {
        m_listedEntries = 0;
        for (const DeferredPath& entry : m_stillInUse)
            WriteEntry(m_host.Sys(), m_listedEntries++, entry.path, entry.attempts);
        Arm();
    }
}
