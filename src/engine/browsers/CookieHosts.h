#pragma once
// The cookies of one browser's cookie store counted by host, for the cleaners and the
// list of sites found.
//
// Usage:
//   ForEachCookieHost(db, BrowserFamily::Firefox, [&](const HostCookies& host) { ... });
#include "engine/browsers/BrowserProfiles.h"
#include "engine/browsers/SqliteDatabase.h"

#include <cstdint>
#include <functional>
#include <string>

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
// Each host with its count of cookies, one at a time, so that a store of any size is read in
// bounded memory. Raises CUnknownSchema when the table or its host column is missing,
// CSqliteError on a failure.
void ForEachCookieHost(CSqliteDatabase& db, BrowserFamily family, const std::function<void(const HostCookies&)>& visit);
