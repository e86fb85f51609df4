#pragma once
// The sites that have cookies on this machine, for choosing the ones to keep: every
// cookie store of every profile found, read only, merged across browsers.
//
// Usage:
//   std::map<std::string, std::int64_t> sites;
//   AddCookieSites(path, BrowserFamily::Firefox, sites);   // one store
//   std::vector<CookieSite> found = FindCookieSites(sys);  // every store of every profile
#include "engine/browsers/BrowserProfiles.h"
#include "sys/Platform.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct CookieSite {
    std::string site; // as NormalisedSite gives it, so that it can be kept as it is
    std::int64_t cookies = 0;

    bool operator==(const CookieSite&) const = default;
};

// Adds the cookies of one store to the count of their sites. False, adding nothing, when
// the store cannot be read or is not understood.
bool AddCookieSites(const std::string& storePath, BrowserFamily family, std::map<std::string, std::int64_t>& sites);

// The cookie stores a profile keeps: Chromium's "Network\Cookies" and the older "Cookies",
// Firefox's "cookies.sqlite".
std::vector<std::string> CookieStoresOf(const BrowserProfile& profile);

// Every site with cookies in any store of any profile, by name; stores that cannot be read
// are passed over.
std::vector<CookieSite> FindCookieSites(CPlatform& sys);
