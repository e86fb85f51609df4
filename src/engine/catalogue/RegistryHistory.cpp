// Group 10 of the cleaning run: the history lists that browsers and the shell keep in
// the registry, the Netscape 4.x address history, and (when chosen) the game scores.
// Each block is guarded on its own, so one missing list never stops the others.
#include "engine/run/CleaningEngine.h"
#include "engine/removal/RemovalLines.h"

namespace {

constexpr const char* kTypedUrlsKey = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
constexpr const char* kNetscape3HistoryKey = "Software\\Netscape\\Netscape Navigator\\URL History";
constexpr const char* kNewsKey = "Software\\Microsoft\\Internet Mail and News\\News";
constexpr const char* kExplorerKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
constexpr const char* kTelnetKey = "Software\\Microsoft\\Telnet";

const char* const kGameScoreKeys[] = {
    "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\FreeCell",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Hearts",
    "Software\\Microsoft\\Plus!\\Pinball\\SpaceCadet",
};
const char* const kGameScoreFiles[] = {"\\sol.ini", "\\winmine.ini", "\\entpack.ini"};

// The shell lists; their failure is reported, since the user expects them gone.
const char* const kShellLists[][2] = {
    {"RunMRU", "'Run MRU' list"},
    {"Doc Find Spec MRU", "'Doc Find Spec MRU' list"},
    {"FindComputerMRU", "'FindComputerMRU' list"},
};
const char* const kTelnetLastValues[] = {"LastMachine", "LastService", "LastTermType"};
constexpr int kTelnetNumberedEntries = 8;

} // namespace

void CCleaningEngine::CleanRegistryHistory(const std::string& windowsDir, const std::string& netscapeDir)
{
    Sink().SetStatusText("Cleaning up the registry", false);
    auto reportList = [this](const std::string& label, bool removed, RunAction failure = RunAction::RegistryFailed) {
        const char* suffix = removed ? (Previewing() ? kLineRegistryWouldBeRemoved : kLineRegistryRemoved)
                                     : (Previewing() ? kLineRegistryWouldNotBeRemoved : kLineRegistryNotRemoved);
        ReportItem(removed ? RunAction::RegistryRemoved : failure, label, label + suffix);
    };

    // Both typed-address lines name the same key: the second finds it already empty.
    for (const char* browser : {"Internet Explorer", "MSN"}) {
        Guarded([&] {
            DeleteAllRegistryValues(kHkeyCurrentUser, kTypedUrlsKey);
            reportList(std::string("'Typed URLs' (") + browser + ")", true);
        });
    }
    Guarded([&] {
        DeleteAllRegistryValues(kHkeyCurrentUser, kNetscape3HistoryKey);
        reportList("'URL History' (Netscape Navigator 3.x)", true);
    });
    if (!netscapeDir.empty()) {
        Guarded([&] {
            RewriteNetscapePrefs(netscapeDir);
            reportList("'URL History' (Netscape Navigator 4.x)", true);
        });
    }
    Guarded([&] {
        DeleteRegistryValue(kHkeyCurrentUser, kNewsKey, "Last Group");
        DeleteRegistryValue(kHkeyCurrentUser, kNewsKey, "Last Server");
    });

    if (Switches().resetScores) {
        for (const char* key : kGameScoreKeys)
            Guarded([&] { DeleteAllRegistryValues(kHkeyCurrentUser, key); });
        if (!windowsDir.empty()) {
            for (const char* file : kGameScoreFiles)
                Guarded([&] { RemoveFile(windowsDir + file); });
        }
    }

    for (const auto& [key, label] : kShellLists) {
        const std::string path = std::string(kExplorerKey) + "\\" + key;
        if (Guarded([&] { DeleteAllRegistryValues(kHkeyCurrentUser, path); })) {
            reportList(label, true);
            continue;
        }
        // A fresh profile has no search lists: their line stays, but nothing failed.
        // A list that is there and could not be read or emptied did fail.
        std::vector<RegValue> values;
        const bool missing = m_sys.RegListValues(kHkeyCurrentUser, path, values) == kErrorFileNotFound;
        reportList(label, false, missing ? RunAction::RegistryMissing : RunAction::RegistryFailed);
    }

    bool telnetCleared = false;
    for (const char* name : kTelnetLastValues)
        telnetCleared |= Guarded([&] { DeleteRegistryValue(kHkeyCurrentUser, kTelnetKey, name); });
    // A number's Service and TermType entries go only when the entries before them existed.
    for (int n = kTelnetNumberedEntries; n >= 1; --n) {
        telnetCleared |= Guarded([&] {
            for (const char* entry : {"Machine", "Service", "TermType"})
                DeleteRegistryValue(kHkeyCurrentUser, kTelnetKey, entry + std::to_string(n));
        });
    }
    if (telnetCleared)
        reportList("Telnet's MRU list", true);
}
