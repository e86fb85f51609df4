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
    const char* infoLine;             // written when the value cannot be read; nullptr: silent
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

// The target's location: its value, or its other one when that is absent; nothing when
// neither is there or the key cannot be read, which the run passes over alike.
std::optional<std::string> TargetLocation(CCleaningEngine& engine, const RegistryTarget& target)
{
    try {
        std::optional<std::string> location = engine.ReadLocationString(target.root, target.key, target.value);
        if (!location && target.otherValue)
            location = engine.ReadLocationString(target.root, target.key, target.otherValue);
        return location;
    } catch (const CResourceException&) {
        return std::nullopt;
    }
}

// Runs one target: reads its location, and sweeps or removes it. A location that
// cannot be read writes the target's INFO line; an empty one is skipped silently.
void VisitRegistryTarget(CCleaningEngine& engine, const RegistryTarget& target)
{
    const std::optional<std::string> location = TargetLocation(engine, target);
    if (!location) {
        if (target.infoLine)
            engine.Sink().AppendReport(target.infoLine);
        return;
    }
    if (location->empty())
        return;
    engine.ShowTarget(target.status);
    Guarded([&] {
        if (target.action == Action::Remove)
            engine.RemoveFile(*location);
        else
            engine.SweepFolder(*location, "*", target.action == Action::Sweep);
    });
}

// The target, unless the run has been stopped or the target is not chosen.
void VisitUnlessStopped(CCleaningEngine& engine, const RegistryTarget& target, bool chosen = true)
{
    if (!engine.ShouldStop() && chosen)
        VisitRegistryTarget(engine, target);
}

} // namespace

// Groups 1 to 9, in order; each takes its own progress steps.
void CCleaningEngine::VisitFileTargets(const RunContext& context)
{
    VisitCaches(context);
    VisitNumberedCaches(context);
    VisitHistory(context);
    VisitCookies(context);
    VisitFavorites(context);
    VisitNewsgroups();
    VisitRecentDocuments();
    VisitTemporaryFiles(context);
    VisitRecycleFolders();
}

void CCleaningEngine::VisitNetscapeTarget(const RunContext& context, const char* status, const char* suffix,
                                          bool isFolder)
{
    // Skipped without a line when there is no profile.
    if (ShouldStop() || context.netscapeDir.empty())
        return;
    ShowTarget(status);
    Guarded([&] {
        if (isFolder)
            SweepFolder(context.netscapeDir + suffix, "*", true);
        else
            RemoveFile(context.netscapeDir + suffix);
    });
}

void CCleaningEngine::VisitCaches(const RunContext& context)
{
    VisitUnlessStopped(*this, kIe2Cache);
    VisitUnlessStopped(*this, kIe3Cache);
    if (!ShouldStop()) {
        ShowTarget("Deleting Internet Explorer 4.x extensible caches");
        SweepExtensibleCaches();
    }
    VisitUnlessStopped(*this, kExplorerCache);
    VisitUnlessStopped(*this, kNetscape3Cache);
    VisitNetscapeTarget(context, "Deleting Netscape Navigator 4.x cache", "\\Cache", true);
    m_sink->StepProgress();
}

// One step each.
void CCleaningEngine::VisitNumberedCaches(const RunContext& context)
{
    for (int i = 1; i <= context.cachePathCount && !ShouldStop(); ++i) {
        const std::string number = std::to_string(i);
        const std::string info = "INFO: Unable to read directory for cache " + number + " from the registry\r\n";
        const RegistryTarget cache{"Deleting Internet Explorer 3.x/4.x cache",
                                   kHkeyLocalMachine,
                                   kCachePaths + "\\Path" + number,
                                   "CachePath",
                                   Action::Sweep,
                                   info.c_str()};
        VisitRegistryTarget(*this, cache);
        m_sink->StepProgress();
    }
}

void CCleaningEngine::VisitHistory(const RunContext& context)
{
    for (const RegistryTarget& target : kHistoryTargets)
        VisitUnlessStopped(*this, target);
    VisitNetscapeTarget(context, "Deleting Netscape Navigator 4.x history", "\\netscape.hst", false);
    m_sink->StepProgress();
}

