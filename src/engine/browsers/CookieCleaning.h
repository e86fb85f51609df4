#pragma once
// Cookies and per-site storage removed inside a profile, sites on the keep list left.
//
// Usage:
//   CKeepList keep(options.keepSites.value());
//   DatabaseCounts counts = CleanChromiumCookies(db, keep, preview); // raises CSqliteError,
//                                                                    // CUnknownSchema
//   CleanSiteStorage(host, profile, keep);
#include "engine/browsers/BrowserProfiles.h"
#include "engine/browsers/DatabaseCounts.h"
#include "engine/browsers/KeepList.h"
#include "engine/browsers/SqliteDatabase.h"
#include "engine/core/RemovalHost.h"

// The `cookies` table of Chromium's "Network\Cookies" (or the older "Cookies").
DatabaseCounts CleanChromiumCookies(CSqliteDatabase& db, const CKeepList& keep, bool preview);
// `moz_cookies` in Firefox's "cookies.sqlite".
DatabaseCounts CleanFirefoxCookies(CSqliteDatabase& db, const CKeepList& keep, bool preview);
// The per-site storage folders of sites not kept (IndexedDB, Firefox's storage\default),
// and the stores that mix every site when nothing is kept; through the host's removal,
// so that the report, the preview and the tally see them like every file.
void CleanSiteStorage(IRemovalHost& host, const BrowserProfile& profile, const CKeepList& keep);
