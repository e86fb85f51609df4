#include "engine/browsers/BrowserDatabases.h"

#include "engine/browsers/CookieCleaning.h"
#include "engine/browsers/CookieSites.h"
#include "engine/browsers/FirefoxHistory.h"
#include "sys/NameCase.h"

namespace {

struct KindName {
    const char* name;
    DatabaseKind kind;
};
constexpr KindName kKinds[] = {
    {"history", DatabaseKind::History},
    {"formhistory", DatabaseKind::FormHistory},
    {"cookies", DatabaseKind::Cookies},
};

DatabaseCleaner CookieCleaner(BrowserFamily family, const CKeepList& keep)
{
    if (family == BrowserFamily::Firefox)
        return [&keep](CSqliteDatabase& db, bool preview) { return CleanFirefoxCookies(db, keep, preview); };
    return [&keep](CSqliteDatabase& db, bool preview) { return CleanChromiumCookies(db, keep, preview); };
}

} // namespace

std::optional<DatabaseTarget> ParseDatabaseTarget(std::string_view text)
{
    const std::size_t bar = text.rfind('|');
    if (bar == std::string_view::npos || bar == 0)
        return std::nullopt;
    for (const KindName& kind : kKinds) {
        if (SameIgnoringAsciiCase(text.substr(bar + 1), kind.name))
            return DatabaseTarget{std::string(text.substr(0, bar)), kind.kind};
    }
    return std::nullopt;
}

std::vector<DatabaseJob> DatabaseJobs(CPlatform& sys, const BrowserProfile& profile, DatabaseKind kind,
                                      const CKeepList& keep)
{
    const std::string folder = profile.profileDir + "\\";
    const bool firefox = profile.family == BrowserFamily::Firefox;
    std::vector<DatabaseJob> jobs;
    switch (kind) {
    case DatabaseKind::History:
        if (firefox && IsFile(sys, folder + "places.sqlite")) {
            DatabaseJob job{folder + "places.sqlite", {}, DatabaseWording::History, CleanFirefoxHistory};
            if (IsFile(sys, folder + "favicons.sqlite"))
                job.attached.emplace_back(kFaviconsSchema, folder + "favicons.sqlite");
            jobs.push_back(std::move(job));
        }
        break;
    case DatabaseKind::FormHistory:
        if (firefox && IsFile(sys, folder + "formhistory.sqlite"))
            jobs.push_back({folder + "formhistory.sqlite", {}, DatabaseWording::FormHistory, CleanFirefoxFormHistory});
        break;
    case DatabaseKind::Cookies:
        for (const std::string& store : CookieStoresOf(profile)) {
            if (IsFile(sys, store))
                jobs.push_back({store, {}, DatabaseWording::Cookies, CookieCleaner(profile.family, keep)});
        }
        break;
    }
    return jobs;
}