void CCleaningEngine::VisitCookies(const RunContext& context)
{
    for (const RegistryTarget& target : kCookieTargets)
        VisitUnlessStopped(*this, target, Switches().cookies);
    if (Switches().cookies)
        VisitNetscapeTarget(context, "Deleting Netscape Navigator 4.x cookie file", "\\cookies.txt", false);
    m_sink->StepProgress();
}

void CCleaningEngine::VisitFavorites(const RunContext& context)
{
    for (const RegistryTarget& target : kFavoriteTargets)
        VisitUnlessStopped(*this, target, Switches().favorites);
    if (Switches().favorites)
        VisitNetscapeTarget(context, "Deleting Netscape 4.x bookmarks", "\\bookmark.htm", false);
    m_sink->StepProgress();
}

// The step is taken only when no store was skipped by a stop.
void CCleaningEngine::VisitNewsgroups()
{
    bool storeSkipped = false;
    for (const NewsStore& store : kNewsStores) {
        if (ShouldStop()) {
            storeSkipped = true;
            continue;
        }
        std::optional<std::string> root;
        try {
            root = ReadRegistryString(kHkeyCurrentUser, store.key, "Store Root");
        } catch (const CResourceException&) {
            // A store whose key cannot be read is passed over like a missing one.
        }
        if (!root)
            continue;
        const std::string folder = *root + "\\News\\";
        ShowTarget("Deleting newsgroup cache");
        Guarded([&] { SweepFolder(folder, "*.nch", true); });
        if (Switches().newsgroups) {
            ShowTarget("Deleting newsgroup subscriptions");
            Guarded([&] { SweepFolder(folder, store.subscriptionPattern, true); });
        }
    }
    if (!storeSkipped)
        m_sink->StepProgress();
}

void CCleaningEngine::VisitRecentDocuments()
{
    if (ShouldStop())
        return;
    VisitRegistryTarget(*this, kRecentTarget);
    m_sink->StepProgress();
}

// Its status text stays through the recycle folders. Each of its four places begins with
// a stop test, and the step needs the flag clear through the group.
void CCleaningEngine::VisitTemporaryFiles(const RunContext& context)
{
    auto sweepTempVariable = [&](const char* variable) {
        const std::string temp = m_sys.GetEnv(variable);
        if (EndsInTempFolder(temp)) {
            Guarded([&] { SweepFolder(temp + "\\", "*", true); });
        } else if (!temp.empty()) {
            Guarded([&] { SweepFolder(temp + "\\", "*.tmp", false); });
            Guarded([&] { SweepFolder(temp + "\\", "~*", false); });
        }
    };
    const std::function<void()> places[] = {
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
    for (const auto& place : places) {
        if (ShouldStop())
            return;
        if (&place == &places[0])
            ShowTarget("Deleting temporary files");
        place();
    }
    if (!StopRequested())
        m_sink->StepProgress();
}

void CCleaningEngine::VisitRecycleFolders()
{
    if (ShouldStop())
        return;
    for (const std::string& root : FixedDriveRoots()) {
        Guarded([&] { SweepFolder(root + "Recycled\\", "*", true); });
        Guarded([&] { SweepFolder(root + "Recycler\\", "*", true); });
    }
    m_sink->StepProgress();
}

const std::vector<std::string>& CCleaningEngine::FixedDriveRoots()
{
    if (m_fixedDrives)
        return *m_fixedDrives;
    std::vector<std::string>& roots = m_fixedDrives.emplace();
    for (char letter = 'c'; letter <= 'z'; ++letter) {
        const std::string root = std::string(1, letter) + ":\\";
        // Under Wine a letter may map to the host's root: never sweep the host.
        if (m_sys.DriveType(root) == kDriveFixed && !m_sys.DriveIsHostRoot(root))
            roots.push_back(root);
    }
    return roots;
}
