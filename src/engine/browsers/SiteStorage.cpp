// The per-site storage folders of a profile, removed or kept by the keep list.
#include "engine/browsers/CookieCleaning.h"
#include "engine/removal/FileRemoval.h"
#include "sys/FileHandles.h"

#include <optional>
#include <string>
#include <string_view>

namespace {

// The site of a Chromium web origin's folder, "https_www.example.com_0.indexeddb.leveldb":
// scheme, host and port joined by underscores (0 for the scheme's own port). Extensions'
// origins ("chrome-extension_...") are no site.
std::optional<std::string> ChromiumOriginSite(std::string_view name)
{
    if (!name.starts_with("https_") && !name.starts_with("http_"))
        return std::nullopt;
    const std::size_t kind = name.find(".indexeddb.");
    const std::size_t scheme = name.find('_');
    if (kind == std::string_view::npos)
        return std::nullopt;
    const std::string_view origin = name.substr(0, kind);
    const std::size_t port = origin.rfind('_');
    if (port <= scheme + 1)
        return std::nullopt;
    return std::string(origin.substr(scheme + 1, port - scheme - 1));
}

// The site of a Firefox origin folder, "https+++www.example.com+8443^userContextId=1": the
// host between the scheme's "+++" and a port's "+" or the attributes' "^".
std::optional<std::string> FirefoxOriginSite(std::string_view name)
{
    constexpr std::string_view kSchemeEnd = "+++";
    if (!name.starts_with("https+++") && !name.starts_with("http+++"))
        return std::nullopt;
    const std::string_view rest = name.substr(name.find(kSchemeEnd) + kSchemeEnd.size());
    const std::string_view host = rest.substr(0, rest.find_first_of("+^"));
    if (host.empty())
        return std::nullopt;
    return std::string(host);
}

void RemoveFolder(IRemovalHost& host, const std::string& folder)
{
    SweepOptions sweep;
    sweep.patterns = {"*"};
    sweep.recurse = sweep.removeSubfolders = sweep.removeSelf = true;
    CFileRemoval(host).Sweep(folder, sweep);
}

// Each origin folder in `parent` whose site is not kept. Extensions' folders and anything
// else whose name is no web origin stay.
void RemoveOriginsNotKept(IRemovalHost& host, const std::string& parent, const CKeepList& keep,
                          std::optional<std::string> (*siteOf)(std::string_view))
{
    std::vector<std::string> doomed;
    for (CFileFind find(host.Sys(), parent + "\\*"); find.Found(); find.Next()) {
        const FindEntry& entry = find.Entry();
        if (!(entry.attributes & kAttrDirectory))
            continue;
        if (const std::optional<std::string> site = siteOf(entry.name); site && !keep.Keeps(*site))
            doomed.push_back(parent + "\\" + entry.name);
    }
    for (const std::string& folder : doomed) {
        if (host.ShouldStop())
            return;
        RemoveFolder(host, folder);
    }
}

} // namespace

void CleanSiteStorage(IRemovalHost& host, const BrowserProfile& profile, const CKeepList& keep)
{
    if (profile.family == BrowserFamily::Firefox) {
        RemoveOriginsNotKept(host, profile.profileDir + "\\storage\\default", keep, FirefoxOriginSite);
        return;
    }
    RemoveOriginsNotKept(host, profile.profileDir + "\\IndexedDB", keep, ChromiumOriginSite);
    // One database for every site, which we do not read: it goes only when no site is kept.
    if (keep.Empty())
        RemoveFolder(host, profile.profileDir + "\\Local Storage\\leveldb");
}
