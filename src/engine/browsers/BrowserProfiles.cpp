#include "engine/browsers/BrowserProfiles.h"

#include "engine/browsers/ProfilesIni.h"
#include "engine/removal/PathText.h"
#include "engine/removal/ProtectedFolders.h"
#include "sys/FileContents.h"
#include "sys/FileHandles.h"
#include "sys/NameCase.h"

#include <algorithm>
#include <optional>

namespace {

// A profiles.ini of a few hundred profiles stays well under this; anything larger is not Firefox's.
constexpr std::uint64_t kLargestProfilesIni = 64 << 10;

// Where a Chromium browser keeps its user-data folder: below Local AppData, with the profiles
// in it; or Opera's way, below Roaming AppData, with the caches in the same place below Local.
enum class Layout { LocalUserData, Opera };

struct ChromiumPlace {
    const char* product;
    const char* browser;
    const char* folder;
    Layout layout;
};

// In the order the profiles are listed: product, then channel.
constexpr ChromiumPlace kChromiumPlaces[] = {
    {"Google Chrome", "Chrome", "Google\\Chrome\\User Data", Layout::LocalUserData},
    {"Google Chrome", "Chrome Beta", "Google\\Chrome Beta\\User Data", Layout::LocalUserData},
    {"Google Chrome", "Chrome Dev", "Google\\Chrome Dev\\User Data", Layout::LocalUserData},
    {"Google Chrome", "Chrome Canary", "Google\\Chrome SxS\\User Data", Layout::LocalUserData},
    {"Microsoft Edge", "Edge", "Microsoft\\Edge\\User Data", Layout::LocalUserData},
    {"Microsoft Edge", "Edge Beta", "Microsoft\\Edge Beta\\User Data", Layout::LocalUserData},
    {"Microsoft Edge", "Edge Dev", "Microsoft\\Edge Dev\\User Data", Layout::LocalUserData},
    {"Microsoft Edge", "Edge Canary", "Microsoft\\Edge SxS\\User Data", Layout::LocalUserData},
    {"Brave", "Brave", "BraveSoftware\\Brave-Browser\\User Data", Layout::LocalUserData},
    {"Brave", "Brave Beta", "BraveSoftware\\Brave-Browser-Beta\\User Data", Layout::LocalUserData},
    {"Brave", "Brave Nightly", "BraveSoftware\\Brave-Browser-Nightly\\User Data", Layout::LocalUserData},
    {"Opera", "Opera", "Opera Software\\Opera Stable", Layout::Opera},
    {"Opera GX", "Opera GX", "Opera Software\\Opera GX Stable", Layout::Opera},
    {"Vivaldi", "Vivaldi", "Vivaldi\\User Data", Layout::LocalUserData},
};

struct UserFolders {
    std::string local;   // %LocalAppData%
    std::string roaming; // %AppData%
};

std::string WithoutTrailingSeparators(std::string path)
{
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return path;
}

// The folders the browser itself made, by name: never a link, which would lead the cleaning elsewhere.
std::vector<std::string> SubfolderNames(CPlatform& sys, const std::string& folder)
{
    std::vector<std::string> names;
    for (CFileFind find(sys, folder + "\\*"); find.Found(); find.Next()) {
        const FindEntry& entry = find.Entry();
        if ((entry.attributes & kAttrDirectory) && !(entry.attributes & kAttrReparsePoint) && entry.name != "." &&
            entry.name != "..")
            names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return Lowered(a) < Lowered(b); });
    return names;
}

