// The database entries of the rules group: each profile of the entry's browser, each of
// its databases, through the one runner of the run; then, for cookies, the profile's
// per-site storage by the same sites to keep.
#include "engine/run/CleaningEngine.h"

#include "engine/browsers/BrowserDatabases.h"
#include "engine/browsers/CookieCleaning.h"

void CCleaningEngine::CleanBrowserDatabases(const std::string& entry, const std::string& target)
{
    const std::optional<DatabaseTarget> parsed = ParseDatabaseTarget(target);
    if (!parsed || !m_profiles)
        return;
    const bool cookies = parsed->kind == DatabaseKind::Cookies;
    // An empty list in place of one that cannot be read would remove every site's cookies.
    if (cookies && !m_options.keepSites) {
        ++m_tally.failures;
        Report(KeepListUnreadableLine(entry, Previewing()));
        return;
    }
    const CKeepList keep(m_options.keepSites.value_or(std::vector<std::string>{}));
    if (!m_browserProfiles)
        m_browserProfiles = std::make_unique<std::vector<BrowserProfile>>(m_profiles->Profiles());
    if (!m_databaseRunner)
        m_databaseRunner = std::make_unique<CDatabaseRunner>(*this, *m_profiles);
    for (const BrowserProfile& profile : *m_browserProfiles) {
        if (profile.product != parsed->product)
            continue;
        for (const DatabaseJob& job : DatabaseJobs(m_sys, profile, parsed->kind, keep)) {
            if (ShouldStop())
                return;
            m_databaseRunner->Run(profile, job);
        }
        if (cookies && !ShouldStop() && m_databaseRunner->BrowserLetGo(profile))
            CleanSiteStorage(*this, profile, keep);
    }
}
