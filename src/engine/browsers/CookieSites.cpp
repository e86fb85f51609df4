#include "engine/browsers/CookieSites.h"

#include "engine/browsers/CookieHosts.h"
#include "engine/browsers/DatabaseCounts.h"
#include "engine/browsers/KeepList.h"

namespace {

// Far more sites than anyone keeps cookies for; a store with more is a made-up one.
constexpr std::size_t kMostSitesFound = 100000;

} // namespace

bool AddCookieSites(const std::string& storePath, BrowserFamily family, std::map<std::string, std::int64_t>& sites)
{
    try {
        CSqliteDatabase db(storePath, true);
        ForEachCookieHost(db, family, [&](const HostCookies& host) {
            const std::optional<std::string> site = NormalisedSite(host.host);
            // A list no one could read through is not grown further by a store that holds more.
            if (site && (sites.size() < kMostSitesFound || sites.count(*site)))
                sites[*site] += host.cookies;
        });
    } catch (const CSqliteError&) {
        return false;
    } catch (const CUnknownSchema&) {
        return false;
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
            if (IsFile(sys, store))
                AddCookieSites(store, profile.family, sites);
        }
    }
    std::vector<CookieSite> found;
    for (const auto& [site, cookies] : sites)
        found.push_back({site, cookies});
    return found;
}