std::string WindowsSeparators(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// "Default" first, then "Profile 1", "Profile 2", ... "Profile 10" by number.
std::optional<unsigned long> ChromiumProfileRank(const std::string& name)
{
    constexpr std::string_view kNumbered = "Profile ";
    if (SameIgnoringAsciiCase(name, "Default"))
        return 0;
    if (!StartsWithIgnoringAsciiCase(name, kNumbered) || name.size() == kNumbered.size() ||
        name.size() > kNumbered.size() + 9 ||
        name.find_first_not_of("0123456789", kNumbered.size()) != std::string::npos)
        return std::nullopt;
    return std::stoul(name.substr(kNumbered.size())) + 1;
}

std::vector<std::string> ChromiumProfileNames(CPlatform& sys, const std::string& userData)
{
    std::vector<std::pair<unsigned long, std::string>> ranked;
    for (std::string& name : SubfolderNames(sys, userData)) {
        if (const std::optional<unsigned long> rank = ChromiumProfileRank(name))
            ranked.emplace_back(*rank, std::move(name));
    }
    std::sort(ranked.begin(), ranked.end());
    std::vector<std::string> names;
    for (auto& [rank, name] : ranked)
        names.push_back(std::move(name));
    return names;
}

void AddChromiumProfiles(CPlatform& sys, const UserFolders& user, const ChromiumPlace& place,
                         std::vector<BrowserProfile>& profiles)
{
    const bool opera = place.layout == Layout::Opera;
    const std::string& base = opera ? user.roaming : user.local;
    if (base.empty())
        return;
    const std::string userData = base + "\\" + place.folder;
    if (!IsFolder(sys, userData))
        return;
    // Opera keeps its caches apart, in the same places below Local AppData.
    const std::string cacheBase = opera && !user.local.empty() ? user.local + "\\" + place.folder : std::string();
    const auto add = [&](const std::string& relative) {
        const std::string below = relative.empty() ? relative : "\\" + relative;
        const std::string cacheDir = cacheBase + below;
        profiles.push_back({place.product, place.browser, BrowserFamily::Chromium, userData + below,
                            !cacheBase.empty() && IsFolder(sys, cacheDir) ? cacheDir : std::string(),
                            userData + "\\lockfile"});
    };
    std::vector<std::string> names = ChromiumProfileNames(sys, userData);
    // Opera Stable without a "Default" in it is itself the profile.
    if (names.empty() && opera)
        names.emplace_back();
    for (const std::string& name : names)
        add(name);
    // Opera GX's side profiles each have a folder of their own, run by the same browser.
    if (opera) {
        for (const std::string& side : SubfolderNames(sys, userData + "\\_side_profiles"))
            add("_side_profiles\\" + side);
    }
}

// The folder a profiles.ini line names, or nothing when it names no usable folder: the file is
// another program's, so a path that escapes, is no folder, or is one of the system's own is refused.
std::optional<std::string> ProfileFolder(CPlatform& sys, const CProtectedFolders& protectedFolders,
                                         const std::string& iniFolder, const ProfilesIniEntry& entry)
{
    std::string path = WindowsSeparators(entry.path);
    if (path.empty() || HasWildcard(path) || NeedsLiteralForm(path))
        return std::nullopt;
    if (entry.isRelative) {
        if (IsAbsolutePath(path) || path.front() == '\\' || path.find(':') != std::string::npos ||
            ("\\" + path + "\\").find("\\..\\") != std::string::npos)
            return std::nullopt;
        path = iniFolder + "\\" + path;
    } else if (!IsAbsolutePath(path) || path.starts_with("\\\\?\\") || path.starts_with("\\\\.\\")) {
        return std::nullopt;
    }
    std::string full;
    if (sys.GetFullPath(path, full) != 0)
        return std::nullopt;
    full = WithoutTrailingSeparators(full);
    if (!IsFolder(sys, full) || protectedFolders.Contains(full))
        return std::nullopt;
    return full;
}

// The profiles one profiles.ini lists; their caches live below localFolder by the same
// relative path (a profile at an absolute path keeps its caches in itself).
void AddFirefoxProfiles(CPlatform& sys, const CProtectedFolders& protectedFolders, const std::string& iniFolder,
                        const std::string& localFolder, std::vector<BrowserProfile>& profiles)
{
    std::string text;
    if (!ReadWholeFile(sys, iniFolder + "\\profiles.ini", kLargestProfilesIni, text))
        return;
    for (const ProfilesIniEntry& entry : ParseProfilesIni(text)) {
        const std::optional<std::string> folder = ProfileFolder(sys, protectedFolders, iniFolder, entry);
        if (!folder || std::any_of(profiles.begin(), profiles.end(), [&](const BrowserProfile& known) {
                return SameNameIgnoringCase(known.profileDir, *folder);
            }))
            continue;
        std::string cacheDir;
        if (entry.isRelative && !localFolder.empty()) {
            cacheDir = WithoutTrailingSeparators(localFolder + "\\" + WindowsSeparators(entry.path));
            if (!IsFolder(sys, cacheDir) || SameNameIgnoringCase(cacheDir, *folder))
                cacheDir.clear();
        }
        profiles.push_back(
            {"Mozilla Firefox", "Firefox", BrowserFamily::Firefox, *folder, cacheDir, *folder + "\\parent.lock"});
    }
}

void AddAllFirefoxProfiles(CPlatform& sys, const UserFolders& user, std::vector<BrowserProfile>& profiles)
{
    const CProtectedFolders protectedFolders(sys);
    const std::string local = user.local.empty() ? user.local : user.local + "\\Mozilla\\Firefox";
    if (!user.roaming.empty())
        AddFirefoxProfiles(sys, protectedFolders, user.roaming + "\\Mozilla\\Firefox", local, profiles);
    // The Microsoft Store version keeps both halves inside its package's own folder.
    if (user.local.empty())
        return;
    const std::string packages = user.local + "\\Packages";
    for (const std::string& store : SubfolderNames(sys, packages)) {
        if (!StartsWithIgnoringAsciiCase(store, "Mozilla.Firefox_"))
            continue;
        const std::string cache = packages + "\\" + store + "\\LocalCache";
        AddFirefoxProfiles(sys, protectedFolders, cache + "\\Roaming\\Mozilla\\Firefox",
                           cache + "\\Local\\Mozilla\\Firefox", profiles);
    }
}

} // namespace

std::vector<BrowserProfile> FindBrowserProfiles(CPlatform& sys)
{
    const UserFolders user{WithoutTrailingSeparators(sys.GetEnv("LOCALAPPDATA")),
                           WithoutTrailingSeparators(sys.GetEnv("APPDATA"))};
    std::vector<BrowserProfile> profiles;
    for (const ChromiumPlace& place : kChromiumPlaces)
        AddChromiumProfiles(sys, user, place, profiles);
    AddAllFirefoxProfiles(sys, user, profiles);
    return profiles;
}

bool ProfileInUse(CPlatform& sys, const BrowserProfile& profile)
{
    // A closed browser leaves its lock file behind; only the browser's own open handle refuses us.
    const CFileHandle lock(sys, profile.lockFile, FileMode::LockProbe);
    return !lock.IsOpen() && lock.OpenError() == kErrorSharingViolation;
}
