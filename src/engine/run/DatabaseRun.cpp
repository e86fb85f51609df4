// The database entries of the rules group: each profile of the entry's browser, each of
// its databases, through the one runner of the run.
#include "engine/run/CleaningEngine.h"

#include "engine/browsers/BrowserDatabases.h"

void CCleaningEngine::CleanBrowserDatabases(const std::string& target)
{
    const std::optional<DatabaseTarget> parsed = ParseDatabaseTarget(target);
    if (!parsed || !m_profiles)
        return;
    if (!m_browserProfiles)
        m_browserProfiles = std::make_unique<std::vector<BrowserProfile>>(m_profiles->Profiles());
    if (!m_databaseRunner)
        m_databaseRunner = std::make_unique<CDatabaseRunner>(*this, *m_profiles);
    for (const BrowserProfile& profile : *m_browserProfiles) {
        if (profile.product != parsed->product)
            continue;
        for (const DatabaseJob& job : DatabaseJobs(m_sys, profile, parsed->kind)) {
            if (ShouldStop())
                return;
            if (job.clean)
                m_databaseRunner->Run(profile, job);
        }
    }
}
