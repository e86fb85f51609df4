// Groups 1 to 9 of the cleaning run: every file-system target in the order the run
// visits it, with its status text, location, pattern, gate and "INFO:" line, and the
// stop-flag tests and progress steps between them.
#include "engine/run/CleaningEngine.h"
#include "sys/NameCase.h"

#include <functional>

namespace {

constexpr const char* kShellFolders = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kIeMain = "SOFTWARE\\Microsoft\\Internet Explorer\\Main";
constexpr const char* kInternetSettings = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const std::string kCachePaths = std::string(kInternetSettings) + "\\Cache\\Paths";
constexpr const char* kNetscape3 = "Software\\Netscape\\Netscape Navigator";

enum class Action { Sweep, SweepFlat, Remove };

// A target found through a registry string value.
struct RegistryTarget {
    const char* status;
    RegRoot root;
    std::string key;
    const char* value;
    Action action;
    const char* infoLine; // written when the value cannot be read; nullptr: silent
    const char* otherValue = nullptr; // read when `value` is absent
};

const RegistryTarget kIe2Cache{
    "Deleting Internet Explorer 2.0 cache", kHkeyLocalMachine, kIeMain, "Cache_Directory", Action::SweepFlat, nullptr};
const RegistryTarget kIe3Cache{"Deleting Internet Explorer 3.x primary cache",
                               kHkeyLocalMachine,
                               kCachePaths,
                               "Directory",
                               Action::Sweep,
                               nullptr};
const RegistryTarget kExplorerCache{
    "Deleting Windows Explorer cache", kHkeyCurrentUser, kShellFolders, "Cache", Action::Sweep, nullptr};
const RegistryTarget kNetscape3Cache{"Deleting Netscape Navigator 3.x cache",
                                     kHkeyCurrentUser,
                                     std::string(kNetscape3) + "\\Cache",
                                     "Cache Dir",
                                     Action::Sweep,
                                     nullptr};

const RegistryTarget kHistoryTargets[] = {
    {"Deleting Internet Explorer 2.0 (and 1.0?] history", kHkeyLocalMachine, kIeMain, "History_Directory",
     Action::SweepFlat, nullptr},
    {"Deleting Internet Explorer 3.x and 4.x history", kHkeyLocalMachine,
     std::string(kInternetSettings) + "\\Url History", "Directory", Action::Sweep, nullptr},
    {"Deleting Windows History cache", kHkeyCurrentUser, kShellFolders, "History", Action::Sweep, nullptr},
    {"Deleting Netscape Navigator 3.x history", kHkeyCurrentUser, std::string(kNetscape3) + "\\History", "History File",
     Action::Remove, nullptr},
};

const RegistryTarget kCookieTargets[] = {
    {"Deleting Internet Explorer 3.x/4.x cookies", kHkeyLocalMachine,
     std::string(kInternetSettings) + "\\Cache\\Special Paths\\Cookies", "Directory", Action::Sweep,
     "INFO: Unable to read Internet Explorer Cookie directory from the registry\r\n"},
    // The shell writes "Cookies"; "Cookie" is read first for whoever wrote that name.
    {"Deleting Windows Cookies", kHkeyCurrentUser, kShellFolders, "Cookie", Action::SweepFlat, nullptr, "Cookies"},
    {"Deleting Netscape Navigator 3.x cookie file", kHkeyCurrentUser, std::string(kNetscape3) + "\\Cookies",
     "Cookie File", Action::Remove, "INFO: Unable to read Netscape 3.x's Cookie file location from the registry\r\n"},
};

const RegistryTarget kFavoriteTargets[] = {
    {"Deleting Internet Explorer 3.x/4.x Favorites", kHkeyCurrentUser, kShellFolders, "Favorites", Action::Sweep,
     "INFO: Unable to read Internet Explorer's Favorites directory from the registry\r\n"},
    {"Deleting Netscape 3.x bookmarks", kHkeyCurrentUser, std::string(kNetscape3) + "\\Bookmark List", "File Location",
     Action::Remove, "INFO: Unable to read location of Netscape 3.x's Bookmarks file from the registry\r\n"},
};

const RegistryTarget kRecentTarget{"Deleting recent Documents folder",
                                   kHkeyCurrentUser,
                                   kShellFolders,
                                   "Recent",
                                   Action::SweepFlat,
                                   "INFO: Unable to read the Recent Documents directory from the registry\r\n"};

// A mail-and-news store: its cache, then its subscriptions, both under "Store Root" + "\News\".
struct NewsStore {
    const char* key;
    const char* subscriptionPattern;
};
const NewsStore kNewsStores[] = {
    {"Software\\Microsoft\\Internet Mail and News", "*.sub"},
    {"Software\\Microsoft\\Outlook Express", "sublist.dat"},
};

bool EndsInTempFolder(const std::string& text)
{
    return text.size() > 5 && EndsWithIgnoringAsciiCase(text, "\\temp");
}

// Runs one target: reads its location, and sweeps or removes it. A location that
// cannot be read writes the target's INFO line; an empty one is skipped silently.
void VisitRegistryTarget(CCleaningEngine& engine, IRunSink& sink, const RegistryTarget& target)
{
    std::string location;
    try {
        try {
            location = engine.ReadLocationString(target.root, target.key, target.value);
        } catch (const CException&) {
            if (!target.otherValue)
                throw;
            location = engine.ReadLocationString(target.root, target.key, target.otherValue);
        }
    } catch (const CException&) {
        if (target.infoLine)
            sink.AppendReport(target.infoLine);
        return;
    }
    if (location.empty())
        return;
    engine.ShowTarget(target.status);
    Guarded([&] {
        if (target.action == Action::Remove)
            engine.RemoveFile(location);
        else
            engine.SweepFolder(location, "*", target.action == Action::Sweep);
    });
}

} // namespace

