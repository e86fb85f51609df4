#include "engine/browsers/CookieCleaning.h"

#include "engine/browsers/CookieHosts.h"

#include <string>

namespace {

// The cookies of the hosts not kept, counted, and removed unless previewing. The hosts kept
// are gathered in a temporary table, so that one statement removes the rest and the preview
// counts exactly the rows a clean removes. A cookie without a host is no kept site's.
DatabaseCounts CleanCookieTable(CSqliteDatabase& db, const CKeepList& keep, bool preview, BrowserFamily family)
{
    db.Exec("CREATE TEMP TABLE IF NOT EXISTS purgix_kept_hosts(host TEXT PRIMARY KEY)");
    db.Exec("DELETE FROM temp.purgix_kept_hosts");
    DatabaseCounts counts;
    CSqliteStatement note = db.Prepare("INSERT INTO temp.purgix_kept_hosts(host) VALUES (?)");
    ForEachCookieHost(db, family, [&](const HostCookies& host) {
        if (!keep.Keeps(host.host)) {
            counts.removed += host.cookies;
            return;
        }
        counts.kept += host.cookies;
        note.Bind(1, host.host);
        note.Run();
        note.Reset();
    });
    if (!preview && counts.removed > 0) {
        const CookieTable cookies = CookieTableOf(family);
        db.Exec((std::string("DELETE FROM ") + cookies.table + " WHERE " + CookieHostExpression(cookies) +
                 " NOT IN (SELECT host FROM temp.purgix_kept_hosts)")
                    .c_str());
    }
    db.Exec("DROP TABLE temp.purgix_kept_hosts");
    return counts;
}

} // namespace

DatabaseCounts CleanChromiumCookies(CSqliteDatabase& db, const CKeepList& keep, bool preview)
{
    return CleanCookieTable(db, keep, preview, BrowserFamily::Chromium);
}

DatabaseCounts CleanFirefoxCookies(CSqliteDatabase& db, const CKeepList& keep, bool preview)
{
    return CleanCookieTable(db, keep, preview, BrowserFamily::Firefox);
}
