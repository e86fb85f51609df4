#include "engine/browsers/CookieCleaning.h"

#include <string>

namespace {

// The cookies of the hosts not kept, counted, and removed unless previewing. The hosts kept
// are gathered first in a temporary table, so that one statement removes the rest and the
// preview counts exactly the rows a clean removes. A cookie without a host is no kept site's.
DatabaseCounts CleanCookieTable(CSqliteDatabase& db, const CKeepList& keep, bool preview, const std::string& table,
                                const char* hostColumn)
{
    if (!db.HasColumns(table, {hostColumn}))
        throw CUnknownSchema(table + "." + hostColumn);
    const std::string host = std::string("ifnull(") + hostColumn + ", '')";
    db.Exec("CREATE TEMP TABLE IF NOT EXISTS purgix_kept_hosts(host TEXT PRIMARY KEY)");
    db.Exec("DELETE FROM temp.purgix_kept_hosts");

    DatabaseCounts counts;
    CSqliteStatement hosts = db.Prepare(("SELECT " + host + ", count(*) FROM " + table + " GROUP BY 1").c_str());
    CSqliteStatement note = db.Prepare("INSERT INTO temp.purgix_kept_hosts(host) VALUES (?)");
    while (hosts.Step()) {
        if (!keep.Keeps(hosts.Text(0))) {
            counts.removed += hosts.Int(1);
            continue;
        }
        counts.kept += hosts.Int(1);
        note.Bind(1, hosts.Text(0));
        note.Run();
        note.Reset();
    }
    if (!preview && counts.removed > 0)
        db.Exec(
            ("DELETE FROM " + table + " WHERE " + host + " NOT IN (SELECT host FROM temp.purgix_kept_hosts)").c_str());
    db.Exec("DROP TABLE temp.purgix_kept_hosts");
    return counts;
}

} // namespace

DatabaseCounts CleanChromiumCookies(CSqliteDatabase& db, const CKeepList& keep, bool preview)
{
    return CleanCookieTable(db, keep, preview, "cookies", "host_key");
}

DatabaseCounts CleanFirefoxCookies(CSqliteDatabase& db, const CKeepList& keep, bool preview)
{
    return CleanCookieTable(db, keep, preview, "moz_cookies", "host");
}