void CCleaningEngine::VisitFileTargets(const RunContext& context)
{
    IRunSink& sink = *m_pMainDlg;
    // A target of the Netscape 4.x profile: skipped without a line when there is no profile.
    auto netscapeTarget = [&](const char* status, const char* suffix, bool isFolder) {
        if (ShouldStop() || context.netscapeDir.empty())
            return;
        ShowTarget(status);
        Guarded([&] {
            if (isFolder)
                SweepFolder(context.netscapeDir + suffix, "*", true);
            else
                RemoveFile(context.netscapeDir + suffix);
        });
    };
    auto registryTarget = [&](const RegistryTarget& target, bool gate = true) {
        if (!ShouldStop() && gate)
            VisitRegistryTarget(*this, sink, target);
    };

    // Group 1: caches.
    registryTarget(kIe2Cache);
    registryTarget(kIe3Cache);
    if (!ShouldStop()) {
        ShowTarget("Deleting Internet Explorer 4.x extensible caches");
        SweepExtensibleCaches();
    }
    registryTarget(kExplorerCache);
    registryTarget(kNetscape3Cache);
    netscapeTarget("Deleting Netscape Navigator 4.x cache", "\\Cache", true);
    sink.StepProgress();

    // Group 2: the numbered caches, one step each.
    for (int i = 1; i <= context.cachePathCount && !ShouldStop(); ++i) {
        const std::string number = std::to_string(i);
        const std::string info = "INFO: Unable to read directory for cache " + number + " from the registry\r\n";
        const RegistryTarget cache{"Deleting Internet Explorer 3.x/4.x cache",
                                   kHkeyLocalMachine,
                                   kCachePaths + "\\Path" + number,
                                   "CachePath",
                                   Action::Sweep,
                                   info.c_str()};
        VisitRegistryTarget(*this, sink, cache);
        sink.StepProgress();
    }

    // Group 3: history.
    for (const RegistryTarget& target : kHistoryTargets)
        registryTarget(target);
    netscapeTarget("Deleting Netscape Navigator 4.x history", "\\netscape.hst", false);
    sink.StepProgress();

    // Group 4: cookies.
    for (const RegistryTarget& target : kCookieTargets)
        registryTarget(target, m_bDeleteCookies != 0);
    if (m_bDeleteCookies)
        netscapeTarget("Deleting Netscape Navigator 4.x cookie file", "\\cookies.txt", false);
    sink.StepProgress();

    // Group 5: favourites and bookmarks.
    for (const RegistryTarget& target : kFavoriteTargets)
        registryTarget(target, m_bDeleteFavorites != 0);
    if (m_bDeleteFavorites)
        netscapeTarget("Deleting Netscape 4.x bookmarks", "\\bookmark.htm", false);
    sink.StepProgress();

    // Group 6: newsgroups. The step is taken only when no store was skipped by a stop.
    bool newsClear = true;
    for (const NewsStore& store : kNewsStores) {
        if (ShouldStop()) {
            newsClear = false;
            continue;
        }
        std::string folder;
        try {
            folder = ReadRegistryString(kHkeyCurrentUser, store.key, "Store Root") + "\\News\\";
        } catch (const CException&) {
            continue;
        }
        ShowTarget("Deleting newsgroup cache");
        Guarded([&] { SweepFolder(folder, "*.nch", true); });
        if (m_bDeleteNewsgroupSubscriptions) {
            ShowTarget("Deleting newsgroup subscriptions");
            Guarded([&] { SweepFolder(folder, store.subscriptionPattern, true); });
        }
    }
    if (newsClear)
        sink.StepProgress();

    // Group 7: recent documents.
    if (!ShouldStop()) {
        VisitRegistryTarget(*this, sink, kRecentTarget);
        sink.StepProgress();
    }

    // Group 8: temporary files; its status text stays through group 9. Each of its four
    // places begins with a stop test, and the step needs the flag clear through the group.
    auto sweepTempVariable = [&](const char* variable) {
        const std::string temp = m_sys.GetEnv(variable);
        if (EndsInTempFolder(temp)) {
            Guarded([&] { SweepFolder(temp + "\\", "*", true); });
        } else if (!temp.empty()) {
            Guarded([&] { SweepFolder(temp + "\\", "*.tmp", false); });
            Guarded([&] { SweepFolder(temp + "\\", "~*", false); });
        }
    };
    const std::function<void()> tempPlaces[] = {
        [&] { sweepTempVariable("TEMP"); },
        [&] { sweepTempVariable("TMP"); },
        [&] {
            if (context.windowsDir.empty())
                return;
            for (const char* pattern : {"*.tmp", "~*", "IE4 Error Log.txt"})
                Guarded([&] { SweepFolder(context.windowsDir + "\\", pattern, false); });
        },
        [&] {
            for (const std::string& root : FixedDriveRoots())
                Guarded([&] { SweepFolder(root, "file*.chk", true); });
        },
    };
    bool tempClear = true;
    for (const auto& place : tempPlaces) {
        if (!(tempClear = !ShouldStop()))
            break;
        if (&place == &tempPlaces[0])
            ShowTarget("Deleting temporary files");
        place();
    }
    if (tempClear && !StopRequested())
        sink.StepProgress();

    // Group 9: recycle folders.
    if (!ShouldStop()) {
        for (const std::string& root : FixedDriveRoots()) {
            Guarded([&] { SweepFolder(root + "Recycled\\", "*", true); });
            Guarded([&] { SweepFolder(root + "Recycler\\", "*", true); });
        }
        sink.StepProgress();
    }
}

std::vector<std::string> CCleaningEngine::FixedDriveRoots()
{
    std::vector<std::string> roots;
    for (char letter = 'c'; letter <= 'z'; ++letter) {
        const std::string root = std::string(1, letter) + ":\\";
        // Under Wine a letter may map to the host's root: never sweep the host.
        if (m_sys.DriveType(root) == kDriveFixed && !m_sys.DriveIsHostRoot(root))
            roots.push_back(root);
    }
    return roots;
}
