#pragma once
// Cleans one browser database inside, in one transaction, never while the browser has its
// profile, and leaves a database it cannot understand byte for byte.
//
// Usage:
//   CDatabaseRunner runner(host, profiles);   // one per run: it remembers the browsers skipped
//   runner.Run(profile, {placesPath, {{"favicons", faviconsPath}}, DatabaseWording::History,
//                        CleanFirefoxHistory});
#include "engine/browsers/BrowserProfiles.h"
#include "engine/browsers/BrowserText.h"
#include "engine/browsers/DatabaseCounts.h"
#include "engine/browsers/ProfileSource.h"
#include "engine/browsers/SqliteDatabase.h"
#include "engine/core/RemovalHost.h"

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

// Counts what the database holds to remove and to keep and, unless previewing, removes
// it; within the transaction the runner holds. Raises CUnknownSchema, CSqliteError.
using DatabaseCleaner = std::function<DatabaseCounts(CSqliteDatabase& db, bool preview)>;

struct DatabaseJob {
    std::string path;
    // Companion files cleaned in the same transaction: schema name, path.
    std::vector<std::pair<std::string, std::string>> attached;
    DatabaseWording wording = DatabaseWording::History;
    DatabaseCleaner clean;
};

class CDatabaseRunner {
public:
    CDatabaseRunner(IRemovalHost& host, IProfileSource& profiles) : m_host(host), m_profiles(profiles) {}

    // One line either way: the counts, or why the database was left.
    void Run(const BrowserProfile& profile, const DatabaseJob& job);
    // Asks until the browser lets the profile go (Retry) or the user leaves it (Skip);
    // a browser left once is not asked about again in this run. For the profile's other
    // data too (its sites' storage), which must not change under a running browser either.
    bool BrowserLetGo(const BrowserProfile& profile);

private:
    bool UserRetries(const BrowserProfile& profile);
    DatabaseCounts CleanOnce(const DatabaseJob& job);
    std::uint64_t BytesOnDisk(const DatabaseJob& job);

    IRemovalHost& m_host;
    IProfileSource& m_profiles;
    std::set<std::string> m_skipped; // browsers
};
