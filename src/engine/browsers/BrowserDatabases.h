#pragma once
// Which databases of a profile a built-in database entry cleans, and with what.
//
// Usage:
//   if (std::optional<DatabaseTarget> target = ParseDatabaseTarget("Mozilla Firefox|history"))
//       for (const BrowserProfile& profile : profiles)
//           if (profile.product == target->product)
//               for (const DatabaseJob& job : DatabaseJobs(sys, profile, target->kind, keep))
//                   runner.Run(profile, job);
#include "engine/browsers/BrowserProfiles.h"
#include "engine/browsers/DatabaseEntry.h"
#include "engine/browsers/KeepList.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class DatabaseKind {
    History,     // Firefox's places.sqlite, with favicons.sqlite
    FormHistory, // Firefox's formhistory.sqlite
    Cookies,     // Chromium's Network\Cookies and Cookies, Firefox's cookies.sqlite
};

struct DatabaseTarget {
    std::string product; // as BrowserProfile::product names it
    DatabaseKind kind;
};

// "<product>|history", "|formhistory" or "|cookies"; nothing for any other text.
std::optional<DatabaseTarget> ParseDatabaseTarget(std::string_view text);

// The profile's databases of that kind that exist, each with its cleaner. The cookie
// cleaners keep the sites of `keep`, which outlives the jobs.
std::vector<DatabaseJob> DatabaseJobs(CPlatform& sys, const BrowserProfile& profile, DatabaseKind kind,
                                      const CKeepList& keep);
