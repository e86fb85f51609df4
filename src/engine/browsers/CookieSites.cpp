#include "engine/browsers/CookieSites.h"

#include "engine/browsers/CookieHosts.h"
#include "engine/browsers/DatabaseCounts.h"
#include "engine/browsers/KeepList.h"

bool AddCookieSites(const std::string& storePath, BrowserFamily family, std::map<std::string, std::int64_t>& sites)
{
    std::vector<HostCookies> hosts;
    try {
        CSqliteDatabase db(storePath, true);
        hosts = CountCookiesByHost(db, family);
    } catch (const CSqliteError&) {
        return false;
    } catch (const CUnknownSchema&) {
        return false;
    }
    for (const HostCookies& host : hosts) {
        if (const std::optional<std::string> site = NormalisedSite(host.host))
            sites[*site] += host.cookies;
    }
    return true;
}

std::vector<std::string> CookieStoresOf(const BrowserProfile& profile)
{
    if (profile.family == BrowserFamily::Firefox)
        return {profile.profileDir + "\\cookies.sqlite"};
    return {profile.profileDir + "\\Network\\Cookies", profile.profileDir + "\\Cookies"};
}

std::vector<CookieSite> FindCookieSites(CPlatform& sys)
{
    std::map<std::string, std::int64_t> sites;
    for (const BrowserProfile& profile : FindBrowserProfiles(sys)) {
        for (const std::string& store : CookieStoresOf(profile)) {
            std::uint32_t attributes = 0;
            if (sys.GetAttributes(store, attributes) == 0 && !(attributes & kAttrDirectory))
                AddCookieSites(store, profile.family, sites);
        }
    }
    std::vector<CookieSite> found;
    for (const auto& [site, cookies] : sites)
        found.push_back({site, cookies});
    return found;
}
