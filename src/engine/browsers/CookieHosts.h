#pragma once
// The cookies of one browser's cookie store counted by host, for the cleaners and the
// list of sites found.
//
// Usage:
//   for (const HostCookies& host : CountCookiesByHost(db, BrowserFamily::Firefox)) ...
#include "engine/browsers/BrowserProfiles.h"
#include "engine/browsers/SqliteDatabase.h"

#include <cstdint>
#include <string>
#include <vector>

struct CookieTable {
    const char* table;
    const char* hostColumn;
};

struct HostCookies {
    std::string host; // as the store holds it; "" for a cookie without one
    std::int64_t cookies = 0;
};

// Chromium's `cookies`.host_key, Firefox's `moz_cookies`.host.
CookieTable CookieTableOf(BrowserFamily family);
// The column's value, with "" for a missing host, as SQL.
std::string CookieHostExpression(const CookieTable& cookies);
// Raises CUnknownSchema when the table or its host column is missing, CSqliteError on a failure.
std::vector<HostCookies> CountCookiesByHost(CSqliteDatabase& db, BrowserFamily family);
